#include "emulator/gif.h"

namespace emulator {

namespace {

void PutWord(std::string& out, int v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

// LZW with a clear code before every two pixels keeps every code 3 bits
// wide: large, but trivially right, and the picture is tiny.
std::string LzwCodes(const std::vector<std::uint8_t>& pixels)
{
    constexpr unsigned kClear = 4, kEnd = 5, kWidth = 3;
    std::string bytes;
    unsigned acc = 0, bits = 0;
    auto emit = [&](unsigned code) {
        acc |= code << bits;
        bits += kWidth;
        while (bits >= 8) {
            bytes.push_back(static_cast<char>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % 2 == 0)
            emit(kClear);
        emit(pixels[i] ? 1 : 0);
    }
    emit(kEnd);
    if (bits > 0)
        bytes.push_back(static_cast<char>(acc & 0xFF));
    return bytes;
}

}  // namespace

std::string TwoColourGif(int width, int height, const std::vector<std::uint8_t>& pixels)
{
    std::string out = "GIF89a";
    PutWord(out, width);
    PutWord(out, height);
    out += "\x91";  // a global colour table of 4 entries, 2 bits of colour resolution
    out.push_back('\0');
    out.push_back('\0');
    out.append("\xFF\xFF\xFF\x00\x00\x00\x80\x80\x80\x40\x40\x40", 12);
    out.push_back(',');
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, width);
    PutWord(out, height);
    out.push_back('\0');
    out.push_back('\x02');  // LZW minimum code size
    const std::string data = LzwCodes(pixels);
    for (size_t pos = 0; pos < data.size(); pos += 255) {
        const size_t n = data.size() - pos < 255 ? data.size() - pos : 255;
        out.push_back(static_cast<char>(n));
        out.append(data, pos, n);
    }
    out.push_back('\0');
    out.push_back(';');
    return out;
}

std::string CaptchaGif(std::uint32_t csid)
{
    constexpr int kW = 150, kH = 30;
    std::vector<std::uint8_t> pixels(kW * kH, 0);
    std::uint32_t state = csid * 2654435761u + 1;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 16;
    };
    for (int i = 0; i < kW * kH / 12; ++i)
        pixels[next() % (kW * kH)] = 1;
    // Five bars of varying height stand in for the characters.
    for (int glyph = 0; glyph < 5; ++glyph) {
        const int x0 = 15 + glyph * 26, top = 4 + static_cast<int>(next() % 10);
        for (int y = top; y < kH - 4; ++y)
            for (int x = x0; x < x0 + 6; ++x)
                pixels[y * kW + x] = 1;
    }
    return TwoColourGif(kW, kH, pixels);
}

}  // namespace emulator
