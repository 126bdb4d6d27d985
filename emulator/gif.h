// A small two-colour GIF writer for the captcha picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace emulator {

// `pixels` holds width*height entries of 0 (white) or 1 (black), row by row.
std::string TwoColourGif(int width, int height, const std::vector<std::uint8_t>& pixels);

// A 150x30 picture of noise and bars, different for each csid.
std::string CaptchaGif(std::uint32_t csid);

}  // namespace emulator
