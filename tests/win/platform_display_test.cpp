// The shell stand-in following a change of the screen's size: the bars and
// the windows it placed move to the new screen, and only then does every
// window hear WM_SETTINGCHANGE (SETTINGCHANGE_RESET). The null driver
// cannot change its resolution, so the change is announced the way the
// desktop announces it: WM_DISPLAYCHANGE with the new size in lParam.
#include <windows.h>
#include <aygshell.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/standin_control.h"
#include "resources/resource.h"
#include "support/win_test_support.h"

namespace {

const int kTopBar = STANDIN_TOP_BAR_HEIGHT;
const int kMenuBar = STANDIN_MENU_BAR_HEIGHT;

std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ","
        + std::to_string(r.bottom) + ")";
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

RECT Rect(int left, int top, int right, int bottom)
{
    RECT rect = {left, top, right, bottom};
    return rect;
}

// A recorder that also notes where its window was when each
// WM_SETTINGCHANGE arrived.
struct Listener {
    std::unique_ptr<MessageRecorder> recorder;
    std::vector<RECT> rectAtReset;

    Listener(const wchar_t* title, DWORD style, int x, int y, int cx, int cy)
        : recorder(new MessageRecorder(title, style, x, y, cx, cy))
    {
        recorder->onMessage = [this](UINT message, WPARAM wParam, LPARAM, LRESULT*) {
            if (message == WM_SETTINGCHANGE && wParam == SETTINGCHANGE_RESET)
                rectAtReset.push_back(WindowRect(recorder->hwnd()));
            return false;
        };
    }
    HWND hwnd() const { return recorder->hwnd(); }
    void Clear()
    {
        recorder->Clear();
        rectAtReset.clear();
    }
};

// Made the way the program makes its main window: default place and size.
std::unique_ptr<Listener> DeviceWindow(const wchar_t* title)
{
    return std::unique_ptr<Listener>(
        new Listener(title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT));
}

HWND MakeSoftKeyBar(HWND owner, UINT id)
{
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = owner;
    info.nToolBarId = id;
    info.hInstRes = GetModuleHandleW(NULL);
    return SHCreateMenuBar(&info) ? info.hwndMB : NULL;
}

// What the program's start-up does once the bar exists: give way to it.
void ShrinkForBar(HWND window, HWND bar)
{
    RECT rect = WindowRect(window);
    const RECT barRect = WindowRect(bar);
    rect.bottom -= barRect.bottom - barRect.top;
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
}

INT_PTR CALLBACK FullScreenDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SHINITDLGINFO init = {};
        init.dwMask = SHIDIM_FLAGS;
        init.hDlg = dialog;
        init.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU;
        SHInitDialog(&init);
        return TRUE;
    }
    return FALSE;
}

void AnnounceScreen(int cx, int cy)
{
    HWND topBar = StandinGetTopBar();
    ASSERT_NE(topBar, (HWND)NULL);
    SendMessageW(topBar, WM_DISPLAYCHANGE, 32, MAKELPARAM(cx, cy));
}

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SHInitExtraControls());
        PumpPendingMessages();
    }
    void TearDown() override
    {
        // Back to the real screen for whatever runs next.
        if (StandinGetTopBar())
            SendMessageW(StandinGetTopBar(), WM_DISPLAYCHANGE, 32, 0);
        PumpPendingMessages();
    }
};

TEST_F(DisplayTest, WindowsFollowTheScreenThenHearTheReset)
{
    std::unique_ptr<Listener> main = DeviceWindow(L"main");
    ASSERT_NE(main->hwnd(), (HWND)NULL);
    HWND mainBar = MakeSoftKeyBar(main->hwnd(), IDR_MAIN);
    ASSERT_NE(mainBar, (HWND)NULL);
    ShrinkForBar(main->hwnd(), mainBar);
    std::unique_ptr<Listener> bare = DeviceWindow(L"no soft keys");
    Listener placed(L"placed", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 40, 200, 150);
    const RECT placedRect = WindowRect(placed.hwnd());

    HWND dialog = CreateDialogParamW(
        GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDD_STATUS), NULL, FullScreenDialogProc, 0);
    ASSERT_NE(dialog, (HWND)NULL);
    HWND dialogBar = MakeSoftKeyBar(dialog, IDR_SEND_BAR);
    ASSERT_NE(dialogBar, (HWND)NULL);
    ShowWindow(dialog, SW_SHOWNA);

    const int realCx = GetSystemMetrics(SM_CXSCREEN);
    const int realCy = GetSystemMetrics(SM_CYSCREEN);
    // Turned, taller, the device's own, and 0: the screen as it really is.
    const struct {
        int cx, cy;
    } sizes[] = {{320, 240}, {480, 640}, {240, 320}, {0, 0}};
    for (const auto& size : sizes) {
        const int cx = size.cx ? size.cx : realCx;
        const int cy = size.cy ? size.cy : realCy;
        SCOPED_TRACE("screen " + std::to_string(cx) + "x" + std::to_string(cy));
        main->Clear();
        bare->Clear();
        placed.Clear();
        AnnounceScreen(size.cx, size.cy);

        EXPECT_PRED2(SameRect, WindowRect(StandinGetTopBar()), Rect(0, 0, cx, kTopBar))
            << Describe(WindowRect(StandinGetTopBar()));
        const RECT mainExpected = Rect(0, kTopBar, cx, cy - kMenuBar);
        EXPECT_PRED2(SameRect, WindowRect(main->hwnd()), mainExpected) << Describe(WindowRect(main->hwnd()));
        EXPECT_PRED2(SameRect, WindowRect(mainBar), Rect(0, cy - kMenuBar, cx, cy))
            << Describe(WindowRect(mainBar));
        const RECT bareExpected = Rect(0, kTopBar, cx, cy);
        EXPECT_PRED2(SameRect, WindowRect(bare->hwnd()), bareExpected) << Describe(WindowRect(bare->hwnd()));
        EXPECT_PRED2(SameRect, WindowRect(placed.hwnd()), placedRect)
            << "a window placed by its program stays";
        EXPECT_PRED2(SameRect, WindowRect(dialog), Rect(0, kTopBar, cx, cy - kMenuBar))
            << Describe(WindowRect(dialog));
        EXPECT_PRED2(SameRect, WindowRect(dialogBar), Rect(0, cy - kMenuBar, cx, cy))
            << Describe(WindowRect(dialogBar));

        // Every window hears it once, already at its new place.
        const struct {
            const Listener* listener;
            RECT at;
        } told[] = {{main.get(), mainExpected}, {bare.get(), bareExpected}, {&placed, placedRect}};
        for (const auto& t : told) {
            const std::vector<RecordedMessage> resets = t.listener->recorder->Of(WM_SETTINGCHANGE);
            ASSERT_EQ(resets.size(), 1u);
            EXPECT_EQ(resets[0].wParam, (WPARAM)SETTINGCHANGE_RESET);
            EXPECT_EQ(resets[0].lParam, 0);
            ASSERT_EQ(t.listener->rectAtReset.size(), 1u);
            EXPECT_PRED2(SameRect, t.listener->rectAtReset[0], t.at) << Describe(t.listener->rectAtReset[0]);
        }
    }
    DestroyWindow(dialog);
}

