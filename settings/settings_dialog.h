// The settings dialog (template 102): the account's e-mail and password and
// the connect-at-start choice in one editable list; "Сохранить" stores them
// in g_credentials and settings.txt, everything else closes without a change.
#pragma once

#include <windows.h>
#include <aygshell.h>

#include "ui/editable_list_view.h"

// Rows of the list, top to bottom.
enum {
    SETTINGS_ROW_PROFILE = 0,
    SETTINGS_ROW_EMAIL = 1,
    SETTINGS_ROW_PASSWORD = 2,
    SETTINGS_ROW_AUTOCONNECT = 3,
    SETTINGS_ROW_COUNT = 4
};

// The dialog's list control; its window is made anew with every opening.
extern EditableListView g_settingsList;
extern SHACTIVATEINFO g_settingsActivateInfo;

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Adds the four rows with the values in force now.
void FillSettingsList();
