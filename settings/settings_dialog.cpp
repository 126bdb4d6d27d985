#include "settings/settings_dialog.h"

#include "base/shell.h"
#include "base/constants.h"
#include "base/credentials.h"
#include "net/text_conv.h"
#include "resources/resource.h"
#include "settings/settings_autoconnect.h"
#include "settings/settings_file.h"
#include "settings/settings_texts.h"
#include "ui/bar_heights.h"
#include "ui/dpi.h"

// Built before WinMain runs, with its fonts and pen; lives for the whole run.
EditableListView g_settingsList;
SHACTIVATEINFO g_settingsActivateInfo = {};

namespace {

void AddCredentialRow(const wchar_t* caption, const char* field)
{
    wchar_t* wide = NULL;
    AnsiToWide(field, &wide);
    g_settingsList.AddTextRow(caption, wide);
    delete[] wide;
}

void OnInitDialog(HWND dialog)
{
    const HWND softKeys = InitDeviceDialog(dialog, IDR_SETTINGS_BAR);
    ZeroMemory(&g_settingsActivateInfo, sizeof(g_settingsActivateInfo));
    g_settingsActivateInfo.cbSize = sizeof(g_settingsActivateInfo);

    RECT frame = {}, bar = {};
    GetWindowRect(dialog, &frame);
    if (softKeys)
        GetWindowRect(softKeys, &bar);
    // Without a list the dialog still opens; Save then finds no rows.
    if (g_settingsList.Create(dialog, IDC_SETTINGS_LIST, 0, 0, frame.right - frame.left,
            (frame.bottom - frame.top) - (bar.bottom - bar.top), TEXT_YES, TEXT_NO))
        FillSettingsList();
}

// Both values go into g_credentials (what the next login sends, whether or
// not the file can be written), then into settings.txt.
void Save()
{
    if (g_settingsList.RowCount() < SETTINGS_ROW_COUNT)
        return;
    wchar_t email[TEXT_BUFFER_SIZE];
    wchar_t password[TEXT_BUFFER_SIZE];
    lstrcpynW(email, g_settingsList.GetText(SETTINGS_ROW_EMAIL), TEXT_BUFFER_SIZE);
    lstrcpynW(password, g_settingsList.GetText(SETTINGS_ROW_PASSWORD), TEXT_BUFFER_SIZE);
    char* narrowEmail = NULL;
    char* narrowPassword = NULL;
    WideToAnsi(email, &narrowEmail);
    WideToAnsi(password, &narrowPassword);

    StoreCredentials(g_credentials, narrowEmail, narrowPassword);
    g_autoConnect = g_settingsList.GetYesNo(SETTINGS_ROW_AUTOCONNECT) != 0;
    SaveSettings(narrowEmail, narrowPassword);

    delete[] narrowEmail;
    delete[] narrowPassword;
}

INT_PTR OnCommand(HWND dialog, UINT id)
{
    if (id == IDM_BAR_SAVE) {
        Save();
        EndDialog(dialog, IDM_BAR_SAVE);
        return TRUE;
    }
    if (id == IDOK || id == IDM_BAR_CLOSE) {
        EndDialog(dialog, id);
        return TRUE;
    }
    return FALSE;
}

// The input panel went up or down (or the screen changed): the list keeps to
// the space above the panel, with the edited row in view.
void OnSettingChange(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    SHHandleWMSettingChange(dialog, wParam, lParam, &g_settingsActivateInfo);
    SetWindowPos(dialog, HWND_TOP, 0, SY(NAV_BAR_HEIGHT), GetSystemMetrics(SM_CXSCREEN),
        GetSystemMetrics(SM_CYSCREEN) - SY(NAV_BAR_HEIGHT) - SY(SOFT_KEY_BAR_HEIGHT), 0);
    RECT frame;
    GetWindowRect(dialog, &frame);

    SIPINFO panel = {};
    panel.cbSize = sizeof(panel);
    const bool panelOn = SHSipInfo(SPI_GETSIPINFO, 0, &panel, 0) && (panel.fdwFlags & SIPF_ON);
    const int height = panelOn ? panel.rcSipRect.top - SY(NAV_BAR_HEIGHT) : frame.bottom - frame.top;
    HWND list = g_settingsList.Window();
    if (!list)
        return;
    SetWindowPos(list, NULL, 0, 0, frame.right - frame.left, height, SWP_NOMOVE | SWP_NOZORDER);
    g_settingsList.EnsureCurrentVisible();
}

}  // namespace

void FillSettingsList()
{
    const wchar_t* const profiles[] = {SERVICE_DISPLAY_NAME};
    g_settingsList.AddListRow(TEXT_PROFILE_CAPTION, profiles, 1, 0);
    AddCredentialRow(TEXT_EMAIL_CAPTION, g_credentials.email);
    AddCredentialRow(TEXT_PASSWORD_CAPTION, g_credentials.password);
    g_settingsList.AddYesNoRow(TEXT_AUTOCONNECT_CAPTION, g_autoConnect ? 1 : 0);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (CommonDialogMessage(dialog, message, wParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
    case WM_DRAWITEM:
        if (wParam != IDC_SETTINGS_LIST)
            return FALSE;
        return (INT_PTR)g_settingsList.DrawItem((const DRAWITEMSTRUCT*)lParam);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_SETTINGCHANGE: OnSettingChange(dialog, wParam, lParam); return FALSE;
    default: return FALSE;
    }
}
