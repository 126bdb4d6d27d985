// The main window: start-up, layout, clock, notification icon, shutdown.
#pragma once

#include <windows.h>

// The clock timer and the notification icon of the main window.
enum {
    IDT_CLOCK = 1025,
    CLOCK_PERIOD_MS = 60000,  // the clock shows minutes
    WM_NOTIFY_ICON = 3025,    // the icon's callback message
    ID_NOTIFY_ICON = 5000,
};

// Creates and shows the main window; false when another instance already
// runs (its window is brought forward) or when anything fails.
bool InitMainWindow(HINSTANCE instance, int showCommand);
ATOM RegisterMainClass(HINSTANCE instance, const wchar_t* className);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Writes the local date and time into the clock label.
void UpdateClock();
// The clock text for one moment, as UpdateClock shows it; buffer holds
// CLOCK_TEXT_SIZE wide characters.
void FormatClockText(const SYSTEMTIME& time, wchar_t* buffer);

// One notification-icon request (NIM_ADD, NIM_DELETE).
BOOL NotifyIconCall(HWND window, DWORD action, UINT iconId, HICON icon);
BOOL AddNotifyIcon(HWND window, UINT iconId, HICON icon);
BOOL RemoveNotifyIcon(HWND window, UINT iconId, HICON icon);
