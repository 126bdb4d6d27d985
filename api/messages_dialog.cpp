#include "api/messages_dialog.h"

#include <string>

#include "api/api_texts.h"
#include "api/dialog_controls.h"
#include "api/message_history.h"
#include "base/shell.h"
#include "resources/resource.h"
#include "ui/dpi.h"

namespace {

// Enough of a message to know it again in a row of a small screen.
const std::size_t FIRST_WORDS_CHARS = 24;

const ControlRow kControls[] = {
    {IDC_MESSAGES_LIST, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, ExtentScreenWidth,
        ExtentRest},
};
const int CONTROL_COUNT = sizeof(kControls) / sizeof(kControls[0]);

// Two rows a message, so the outcome is not cut off on a narrow screen.
void AddMessageRows(HWND list, const SentMessage& sent)
{
    const std::wstring words = sent.recipient + L": " + FirstWords(sent.text, FIRST_WORDS_CHARS);
    const std::wstring outcome
        = L"    \x2014 " + (sent.outcome.empty() ? std::wstring(TEXT_MESSAGE_SENDING) : sent.outcome);
    SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)words.c_str());
    SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)outcome.c_str());
}

void OnInitDialog(HWND dialog)
{
    InitDeviceDialog(dialog, IDR_ABOUT_BAR);
    const int dpi = GetScreenDpiY();
    const int height = HeightAboveStatusBar(dpi);
    LayOutControls(dialog, kControls, CONTROL_COUNT, PlaceDeviceDialog(dialog, height, dpi, height), false);
    HWND list = GetDlgItem(dialog, IDC_MESSAGES_LIST);
    const std::vector<SentMessage> sent = SentMessages();
    if (sent.empty())
        SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)TEXT_NO_MESSAGES);
    for (const SentMessage& entry : sent)
        AddMessageRows(list, entry);
}

}  // namespace

INT_PTR CALLBACK MessagesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return ViewDialogMessage(dialog, message, wParam, OnInitDialog);
}

void OpenMessagesDialog()
{
    ShowModalDialog(IDD_MESSAGES, MessagesDialogProc);
}
