// Reading one JSON value from a text stream.
//
// The reader takes exactly one value: it skips the white space before it,
// reads the value and stops right after its last character; whatever follows
// stays unread in the stream and is not examined. Bad text throws
// ScanException (characters) or ParseException (grammar, early end, nesting
// deeper than MaxDepth, a member name given twice); the target element is
// left unchanged then.
//
// Strings are taken as raw bytes; the escapes \" \\ \/ \b \f \n \r \t are
// undone, \uXXXX (surrogate pairs included) becomes the character's
// Windows-1251 byte, '?' when the page lacks it, as most encoders escape
// every letter beyond ASCII. A lone surrogate or any other escape is a
// ScanException. Numbers follow
// the JSON grammar and are read as double; one too large for a double is a
// ScanException.
#pragma once

#include <istream>

#include "json/elements.h"

namespace json {

class Reader {
public:
    typedef json::ScanException ScanException;
    typedef json::ParseException ParseException;

    // Arrays and objects nested deeper than this are refused.
    static const int MaxDepth = 512;

    static void Read(Element& element, std::istream& stream);
    // The value must be of that type, else ParseException.
    static void Read(Object& object, std::istream& stream);
    static void Read(Array& array, std::istream& stream);
};

}  // namespace json
