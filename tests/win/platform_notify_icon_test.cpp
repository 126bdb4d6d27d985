// Notification icons in the stand-in's navigation bar: where they sit, what
// a tap on them sends, and which requests the shell refuses.
#include <windows.h>
#include <aygshell.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/standin_control.h"
#include "resources/resource.h"
#include "support/win_test_support.h"

namespace {

const UINT kCallback = WM_APP + 25;

int SlotWidth()
{
    return GetSystemMetrics(SM_CXSMICON) + STANDIN_NOTIFY_ICON_PADDING;
}

HICON ProgramIcon()
{
    return LoadIconW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDI_SORVINTA));
}

BOOL Request(
    DWORD message, HWND window, UINT id, UINT flags = NIF_MESSAGE | NIF_ICON, HICON icon = ProgramIcon())
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = id;
    data.uFlags = flags;
    data.uCallbackMessage = kCallback;
    data.hIcon = icon;
    return Shell_NotifyIconW(message, &data);
}

RECT PlaceOf(HWND window, UINT id)
{
    RECT place = {};
    EXPECT_TRUE(StandinGetNotifyIcon(window, id, &place, NULL)) << "icon " << id;
    return place;
}

POINT Centre(const RECT& r)
{
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A device-placed window: the navigation bar comes with it.
class NotifyIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SHInitExtraControls());
        m_owner.reset(new MessageRecorder(
            L"owner", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT));
        m_bar = StandinGetTopBar();
        ASSERT_NE(m_bar, (HWND)NULL);
        PumpPendingMessages();
        m_owner->Clear();
    }
    void TearDown() override
    {
        for (UINT id : {1u, 2u, 3u})
            Request(NIM_DELETE, owner(), id);
        m_owner.reset();
        PumpPendingMessages();
    }
    HWND owner() const { return m_owner->hwnd(); }
    std::vector<RecordedMessage> Callbacks() const { return m_owner->Of(kCallback); }

    std::unique_ptr<MessageRecorder> m_owner;
    HWND m_bar = NULL;
};

TEST_F(NotifyIconTest, IconsSitSmallAtTheRightEndFirstAddedRightmost)
{
    ASSERT_TRUE(Request(NIM_ADD, owner(), 1));
    ASSERT_TRUE(Request(NIM_ADD, owner(), 2));
    const RECT client = ClientRect(m_bar);
    const RECT first = PlaceOf(owner(), 1);
    const RECT second = PlaceOf(owner(), 2);
    EXPECT_EQ(first.right, client.right);
    EXPECT_EQ(first.right - first.left, SlotWidth());
    EXPECT_EQ(first.top, 0);
    EXPECT_EQ(first.bottom, client.bottom);
    EXPECT_EQ(second.right, first.left);

    HICON image = NULL;
    ASSERT_TRUE(StandinGetNotifyIcon(owner(), 1, NULL, &image));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(image, &info));
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON)) << "the small image";
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    // The first one goes: the second takes the right end.
    ASSERT_TRUE(Request(NIM_DELETE, owner(), 1));
    EXPECT_FALSE(StandinGetNotifyIcon(owner(), 1, NULL, NULL));
    EXPECT_EQ(PlaceOf(owner(), 2).right, client.right);
}

TEST_F(NotifyIconTest, TapSendsTheCallbackWithTheIdAndTheButton)
{
    ASSERT_TRUE(Request(NIM_ADD, owner(), 1));
    ASSERT_TRUE(Request(NIM_ADD, owner(), 2));
    const RECT client = ClientRect(m_bar);
    const struct {
        const char* where;
        POINT at;
        UINT id;  // 0: nothing is sent
    } taps[] = {
        {"first icon", Centre(PlaceOf(owner(), 1)), 1},
        {"second icon", Centre(PlaceOf(owner(), 2)), 2},
        {"right edge", {client.right - 1, 1}, 1},
        {"title", {10, client.bottom / 2}, 0},
        {"left of the icons", {PlaceOf(owner(), 2).left - 2, client.bottom / 2}, 0},
    };
    for (const auto& t : taps) {
        SCOPED_TRACE(t.where);
        m_owner->Clear();
        PostClick(m_bar, t.at.x, t.at.y);
        PumpPendingMessages();
        const std::vector<RecordedMessage> got = Callbacks();
        if (!t.id) {
            EXPECT_TRUE(got.empty());
            continue;
        }
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].wParam, t.id);
        EXPECT_EQ(got[0].lParam, WM_LBUTTONDOWN);
        EXPECT_EQ(got[1].wParam, t.id);
        EXPECT_EQ(got[1].lParam, WM_LBUTTONUP);
    }
    // Gone from the bar, it is tapped no more.
    const POINT old = Centre(PlaceOf(owner(), 1));
    Request(NIM_DELETE, owner(), 1);
    m_owner->Clear();
    PostClick(m_bar, old.x, old.y);
    PumpPendingMessages();
    ASSERT_EQ(Callbacks().size(), 2u);
    EXPECT_EQ(Callbacks()[0].wParam, 2u) << "the second icon moved to the right end";
}

TEST_F(NotifyIconTest, RequestsTheShellRefuses)
{
    ASSERT_TRUE(Request(NIM_ADD, owner(), 1));
    const struct {
        const char* what;
        DWORD message;
        HWND window;
        UINT id;
    } refused[] = {
        {"second add", NIM_ADD, owner(), 1},
        {"modify unknown", NIM_MODIFY, owner(), 3},
        {"delete unknown", NIM_DELETE, owner(), 3},
        {"add without window", NIM_ADD, NULL, 3},
        {"unknown request", 77, owner(), 1},
    };
    for (const auto& r : refused)
        EXPECT_FALSE(Request(r.message, r.window, r.id)) << r.what;
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, NULL));
    NOTIFYICONDATAW tooShort = {};
    tooShort.hWnd = owner();
    tooShort.uID = 3;
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &tooShort));
    EXPECT_FALSE(StandinGetNotifyIcon(owner(), 3, NULL, NULL));

    // Without an image there is nothing to show or tap; a modify brings one.
    ASSERT_TRUE(Request(NIM_ADD, owner(), 2, NIF_MESSAGE, NULL));
    RECT place = {1, 1, 2, 2};
    ASSERT_TRUE(StandinGetNotifyIcon(owner(), 2, &place, NULL));
    EXPECT_TRUE(IsRectEmpty(&place));
    ASSERT_TRUE(Request(NIM_MODIFY, owner(), 2, NIF_ICON));
    EXPECT_EQ(PlaceOf(owner(), 2).right, PlaceOf(owner(), 1).left);
}

TEST_F(NotifyIconTest, AWindowThatGoesTakesItsIconAlong)
{
    MessageRecorder shortLived(L"short", WS_POPUP, 0, 0, 10, 10);
    ASSERT_TRUE(Request(NIM_ADD, shortLived.hwnd(), 1));
    const HWND gone = shortLived.hwnd();
    DestroyWindow(gone);
    EXPECT_FALSE(StandinGetNotifyIcon(gone, 1, NULL, NULL));
    ASSERT_TRUE(Request(NIM_ADD, owner(), 1));
    EXPECT_EQ(PlaceOf(owner(), 1).right, ClientRect(m_bar).right);
}

}  // namespace
