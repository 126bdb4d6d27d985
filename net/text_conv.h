// Conversions between wide UI text and narrow ANSI-code-page text.
// The new buffer belongs to the caller, who releases it with delete[].
#pragma once

int AnsiToWide(const char* source, wchar_t** result);
int WideToAnsi(const wchar_t* source, char** result);

#include <string>

// The first character of text that the ANSI code page has no byte of its own
// for, as it was typed (a surrogate pair whole, a lone surrogate as
// "U+D800"); empty when every character converts as it is. WideToAnsi would
// best-fit such a character ("ä" to "a") or turn it into "?", so whatever
// is saved or sent is checked here first.
std::wstring FirstUnconvertibleCharacter(const wchar_t* text);

// The status text that refuses text for holding such a character, naming
// it; empty when text converts as it is.
std::wstring UnconvertibleCharacterText(const wchar_t* text);
