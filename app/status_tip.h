// The status bar is 240 pixels wide and the longer status texts are cut
// there: a tap on it shows the whole text in a tooltip-style window over the
// bar, which the next tap, a few seconds or a newer text on the bar close.
#pragma once

#include <windows.h>

enum { STATUS_TIP_SHOW_MS = 5000 };
#define STATUS_TIP_CLASS L"SorvintaStatusTip"

// Shows the bar's current text over it; while the tip shows, closes it.
void ToggleStatusTip(HWND statusBar);
void CloseStatusTip();
// The tip while it shows, else null.
HWND GetStatusTip();
