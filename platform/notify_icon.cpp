// Notification icons in the navigation bar, as on the device: the icons the
// program added sit at the bar's right end (left of "ok" while that shows),
// small, the first added rightmost. A tap posts the icon's callback message
// to its window with the icon id and the mouse message, as the device's
// shell does. The bar itself is in device_look.cpp.
#include <shellapi.h>
#include <stddef.h>

#include <vector>

#include "standin_control.h"
#include "standin_internal.h"

namespace {

struct NotifyIcon {
    HWND window;
    UINT id;
    UINT callback;  // 0: the program asked for no messages
    HICON image;    // the stand-in's own small copy; null: nothing to show
};

// Shell_NotifyIcon may come from any thread; the bar paints on its own.
SRWLOCK g_iconLock = SRWLOCK_INIT;
std::vector<NotifyIcon> g_icons;
NotifyIcon g_pressed = {};  // the icon a stylus-down hit, until the stylus lifts

int IconWidth()
{
    return GetSystemMetrics(SM_CXSMICON);
}

int IconHeight()
{
    return GetSystemMetrics(SM_CYSMICON);
}

int SlotWidth()
{
    return IconWidth() + STANDIN_NOTIFY_ICON_PADDING;
}

// The small image from the icon's own resource when it has one (a crisp
// 16 x 16 rather than the large one shrunk), else a copy at that size.
HICON SmallCopy(HICON icon)
{
    if (!icon)
        return NULL;
    HICON copy = (HICON)CopyImage(icon, IMAGE_ICON, IconWidth(), IconHeight(), LR_COPYFROMRESOURCE);
    if (!copy)
        copy = (HICON)CopyImage(icon, IMAGE_ICON, IconWidth(), IconHeight(), 0);
    return copy;
}

NotifyIcon* Find(HWND window, UINT id)
{
    for (NotifyIcon& icon : g_icons)
        if (icon.window == window && icon.id == id)
            return &icon;
    return NULL;
}

void Take(NotifyIcon* icon, const NOTIFYICONDATAW* data)
{
    if (data->uFlags & NIF_MESSAGE)
        icon->callback = data->uCallbackMessage;
    if (data->uFlags & NIF_ICON) {
        if (icon->image)
            DestroyIcon(icon->image);
        icon->image = SmallCopy(data->hIcon);
    }
}

// Icons whose window is gone without deleting them go too.
void DropOrphans()
{
    for (size_t i = g_icons.size(); i-- > 0;) {
        if (IsWindow(g_icons[i].window))
            continue;
        if (g_icons[i].image)
            DestroyIcon(g_icons[i].image);
        g_icons.erase(g_icons.begin() + (long)i);
    }
}

BOOL Request(DWORD message, const NOTIFYICONDATAW* data)
{
    DropOrphans();
    NotifyIcon* icon = Find(data->hWnd, data->uID);
    switch (message) {
    case NIM_ADD:
        if (icon || !IsWindow(data->hWnd))
            return FALSE;
        g_icons.push_back(NotifyIcon {data->hWnd, data->uID, 0, NULL});
        Take(&g_icons.back(), data);
        return TRUE;
    case NIM_MODIFY:
        if (!icon)
            return FALSE;
        Take(icon, data);
        return TRUE;
    case NIM_DELETE:
        if (!icon)
            return FALSE;
        if (icon->image)
            DestroyIcon(icon->image);
        g_icons.erase(g_icons.begin() + (icon - g_icons.data()));
        return TRUE;
    default: return FALSE;
    }
}

// The slot of the index-th shown icon, counted from the right end.
RECT SlotRect(int index, int right, int height)
{
    RECT slot;
    SetRect(&slot, right - (index + 1) * SlotWidth(), 0, right - index * SlotWidth(), height);
    return slot;
}

// Where icon (window, id) sits in a bar whose icons end at right; false when
// it is not shown. Called with the lock held.
BOOL PlaceOf(HWND window, UINT id, int right, int height, RECT* place)
{
    int shown = 0;
    for (const NotifyIcon& icon : g_icons) {
        if (!icon.image)
            continue;
        if (icon.window == window && icon.id == id) {
            *place = SlotRect(shown, right, height);
            return TRUE;
        }
        ++shown;
    }
    return FALSE;
}

void PostTap(const NotifyIcon& icon, UINT mouseMessage)
{
    if (icon.callback && IsWindow(icon.window))
        PostMessageW(icon.window, icon.callback, icon.id, mouseMessage);
}

}  // namespace

