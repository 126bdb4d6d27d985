#include "app/status_tip.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "resources/resource.h"

namespace {

enum { TIMER_CLOSE = 1, MARGIN = 3 };

HWND g_statusTip = NULL;
// The bar the tip shows the text of, watched while the tip is up.
HWND g_tipBar = NULL;
const UINT_PTR BAR_WATCH_ID = 1;
// The width the text wraps at, which a notch for a scroll bar narrows.
const wchar_t kColumnProp[] = L"SorvintaTipColumn";

HFONT TipFont(HWND statusBar)
{
    HFONT font = (HFONT)SendMessageW(statusBar, WM_GETFONT, 0, 0);
    return font ? font : (HFONT)GetStockObject(DEFAULT_GUI_FONT);
}

void OnPaint(HWND tip)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(tip, &paint);
    RECT client;
    GetClientRect(tip, &client);
    // The tip's shape, its notch left out: filled, and framed along it.
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(tip, shape) == ERROR)
        SetRectRgn(shape, 0, 0, client.right, client.bottom);
    FillRgn(dc, shape, GetSysColorBrush(COLOR_INFOBK));
    FrameRgn(dc, shape, GetSysColorBrush(COLOR_WINDOWFRAME), GetSystemMetrics(SM_CXBORDER),
        GetSystemMetrics(SM_CYBORDER));
    DeleteObject(shape);
    wchar_t text[TEXT_BUFFER_SIZE];
    GetWindowTextW(tip, text, TEXT_BUFFER_SIZE);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)GetWindowLongPtrW(tip, GWLP_USERDATA));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    RECT column = {0, 0, (LONG)(LONG_PTR)GetPropW(tip, kColumnProp), client.bottom};
    InflateRect(
        &column, -(MARGIN + GetSystemMetrics(SM_CXBORDER)), -(MARGIN + GetSystemMetrics(SM_CYBORDER)));
    DrawTextW(dc, text, -1, &column, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(tip, &paint);
}

// A newer text on the bar closes the tip: an outcome read over the one the
// bar now shows would be taken for the current one.
LRESULT CALLBACK BarWatchProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    const LRESULT result = DefSubclassProc(bar, message, wParam, lParam);
    if (message == SB_SETTEXTW || message == SB_SETTEXTA || message == WM_SETTEXT)
        CloseStatusTip();
    return result;
}

void OnDestroy(HWND tip)
{
    if (g_statusTip != tip)
        return;
    RemoveWindowSubclass(g_tipBar, BarWatchProc, BAR_WATCH_ID);
    g_statusTip = NULL;
    g_tipBar = NULL;
}

LRESULT CALLBACK StatusTipProc(HWND tip, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: OnPaint(tip); return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_TIMER: DestroyWindow(tip); return 0;
    case WM_DESTROY:
        RemovePropW(tip, kColumnProp);
        OnDestroy(tip);
        return 0;
    default: return DefWindowProcW(tip, message, wParam, lParam);
    }
}

bool RegisterTipClass()
{
    WNDCLASSW windowClass = {};
    if (GetClassInfoW(g_instance, STATUS_TIP_CLASS, &windowClass))
        return true;
    windowClass.lpfnWndProc = StatusTipProc;
    windowClass.hInstance = g_instance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.lpszClassName = STATUS_TIP_CLASS;
    return RegisterClassW(&windowClass) != 0;
}

int TextHeight(HWND statusBar, const wchar_t* text, HFONT font, int width)
{
    const int border = 2 * GetSystemMetrics(SM_CYBORDER);
    RECT measure = {0, 0, width - 2 * MARGIN - border, 0};
    HDC dc = GetDC(statusBar);
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextW(dc, text, -1, &measure, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(statusBar, dc);
    return measure.bottom + 2 * MARGIN + border;
}

// The friend list's vertical scroll bar on screen, or an empty rectangle
// while the list has none.
RECT ListScrollBar(HWND statusBar)
{
    RECT none = {};
    HWND list = GetDlgItem(GetParent(statusBar), IDC_FRIEND_LIST);
    SCROLLBARINFO info = {};
    info.cbSize = sizeof(info);
    if (!list || !GetScrollBarInfo(list, OBJID_VSCROLL, &info)
        || (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)))
        return none;
    return info.rcScrollBar;
}

struct TipPlace {
    RECT window;
    int column;  // from the tip's left edge
};

// As wide as the bar, its bottom on the bar's bottom, as tall as the
// wrapped text needs (never lower than the bar, which it covers). Where it
// reaches up over the friend list, its text keeps left of the list's scroll
// bar, which a notch leaves in view and in reach.
TipPlace PlaceTip(HWND statusBar, const wchar_t* text, HFONT font)
{
    RECT bar;
    GetWindowRect(statusBar, &bar);
    TipPlace place = {bar, (int)(bar.right - bar.left)};
    for (int pass = 0; pass < 2; ++pass) {
        const int height = TextHeight(statusBar, text, font, place.column);
        place.window.top = height > bar.bottom - bar.top ? bar.bottom - height : bar.top;
        RECT column = place.window, overlap;
        column.right = column.left + place.column;
        const RECT scrollBar = ListScrollBar(statusBar);
        if (!IntersectRect(&overlap, &column, &scrollBar) || scrollBar.left <= bar.left)
            break;
        place.column = scrollBar.left - bar.left;
    }
    return place;
}

// The column the text takes and, below it, the strip over the bar.
void CutNotch(HWND tip, const TipPlace& place, HWND statusBar)
{
    const int width = place.window.right - place.window.left;
    if (place.column >= width)
        return;
    RECT bar;
    GetWindowRect(statusBar, &bar);
    const int height = place.window.bottom - place.window.top;
    HRGN shape = CreateRectRgn(0, 0, place.column, height);
    HRGN strip = CreateRectRgn(0, height - (bar.bottom - bar.top), width, height);
    CombineRgn(shape, shape, strip, RGN_OR);
    DeleteObject(strip);
    if (!SetWindowRgn(tip, shape, FALSE))
        DeleteObject(shape);  // the window owns it once set
}

}  // namespace

void ToggleStatusTip(HWND statusBar)
{
    if (g_statusTip) {
        CloseStatusTip();
        return;
    }
    if (!statusBar || !RegisterTipClass())
        return;
    wchar_t text[TEXT_BUFFER_SIZE] = L"";
    GetWindowTextW(statusBar, text, TEXT_BUFFER_SIZE);
    const HFONT font = TipFont(statusBar);
    const TipPlace place = PlaceTip(statusBar, text, font);
    const RECT& at = place.window;
    g_statusTip = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, STATUS_TIP_CLASS, text,
        WS_POPUP, at.left, at.top, at.right - at.left, at.bottom - at.top, GetParent(statusBar), NULL,
        g_instance, NULL);
    if (!g_statusTip)
        return;
    SetWindowLongPtrW(g_statusTip, GWLP_USERDATA, (LONG_PTR)font);
    SetPropW(g_statusTip, kColumnProp, (HANDLE)(LONG_PTR)place.column);
    CutNotch(g_statusTip, place, statusBar);
    g_tipBar = statusBar;
    SetWindowSubclass(statusBar, BarWatchProc, BAR_WATCH_ID, 0);
    SetTimer(g_statusTip, TIMER_CLOSE, STATUS_TIP_SHOW_MS, NULL);
    ShowWindow(g_statusTip, SW_SHOWNA);
}

void CloseStatusTip()
{
    if (g_statusTip)
        DestroyWindow(g_statusTip);
}

HWND GetStatusTip()
{
    return g_statusTip;
}