TEST_F(DisplayTest, NewScreenKeepsTheFocusAndIsPaintedAfresh)
{
    std::unique_ptr<Listener> main = DeviceWindow(L"main");
    HWND bar = MakeSoftKeyBar(main->hwnd(), IDR_MAIN);
    ASSERT_NE(bar, (HWND)NULL);
    ShrinkForBar(main->hwnd(), bar);
    // A control the window moves on the reset without asking for a repaint,
    // as the program's main window does with its status bar.
    MessageRecorder control(L"control", WS_CHILD | WS_VISIBLE, 0, 100, 240, 20, main->hwnd());
    main->recorder->onMessage = [&](UINT message, WPARAM wParam, LPARAM, LRESULT*) {
        if (message == WM_SETTINGCHANGE && wParam == SETTINGCHANGE_RESET)
            MoveWindow(control.hwnd(), 0, 150, 320, 20, FALSE);
        return false;
    };
    SetForegroundWindow(main->hwnd());
    PumpPendingMessages();
    ASSERT_EQ(GetForegroundWindow(), main->hwnd());

    PumpPendingMessages();  // everything painted
    AnnounceScreen(320, 240);
    EXPECT_EQ(GetForegroundWindow(), main->hwnd()) << "the bars never take activation";
    // Everything is painted again, the moved control and both bars
    // (which lay out from their width) included.
    for (HWND repainted : {main->hwnd(), control.hwnd(), bar, StandinGetTopBar()}) {
        RECT update = {};
        EXPECT_TRUE(GetUpdateRect(repainted, &update, FALSE));
        EXPECT_PRED2(SameRect, update, ClientRect(repainted)) << Describe(update);
    }
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_TRUE(GetWindowLongW(StandinGetTopBar(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // No frame came back with the move.
    EXPECT_FALSE(GetWindowLongW(main->hwnd(), GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(ClientRect(main->hwnd()).right, 320);
}

TEST_F(DisplayTest, ScreenChangeTellsOnlyOnceTheMovesAreDone)
{
    // A window that lays out from the screen when told, as the program's main
    // window does, finds its soft-key bar already at the new bottom.
    std::unique_ptr<Listener> main = DeviceWindow(L"main");
    HWND bar = MakeSoftKeyBar(main->hwnd(), IDR_MAIN);
    ASSERT_NE(bar, (HWND)NULL);
    ShrinkForBar(main->hwnd(), bar);
    RECT barAtReset = {};
    HWND topBarAtReset = NULL;
    RECT topBarRectAtReset = {};
    main->recorder->onMessage = [&](UINT message, WPARAM wParam, LPARAM, LRESULT*) {
        if (message == WM_SETTINGCHANGE && wParam == SETTINGCHANGE_RESET) {
            barAtReset = WindowRect(bar);
            topBarAtReset = StandinGetTopBar();
            topBarRectAtReset = WindowRect(topBarAtReset);
        }
        return false;
    };
    AnnounceScreen(480, 360);
    EXPECT_PRED2(SameRect, barAtReset, Rect(0, 360 - kMenuBar, 480, 360)) << Describe(barAtReset);
    ASSERT_NE(topBarAtReset, (HWND)NULL);
    EXPECT_PRED2(SameRect, topBarRectAtReset, Rect(0, 0, 480, kTopBar)) << Describe(topBarRectAtReset);
}

}  // namespace
