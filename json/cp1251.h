// The Windows-1251 code page the program's names travel in: escaped JSON
// letters, UTF-8 answers and the emulator's data files all end up there.
#pragma once

#include <string>
#include <string_view>

namespace json {

// Converts UTF-8 text to Windows-1251 bytes. Characters the code page lacks
// and bytes that are not valid UTF-8 become '?', one per character.
std::string Utf8ToCp1251(std::string_view utf8);

// Windows-1251 bytes to UTF-8, for people and tests reading what arrived.
// The one byte the page leaves unassigned (0x98) becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view bytes);

// One code point to its Windows-1251 byte; false when the page has none.
bool CodePointToCp1251(char32_t cp, unsigned char& out);

}  // namespace json
