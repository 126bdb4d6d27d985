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
    FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
    wchar_t text[TEXT_BUFFER_SIZE];
    GetWindowTextW(tip, text, TEXT_BUFFER_SIZE);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)GetWindowLongPtrW(tip, GWLP_USERDATA));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    InflateRect(&client, -MARGIN, -MARGIN);
    DrawTextW(dc, text, -1, &client, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
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
    case WM_DESTROY: OnDestroy(tip); return 0;
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

// As wide as the bar, its bottom on the bar's bottom, as tall as the
// wrapped text needs (never lower than the bar, which it covers). A tip
// that reaches up over the friend list stops left of its scroll bar, which
// stays in reach.
RECT TipRect(HWND statusBar, const wchar_t* text, HFONT font)
{
    RECT bar;
    GetWindowRect(statusBar, &bar);
    RECT tip = bar;
    for (int pass = 0; pass < 2; ++pass) {
        const int height = TextHeight(statusBar, text, font, tip.right - tip.left);
        tip.top = height > bar.bottom - bar.top ? bar.bottom - height : bar.top;
        const RECT scrollBar = ListScrollBar(statusBar);
        RECT overlap;
        if (!IntersectRect(&overlap, &tip, &scrollBar) || scrollBar.left <= tip.left)
            break;
        tip.right = scrollBar.left;
    }
    return tip;
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
    const RECT place = TipRect(statusBar, text, font);
    g_statusTip = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, STATUS_TIP_CLASS, text,
        WS_POPUP | WS_BORDER, place.left, place.top, place.right - place.left, place.bottom - place.top,
        GetParent(statusBar), NULL, g_instance, NULL);
    if (!g_statusTip)
        return;
    SetWindowLongPtrW(g_statusTip, GWLP_USERDATA, (LONG_PTR)font);
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
