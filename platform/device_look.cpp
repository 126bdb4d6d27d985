// What makes the desktop look like the device's screen (installed by
// SHInitExtraControls): a navigation bar along the top (the foreground window's
// title, the notification icons (notify_icon.cpp), and "ok" for a window that
// asked for a Done button), and main
// windows that, like on the device, fill the screen below it without a
// caption or border when created at the default place and size.
//
// The bar appears with the first window that needs it, not with
// SHInitExtraControls: a second instance that only activates the first one
// and ends must not flash it. The bar also hears of display changes
// (WM_DISPLAYCHANGE, sent to every top-level window) and has the device's
// windows follow the new screen (display_change.cpp).
#include <aygshell.h>
#include <commctrl.h>

#include "standin_control.h"
#include "standin_internal.h"

namespace {

const wchar_t kOkText[] = L"ok";

const COLORREF kTopBarColour = RGB(16, 28, 52);
const COLORREF kTopBarTextColour = RGB(255, 255, 255);
const COLORREF kOkFrameColour = RGB(120, 140, 180);
const COLORREF kOkPressedColour = RGB(64, 104, 176);

HWND g_topBar = NULL;
BOOL g_deviceLook = FALSE;  // SHInitExtraControls was called in this process
HFONT g_topBarFont = NULL;
BOOL g_okPressed = FALSE;
HWND g_okTarget = NULL;
thread_local HHOOK t_cbtHook = NULL;  // the device look, per thread that asked for it

// The window whose title the bar shows: the foreground window when it is one
// of ours, since the bars themselves never take activation.
HWND ShownWindow(void)
{
    HWND foreground = GetForegroundWindow();
    if (foreground && StandinIsOwnWindow(foreground))
        return foreground;
    return GetActiveWindow();
}

RECT OkRect(HWND hwnd)
{
    RECT rect;
    GetClientRect(hwnd, &rect);
    rect.left = rect.right - STANDIN_OK_BUTTON_WIDTH;
    return rect;
}

void PaintOkButton(HDC dc, RECT rect)
{
    InflateRect(&rect, -StandinScaled(3), -StandinScaled(4));
    HBRUSH fill = CreateSolidBrush(g_okPressed ? kOkPressedColour : kTopBarColour);
    HPEN frame = CreatePen(PS_SOLID, 1, kOkFrameColour);
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    HGDIOBJ oldPen = SelectObject(dc, frame);
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 6, 6);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(frame);
    DeleteObject(fill);
    DrawTextW(dc, kOkText, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void PaintTopBar(HWND hwnd, HDC dc)
{
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH background = CreateSolidBrush(kTopBarColour);
    FillRect(dc, &client, background);
    DeleteObject(background);

    HGDIOBJ oldFont
        = SelectObject(dc, g_topBarFont ? (HGDIOBJ)g_topBarFont : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTopBarTextColour);
    HWND shown = ShownWindow();
    const BOOL ok = shown && StandinWantsDoneButton(shown);
    wchar_t title[100] = L"";
    if (shown)
        GetWindowTextW(shown, title, 100);
    RECT text = client;
    text.left += 6;
    text.right = StandinPaintNotifyIcons(dc, StandinNotifyIconsRight(hwnd), client.bottom);
    DrawTextW(dc, title, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (ok)
        PaintOkButton(dc, OkRect(hwnd));
    SelectObject(dc, oldFont);
}

void TopBarOnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    PaintTopBar(hwnd, dc);
    EndPaint(hwnd, &ps);
}

// Windows gives the new size with the message; without one, ask.
void TopBarOnDisplayChange(LPARAM size)
{
    int cx = LOWORD(size);
    int cy = HIWORD(size);
    if (cx == 0 || cy == 0) {
        cx = StandinScreenWidth();
        cy = StandinScreenHeight();
    }
    StandinFollowScreen(cx, cy);
}

void TopBarOnLButtonDown(HWND hwnd, int x, int y)
{
    HWND shown = ShownWindow();
    RECT ok = OkRect(hwnd);
    POINT point = {x, y};
    RECT client;
    GetClientRect(hwnd, &client);
    if (StandinTapNotifyIcon(point, StandinNotifyIconsRight(hwnd), client.bottom, WM_LBUTTONDOWN))
        return;
    if (!shown || !StandinWantsDoneButton(shown) || !PtInRect(&ok, point))
        return;
    g_okPressed = TRUE;
    g_okTarget = shown;
    SetCapture(hwnd);
    InvalidateRect(hwnd, NULL, FALSE);
}

void TopBarOnLButtonUp(HWND hwnd, int x, int y)
{
    POINT point = {x, y};
    RECT client;
    GetClientRect(hwnd, &client);
    if (StandinTapNotifyIcon(point, StandinNotifyIconsRight(hwnd), client.bottom, WM_LBUTTONUP))
        return;
    if (!g_okPressed)
        return;
    g_okPressed = FALSE;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    InvalidateRect(hwnd, NULL, FALSE);
    RECT ok = OkRect(hwnd);
    // Posted, as from the device's shell process: the window handles it
    // from its own loop (a dialog's IsDialogMessage included).
    if (PtInRect(&ok, point) && IsWindow(g_okTarget))
        PostMessageW(g_okTarget, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    g_okTarget = NULL;
}

LRESULT CALLBACK TopBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_PAINT: TopBarOnPaint(hwnd); return 0;
    // The bar into a given device context (a picture of it, PrintWindow).
    case WM_PRINTCLIENT: PaintTopBar(hwnd, (HDC)wParam); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: TopBarOnLButtonDown(hwnd, (short)LOWORD(lParam), (short)HIWORD(lParam)); return 0;
    case WM_LBUTTONUP: TopBarOnLButtonUp(hwnd, (short)LOWORD(lParam), (short)HIWORD(lParam)); return 0;
    case WM_CAPTURECHANGED:
        if (g_okPressed) {
            g_okPressed = FALSE;
            InvalidateRect(hwnd, NULL, FALSE);
        }
        return 0;
    case WM_DISPLAYCHANGE: TopBarOnDisplayChange(lParam); return 0;
    case WM_DESTROY:
        if (g_topBar == hwnd)
            g_topBar = NULL;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CreateTopBar(void)
{
    HINSTANCE instance = GetModuleHandleW(NULL);
    WNDCLASSW wc = {};
    if (!GetClassInfoW(instance, STANDIN_TOP_BAR_CLASS, &wc)) {
        // The "ok" button sits at the right end: a new width repaints it all.
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = TopBarProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
        wc.lpszClassName = STANDIN_TOP_BAR_CLASS;
        if (!RegisterClassW(&wc))
            return;
    }
    if (!g_topBarFont)
        g_topBarFont = CreateFontW(-StandinScaled(15), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
    g_topBar = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, STANDIN_TOP_BAR_CLASS,
        L"", WS_POPUP, 0, 0, StandinScreenWidth(), STANDIN_TOP_BAR_HEIGHT, NULL, NULL, instance, NULL);
    // Shown without activation: the window being made keeps the focus.
    if (g_topBar)
        ShowWindow(g_topBar, SW_SHOWNA);
}

// The window manager has already turned CW_USEDEFAULT into numbers when the
// hook runs: a platform that passes them through shows CW_USEDEFAULT, Wine
// shows its default place, the top-left three quarters of the screen.
BOOL IsDefaultPlacement(const CREATESTRUCTW* cs)
{
    if (cs->x == CW_USEDEFAULT || cs->cx == CW_USEDEFAULT)
        return TRUE;
    return cs->x == 0 && cs->y == 0 && cs->cx == StandinScreenWidth() * 3 / 4
        && cs->cy == StandinScreenHeight() * 3 / 4;
}

BOOL IsMainWindowCandidate(const CREATESTRUCTW* cs)
{
    return !(cs->style & (WS_CHILD | WS_POPUP)) && cs->hwndParent == NULL && IsDefaultPlacement(cs);
}

// Runs once, inside WM_NCCREATE: the creation code reads the window
// rectangle back after it, so WM_CREATE already sees the device's place.
LRESULT CALLBACK PlaceOnCreateProc(
    HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    if (message != WM_NCCREATE)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    SetWindowPos(hwnd, NULL, 0, STANDIN_TOP_BAR_HEIGHT, StandinScreenWidth(),
        StandinScreenHeight() - STANDIN_TOP_BAR_HEIGHT, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetPropW(hwnd, STANDIN_DEVICE_WINDOW_PROP, (HANDLE)1);
    RemoveWindowSubclass(hwnd, PlaceOnCreateProc, id);
    StandinShowTopBar();
    return result;
}

// A device window has no caption or frame; on the desktop an overlapped
// window always gets one, so it becomes a pop-up.
void MakeDeviceWindow(HWND hwnd)
{
    const LONG frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    SetWindowLongW(hwnd, GWL_STYLE, (GetWindowLongW(hwnd, GWL_STYLE) & ~frame) | WS_POPUP);
    SetWindowLongW(hwnd, GWL_EXSTYLE,
        GetWindowLongW(hwnd, GWL_EXSTYLE) & ~(WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME));
    SetWindowSubclass(hwnd, PlaceOnCreateProc, 1, 0);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CBT_CREATEWNDW* create = (const CBT_CREATEWNDW*)lParam;
        if (IsMainWindowCandidate(create->lpcs))
            MakeDeviceWindow((HWND)wParam);
    } else if (code == HCBT_ACTIVATE || code == HCBT_DESTROYWND) {
        StandinRefreshTopBar();
    }
    return CallNextHookEx(t_cbtHook, code, wParam, lParam);
}

}  // namespace

int StandinScaled(int pixelsAt96Dpi)
{
    static int dpi = 0;  // the screen's, read once
    if (dpi == 0) {
        HDC screen = GetDC(NULL);
        dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen)
            ReleaseDC(NULL, screen);
    }
    return MulDiv(pixelsAt96Dpi, dpi, 96);
}

int StandinScreenWidth(void)
{
    return GetSystemMetrics(SM_CXSCREEN);
}

int StandinScreenHeight(void)
{
    return GetSystemMetrics(SM_CYSCREEN);
}

void StandinRefreshTopBar(void)
{
    if (g_topBar)
        InvalidateRect(g_topBar, NULL, FALSE);
}

int StandinNotifyIconsRight(HWND bar)
{
    RECT client;
    GetClientRect(bar, &client);
    HWND shown = ShownWindow();
    return shown && StandinWantsDoneButton(shown) ? client.right - STANDIN_OK_BUTTON_WIDTH : client.right;
}

BOOL StandinWantsDoneButton(HWND hwnd)
{
    return GetPropW(hwnd, STANDIN_DONE_BUTTON_PROP) != NULL
        || (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN) != 0;
}

extern "C" HWND StandinGetTopBar(void)
{
    return g_topBar;
}

// Once per thread that asks: the windows it creates get the device look.
BOOL StandinInstallDeviceLook(void)
{
    g_deviceLook = TRUE;
    if (!t_cbtHook)
        t_cbtHook = SetWindowsHookExW(WH_CBT, CbtProc, NULL, GetCurrentThreadId());
    return t_cbtHook != NULL;
}

void StandinShowTopBar(void)
{
    if (g_deviceLook && !(g_topBar && IsWindow(g_topBar)))
        CreateTopBar();
}
