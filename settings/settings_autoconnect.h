// The connect-at-start choice of the settings dialog, kept in settings.txt
// as one more line of the service's section, "autoconnect=1", after the
// password. A file without it (every file written before) means "no", and a
// "no" adds no line, so such files stay exactly as they were.
#pragma once

#include <string>

#include "settings/settings_file.h"

#define SETTINGS_AUTOCONNECT_KEY "autoconnect"

// Loaded at start, set by the dialog's Save; read once the main window is up.
extern bool g_autoConnect;

// True only for "autoconnect=1" in the service's section.
bool SelectAutoConnect(const SettingsSections& sections);

// The whole text a save writes: the three lines, then the choice's line
// when it is on.
std::string ComposeSettingsTextWith(const char* email, const char* password, bool autoConnect);
