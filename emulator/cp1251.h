// Windows-1251 text for the emulator's answers: names are written in UTF-8
// here and go over the wire as the device's ANSI bytes. The one table of the
// code page lives with the JSON library.
#pragma once

#include "json/cp1251.h"

namespace emulator {

using json::CodePointToCp1251;
using json::Cp1251ToUtf8;
using json::Utf8ToCp1251;

}  // namespace emulator
