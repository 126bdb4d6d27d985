// Shared between the files of the shell stand-in only.
#pragma once

#include <windows.h>

// Window property that marks a window as having asked for a Done button.
#define STANDIN_DONE_BUTTON_PROP L"StandinDoneButton"

// Window property of a main window given the device's place by the device
// look: it follows the screen when the screen changes size.
#define STANDIN_DEVICE_WINDOW_PROP L"StandinDeviceWindow"

// Window property of a dialog sized by SHInitDialog: its SHIDIF_ flags, so it
// can be sized again for a new screen.
#define STANDIN_SIZED_DIALOG_PROP L"StandinSizedDialog"

// A screen size in pixels, as the per-window callbacks are handed it.
struct StandinScreenSize {
    int cx;
    int cy;
};

// True when hwnd belongs to this process: the stand-in only ever touches the
// windows of the program it serves.
BOOL StandinIsOwnWindow(HWND hwnd);

// Screen size in pixels.
int StandinScreenWidth(void);
int StandinScreenHeight(void);

// Current state of the simulated input panel.
BOOL StandinInputPanelOn(void);
RECT StandinInputPanelRect(void);

// Installs, for the calling thread, the hook that gives default-placed main
// windows the device's place and frame. Shows nothing yet: the navigation
// bar comes with the first window that needs it (StandinShowTopBar).
BOOL StandinInstallDeviceLook(void);

// Makes the navigation bar if the device look was asked for and the bar is
// not there yet. Called when the first device window, soft-key bar or
// shell-sized dialog appears, so that a process that ends before showing a
// window (a second instance) never shows the bar.
void StandinShowTopBar(void);

// Screen area a dialog sized by SHInitDialog with these flags gets on a
// screen of cx by cy pixels.
RECT StandinDialogArea(DWORD flags, int cx, int cy);

// Sends WM_SETTINGCHANGE with this wParam (lParam 0) to every top-level
// window of the process.
void StandinBroadcastSettingChange(WPARAM what);

// Puts every soft-key bar of the process where it belongs on a screen of cx
// by cy pixels (the rule of SHCreateMenuBar).
void StandinPlaceMenuBars(int cx, int cy);

// The screen became cx by cy pixels: the bars and the device's windows
// follow it, then every top-level window of the process is told with
// WM_SETTINGCHANGE (SETTINGCHANGE_RESET), as the device's shell does.
void StandinFollowScreen(int cx, int cy);

// Repaints the navigation bar (after activation or a Done-button change).
void StandinRefreshTopBar(void);

// True when the window asked for the navigation bar's "ok" button.
BOOL StandinWantsDoneButton(HWND hwnd);

// Where the notification icons end in the navigation bar: its right edge,
// or the left of "ok" while that shows.
int StandinNotifyIconsRight(HWND bar);

// Draws the notification icons right-aligned at right; returns the x where
// they begin (right itself when there are none).
int StandinPaintNotifyIcons(HDC dc, int right, int height);

// A stylus-down (or -up) on the bar at point: the icon under the down gets
// its callback message with that mouse message (the up goes to the icon the
// down hit). True when an icon took it.
BOOL StandinTapNotifyIcon(POINT point, int right, int height, UINT mouseMessage);
