// Conversions between wide UI text and narrow ANSI-code-page text.
// The new buffer belongs to the caller, who releases it with delete[].
#pragma once

int AnsiToWide(const char* source, wchar_t** result);
int WideToAnsi(const wchar_t* source, char** result);
