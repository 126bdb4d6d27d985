// The captcha picture, drawn and written as GIF (or JPEG) by libgd.
#pragma once

#include <cstdint>
#include <string>

namespace emulator {

constexpr int kCaptchaWidth = 150;
constexpr int kCaptchaHeight = 30;

// A 150x30 GIF of `code` (4 to 6 characters) in one of libgd's built-in
// fonts, with grey dots and lines from `noise` around it; empty when libgd
// fails.
std::string CaptchaGif(const std::string& code, std::uint64_t noise);
// The same picture as a baseline JPEG.
std::string CaptchaJpeg(const std::string& code, std::uint64_t noise);

}  // namespace emulator
