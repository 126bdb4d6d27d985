// The picture arrives decoded and scaled for the screen; the dialog only
// shows it and collects the code.
#include "app/captcha_dialog.h"

#include <aygshell.h>
#include <string.h>

#include <string>

#include "base/shell.h"
#include "app/picture.h"
#include "app/app_texts.h"
#include "net/captcha.h"
#include "net/text_conv.h"
#include "resources/resource.h"
#include "ui/dpi.h"

namespace {

struct CaptchaControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int x, y, width, height;  // 96-dpi pixels, scaled when created
};

// The picture is 150 x 30 and shown at that size scaled for the screen.
const int kPictureWidth = 150;
const int kPictureHeight = 30;

const CaptchaControl kControls[] = {
    {IDC_CAPTCHA_LABEL, L"STATIC", TEXT_CAPTCHA_PROMPT, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 6, 8,
        228, 16},
    {IDC_CAPTCHA_PICTURE, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, 45, 30, kPictureWidth,
        kPictureHeight},
    {IDC_CAPTCHA_CODE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 45, 70,
        kPictureWidth, 22},
};

struct CaptchaDialogData {
    CaptchaPrompt* prompt;
    HBITMAP picture;
};

SHACTIVATEINFO g_captchaActivateInfo;

void CreateControls(HWND dialog)
{
    HFONT font = (HFONT)SendMessageW(dialog, WM_GETFONT, 0, 0);
    for (const CaptchaControl& c : kControls) {
        HWND control = CreateWindowExW(0, c.className, c.text, c.style, SX(c.x), SY(c.y), SX(c.width),
            SY(c.height), dialog, (HMENU)(INT_PTR)c.id, g_instance, NULL);
        SendMessageW(control, WM_SETFONT, (WPARAM)font, FALSE);
    }
}

BOOL OnInitDialog(HWND dialog, CaptchaDialogData* data)
{
    SetWindowLongPtrW(dialog, DWLP_USER, (LONG_PTR)data);
    memset(&g_captchaActivateInfo, 0, sizeof(g_captchaActivateInfo));
    g_captchaActivateInfo.cbSize = sizeof(g_captchaActivateInfo);
    InitDeviceDialog(dialog, IDR_SEND_BAR);
    CreateControls(dialog);
    SendDlgItemMessageW(dialog, IDC_CAPTCHA_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)data->picture);
    SendDlgItemMessageW(dialog, IDC_CAPTCHA_CODE, EM_LIMITTEXT, CAPTCHA_CODE_MAX, 0);
    SetFocus(GetDlgItem(dialog, IDC_CAPTCHA_CODE));
    return FALSE;  // the focus is set
}

// The typed code in the prompt; false when there is none to send, or when
// it holds a character the code page lacks (said in the dialog and the
// status bar, the code left as typed).
bool TakeCode(HWND dialog, CaptchaPrompt* prompt)
{
    wchar_t typed[CAPTCHA_CODE_MAX + 1] = L"";
    GetDlgItemTextW(dialog, IDC_CAPTCHA_CODE, typed, CAPTCHA_CODE_MAX + 1);
    const std::wstring refusal = UnconvertibleCharacterText(typed);
    if (!refusal.empty()) {
        SetDlgItemTextW(dialog, IDC_CAPTCHA_LABEL, refusal.c_str());
        SetStatusText(refusal.c_str());
        return false;
    }
    char* narrow = NULL;
    WideToAnsi(typed, &narrow);
    const bool any = narrow && narrow[0];
    if (any)
        lstrcpynA(prompt->code, narrow, sizeof(prompt->code));
    delete[] narrow;
    return any;
}

INT_PTR OnCommand(HWND dialog, UINT id)
{
    CaptchaDialogData* data = (CaptchaDialogData*)GetWindowLongPtrW(dialog, DWLP_USER);
    switch (id) {
    case IDOK:
    case IDM_BAR_SEND:
        if (!TakeCode(dialog, data->prompt)) {
            SetFocus(GetDlgItem(dialog, IDC_CAPTCHA_CODE));  // nothing typed yet
            return TRUE;
        }
        data->prompt->answer = CaptchaTyped;
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDM_BAR_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK CaptchaDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (CommonDialogMessage(dialog, message, wParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, (CaptchaDialogData*)lParam);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_ACTIVATE: SHHandleWMActivate(dialog, wParam, lParam, &g_captchaActivateInfo, 0); return FALSE;
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(dialog, wParam, lParam, &g_captchaActivateInfo);
        return FALSE;
    default: return FALSE;
    }
}

LRESULT ShowCaptchaPrompt(CaptchaPrompt* prompt)
{
    if (!prompt)
        return 0;
    // The login and a message may both ask; the dialog's own loop would open
    // the second over the first, and the user would type one code into the
    // other's picture.
    static bool open = false;
    if (open) {
        prompt->answer = CaptchaBusy;
        return 0;
    }
    prompt->answer = CaptchaCancelled;
    // Decoded before the dialog opens, so a broken picture opens nothing.
    CaptchaDialogData data = {prompt, DecodePicture(prompt->picture, SX(kPictureWidth), SY(kPictureHeight))};
    if (!data.picture) {
        prompt->answer = CaptchaUnreadable;
        return 0;
    }
    open = true;
    // Also when the main window goes while the dialog is open (exit): the
    // dialog goes with it, and the worker's send returns cancelled.
    if (ShowModalDialogParam(IDD_CAPTCHA, CaptchaDialogProc, (LPARAM)&data) != IDOK)
        prompt->answer = CaptchaCancelled;
    open = false;
    DeleteObject(data.picture);
    return 0;
}
