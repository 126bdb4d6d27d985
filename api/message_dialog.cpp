#include "api/message_dialog.h"

#include <climits>
#include <string>
#include <vector>

#include "api/api_texts.h"
#include "api/data_workers.h"
#include "api/dialog_controls.h"
#include "api/friend_model.h"
#include "api/message_history.h"
#include "app/shell.h"
#include "net/captcha_logic.h"
#include "net/session.h"
#include "net/text.h"
#include "resources/resource.h"
#include "ui/dpi.h"

// The row the message command was given; the dialog names that friend.
LONG g_selectedRow = 0;

namespace {

const DWORD EDIT_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;

const ControlRow kControls[] = {
    {IDC_MESSAGE_NAME, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 3, 5, 150, 30},
    {IDC_MESSAGE_SEND, L"BUTTON", TEXT_SEND_MESSAGE, WS_CHILD | WS_VISIBLE | BS_CENTER, 0, 35,
        EXTENT_DIALOG_RIGHT, 35},
    {IDC_MESSAGE_EDIT, L"EDIT", L"", EDIT_STYLE, 0, 70, EXTENT_SCREEN_WIDTH, EXTENT_REST},
};
const int CONTROL_COUNT = sizeof(kControls) / sizeof(kControls[0]);

// The friend the open dialog writes to, as its row read when it opened: a
// refresh may put another name in that row before the user sends.
std::wstring g_recipientName;

std::wstring SelectedRowText()
{
    const LRESULT length = SendToFriendList(LB_GETTEXTLEN, (WPARAM)g_selectedRow, 0);
    if (length == LB_ERR || length < 0)
        return std::wstring();
    std::vector<wchar_t> text((size_t)length + 1, L'\0');
    SendToFriendList(LB_GETTEXT, (WPARAM)g_selectedRow, (LPARAM)text.data());
    return text.data();
}

// The recipient's id in the list the list box shows: the model's current
// slot, copied under its lock.
bool LookUpRecipient(const std::wstring& name, int* id)
{
    const FriendListCopy list = g_friendModel.CopyCurrentList();
    return FindRecipientId(list.document, TypedToAnsi(name), id);
}

DialogFrame MessageFrame(HWND dialog, int dpi)
{
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int bar = ScaleForDpi(26, dpi);
    // The main window's status bar stays in view below, as tall as it is scaled.
    return PlaceDeviceDialog(dialog, screenHeight - 2 * bar - ScaleForDpi(22, dpi), dpi,
        screenHeight - 2 * bar - ScaleForDpi(22, dpi) - ScaleForDpi(70, dpi));
}

void OnInitDialog(HWND dialog)
{
    InitDeviceDialog(dialog, IDR_SEND_BAR);
    const DialogFrame frame = MessageFrame(dialog, GetScreenDpiY());
    g_recipientName = SelectedRowText();
    LayOutControls(dialog, kControls, CONTROL_COUNT, frame, false);
    SetDlgItemTextW(dialog, IDC_MESSAGE_NAME, g_recipientName.c_str());
    SendDlgItemMessageW(dialog, IDC_MESSAGE_EDIT, EM_SETLIMITTEXT, TYPED_TEXT_LIMIT, 0);
    // A text that could not be sent to this friend comes back.
    int id = 0;
    if (LookUpRecipient(g_recipientName, &id))
        SetDlgItemTextW(dialog, IDC_MESSAGE_EDIT, DraftFor(id).c_str());
}

std::wstring TypedText(HWND dialog)
{
    std::vector<wchar_t> text(TYPED_TEXT_LIMIT + 1, L'\0');
    GetDlgItemTextW(dialog, IDC_MESSAGE_EDIT, text.data(), (int)text.size());
    return text.data();
}

// A request too long for its buffer is caught here, while the user still
// has his text in front of him; the worker checks again with its session.
// When a captcha is due, room is kept for the longest fields it can add.
bool FitsRequest(const MessageJob& job)
{
    char sid[SESSION_ID_SIZE];
    char memberId[SESSION_ID_SIZE];
    ReadSessionIds(sid, memberId);
    MessageJob longest = job;
    if (g_messageCaptchaDue)
        longest.captcha = CaptchaQuery(INT_MAX, std::string(CAPTCHA_CODE_MAX, '\xff'));
    char request[DATA_REQUEST_SIZE];
    return ComposeMessageRequest(longest, sid, request, sizeof(request)) != DataRequestTooLong;
}

INT_PTR OnSend(HWND dialog, UINT command)
{
    MessageJob job;
    // Without a member of that name nothing is sent: an id from an earlier
    // send would give the message to somebody else.
    if (!LookUpRecipient(g_recipientName, &job.recipientId)) {
        SetStatusText(TEXT_CONTACT_NOT_FOUND);
        return TRUE;
    }
    job.typed = TypedText(dialog);
    job.text = UrlEncode(TypedToAnsi(job.typed));
    job.act = ACT_ADD_MESSAGE;
    job.recipientName = g_recipientName;
    job.serial = 0;
    if (!FitsRequest(job)) {
        SetStatusText(TEXT_MESSAGE_TOO_LONG);
        return TRUE;
    }
    job.serial = RecordMessageSend(job.recipientName, job.typed);
    StartMessageSend(job);
    EndDialog(dialog, command);
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, UINT id)
{
    switch (id) {
    case IDOK:
    case IDM_BAR_CLOSE: EndDialog(dialog, id); return TRUE;
    case IDM_BAR_SEND:
    case IDC_MESSAGE_SEND: return OnSend(dialog, id);
    default: return FALSE;
    }
}

}  // namespace

void PlaceMessageDialog(HWND dialog, int dpi)
{
    LayOutControls(dialog, kControls, CONTROL_COUNT, MessageFrame(dialog, dpi), true);
}

INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_CLOSE: EndDialog(dialog, WM_CLOSE); return TRUE;
    default: return FALSE;
    }
}

void OpenMessageDialog()
{
    g_selectedRow = (LONG)SendToFriendList(LB_GETCURSEL, 0, 0);
    if (g_selectedRow == LB_ERR) {
        SetStatusText(TEXT_NO_CONTACT);
        return;
    }
    ShowModalDialog(IDD_MESSAGE, MessageDialogProc);
}
