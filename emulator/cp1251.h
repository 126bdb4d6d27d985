// Windows-1251 text for the emulator's answers: names are written in UTF-8
// here and go over the wire as the device's ANSI bytes.
#pragma once

#include <string>
#include <string_view>

namespace emulator {

// Converts UTF-8 text to Windows-1251 bytes. Characters the code page lacks
// and bytes that are not valid UTF-8 become '?', one per character.
std::string Utf8ToCp1251(std::string_view utf8);

// One code point to its Windows-1251 byte; false when the page has none.
bool CodePointToCp1251(char32_t cp, unsigned char& out);

}  // namespace emulator
