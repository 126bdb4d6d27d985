#include "app/clock_text.h"

const wchar_t* ClockFormat(int minute)
{
    // %02d is not used so the text reads the same whichever printf family
    // formats it; only the minute gets its leading zero.
    return minute >= 10 ? L"%d.%d.%d||%d:%d||" : L"%d.%d.%d||%d:0%d||";
}
