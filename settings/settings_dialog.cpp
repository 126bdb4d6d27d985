#include "settings/settings_dialog.h"

#include <cwchar>
#include <string>
#include <vector>

#include "base/shell.h"
#include "base/constants.h"
#include "base/credentials.h"
#include "net/text_conv.h"
#include "resources/resource.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"
#include "settings/settings_texts.h"
#include "ui/bar_heights.h"
#include "ui/dpi.h"

// Built before WinMain runs, with its fonts and pen; lives for the whole run.
EditableListView g_settingsList;
SHACTIVATEINFO g_settingsActivateInfo = {};

namespace {

// Rows whose value settings.txt held but could not give: Save refuses them
// until they are typed again, so no value is written empty unasked.
std::vector<bool> g_retype;
// A refusal was shown in this opening: the save that works says so.
bool g_refusalShown = false;

void AddRow(int row, const std::string& value)
{
    const SettingRow& schema = SETTING_ROWS[row];
    if (schema.kind == SettingKindProfile) {
        const wchar_t* const profiles[] = {SERVICE_DISPLAY_NAME};
        g_settingsList.AddListRow(schema.caption, profiles, 1, 0);
    } else if (schema.kind == SettingKindYesNo) {
        g_settingsList.AddYesNoRow(schema.caption, value == "1" ? 1 : 0);
    } else {
        wchar_t* wide = NULL;
        AnsiToWide(value.c_str(), &wide);
        g_settingsList.AddTextRow(schema.caption, wide);
        delete[] wide;
    }
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

// Why a typed text cannot be saved as it is, or null. WideToAnsi would
// replace a character the code page lacks, and the reader removes spaces,
// so either would come back other than typed.
const wchar_t* TextProblem(int row, const wchar_t* typed, std::wstring& character)
{
    if (row < static_cast<int>(g_retype.size()) && g_retype[row])
        return TEXT_SAVE_ROW_RETYPE;
    character = FirstUnconvertibleCharacter(typed);
    if (!character.empty())
        return TEXT_SAVE_ROW_CHARACTER;
    if (wcspbrk(typed, L"\r\n"))
        return TEXT_SAVE_ROW_LINE_END;
    if (wcschr(typed, L' '))
        return TEXT_SAVE_ROW_SPACE;
    return NULL;
}

// The row's value as the file will hold it; false with the reason when it
// cannot be saved.
bool TakeRow(int row, std::string& value, std::wstring& reason)
{
    const SettingRow& schema = SETTING_ROWS[row];
    if (schema.kind == SettingKindProfile)
        return true;
    if (schema.kind == SettingKindYesNo) {
        value = g_settingsList.GetYesNo(row) ? "1" : "0";
        return true;
    }
    const wchar_t* typed = g_settingsList.GetText(row);
    std::wstring character;
    const wchar_t* problem = TextProblem(row, typed ? typed : L"", character);
    if (!problem) {
        char* narrow = NULL;
        WideToAnsi(typed ? typed : L"", &narrow);
        value = narrow ? narrow : "";
        delete[] narrow;
        if (value.size() > schema.maxBytes)
            problem = TEXT_SAVE_ROW_TOO_LONG;
    }
    if (!problem)
        return true;
    reason = std::wstring(TEXT_SETTINGS_NOT_SAVED) + TEXT_SAVE_IN_ROW + RowName(row) + problem + character;
    return false;
}

void PlaceDialog(HWND dialog);

// The reason goes to the main window's status bar, which the full-screen
// dialog covers: from the first refusal on, the dialog ends above it.
void Refuse(HWND dialog, const std::wstring& reason)
{
    SetStatusText(reason.c_str());
    if (!g_refusalShown) {
        g_refusalShown = true;
        PlaceDialog(dialog);
    }
}

// The file first, then g_credentials: what a login uses is always what
// settings.txt holds. False, with the reason shown, when nothing was saved.
bool Save(HWND dialog)
{
    if (g_settingsList.RowCount() < SETTING_ROW_COUNT)
        return true;  // no rows: nothing was typed
    SettingsValues values = DefaultSettingsValues();
    std::wstring reason;
    for (int row = 0; row < SETTING_ROW_COUNT; ++row) {
        if (!TakeRow(row, values[row], reason)) {
            Refuse(dialog, reason);
            return false;
        }
    }
    const SettingsSaveResult result = SaveSettings(values);
    if (result != SettingsSaveDone) {
        Refuse(dialog, SettingsSaveText(result));
        return false;
    }
    Credentials saved;
    CredentialsFromValues(values, saved);
    // Stored field by field, so that a captcha due for another e-mail ends.
    StoreCredentials(g_credentials, saved.email, saved.password);
    if (g_refusalShown)
        SetStatusText(TEXT_SETTINGS_SAVED);
    return true;
}

INT_PTR OnCommand(HWND dialog, UINT id)
{
    if (id == IDM_BAR_SAVE) {
        if (Save(dialog))
            EndDialog(dialog, IDM_BAR_SAVE);
        return TRUE;
    }
    // Enter in an open editor (the edit's or the input panel's) arrives as
    // IDOK: it ends the edit, whose value the row already holds, and keeps
    // the dialog open.
    if (id == IDOK && g_settingsList.editor) {
        g_settingsList.EndEdit();
        return TRUE;
    }
    if (id == IDOK || id == IDM_BAR_CLOSE) {
        EndDialog(dialog, id);
        return TRUE;
    }
    return FALSE;
}

// The input panel went up or down (or the screen changed).
void OnSettingChange(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    SHHandleWMSettingChange(dialog, wParam, lParam, &g_settingsActivateInfo);
    PlaceDialog(dialog);
}

// Between the navigation bar and the soft-key bar; once a save was refused,
// above the status bar that says why. The list keeps to the space above the
// input panel, with the edited row in view.
void PlaceDialog(HWND dialog)
{
    const int statusRoom = g_refusalShown ? SY(STATUS_BAR_HEIGHT) : 0;
    SetWindowPos(dialog, HWND_TOP, 0, SY(NAV_BAR_HEIGHT), GetSystemMetrics(SM_CXSCREEN),
        GetSystemMetrics(SM_CYSCREEN) - SY(NAV_BAR_HEIGHT) - SY(SOFT_KEY_BAR_HEIGHT) - statusRoom, 0);
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
    const SettingsRead& read = SettingsFileRead();
    for (int row = 0; row < SETTING_ROW_COUNT; ++row)
        AddRow(row, read.values[row]);
    g_retype = read.refused;
    g_refusalShown = false;
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
    case ELVN_TEXTCHANGED:
    case ELVN_YESNOCHANGED:
        if (wParam < g_retype.size())
            g_retype[wParam] = false;  // typed again
        return TRUE;
    case WM_SETTINGCHANGE: OnSettingChange(dialog, wParam, lParam); return FALSE;
    default: return FALSE;
    }
}
