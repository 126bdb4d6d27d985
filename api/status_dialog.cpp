#include "api/status_dialog.h"

#include <string>
#include <vector>

#include "api/api_texts.h"
#include "api/data_workers.h"
#include "api/dialog_controls.h"
#include "api/status_history.h"
#include "base/shell.h"
#include "net/session.h"
#include "net/text.h"
#include "resources/resource.h"

namespace {

const ControlRow kControls[] = {
    {IDC_STATUS_EDIT, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0,
        ExtentScreenWidth, 50},
    {IDC_STATUS_SET, L"BUTTON", TEXT_SET_STATUS, WS_CHILD | WS_VISIBLE | BS_CENTER, 0, 50, ExtentScreenWidth,
        35},
    {IDC_STATUS_LIST, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_DISABLENOSCROLL
            | LBS_NOINTEGRALHEIGHT,  // down to the dialog's bottom edge, no grey band below
        0, 85, ExtentScreenWidth, ExtentRest},
};
const int CONTROL_COUNT = sizeof(kControls) / sizeof(kControls[0]);

const TypingDialog kShape = {kControls, CONTROL_COUNT, IDC_STATUS_EDIT};

void OnInitDialog(HWND dialog)
{
    InitTypingDialog(dialog, kShape);
    for (const std::wstring& text : StatusHistory())
        SendDlgItemMessageW(dialog, IDC_STATUS_LIST, LB_ADDSTRING, 0, (LPARAM)text.c_str());
    FocusTypingField(dialog, kShape);
}

INT_PTR OnSend(HWND dialog, UINT command)
{
    StatusJob job;
    if (!ReadTypedJob(dialog, kShape, ACT_SET_ACTIVITY, &job))
        return TRUE;
    // Nothing is cut: the dialog stays open with the text.
    auto compose = [&](const char* sid, const char* memberId, char* request, size_t size) {
        return ComposeStatusRequest(job, memberId, sid, request, size);
    };
    if (!RequestFits(compose, TEXT_STATUS_TOO_LONG))
        return TRUE;
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
    PlaceTypingDialog(dialog, kShape, dpi);
}

INT_PTR CALLBACK StatusDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (CommonDialogMessage(dialog, message, wParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return FALSE;  // the caret is in the text field
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default: return FALSE;
    }
}

void OpenStatusDialog()
{
    ShowModalDialog(IDD_STATUS, StatusDialogProc);
}
