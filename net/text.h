// Text helpers for requests and header lines. No windows.h: builds natively too.
#pragma once

#include <stddef.h>

#include <string>

// Percent-encodes every byte but digits, ASCII letters and ~ ! * ( ) '
// with lower-case hex digits ("a b" -> "a%20b").
std::string UrlEncode(const std::string& text);

// The two lower-case hex digits of one byte.
std::string HexByte(signed char byte);

// True when a value can stand in a request line as it is: printable ASCII
// without the space and without the bytes that would end the value or start
// another query field (& # ? %).
bool IsPlainQueryValue(const char* value);

// Removes every space (0x20, nothing else) in place.
void RemoveSpaces(std::string& text);

// Appends text to the used bytes of buffer (capacity size, NUL-terminated)
// and moves used on; false, with the buffer as it was, when it would not fit
// with its terminator. A request is sent whole or not at all.
bool AppendText(char* buffer, size_t size, size_t* used, const char* text);
