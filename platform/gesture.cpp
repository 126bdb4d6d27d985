// SHRecognizeGesture stand-in: tap-and-hold. Called on stylus-down; holds
// the capture and watches the thread's queue (never the physical button
// state, so posted mouse messages drive it as well as real ones). Release
// first: 0. Move beyond the drag distance: 0. Held still for the hold time:
// GN_CONTEXTMENU. The message that ends the wait stays in the queue for the
// window that gets it next (the list box must still see its button-up).
#include <aygshell.h>
#include <stdlib.h>

namespace {

const DWORD kHoldMs = 500;
const DWORD kLongHoldMs = 1000;

enum WaitOutcome { KeepWaiting, Released, Held };

// Looks at the first mouse message in the queue. Small moves are taken out
// (they belong to the hold); anything else ends the gesture and stays queued.
// A move without the button down is no stylus drag: Wine queues one at the
// pointer's place after every ReleaseCapture and when windows change under
// it, and such a move, late on a loaded machine, must not cancel a hold.
WaitOutcome CheckMouse(HWND client, POINT down)
{
    MSG msg;
    const int dragX = GetSystemMetrics(SM_CXDRAG);
    const int dragY = GetSystemMetrics(SM_CYDRAG);
    while (PeekMessageW(&msg, NULL, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) {
        if (msg.message != WM_MOUSEMOVE)
            return Released;
        if (!(msg.wParam & MK_LBUTTON)) {
            PeekMessageW(&msg, NULL, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
            continue;
        }
        POINT at = {(short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam)};
        if (msg.hwnd && msg.hwnd != client)
            MapWindowPoints(msg.hwnd, client, &at, 1);
        if (abs(at.x - down.x) > dragX || abs(at.y - down.y) > dragY)
            return Released;
        PeekMessageW(&msg, NULL, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
    }
    return KeepWaiting;
}

WaitOutcome WaitForHold(HWND client, POINT down, DWORD holdMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        // Peeking also serves messages sent to this thread meanwhile, so a
        // worker blocked in SendMessage is not held up for the whole wait.
        const WaitOutcome outcome = CheckMouse(client, down);
        if (outcome != KeepWaiting)
            return outcome;
        if (GetCapture() != client)
            return Released;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= holdMs)
            return Held;
        MsgWaitForMultipleObjectsEx(0, NULL, holdMs - elapsed, QS_MOUSE | QS_POSTMESSAGE | QS_SENDMESSAGE, 0);
    }
}

void NotifyGesture(const SHRGINFO* info)
{
    HWND target = info->hwndClient;
    if (info->dwFlags & SHRG_NOTIFYPARENT) {
        HWND parent = GetParent(info->hwndClient);
        if (parent)
            target = parent;
    }
    NMRGINFO notify = {};
    notify.hdr.hwndFrom = info->hwndClient;
    notify.hdr.idFrom = (UINT_PTR)GetDlgCtrlID(info->hwndClient);
    notify.hdr.code = GN_CONTEXTMENU;
    notify.ptAction = info->ptDown;
    ClientToScreen(info->hwndClient, &notify.ptAction);
    SendMessageW(target, WM_NOTIFY, notify.hdr.idFrom, (LPARAM)&notify);
}

}  // namespace

extern "C" DWORD WINAPI SHRecognizeGesture(SHRGINFO* info)
{
    if (!info || info->cbSize != sizeof(SHRGINFO) || !IsWindow(info->hwndClient)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const DWORD holdMs = (info->dwFlags & SHRG_LONGDELAY) ? kLongHoldMs : kHoldMs;
    SetCapture(info->hwndClient);
    const WaitOutcome outcome = WaitForHold(info->hwndClient, info->ptDown, holdMs);
    if (GetCapture() == info->hwndClient)
        ReleaseCapture();
    if (outcome != Held)
        return 0;
    if (!(info->dwFlags & SHRG_RETURNCMD))
        NotifyGesture(info);
    return GN_CONTEXTMENU;
}
