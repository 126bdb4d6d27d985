// Value texts of the editable list's rows: number parsing and the shown
// forms of numbers and colours. No windows.h: built natively and tested there.
#pragma once

#include <cstddef>

enum {
    ROW_SUFFIX_SIZE = 16,       // a number row's unit: 15 characters and the NUL
    ROW_TEXT_SIZE = 260,        // a text row keeps 259 characters
    ROW_NUMBER_TEXT_SIZE = 64,  // "%d", a blank and the suffix
    ROW_COLOUR_TEXT_SIZE = 32   // "#RRGGBB"
};

// What atoi reads: leading blanks, an optional sign, then digits; 0 when
// there are none. Beyond the range of int the value stays at INT_MAX or
// INT_MIN instead of overflowing.
int ParseRowNumber(const wchar_t* text);

// A suffix is kept only when given and at most 15 characters long; a longer
// one is dropped, never cut.
bool RowSuffixFits(const wchar_t* suffix);

// "5" or, with a suffix, "5 min", into text of capacity characters.
void FormatRowNumber(int value, const wchar_t* suffix, wchar_t* text, size_t capacity);

// "#RRGGBB" from a colour reference (red in the low byte, then green, blue).
void FormatRowColour(unsigned long colour, wchar_t* text, size_t capacity);