int StandinPaintNotifyIcons(HDC dc, int right, int height)
{
    AcquireSRWLockExclusive(&g_iconLock);
    DropOrphans();
    int shown = 0;
    for (const NotifyIcon& icon : g_icons) {
        if (!icon.image)
            continue;
        const RECT slot = SlotRect(shown++, right, height);
        DrawIconEx(dc, slot.left + (SlotWidth() - IconWidth()) / 2, (height - IconHeight()) / 2, icon.image,
            IconWidth(), IconHeight(), 0, NULL, DI_NORMAL);
    }
    ReleaseSRWLockExclusive(&g_iconLock);
    return right - shown * SlotWidth();
}

BOOL StandinTapNotifyIcon(POINT point, int right, int height, UINT mouseMessage)
{
    AcquireSRWLockExclusive(&g_iconLock);
    NotifyIcon hit = {};
    if (mouseMessage == WM_LBUTTONDOWN) {
        DropOrphans();
        int shown = 0;
        for (const NotifyIcon& icon : g_icons) {
            if (!icon.image)
                continue;
            const RECT slot = SlotRect(shown++, right, height);
            if (PtInRect(&slot, point))
                hit = icon;
        }
        g_pressed = hit;
    } else {
        // The lift goes to the icon that was pressed, wherever it happens.
        hit = g_pressed;
        g_pressed = NotifyIcon {};
    }
    ReleaseSRWLockExclusive(&g_iconLock);
    if (!hit.window)
        return FALSE;
    PostTap(hit, mouseMessage);
    return TRUE;
}

extern "C" BOOL StandinGetNotifyIcon(HWND window, UINT id, RECT* place, HICON* image)
{
    HWND bar = StandinGetTopBar();
    RECT client = {};
    if (bar)
        GetClientRect(bar, &client);
    const int right = bar ? StandinNotifyIconsRight(bar) : 0;
    AcquireSRWLockExclusive(&g_iconLock);
    DropOrphans();
    const NotifyIcon* icon = Find(window, id);
    if (icon && image)
        *image = icon->image;
    if (icon && place && !(bar && PlaceOf(window, id, right, client.bottom, place)))
        SetRectEmpty(place);
    ReleaseSRWLockExclusive(&g_iconLock);
    return icon != NULL;
}

#undef Shell_NotifyIconW

namespace {

// A desktop with a notification area of its own shows the icon there too.
// Without one (Wine's null driver, a session with no taskbar) the shell
// would only find no tray and fail, so its DLL is not even loaded: at start
// that saves mapping and initialising the shell and what it pulls in.
typedef BOOL(WINAPI* NotifyCall)(DWORD, PNOTIFYICONDATAW);

NotifyCall LoadShellNotify()
{
    const HMODULE shell = LoadLibraryW(L"shell32.dll");
    return shell ? (NotifyCall)(void*)GetProcAddress(shell, "Shell_NotifyIconW") : NULL;
}

// A Wine desktop with its shell switched off has a tray all the same, and
// an icon there brings up a taskbar with a start button over the soft keys:
// such a desktop is the device's screen and gets no icon.
bool DesktopShellOff()
{
    wchar_t name[128] = L"";
    if (!GetUserObjectInformationW(
            GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name, sizeof(name), NULL))
        return false;
    wchar_t key[192];
    wsprintfW(key, L"Software\\Wine\\Explorer\\Desktops\\%s", name);
    DWORD enabled = 1;
    DWORD size = sizeof(enabled);
    return RegGetValueW(HKEY_CURRENT_USER, key, L"EnableShell", RRF_RT_REG_DWORD, NULL, &enabled, &size)
        == ERROR_SUCCESS
        && enabled == 0;
}

void PassToDesktop(DWORD message, PNOTIFYICONDATAW data)
{
    if (!FindWindowW(L"Shell_TrayWnd", NULL))
        return;
    static const bool shellOff = DesktopShellOff();
    if (shellOff)
        return;
    static const NotifyCall notify = LoadShellNotify();
    if (notify)
        notify(message, data);
}

}  // namespace

extern "C" BOOL WINAPI StandinShellNotifyIcon(DWORD message, PNOTIFYICONDATAW data)
{
    if (!data || data->cbSize < offsetof(NOTIFYICONDATAW, szTip)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    AcquireSRWLockExclusive(&g_iconLock);
    const BOOL done = Request(message, data);
    ReleaseSRWLockExclusive(&g_iconLock);
    if (done)
        StandinRefreshTopBar();
    PassToDesktop(message, data);
    return done;
}
