// SHCreateMenuBar stand-in: the soft-key bar. A top-level window owned by the
// window it serves, that never takes activation (the owner keeps focus and
// keeps getting the commands), with two custom-drawn keys: the left and the
// right half. A key with a pop-up opens that pop-up of the bar's menu above
// itself, owned by the bar's owner (which so gets WM_INITMENUPOPUP); the chosen
// item, or the command of a key without a pop-up, goes to the owner as
// WM_COMMAND.
//
// Placement: over the bottom 26 px of the owner's window rectangle. An owner
// that spans the screen's width (the program's main window, every dialog made
// full-screen by SHInitDialog, also one that then leaves the main window's
// status bar in view above the bar) gets the bar along the bottom of the
// screen instead, over the main window's own, as on the device; a dialog
// made full-screen by SHInitDialog then ends above it once shown. The bar
// follows the owner when it moves, is hidden and shown with it, and is
// destroyed with it (an owned window).
//
// Messages answered as on the device: SHCMBM_GETMENU, SHCMBM_GETSUBMENU,
// SHCMBM_SETSUBMENU, and of the tool-bar messages TB_ENABLEBUTTON,
// TB_ISBUTTONENABLED and TB_GETBUTTONTEXTW (buttons named by command id).
#include <aygshell.h>
#include <commctrl.h>
#include <new>

#include "standin_control.h"
#include "standin_internal.h"

namespace {

const int kMaxKeys = 2;
const int kCaptionChars = 64;
const WORD kNoPopup = 0xFFFF;
const int kWordsPerButton = 7;

const COLORREF kBarColour = RGB(28, 40, 68);
const COLORREF kPressedColour = RGB(64, 104, 176);
const COLORREF kSeparatorColour = RGB(90, 108, 140);
const COLORREF kTextColour = RGB(255, 255, 255);
const COLORREF kDisabledTextColour = RGB(120, 128, 144);

struct SoftKey {
    BOOL present;
    UINT command;
    BOOL enabled;
    HMENU popup;
    wchar_t caption[kCaptionChars];
};

struct MenuBar {
    HWND owner;
    HMENU menu;
    SoftKey keys[kMaxKeys];
    int pressedKey;  // -1 while no key is held
    BOOL tracking;   // a pop-up is open
    BOOL hidden;     // SHCMBF_HIDDEN: stays hidden until shown by its owner's code
    HFONT font;
};

MenuBar* GetBar(HWND hwnd)
{
    return (MenuBar*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
}

// Reads the device's menu-bar record: menu id, button count, then seven
// words per button (image, command, state, style, caption string, 0, pop-up).
BOOL LoadFromRecord(const SHMENUBARINFO* info, MenuBar* bar)
{
    HRSRC found = FindResourceW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId), (LPCWSTR)RT_RCDATA);
    if (!found)
        return FALSE;
    const DWORD size = SizeofResource(info->hInstRes, found);
    HGLOBAL loaded = LoadResource(info->hInstRes, found);
    const WORD* words = loaded ? (const WORD*)LockResource(loaded) : NULL;
    if (!words || size < 2 * sizeof(WORD))
        return FALSE;
    const UINT count = words[1];
    if (size < (2 + count * kWordsPerButton) * sizeof(WORD))
        return FALSE;

    bar->menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(words[0]));
    for (UINT i = 0; i < count && i < (UINT)kMaxKeys; ++i) {
        const WORD* button = words + 2 + i * kWordsPerButton;
        SoftKey* key = &bar->keys[i];
        key->present = TRUE;
        key->command = button[1];
        key->enabled = (button[2] & TBSTATE_ENABLED) != 0;
        key->popup = (button[6] != kNoPopup && bar->menu) ? GetSubMenu(bar->menu, button[6]) : NULL;
        // Without a caption string the pop-up's own title is shown.
        if (LoadStringW(info->hInstRes, button[4], key->caption, kCaptionChars) <= 0 && key->popup)
            GetMenuStringW(bar->menu, button[6], key->caption, kCaptionChars, MF_BYPOSITION);
    }
    return TRUE;
}

