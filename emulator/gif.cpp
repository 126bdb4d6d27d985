#include "emulator/gif.h"

#include <gd.h>
#include <gdfontg.h>

#include <random>

namespace emulator {

namespace {

gdImagePtr DrawCaptcha(const std::string& code, std::uint64_t noise)
{
    gdImagePtr image = gdImageCreate(kCaptchaWidth, kCaptchaHeight);
    if (!image)
        return nullptr;
    // The first colour allocated is the background.
    gdImageColorAllocate(image, 255, 255, 255);
    const int ink = gdImageColorAllocate(image, 0, 0, 0);
    const int grey = gdImageColorAllocate(image, 160, 160, 160);

    std::mt19937_64 random(noise);
    auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // Slight noise: enough to look like a captcha, little enough to read.
    for (int i = 0; i < 120; ++i)
        gdImageSetPixel(image, below(kCaptchaWidth), below(kCaptchaHeight), grey);
    for (int i = 0; i < 2; ++i)
        gdImageLine(image, 0, below(kCaptchaHeight), kCaptchaWidth - 1, below(kCaptchaHeight), grey);

    gdFontPtr font = gdFontGetGiant();
    const int step = font->w * 2;
    int x = (kCaptchaWidth - step * static_cast<int>(code.size()) + font->w) / 2;
    for (char c : code) {
        const int y = (kCaptchaHeight - font->h) / 2 - 2 + below(5);
        gdImageChar(image, font, x, y, static_cast<unsigned char>(c), ink);
        x += step;
    }
    return image;
}

std::string Take(void* bytes, int size)
{
    std::string out;
    if (bytes && size > 0)
        out.assign(static_cast<const char*>(bytes), static_cast<size_t>(size));
    gdFree(bytes);
    return out;
}

}  // namespace

std::string CaptchaGif(const std::string& code, std::uint64_t noise)
{
    gdImagePtr image = DrawCaptcha(code, noise);
    if (!image)
        return std::string();
    int size = 0;
    std::string gif = Take(gdImageGifPtr(image, &size), size);
    gdImageDestroy(image);
    return gif;
}

std::string CaptchaJpeg(const std::string& code, std::uint64_t noise)
{
    gdImagePtr image = DrawCaptcha(code, noise);
    if (!image)
        return std::string();
    int size = 0;
    std::string jpeg = Take(gdImageJpegPtr(image, &size, 90), size);
    gdImageDestroy(image);
    return jpeg;
}

}  // namespace emulator
