#include "api/message_dialog.h"

#include <string>
#include <vector>

#include "api/api_texts.h"
#include "api/data_workers.h"
#include "api/dialog_controls.h"
#include "api/friend_model.h"
#include "api/message_history.h"
#include "base/shell.h"
#include "net/captcha_logic.h"
#include "net/session.h"
#include "net/text.h"
#include "resources/resource.h"

// The row the message command was given; the dialog names that friend.
LONG g_selectedRow = 0;

namespace {

const DWORD EDIT_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;

const ControlRow kControls[] = {
    {IDC_MESSAGE_NAME, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 3, 5, 150, 30},
    {IDC_MESSAGE_SEND, L"BUTTON", TEXT_SEND_MESSAGE, WS_CHILD | WS_VISIBLE | BS_CENTER, 0, 35,
        ExtentDialogRight, 35},
    {IDC_MESSAGE_EDIT, L"EDIT", L"", EDIT_STYLE, 0, 70, ExtentScreenWidth, ExtentRest},
};
const int CONTROL_COUNT = sizeof(kControls) / sizeof(kControls[0]);

// The friend the open dialog writes to, as its row read when it opened: a
// refresh may put another name in that row before the user sends.
std::wstring g_recipientName;
// The serial of the draft it opened with: a send that goes out drops that
// one, never a draft another send left meanwhile.
int g_draftSerial = 0;

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

const TypingDialog kShape = {kControls, CONTROL_COUNT, IDC_MESSAGE_EDIT};

void OnInitDialog(HWND dialog)
{
    g_recipientName = SelectedRowText();
    InitTypingDialog(dialog, kShape);
    SetDlgItemTextW(dialog, IDC_MESSAGE_NAME, g_recipientName.c_str());
    // A text that could not be sent to this friend comes back.
    int id = 0;
    g_draftSerial = 0;
    if (LookUpRecipient(g_recipientName, &id))
        SetDlgItemTextW(dialog, IDC_MESSAGE_EDIT, DraftFor(id, &g_draftSerial).c_str());
    FocusTypingField(dialog, kShape);
}

// When a captcha is due, room is kept for the longest fields it can add.
bool FitsRequest(const MessageJob& job)
{
    MessageJob longest = job;
    if (MessageCaptchaDue())
        longest.captcha = LongestCaptchaQuery();
    auto compose = [&](const char* sid, const char*, char* request, size_t size) {
        return ComposeMessageRequest(longest, sid, request, size);
    };
    return RequestFits(compose, TEXT_MESSAGE_TOO_LONG);
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
    if (!ReadTypedJob(dialog, kShape, ACT_ADD_MESSAGE, &job))
        return TRUE;
    job.recipientName = g_recipientName;
    job.serial = 0;
    job.draftSerial = g_draftSerial;
    if (!FitsRequest(job))
        return TRUE;
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
    PlaceTypingDialog(dialog, kShape, dpi);
}

INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (CommonDialogMessage(dialog, message, wParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return FALSE;  // the caret is in the text field
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
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