// SHCMBF_HMENU: the id names a menu; its first two top-level items become
// the keys (a pop-up item opens its pop-up, a plain item sends its command).
BOOL LoadFromMenu(const SHMENUBARINFO* info, MenuBar* bar)
{
    bar->menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId));
    if (!bar->menu)
        return FALSE;
    const int count = GetMenuItemCount(bar->menu);
    for (int i = 0; i < count && i < kMaxKeys; ++i) {
        SoftKey* key = &bar->keys[i];
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = key->caption;
        item.cch = kCaptionChars;
        if (!GetMenuItemInfoW(bar->menu, i, TRUE, &item))
            continue;
        key->present = TRUE;
        key->command = item.wID;
        key->enabled = (item.fState & MFS_DISABLED) == 0;
        key->popup = item.hSubMenu;
    }
    return TRUE;
}

RECT KeyRect(HWND hwnd, int index)
{
    RECT client;
    GetClientRect(hwnd, &client);
    const int middle = client.right / 2;
    RECT rect = client;
    if (index == 0)
        rect.right = middle;
    else
        rect.left = middle;
    return rect;
}

int KeyAt(HWND hwnd, const MenuBar* bar, int x, int y)
{
    POINT point = {x, y};
    for (int i = 0; i < kMaxKeys; ++i) {
        RECT rect = KeyRect(hwnd, i);
        if (bar->keys[i].present && PtInRect(&rect, point))
            return i;
    }
    return -1;
}

int KeyIndexByCommand(const MenuBar* bar, UINT command)
{
    for (int i = 0; i < kMaxKeys; ++i) {
        if (bar->keys[i].present && bar->keys[i].command == command)
            return i;
    }
    return -1;
}

void ComputeBarRect(HWND owner, int cx, int cy, RECT* rect)
{
    RECT o;
    GetWindowRect(owner, &o);
    if (o.left <= 0 && o.right >= cx)
        SetRect(rect, 0, cy - STANDIN_MENU_BAR_HEIGHT, cx, cy);
    else
        SetRect(rect, o.left, o.bottom - STANDIN_MENU_BAR_HEIGHT, o.right, o.bottom);
}

void PlaceBarFor(HWND hwnd, HWND owner, int cx, int cy)
{
    RECT rect;
    ComputeBarRect(owner, cx, cy, &rect);
    SetWindowPos(hwnd, NULL, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
        SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void PlaceBar(HWND hwnd, HWND owner)
{
    PlaceBarFor(hwnd, owner, StandinScreenWidth(), StandinScreenHeight());
}

BOOL CALLBACK PlaceBarOnScreen(HWND hwnd, LPARAM param)
{
    wchar_t name[32];
    if (!StandinIsOwnWindow(hwnd) || !GetClassNameW(hwnd, name, 32)
        || lstrcmpW(name, STANDIN_MENU_BAR_CLASS) != 0)
        return TRUE;
    // The bar may belong to another thread: its owner is read from the
    // window manager, not from the bar's record.
    HWND owner = GetWindow(hwnd, GW_OWNER);
    const StandinScreenSize* screen = (const StandinScreenSize*)param;
    if (owner)
        PlaceBarFor(hwnd, owner, screen->cx, screen->cy);
    return TRUE;
}

// The device's menu items are as tall as its screen is dense. The desktop's
// item is its menu font's height plus 4 px, or an item bitmap's height plus
// 2 px when that is more: each text item gets an empty bitmap drawn by the
// owner (HBMMENU_CALLBACK, answered below) of the device's height.
void SizeMenuItems(HMENU menu)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_BITMAP;
        if (!GetMenuItemInfoW(menu, i, TRUE, &item) || (item.fType & (MFT_SEPARATOR | MFT_OWNERDRAW))
            || item.hbmpItem)
            continue;
        item.fMask = MIIM_BITMAP;
        item.hbmpItem = HBMMENU_CALLBACK;
        SetMenuItemInfoW(menu, i, TRUE, &item);
    }
}

