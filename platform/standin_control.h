// What the shell stand-in offers beyond the device's own interfaces: its
// geometry and window classes, and a simulated soft input panel that tests
// (and nothing in the program) switch on and off. Not part of the device SDK.
#pragma once

#ifndef _WIN32_WCE

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// A length of a 96-dpi screen in pixels of this one: the shell's own bars
// are twice as tall on a 192-dpi VGA device as on a QVGA one.
int StandinScaled(int pixelsAt96Dpi);

// The navigation bar along the top of the screen and the soft-key bar along
// the bottom, 26 px each on a 240x320 Pocket PC.
#define STANDIN_TOP_BAR_HEIGHT  StandinScaled(26)
#define STANDIN_MENU_BAR_HEIGHT StandinScaled(26)

// Window classes of the stand-in's own windows. The soft-key bar is a
// top-level window owned by the window it serves; the navigation bar is one
// window per process, made once SHInitExtraControls was called and the first
// device-placed main window, soft-key bar or SHInitDialog dialog appears.
#define STANDIN_MENU_BAR_CLASS L"menu_worker"
#define STANDIN_TOP_BAR_CLASS  L"HHTaskBar"

// Width of the "ok" button at the right end of the navigation bar, shown
// while the foreground window asked for a Done button (SHIDIF_DONEBUTTON or
// WS_EX_CAPTIONOKBTN); a tap on it sends WM_COMMAND IDOK to that window.
#define STANDIN_OK_BUTTON_WIDTH StandinScaled(32)

// Height of an item of the pop-up menus the soft keys and the owners of
// soft-key bars open: 17 px on a QVGA Pocket PC, twice that at 192 dpi
// (the desktop adds a fixed 4 px to its menu font's height instead).
#define STANDIN_MENU_ITEM_HEIGHT StandinScaled(17)

// Notification icons sit at the right end of the navigation bar, left of
// "ok" while that shows, each in a slot this much wider than a small icon.
#define STANDIN_NOTIFY_ICON_PADDING 8

// Height of the panel when no rectangle was ever given: it sits on top of
// the soft-key bar.
#define STANDIN_INPUT_PANEL_HEIGHT 80

// Switches the simulated input panel on or off, silently (as if the state
// had always been so). A non-null, non-empty panel rectangle (screen
// coordinates) becomes the panel's place. SHSipInfo(SPI_GETSIPINFO) reports
// the state afterwards.
void StandinSetInputPanel(BOOL on, const RECT* panel);

// Puts the panel back as at start: off, at its default place. Silent.
void StandinResetInputPanel(void);

// Sends WM_SETTINGCHANGE (SPI_SETSIPINFO) to every top-level window of the
// process, as the device does when the panel goes up or down.
void StandinNotifyInputPanelChange(void);

// The navigation bar window, or null while there is none yet. It answers
// WM_DISPLAYCHANGE (lParam: new width in the low word, height in the high
// word; 0 for the current screen) by moving the bars and the device-placed
// windows to the new screen, then sending WM_SETTINGCHANGE
// (SETTINGCHANGE_RESET) to every top-level window of the process.
HWND StandinGetTopBar(void);

// The notification icon (window, id) as the navigation bar holds it: true
// while it is added. place (may be null): its slot in the bar's client
// coordinates, empty while the bar does not show it. image (may be null):
// the small image the bar draws, owned by the stand-in.
BOOL StandinGetNotifyIcon(HWND window, UINT id, RECT* place, HICON* image);

#ifdef __cplusplus
}
#endif

#endif  // _WIN32_WCE
