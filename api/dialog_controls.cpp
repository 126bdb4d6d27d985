#include "api/dialog_controls.h"

#include "app/shell.h"
#include "net/text_conv.h"
#include "ui/scale.h"

namespace {

int Resolve(int extent, const DialogFrame& frame)
{
    switch (extent) {
    case EXTENT_SCREEN_WIDTH: return frame.screenWidth;
    case EXTENT_DIALOG_RIGHT: return frame.dialogRight;
    case EXTENT_REST: return frame.restHeight;
    default: return ScaleForDpi(extent, frame.dpi);
    }
}

}  // namespace

DialogFrame PlaceDeviceDialog(HWND dialog, int height, int dpi, int restHeight)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetWindowPos(dialog, NULL, 0, ScaleForDpi(26, dpi), screenWidth, height, SWP_NOZORDER);
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
