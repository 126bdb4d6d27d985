#include "api/dialog_controls.h"

#include <vector>

#include "base/shell.h"
#include "net/text_conv.h"
#include "resources/resource.h"
#include "ui/bar_heights.h"
#include "ui/dpi.h"
#include "ui/scale.h"

namespace {

int Resolve(int extent, const DialogFrame& frame)
{
    switch (extent) {
    case ExtentScreenWidth: return frame.screenWidth;
    case ExtentDialogRight: return frame.dialogRight;
    case ExtentRest: return frame.restHeight;
    default: return ScaleForDpi(extent, frame.dpi);
    }
}

// The top of the row that takes the rest of the dialog's height.
int RestTop(const TypingDialog& shape)
{
    for (int i = 0; i < shape.count; ++i) {
        if (shape.rows[i].height == ExtentRest)
            return shape.rows[i].y;
    }
    return 0;
}

DialogFrame TypingFrame(HWND dialog, const TypingDialog& shape, int dpi)
{
    // The main window's soft-key bar and its status bar, as tall as they are
    // scaled, stay in view below.
    const int height = HeightAboveStatusBar(dpi);
    return PlaceDeviceDialog(dialog, height, dpi, height - ScaleForDpi(RestTop(shape), dpi));
}

}  // namespace

int HeightAboveStatusBar(int dpi)
{
    return GetSystemMetrics(SM_CYSCREEN) - ScaleForDpi(NAV_BAR_HEIGHT, dpi)
        - ScaleForDpi(SOFT_KEY_BAR_HEIGHT, dpi) - ScaleForDpi(STATUS_BAR_HEIGHT, dpi);
}

DialogFrame PlaceDeviceDialog(HWND dialog, int height, int dpi, int restHeight)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetWindowPos(dialog, NULL, 0, ScaleForDpi(NAV_BAR_HEIGHT, dpi), screenWidth, height, SWP_NOZORDER);
    RECT window = {};
    GetWindowRect(dialog, &window);
    DialogFrame frame = {screenWidth, window.right, restHeight, dpi};
    return frame;
}

void LayOutControls(HWND dialog, const ControlRow* rows, int count, const DialogFrame& frame, bool move)
{
    for (int i = 0; i < count; ++i) {
        const ControlRow& row = rows[i];
        const int width = Resolve(row.width, frame);
        const int height = Resolve(row.height, frame);
        const int x = ScaleForDpi(row.x, frame.dpi);
        const int y = ScaleForDpi(row.y, frame.dpi);
        if (move) {
            MoveWindow(GetDlgItem(dialog, row.id), x, y, width, height, TRUE);
            continue;
        }
        HWND control = CreateWindowExW(0, row.className, row.text, row.style, x, y, width, height, dialog,
            (HMENU)(INT_PTR)row.id, g_instance, NULL);
        // Controls made at run time start with the system font, not the dialog's.
        if (control)
            SendMessageW(control, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    }
}

std::string TypedToAnsi(const std::wstring& text)
{
    char* narrow = NULL;
    WideToAnsi(text.c_str(), &narrow);
    std::string result(narrow ? narrow : "");
    delete[] narrow;
    return result;
}

bool SendableAsTyped(const std::wstring& text)
{
    const std::wstring refusal = UnconvertibleCharacterText(text.c_str());
    if (refusal.empty())
        return true;
    SetStatusText(refusal.c_str());
    return false;
}

void InitTypingDialog(HWND dialog, const TypingDialog& shape)
{
    InitDeviceDialog(dialog, IDR_SEND_BAR);
    LayOutControls(dialog, shape.rows, shape.count, TypingFrame(dialog, shape, GetScreenDpiY()), false);
    SendDlgItemMessageW(dialog, shape.editId, EM_SETLIMITTEXT, TYPED_TEXT_LIMIT, 0);
}

void FocusTypingField(HWND dialog, const TypingDialog& shape)
{
    HWND edit = GetDlgItem(dialog, shape.editId);
    SetFocus(edit);
    const int end = GetWindowTextLengthW(edit);
    SendMessageW(edit, EM_SETSEL, end, end);
}

void PlaceTypingDialog(HWND dialog, const TypingDialog& shape, int dpi)
{
    LayOutControls(dialog, shape.rows, shape.count, TypingFrame(dialog, shape, dpi), true);
}

std::wstring ReadTypedText(HWND dialog, const TypingDialog& shape)
{
    std::vector<wchar_t> text(TYPED_TEXT_LIMIT + 1, L'\0');
    GetDlgItemTextW(dialog, shape.editId, text.data(), (int)text.size());
    return text.data();
}
