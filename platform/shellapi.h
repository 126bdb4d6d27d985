// Notification icons (shellapi) for builds that are not for the device. On
// the device the notification icons sit in the navigation bar at the top;
// here the stand-in's navigation bar shows them (notify_icon.cpp), and the
// request goes on to the desktop's own shell as well. The program calls
// Shell_NotifyIconW as on the device.
#pragma once

#include <windows.h>
#include_next <shellapi.h>

#ifndef _WIN32_WCE

#ifdef __cplusplus
extern "C" {
#endif

BOOL WINAPI StandinShellNotifyIcon(DWORD message, PNOTIFYICONDATAW data);

#ifdef __cplusplus
}
#endif

#undef Shell_NotifyIcon
#define Shell_NotifyIcon  StandinShellNotifyIcon
#define Shell_NotifyIconW StandinShellNotifyIcon

#endif  // _WIN32_WCE