// A dialog made full-screen by SHInitDialog reaches the screen's bottom, so
// its layout takes the bar's height off itself; shown, it ends above its
// bar, which stays in view: the shell does so on the device. Over the bar it
// would hide it under Wine's x11 driver, which leaves windows stacked as
// they were mapped.
void KeepAboveBar(HWND owner, HWND hwnd)
{
    const DWORD flags = (DWORD)(ULONG_PTR)GetPropW(owner, STANDIN_SIZED_DIALOG_PROP);
    RECT o, barRect;
    GetWindowRect(owner, &o);
    GetWindowRect(hwnd, &barRect);
    if (!(flags & SHIDIF_SIZEDLGFULLSCREEN) || !IsWindowVisible(hwnd) || o.bottom <= barRect.top
        || o.top >= barRect.top)
        return;
    SetWindowPos(owner, NULL, 0, 0, o.right - o.left, barRect.top - o.top,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

// Keeps the bar with its owner: position, visibility, and no dangling
// subclass once the owner goes; sizes the items of the menus it opens.
LRESULT CALLBACK OwnerSubclassProc(
    HWND owner, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    HWND hwnd = (HWND)id;
    if (message == WM_MEASUREITEM && ((MEASUREITEMSTRUCT*)lParam)->CtlType == ODT_MENU) {
        MEASUREITEMSTRUCT* measure = (MEASUREITEMSTRUCT*)lParam;
        measure->itemWidth = 0;
        measure->itemHeight = STANDIN_MENU_ITEM_HEIGHT - 2;
        return TRUE;
    }
    if (message == WM_DRAWITEM && ((DRAWITEMSTRUCT*)lParam)->CtlType == ODT_MENU)
        return TRUE;
    if (message == WM_INITMENUPOPUP)
        SizeMenuItems((HMENU)wParam);
    const LRESULT result = DefSubclassProc(owner, message, wParam, lParam);
    if (message == WM_WINDOWPOSCHANGED && IsWindow(hwnd)) {
        const WINDOWPOS* pos = (const WINDOWPOS*)lParam;
        const MenuBar* bar = GetBar(hwnd);
        if (pos->flags & SWP_HIDEWINDOW)
            ShowWindow(hwnd, SW_HIDE);
        else
            PlaceBar(hwnd, owner);
        if ((pos->flags & SWP_SHOWWINDOW) && bar && !bar->hidden) {
            ShowWindow(hwnd, SW_SHOWNA);
            KeepAboveBar(owner, hwnd);
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(owner, OwnerSubclassProc, id);
    }
    return result;
}

HFONT CreateKeyFont(void)
{
    HDC screen = GetDC(NULL);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(NULL, screen);
    return CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
}

void DrawKey(HDC dc, HWND hwnd, const MenuBar* bar, int index)
{
    const SoftKey* key = &bar->keys[index];
    RECT rect = KeyRect(hwnd, index);
    if (bar->pressedKey == index) {
        HBRUSH pressed = CreateSolidBrush(kPressedColour);
        FillRect(dc, &rect, pressed);
        DeleteObject(pressed);
    }
    if (!key->present)
        return;
    SetTextColor(dc, key->enabled ? kTextColour : kDisabledTextColour);
    DrawTextW(dc, key->caption, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const MenuBar* bar = GetBar(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH background = CreateSolidBrush(kBarColour);
    FillRect(dc, &client, background);
    DeleteObject(background);
    if (bar) {
        HGDIOBJ oldFont = SelectObject(dc, bar->font ? (HGDIOBJ)bar->font : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        for (int i = 0; i < kMaxKeys; ++i)
            DrawKey(dc, hwnd, bar, i);
        SelectObject(dc, oldFont);
        if (bar->keys[0].present && bar->keys[1].present) {
            RECT separator = {client.right / 2, 4, client.right / 2 + 1, client.bottom - 4};
            HBRUSH line = CreateSolidBrush(kSeparatorColour);
            FillRect(dc, &separator, line);
            DeleteObject(line);
        }
    }
    EndPaint(hwnd, &ps);
}

// Runs the key's action. May return after the bar (or its owner) is gone:
// a command can close the owner, and a pop-up's command can open a dialog.
void PressKey(HWND hwnd, int index)
{
    MenuBar* bar = GetBar(hwnd);
    const SoftKey key = bar->keys[index];
    HWND owner = bar->owner;
    UINT command = key.command;
    if (key.popup) {
        RECT barRect;
        GetWindowRect(hwnd, &barRect);
        const RECT keyRect = KeyRect(hwnd, index);
        const UINT align = index == 0 ? TPM_LEFTALIGN : TPM_RIGHTALIGN;
        const int x = barRect.left + (index == 0 ? keyRect.left : keyRect.right);
        bar->tracking = TRUE;
        command = (UINT)TrackPopupMenuEx(
            key.popup, align | TPM_BOTTOMALIGN | TPM_RETURNCMD | TPM_LEFTBUTTON, x, barRect.top, owner, NULL);
        if (!IsWindow(hwnd))
            return;
        bar->tracking = FALSE;
    }
    if (command && IsWindow(owner))
        SendMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void OnLButtonDown(HWND hwnd, int x, int y)
{
    MenuBar* bar = GetBar(hwnd);
    const int index = KeyAt(hwnd, bar, x, y);
    // An owner disabled by a modal dialog takes no commands, as on the
    // device where the dialog's own bar covers this one.
    if (index < 0 || !bar->keys[index].enabled || bar->tracking || !IsWindowEnabled(bar->owner))
        return;
    bar->pressedKey = index;
    SetCapture(hwnd);
    InvalidateRect(hwnd, NULL, FALSE);
}

void OnLButtonUp(HWND hwnd, int x, int y)
{
    MenuBar* bar = GetBar(hwnd);
    const int index = bar->pressedKey;
    if (index < 0)
        return;
    bar->pressedKey = -1;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    InvalidateRect(hwnd, NULL, FALSE);
    if (KeyAt(hwnd, bar, x, y) == index)
        PressKey(hwnd, index);
}

void OnCancelPress(HWND hwnd)
{
    MenuBar* bar = GetBar(hwnd);
    if (bar && bar->pressedKey >= 0) {
        bar->pressedKey = -1;
        InvalidateRect(hwnd, NULL, FALSE);
    }
}

LRESULT OnSubMenu(const MenuBar* bar, UINT command)
{
    const int index = KeyIndexByCommand(bar, command);
    return index < 0 ? 0 : (LRESULT)bar->keys[index].popup;
}

LRESULT OnSetSubMenu(HWND hwnd, MenuBar* bar, UINT command, HMENU popup)
{
    const int index = KeyIndexByCommand(bar, command);
    if (index < 0)
        return 0;
    HMENU previous = bar->keys[index].popup;
    bar->keys[index].popup = popup;
    InvalidateRect(hwnd, NULL, FALSE);
    return (LRESULT)previous;
}

LRESULT OnEnableButton(HWND hwnd, MenuBar* bar, UINT command, BOOL enable)
{
    const int index = KeyIndexByCommand(bar, command);
    if (index < 0)
        return FALSE;
    bar->keys[index].enabled = enable;
    InvalidateRect(hwnd, NULL, FALSE);
    return TRUE;
}

// Caption of the key with that command; -1 when there is none.
LRESULT OnGetButtonText(const MenuBar* bar, UINT command, wchar_t* buffer)
{
    const int index = KeyIndexByCommand(bar, command);
    if (index < 0)
        return -1;
    if (buffer)
        lstrcpyW(buffer, bar->keys[index].caption);
    return lstrlenW(bar->keys[index].caption);
}

void OnDestroy(HWND hwnd)
{
    MenuBar* bar = GetBar(hwnd);
    if (!bar)
        return;
    if (IsWindow(bar->owner))
        RemoveWindowSubclass(bar->owner, OwnerSubclassProc, (UINT_PTR)hwnd);
    if (bar->tracking)
        EndMenu();
}

void FreeBar(MenuBar* bar)
{
    if (!bar)
        return;
    if (bar->menu)
        DestroyMenu(bar->menu);
    if (bar->font)
        DeleteObject(bar->font);
    delete bar;
}

void OnNcDestroy(HWND hwnd)
{
    MenuBar* bar = GetBar(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    FreeBar(bar);
}

LRESULT CALLBACK MenuBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MenuBar* bar = GetBar(hwnd);
    switch (message) {
    case WM_NCCREATE: {
        // The window takes the bar over from here; WM_NCDESTROY releases it.
        MenuBar** slot = (MenuBar**)((CREATESTRUCTW*)lParam)->lpCreateParams;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)*slot);
        *slot = NULL;
        break;
    }
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_PAINT: OnPaint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
        if (bar)
            OnLButtonDown(hwnd, (short)LOWORD(lParam), (short)HIWORD(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (bar)
            OnLButtonUp(hwnd, (short)LOWORD(lParam), (short)HIWORD(lParam));
        return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE: OnCancelPress(hwnd); return 0;
    case SHCMBM_GETMENU: return bar ? (LRESULT)bar->menu : 0;
    case SHCMBM_GETSUBMENU: return bar ? OnSubMenu(bar, (UINT)lParam) : 0;
    case SHCMBM_SETSUBMENU: return bar ? OnSetSubMenu(hwnd, bar, (UINT)wParam, (HMENU)lParam) : 0;
    case TB_ENABLEBUTTON: return bar ? OnEnableButton(hwnd, bar, (UINT)wParam, LOWORD(lParam) != 0) : FALSE;
    case TB_ISBUTTONENABLED: {
        const int index = bar ? KeyIndexByCommand(bar, (UINT)wParam) : -1;
        return index >= 0 && bar->keys[index].enabled;
    }
    case TB_GETBUTTONTEXTW: return bar ? OnGetButtonText(bar, (UINT)wParam, (wchar_t*)lParam) : -1;
    case WM_DESTROY: OnDestroy(hwnd); return 0;
    case WM_NCDESTROY: OnNcDestroy(hwnd); break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

BOOL RegisterMenuBarClass(void)
{
    WNDCLASSW wc = {};
    if (GetClassInfoW(GetModuleHandleW(NULL), STANDIN_MENU_BAR_CLASS, &wc))
        return TRUE;
    // The keys are halves of the width: a new width repaints them all.
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MenuBarProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.lpszClassName = STANDIN_MENU_BAR_CLASS;
    return RegisterClassW(&wc) != 0;
}

}  // namespace

extern "C" BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (!info || info->cbSize != sizeof(SHMENUBARINFO) || !IsWindow(info->hwndParent)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->hwndMB = NULL;
    StandinShowTopBar();
    MenuBar* bar = new (std::nothrow) MenuBar();
    if (!bar || !RegisterMenuBarClass()) {
        delete bar;
        return FALSE;
    }
    bar->owner = info->hwndParent;
    bar->pressedKey = -1;
    const BOOL hidden = (info->dwFlags & SHCMBF_HIDDEN) != 0;
    bar->hidden = hidden;
    BOOL loaded = TRUE;
    if (info->dwFlags & SHCMBF_HMENU)
        loaded = LoadFromMenu(info, bar);
    else if (!(info->dwFlags & SHCMBF_EMPTYBAR))
        loaded = LoadFromRecord(info, bar);
    if (!loaded) {
        FreeBar(bar);
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return FALSE;
    }
    bar->font = CreateKeyFont();

    RECT rect;
    ComputeBarRect(info->hwndParent, StandinScreenWidth(), StandinScreenHeight(), &rect);
    HWND hwnd = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, STANDIN_MENU_BAR_CLASS, L"", WS_POPUP,
        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, info->hwndParent, NULL,
        GetModuleHandleW(NULL), &bar);
    if (!hwnd) {
        FreeBar(bar);  // still ours unless the window took it over
        return FALSE;
    }
    SetWindowSubclass(info->hwndParent, OwnerSubclassProc, (UINT_PTR)hwnd, 0);
    // An owner not yet shown (still in WM_CREATE or WM_INITDIALOG) shows the
    // bar when it is shown itself.
    if (!hidden && IsWindowVisible(info->hwndParent))
        ShowWindow(hwnd, SW_SHOWNA);
    info->hwndMB = hwnd;
    return TRUE;
}

void StandinPlaceMenuBars(int cx, int cy)
{
    StandinScreenSize screen = {cx, cy};
    EnumWindows(PlaceBarOnScreen, (LPARAM)&screen);
}
