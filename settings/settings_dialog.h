// The settings dialog (template 102): one editable list with a row per
// setting; "Сохранить" stores them in settings.txt and then in
// g_credentials, everything else closes without a change.
#pragma once

#include <windows.h>
#include <aygshell.h>

#include "ui/editable_list_view.h"

// The dialog's list control; its window is made anew with every opening.
extern EditableListView g_settingsList;
extern SHACTIVATEINFO g_settingsActivateInfo;

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Adds a row per setting with the values settings.txt gave.
void FillSettingsList();
