// "Моя страница": the e-mail of the settings, the member id and whether a
// session is open, the status text set last and the traffic of this run.
// Read once when the dialog opens; nothing here talks to the service.
#include "app/my_page_dialog.h"

#include <stdio.h>

#include "app/app_state.h"
#include "base/shell.h"
#include "app/app_texts.h"
#include "api/status_history.h"
#include "net/http_exchange.h"
#include "net/session.h"
#include "net/text_conv.h"
#include "resources/resource.h"
#include "ui/dpi.h"

namespace {

// One row of the page: a caption at the left, its value beside it.
struct PageControl {
    int id;
    const wchar_t* text;  // captions only; values are filled afterwards
    DWORD style;
    int x, y, width, height;  // 96-dpi pixels, scaled when created
};

const DWORD kCaption = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
const DWORD kValue = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;

const PageControl kControls[] = {
    {IDC_MY_PAGE_EMAIL_LABEL, TEXT_MY_PAGE_EMAIL, kCaption, 6, 8, 60, 16},
    {IDC_MY_PAGE_EMAIL, NULL, kValue, 70, 8, 164, 32},
    {IDC_MY_PAGE_MEMBER_LABEL, TEXT_MY_PAGE_MEMBER, kCaption, 6, 44, 60, 16},
    {IDC_MY_PAGE_MEMBER, NULL, kValue, 70, 44, 164, 16},
    {IDC_MY_PAGE_SESSION_LABEL, TEXT_MY_PAGE_SESSION, kCaption, 6, 64, 60, 16},
    {IDC_MY_PAGE_SESSION, NULL, kValue, 70, 64, 164, 16},
    {IDC_MY_PAGE_STATUS_LABEL, TEXT_MY_PAGE_STATUS, kCaption, 6, 84, 60, 16},
    {IDC_MY_PAGE_STATUS, NULL, kValue, 70, 84, 164, 64},
    {IDC_MY_PAGE_TRAFFIC_LABEL, TEXT_MY_PAGE_TRAFFIC, kCaption, 6, 152, 60, 16},
    {IDC_MY_PAGE_TRAFFIC, NULL, kValue, 70, 152, 164, 32},
};

void CreateControls(HWND dialog)
{
    HFONT font = (HFONT)SendMessageW(dialog, WM_GETFONT, 0, 0);
    for (const PageControl& c : kControls) {
        HWND control = CreateWindowExW(0, L"STATIC", c.text ? c.text : L"", c.style, SX(c.x), SY(c.y),
            SX(c.width), SY(c.height), dialog, (HMENU)(INT_PTR)c.id, g_instance, NULL);
        SendMessageW(control, WM_SETFONT, (WPARAM)font, FALSE);
    }
}

// Narrow text of the settings or the session shown as it is, "нет" when empty.
void SetNarrowValue(HWND dialog, int id, const char* value)
{
    wchar_t* wide = NULL;
    if (value[0])
        AnsiToWide(value, &wide);
    SetDlgItemTextW(dialog, id, wide && wide[0] ? wide : TEXT_MY_PAGE_NONE);
    delete[] wide;
}

void FillControls(HWND dialog)
{
    char email[CREDENTIAL_FIELD_SIZE];
    lstrcpynA(email, g_credentials.email, sizeof(email));
    SetNarrowValue(dialog, IDC_MY_PAGE_EMAIL, email);

    char sid[SESSION_ID_SIZE];
    char memberId[SESSION_ID_SIZE];
    ReadSessionIds(sid, memberId);
    SetNarrowValue(dialog, IDC_MY_PAGE_MEMBER, memberId);
    SetDlgItemTextW(
        dialog, IDC_MY_PAGE_SESSION, g_loggedIn ? TEXT_MY_PAGE_LOGGED_IN : TEXT_MY_PAGE_LOGGED_OUT);

    wchar_t status[TEXT_BUFFER_SIZE] = L"";
    const bool known = GetLastStatusText(status, TEXT_BUFFER_SIZE) && status[0];
    SetDlgItemTextW(dialog, IDC_MY_PAGE_STATUS, known ? status : TEXT_MY_PAGE_NONE);

    wchar_t traffic[TEXT_BUFFER_SIZE];
    _snwprintf(traffic, TEXT_BUFFER_SIZE, TEXT_MY_PAGE_TRAFFIC_FORMAT, g_bytesReceived / 1024.0,
        g_bytesSent / 1024.0);
    traffic[TEXT_BUFFER_SIZE - 1] = L'\0';
    SetDlgItemTextW(dialog, IDC_MY_PAGE_TRAFFIC, traffic);
}

void OnInitDialog(HWND dialog)
{
    InitDeviceDialog(dialog, IDR_ABOUT_BAR);
    CreateControls(dialog);
    FillControls(dialog);
}

}  // namespace

INT_PTR CALLBACK MyPageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return ViewDialogMessage(dialog, message, wParam, OnInitDialog);
}
