// The clock label's text: day.month.year||hour:minute|| with only the minute
// padded to two digits. Pure, so it builds and is tested without windows.h.
#pragma once

enum { CLOCK_TEXT_SIZE = 260 };

// The wsprintf-style format for a time at this minute; arguments follow as
// day, month, year, hour, minute.
const wchar_t* ClockFormat(int minute);
