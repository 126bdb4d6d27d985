// Shared between the files of the shell stand-in only.
#pragma once

#include <windows.h>

// Window property that marks a window as having asked for a Done button.
#define STANDIN_DONE_BUTTON_PROP L"StandinDoneButton"

// Screen size in pixels.
int StandinScreenWidth(void);
int StandinScreenHeight(void);

// Current state of the simulated input panel.
BOOL StandinInputPanelOn(void);
RECT StandinInputPanelRect(void);

// Installs the navigation bar and, for the calling thread, the hook that
// gives default-placed main windows the device's place and frame.
BOOL StandinInstallDeviceLook(void);

// Repaints the navigation bar (after activation or a Done-button change).
void StandinRefreshTopBar(void);

// True when the window asked for the navigation bar's "ok" button.
BOOL StandinWantsDoneButton(HWND hwnd);
