// Tap-and-hold of the shell stand-in (SHRecognizeGesture), driven by posted
// mouse messages like the end-to-end driver's.
#include <windows.h>
#include <aygshell.h>

#include <gtest/gtest.h>

#include "support/win_test_support.h"

namespace {

const DWORD kHoldMs = 500;
const POINT kDown = {60, 40};

SHRGINFO GestureAt(HWND client, POINT down, DWORD flags = SHRG_RETURNCMD)
{
    SHRGINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndClient = client;
    info.ptDown = down;
    info.dwFlags = flags;
    return info;
}

// Posts a mouse message to a window after a delay, from another thread.
struct DelayedPost {
    HWND hwnd;
    UINT message;
    POINT at;
    DWORD delayMs;
};

DWORD WINAPI PostLater(void* param)
{
    const DelayedPost* post = (const DelayedPost*)param;
    Sleep(post->delayMs);
    PostMouse(post->hwnd, post->message, post->at.x, post->at.y);
    return 0;
}

struct TimedGesture {
    DWORD result;
    DWORD elapsedMs;
};

TimedGesture Recognize(SHRGINFO info)
{
    const DWORD start = GetTickCount();
    const DWORD result = SHRecognizeGesture(&info);
    return {result, GetTickCount() - start};
}

// The first queued message of that number for hwnd, taken out of the queue.
bool TakeQueued(HWND hwnd, UINT message, MSG* msg)
{
    return PeekMessageW(msg, hwnd, message, message, PM_REMOVE) != FALSE;
}

class GestureTest : public ::testing::Test {
protected:
    GestureTest()
        : m_window(L"list", WS_POPUP | WS_VISIBLE, 0, 30, 240, 200)
    {
    }
    void SetUp() override { PumpPendingMessages(); }
    void TearDown() override { PumpPendingMessages(); }
    HWND client() const { return m_window.hwnd(); }
    MessageRecorder m_window;
};

TEST_F(GestureTest, HeldStillGivesTheContextMenu)
{
    const TimedGesture g = Recognize(GestureAt(client(), kDown));
    EXPECT_EQ(g.result, (DWORD)GN_CONTEXTMENU);
    EXPECT_GE(g.elapsedMs, kHoldMs - 20);
    EXPECT_EQ(GetCapture(), (HWND)NULL) << "capture is given back";
}

TEST_F(GestureTest, ReleaseBeforeTheHoldIsATap)
{
    // Already released when the recogniser starts, and released while it waits.
    PostMouse(client(), WM_LBUTTONUP, kDown.x, kDown.y);
    TimedGesture g = Recognize(GestureAt(client(), kDown));
    EXPECT_EQ(g.result, 0u);
    EXPECT_LT(g.elapsedMs, kHoldMs / 2);
    MSG msg;
    ASSERT_TRUE(TakeQueued(client(), WM_LBUTTONUP, &msg)) << "the button-up stays for the window";
    EXPECT_EQ(msg.lParam, MAKELPARAM(kDown.x, kDown.y));

    DelayedPost post = {client(), WM_LBUTTONUP, kDown, 150};
    HANDLE thread = CreateThread(NULL, 0, PostLater, &post, 0, NULL);
    g = Recognize(GestureAt(client(), kDown));
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(g.result, 0u);
    EXPECT_GE(g.elapsedMs, 100u);
    EXPECT_LT(g.elapsedMs, kHoldMs - 50);
    EXPECT_TRUE(TakeQueued(client(), WM_LBUTTONUP, &msg));
    EXPECT_EQ(GetCapture(), (HWND)NULL);
}

TEST_F(GestureTest, MovingAwayIsNoHold)
{
    const int dx = GetSystemMetrics(SM_CXDRAG);
    const int dy = GetSystemMetrics(SM_CYDRAG);
    const struct {
        int x, y;
    } moves[] = {{dx + 1, 0}, {-(dx + 1), 0}, {0, dy + 1}, {0, -(dy + 1)}, {40, 40}};
    for (const auto& m : moves) {
        const POINT to = {kDown.x + m.x, kDown.y + m.y};
        PostMouse(client(), WM_MOUSEMOVE, to.x, to.y, MK_LBUTTON);
        const TimedGesture g = Recognize(GestureAt(client(), kDown));
        EXPECT_EQ(g.result, 0u) << "move by " << m.x << "," << m.y;
        EXPECT_LT(g.elapsedMs, kHoldMs / 2);
        MSG msg;
        EXPECT_TRUE(TakeQueued(client(), WM_MOUSEMOVE, &msg)) << "the move stays queued";
    }
}

TEST_F(GestureTest, TremorWithinTheDragDistanceStillHolds)
{
    const int dx = GetSystemMetrics(SM_CXDRAG);
    const int dy = GetSystemMetrics(SM_CYDRAG);
    PostMouse(client(), WM_MOUSEMOVE, kDown.x + dx, kDown.y, MK_LBUTTON);
    PostMouse(client(), WM_MOUSEMOVE, kDown.x, kDown.y - dy, MK_LBUTTON);
    DelayedPost post = {client(), WM_MOUSEMOVE, {kDown.x - 1, kDown.y + 1}, 200};
    HANDLE thread = CreateThread(NULL, 0, PostLater, &post, 0, NULL);
    const TimedGesture g = Recognize(GestureAt(client(), kDown));
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(g.result, (DWORD)GN_CONTEXTMENU);
    EXPECT_GE(g.elapsedMs, kHoldMs - 20);
}

// A worker that sends to the window while the stylus is held must not wait
// for the whole hold.
struct SendProbe {
    HWND hwnd;
    DWORD sentAt;
};

DWORD WINAPI SendDuringHold(void* param)
{
    SendProbe* probe = (SendProbe*)param;
    Sleep(100);
    SendMessageW(probe->hwnd, WM_NULL, 0, 0);
    probe->sentAt = GetTickCount();
    return 0;
}

TEST_F(GestureTest, SentMessagesAreServedWhileHolding)
{
    SendProbe probe = {client(), 0};
    HANDLE thread = CreateThread(NULL, 0, SendDuringHold, &probe, 0, NULL);
    SHRGINFO info = GestureAt(client(), kDown);
    const DWORD start = GetTickCount();
    const DWORD result = SHRecognizeGesture(&info);
    const DWORD end = GetTickCount();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(result, (DWORD)GN_CONTEXTMENU);
    ASSERT_NE(probe.sentAt, 0u);
    EXPECT_LT(probe.sentAt - start, (end - start) - 100) << "the send was answered during the hold";
    EXPECT_EQ(m_window.Count(WM_NULL), 1u);
}

TEST_F(GestureTest, WithoutReturnCmdTheParentIsNotified)
{
    MessageRecorder child(L"child", WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, client());
    SetWindowLongPtrW(child.hwnd(), GWLP_ID, 77);
    NMRGINFO received = {};
    m_window.onMessage = [&received](UINT message, WPARAM, LPARAM lParam, LRESULT*) {
        if (message == WM_NOTIFY)
            received = *(const NMRGINFO*)lParam;
        return false;
    };
    SHRGINFO info = GestureAt(child.hwnd(), kDown, SHRG_NOTIFYPARENT);
    EXPECT_EQ(SHRecognizeGesture(&info), (DWORD)GN_CONTEXTMENU);
    m_window.onMessage = nullptr;
    ASSERT_EQ(m_window.Count(WM_NOTIFY), 1u);
    EXPECT_EQ(m_window.Of(WM_NOTIFY)[0].wParam, 77u);
    EXPECT_EQ(received.hdr.hwndFrom, child.hwnd());
    EXPECT_EQ(received.hdr.idFrom, 77u);
    EXPECT_EQ(received.hdr.code, (UINT)GN_CONTEXTMENU);
    POINT screen = kDown;
    ClientToScreen(child.hwnd(), &screen);
    EXPECT_EQ(received.ptAction.x, screen.x);
    EXPECT_EQ(received.ptAction.y, screen.y);
    EXPECT_EQ(child.Count(WM_NOTIFY), 0u);

    // With SHRG_RETURNCMD nobody is told.
    info = GestureAt(child.hwnd(), kDown, SHRG_RETURNCMD | SHRG_NOTIFYPARENT);
    EXPECT_EQ(SHRecognizeGesture(&info), (DWORD)GN_CONTEXTMENU);
    EXPECT_EQ(m_window.Count(WM_NOTIFY), 1u);
}

TEST_F(GestureTest, RefusesABadRecord)
{
    SHRGINFO info = GestureAt(client(), kDown);
    info.cbSize = 20;  // the device's size, not this platform's
    TimedGesture g = Recognize(info);
    EXPECT_EQ(g.result, 0u);
    EXPECT_LT(g.elapsedMs, 100u);
    info = GestureAt(NULL, kDown);
    EXPECT_EQ(Recognize(info).result, 0u);
    EXPECT_EQ(SHRecognizeGesture(NULL), 0u);
}

}  // namespace
