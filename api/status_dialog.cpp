#include "api/status_dialog.h"

#include <string>
#include <vector>

#include "api/api_texts.h"
#include "api/data_workers.h"
#include "api/dialog_controls.h"
#include "api/status_history.h"
#include "app/shell.h"
#include "net/session.h"
#include "net/text.h"
#include "resources/resource.h"
#include "ui/dpi.h"

namespace {

const ControlRow kControls[] = {
    {IDC_STATUS_EDIT, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0,
        EXTENT_SCREEN_WIDTH, 50},
    {IDC_STATUS_SET, L"BUTTON", TEXT_SET_STATUS, WS_CHILD | WS_VISIBLE | BS_CENTER, 0, 50,
        EXTENT_SCREEN_WIDTH, 35},
    {IDC_STATUS_LIST, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_DISABLENOSCROLL, 0, 85,
        EXTENT_SCREEN_WIDTH, EXTENT_REST},
};
const int CONTROL_COUNT = sizeof(kControls) / sizeof(kControls[0]);

DialogFrame StatusFrame(HWND dialog, int dpi)
{
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int bar = ScaleForDpi(26, dpi);
    // The history list ends with the dialog, above the main window's status bar.
    return PlaceDeviceDialog(dialog, screenHeight - (2 * bar + ScaleForDpi(22, dpi)), dpi,
        screenHeight - (2 * bar + ScaleForDpi(22, dpi) + ScaleForDpi(85, dpi)));
}

void OnInitDialog(HWND dialog)
{
    InitDeviceDialog(dialog, IDR_SEND_BAR);
    LayOutControls(dialog, kControls, CONTROL_COUNT, StatusFrame(dialog, GetScreenDpiY()), false);
    SendDlgItemMessageW(dialog, IDC_STATUS_EDIT, EM_SETLIMITTEXT, TYPED_TEXT_LIMIT, 0);
    for (const std::wstring& text : StatusHistory())
        SendDlgItemMessageW(dialog, IDC_STATUS_LIST, LB_ADDSTRING, 0, (LPARAM)text.c_str());
}

std::wstring TypedText(HWND dialog)
{
    std::vector<wchar_t> text(TYPED_TEXT_LIMIT + 1, L'\0');
    GetDlgItemTextW(dialog, IDC_STATUS_EDIT, text.data(), (int)text.size());
    return text.data();
}

bool FitsRequest(const StatusJob& job)
{
    char sid[SESSION_ID_SIZE];
    char memberId[SESSION_ID_SIZE];
    ReadSessionIds(sid, memberId);
    char request[DATA_REQUEST_SIZE];
    return ComposeStatusRequest(job, memberId, sid, request, sizeof(request)) != DataRequestTooLong;
}

INT_PTR OnSend(HWND dialog, UINT command)
{
    StatusJob job;
    job.typed = TypedText(dialog);
    job.text = UrlEncode(TypedToAnsi(job.typed));
    job.act = ACT_SET_ACTIVITY;
    // Nothing is cut: the dialog stays open with the text.
    if (!FitsRequest(job)) {
        SetStatusText(TEXT_STATUS_TOO_LONG);
        return TRUE;
    }
    StartStatusUpdate(job);
    if (g_loggedIn)
        EndDialog(dialog, command);
    return TRUE;
}

// A status set before goes back into the edit field, to be set again.
INT_PTR OnHistoryPick(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_STATUS_LIST);
    const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
    const LRESULT length = row == LB_ERR ? LB_ERR : SendMessageW(list, LB_GETTEXTLEN, row, 0);
    if (length == LB_ERR)
        return TRUE;
    std::vector<wchar_t> text((size_t)length + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, row, (LPARAM)text.data());
    SetDlgItemTextW(dialog, IDC_STATUS_EDIT, text.data());
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, UINT id, UINT notification)
{
    switch (id) {
    case IDOK:
    case IDM_BAR_CLOSE: EndDialog(dialog, id); return TRUE;
    case IDM_BAR_SEND:
    case IDC_STATUS_SET: return OnSend(dialog, id);
    case IDC_STATUS_LIST: return notification == LBN_SELCHANGE ? OnHistoryPick(dialog) : FALSE;
    default: return FALSE;
    }
}

}  // namespace

void PlaceStatusDialog(HWND dialog, int dpi)
{
    LayOutControls(dialog, kControls, CONTROL_COUNT, StatusFrame(dialog, dpi), true);
}

INT_PTR CALLBACK StatusDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE: EndDialog(dialog, WM_CLOSE); return TRUE;
    default: return FALSE;
    }
}

void OpenStatusDialog()
{
    ShowModalDialog(IDD_STATUS, StatusDialogProc);
}
