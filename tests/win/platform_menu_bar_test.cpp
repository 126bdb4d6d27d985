// The soft-key bar of the shell stand-in (SHCreateMenuBar), driven headless
// the way the end-to-end driver drives it: posted taps on the keys, posted
// keys to the pop-up menu window.
#include <windows.h>
#include <aygshell.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/standin_control.h"
#include "platform_menu_bar_test.h"
#include "resources/resource.h"
#include "support/win_test_support.h"

namespace {

const int kBarHeight = STANDIN_MENU_BAR_HEIGHT;
const DWORD kTimeoutMs = 5000;

HWND MakeBar(HWND owner, UINT id, DWORD flags = 0)
{
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = owner;
    info.dwFlags = flags;
    info.nToolBarId = id;
    info.hInstRes = GetModuleHandleW(NULL);
    if (!SHCreateMenuBar(&info))
        return NULL;
    return info.hwndMB;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ","
        + std::to_string(r.bottom) + ")";
}

int GetDpi()
{
    HDC screen = GetDC(NULL);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return dpi;
}

// Taps the middle of the left (0) or right (1) key.
void TapKey(HWND bar, int key)
{
    const RECT client = ClientRect(bar);
    const int x = key == 0 ? client.right / 4 : client.right * 3 / 4;
    PostClick(bar, x, client.bottom / 2);
}

std::wstring KeyCaption(HWND bar, UINT command)
{
    wchar_t text[64] = L"";
    if (SendMessageW(bar, TB_GETBUTTONTEXTW, command, (LPARAM)text) < 0)
        return L"<none>";
    return text;
}

// An owner in the middle of the screen, 240 x 320 like the device.
class MenuBarTest : public ::testing::Test {
protected:
    MenuBarTest()
        : m_owner(L"owner", WS_POPUP | WS_VISIBLE, 100, 80, 240, 320)
    {
    }
    void TearDown() override { PumpPendingMessages(); }
    HWND owner() const { return m_owner.hwnd(); }
    MessageRecorder m_owner;
};

TEST_F(MenuBarTest, BarIsAnOwnedNonActivatingWindowOverTheOwnersBottom)
{
    HWND bar = MakeBar(owner(), IDR_TEST_BAR);
    ASSERT_NE(bar, (HWND)NULL);
    EXPECT_EQ(ClassName(bar), STANDIN_MENU_BAR_CLASS);
    EXPECT_EQ(GetWindow(bar, GW_OWNER), owner());
    EXPECT_EQ(GetAncestor(bar, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(FindOwnedWindow(owner(), STANDIN_MENU_BAR_CLASS), bar);

    const LONG style = GetWindowLongW(bar, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(bar, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(style & WS_CHILD);
    EXPECT_EQ(exStyle & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW), WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
    EXPECT_EQ(SendMessageW(bar, WM_MOUSEACTIVATE, (WPARAM)owner(), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
        MA_NOACTIVATE);

    const RECT expected = {100, 80 + 320 - kBarHeight, 100 + 240, 80 + 320};
    EXPECT_PRED2(SameRect, WindowRect(bar), expected) << Describe(WindowRect(bar));
}

TEST_F(MenuBarTest, KeysCarryTheRecordsCaptions)
{
    const struct {
        UINT bar;
        UINT left, right;
        const wchar_t* leftCaption;
        const wchar_t* rightCaption;
    } cases[] = {
        {IDR_TEST_BAR, IDM_TEST_LEFT_KEY, IDM_TEST_RIGHT_KEY, L"Левая", L"Правая"},
        {IDR_SETTINGS_BAR, IDM_BAR_CLOSE, IDM_BAR_SAVE, L"Закрыть", L"Сохранить"},
        {IDR_SEND_BAR, IDM_BAR_CLOSE, IDM_BAR_SEND, L"Закрыть", L"Отправить"},
        {IDR_ABOUT_BAR, IDM_BAR_CLOSE, 0, L"Закрыть", L"<none>"},
    };
    for (const auto& c : cases) {
        HWND bar = MakeBar(owner(), c.bar);
        ASSERT_NE(bar, (HWND)NULL) << c.bar;
        EXPECT_EQ(KeyCaption(bar, c.left), c.leftCaption) << c.bar;
        EXPECT_EQ(KeyCaption(bar, c.right), c.rightCaption) << c.bar;
        EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, c.left, 0)) << c.bar;
        DestroyWindow(bar);
    }
}

TEST_F(MenuBarTest, MenuMessagesAnswerLikeTheDevice)
{
    HWND bar = MakeBar(owner(), IDR_TEST_BAR);
    ASSERT_NE(bar, (HWND)NULL);
    HMENU menu = (HMENU)SendMessageW(bar, SHCMBM_GETMENU, 0, 0);
    ASSERT_NE(menu, (HMENU)NULL);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ((HMENU)SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDM_TEST_LEFT_KEY), GetSubMenu(menu, 1));
    EXPECT_EQ((HMENU)SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDM_TEST_RIGHT_KEY), GetSubMenu(menu, 0));
    EXPECT_EQ((HMENU)SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 12345), (HMENU)NULL);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 0), 0), (UINT)IDM_TEST_RIGHT_FIRST);

    HWND about = MakeBar(owner(), IDR_ABOUT_BAR);
    ASSERT_NE(about, (HWND)NULL);
    EXPECT_NE((HMENU)SendMessageW(about, SHCMBM_GETMENU, 0, 0), (HMENU)NULL);
    EXPECT_EQ((HMENU)SendMessageW(about, SHCMBM_GETSUBMENU, 0, IDM_BAR_CLOSE), (HMENU)NULL);
}

TEST_F(MenuBarTest, PopupKeysOpenTheirPopupAndSendTheChosenCommand)
{
    HWND bar = MakeBar(owner(), IDR_TEST_BAR);
    ASSERT_NE(bar, (HWND)NULL);
    HMENU menu = (HMENU)SendMessageW(bar, SHCMBM_GETMENU, 0, 0);
    const struct {
        int key;
        int popup;  // position in the menu, as the bar record names it
        UINT command;
    } cases[] = {
        {0, 1, IDM_TEST_LEFT_FIRST},
        {0, 1, IDM_TEST_LEFT_SECOND},
        {0, 1, IDM_TEST_LEFT_LAST},
        {1, 0, IDM_TEST_RIGHT_FIRST},
        {1, 0, IDM_TEST_RIGHT_AFTER},
        {1, 0, IDM_TEST_RIGHT_QUIT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("key " + std::to_string(c.key) + " command " + std::to_string(c.command));
        m_owner.Clear();
        MenuPicker picker(c.command);
        TapKey(bar, c.key);
        ASSERT_TRUE(PumpUntil([&] { return m_owner.Count(WM_COMMAND) > 0; }, kTimeoutMs));
        ASSERT_TRUE(picker.Wait());
        EXPECT_EQ(picker.menu(), GetSubMenu(menu, c.popup));

        // The owner hears of the pop-up first, then gets exactly one command.
        const std::vector<RecordedMessage> popups = m_owner.Of(WM_INITMENUPOPUP);
        ASSERT_EQ(popups.size(), 1u);
        EXPECT_EQ((HMENU)popups[0].wParam, GetSubMenu(menu, c.popup));
        EXPECT_LT(m_owner.IndexOf(WM_INITMENUPOPUP), m_owner.IndexOf(WM_COMMAND));
        EXPECT_EQ(m_owner.Commands(), std::vector<UINT> {c.command});
        EXPECT_EQ(HIWORD(m_owner.Of(WM_COMMAND)[0].wParam), 0);
        EXPECT_EQ(FindMenuWindow(), (HWND)NULL);
    }
}

TEST_F(MenuBarTest, CancelledPopupSendsNothing)
{
    HWND bar = MakeBar(owner(), IDR_TEST_BAR);
    ASSERT_NE(bar, (HWND)NULL);
    MenuPicker picker(MenuPicker::kCancel);
    TapKey(bar, 1);
    ASSERT_TRUE(PumpUntil([&] { return m_owner.Count(WM_EXITMENULOOP) > 0; }, kTimeoutMs));
    EXPECT_TRUE(picker.Wait());
    EXPECT_EQ(m_owner.Count(WM_INITMENUPOPUP), 1u);
    PumpMessagesFor(50);
    EXPECT_TRUE(m_owner.Commands().empty());
}

// As on the device, an item is twice as tall at 192 dpi as at 96.
TEST_F(MenuBarTest, PopupItemsAreTheDevicesHeight)
{
    HWND bar = MakeBar(owner(), IDR_TEST_BAR);
    ASSERT_NE(bar, (HWND)NULL);
    for (int key : {0, 1}) {
        m_owner.Clear();
        MenuPicker picker(MenuPicker::kCancel);
        TapKey(bar, key);
        ASSERT_TRUE(PumpUntil([&] { return m_owner.Count(WM_EXITMENULOOP) > 0; }, kTimeoutMs));
        ASSERT_TRUE(picker.Wait());
        EXPECT_EQ(picker.firstItemHeight(), MulDiv(17, GetDpi(), 96)) << "key " << key;
    }
}

TEST_F(MenuBarTest, PlainKeysSendTheirCommand)
{
    const struct {
        UINT bar;
        int key;
        std::vector<UINT> commands;
    } cases[] = {
        {IDR_SEND_BAR, 0, {IDM_BAR_CLOSE}}, {IDR_SEND_BAR, 1, {IDM_BAR_SEND}},
        {IDR_SETTINGS_BAR, 1, {IDM_BAR_SAVE}}, {IDR_ABOUT_BAR, 0, {IDM_BAR_CLOSE}},
        {IDR_ABOUT_BAR, 1, {}},  // one button: the right half is no key
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("bar " + std::to_string(c.bar) + " key " + std::to_string(c.key));
        HWND bar = MakeBar(owner(), c.bar);
        ASSERT_NE(bar, (HWND)NULL);
        m_owner.Clear();
        TapKey(bar, c.key);
        PumpMessagesFor(50);
        EXPECT_EQ(m_owner.Commands(), c.commands);
        EXPECT_EQ(m_owner.Count(WM_INITMENUPOPUP), 0u);
        DestroyWindow(bar);
    }
}

TEST_F(MenuBarTest, ReleaseOutsideThePressedKeyDoesNothing)
{
    HWND bar = MakeBar(owner(), IDR_SEND_BAR);
    ASSERT_NE(bar, (HWND)NULL);
    const RECT client = ClientRect(bar);
    PostMouse(bar, WM_LBUTTONDOWN, client.right / 4, client.bottom / 2, MK_LBUTTON);
    PostMouse(bar, WM_LBUTTONUP, client.right * 3 / 4, client.bottom / 2);
    PumpMessagesFor(50);
    EXPECT_TRUE(m_owner.Commands().empty());
    EXPECT_EQ(GetCapture(), (HWND)NULL);
}

TEST_F(MenuBarTest, DisabledKeyIgnoresTaps)
{
    HWND bar = MakeBar(owner(), IDR_SEND_BAR);
    ASSERT_NE(bar, (HWND)NULL);
    ASSERT_TRUE(SendMessageW(bar, TB_ENABLEBUTTON, IDM_BAR_SEND, MAKELPARAM(FALSE, 0)));
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, IDM_BAR_SEND, 0));
    TapKey(bar, 1);
    TapKey(bar, 0);
    PumpMessagesFor(50);
    EXPECT_EQ(m_owner.Commands(), std::vector<UINT> {IDM_BAR_CLOSE});
}

TEST_F(MenuBarTest, DisabledOwnerTakesNoCommands)
{
    HWND bar = MakeBar(owner(), IDR_SEND_BAR);
    ASSERT_NE(bar, (HWND)NULL);
    EnableWindow(owner(), FALSE);  // as while a modal dialog runs
    TapKey(bar, 0);
    PumpMessagesFor(50);
    EXPECT_TRUE(m_owner.Commands().empty());
    EnableWindow(owner(), TRUE);
    TapKey(bar, 0);
    PumpMessagesFor(50);
    EXPECT_EQ(m_owner.Commands(), std::vector<UINT> {IDM_BAR_CLOSE});
}

TEST_F(MenuBarTest, BarFollowsItsOwner)
{
    HWND bar = MakeBar(owner(), IDR_TEST_BAR);
    ASSERT_NE(bar, (HWND)NULL);
    MoveWindow(owner(), 20, 30, 200, 150, FALSE);
    const RECT moved = {20, 30 + 150 - kBarHeight, 20 + 200, 30 + 150};
    EXPECT_PRED2(SameRect, WindowRect(bar), moved) << Describe(WindowRect(bar));

    ShowWindow(owner(), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(bar));
    ShowWindow(owner(), SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(bar));
}

TEST_F(MenuBarTest, FullScreenOwnerKeepsTheBarAtTheBottomOfTheScreen)
{
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    MoveWindow(owner(), 0, STANDIN_TOP_BAR_HEIGHT, cx, cy - STANDIN_TOP_BAR_HEIGHT, FALSE);
    HWND bar = MakeBar(owner(), IDR_TEST_BAR);
    ASSERT_NE(bar, (HWND)NULL);
    const RECT bottom = {0, cy - kBarHeight, cx, cy};
    EXPECT_PRED2(SameRect, WindowRect(bar), bottom) << Describe(WindowRect(bar));

    // The program then shrinks its window by the bar's height: the bar stays.
    RECT window = WindowRect(owner());
    window.bottom -= kBarHeight;
    MoveWindow(
        owner(), window.left, window.top, window.right - window.left, window.bottom - window.top, FALSE);
    EXPECT_PRED2(SameRect, WindowRect(bar), bottom) << Describe(WindowRect(bar));

    // A message dialog ends above the main window's status bar: its bar still
    // goes to the bottom, not over the dialog's own last rows.
    MoveWindow(owner(), 0, STANDIN_TOP_BAR_HEIGHT, cx, cy - 2 * kBarHeight - 22, FALSE);
    EXPECT_PRED2(SameRect, WindowRect(bar), bottom) << Describe(WindowRect(bar));
}

TEST_F(MenuBarTest, BarIsDestroyedWithItsOwner)
{
    HWND bar;
    {
        MessageRecorder shortLived(L"short-lived", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
        bar = MakeBar(shortLived.hwnd(), IDR_SEND_BAR);
        ASSERT_TRUE(IsWindow(bar));
    }
    EXPECT_FALSE(IsWindow(bar));
}

TEST_F(MenuBarTest, DestroyingTheBarLeavesTheOwnerWorking)
{
    HWND bar = MakeBar(owner(), IDR_SEND_BAR);
    ASSERT_TRUE(DestroyWindow(bar));
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_EQ(FindOwnedWindow(owner(), STANDIN_MENU_BAR_CLASS), (HWND)NULL);
    MoveWindow(owner(), 10, 10, 240, 300, FALSE);  // no bar left to follow
    ShowWindow(owner(), SW_HIDE);
    EXPECT_TRUE(IsWindow(owner()));
}

TEST_F(MenuBarTest, CommandThatDestroysTheOwnerEndsCleanly)
{
    MessageRecorder* closing = new MessageRecorder(L"closing", WS_POPUP | WS_VISIBLE, 0, 0, 240, 300);
    HWND closingWindow = closing->hwnd();
    closing->onMessage = [closingWindow](UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
        if (message != WM_COMMAND || LOWORD(wParam) != IDM_TEST_RIGHT_QUIT)
            return false;
        DestroyWindow(closingWindow);
        *result = 0;
        return true;
    };
    HWND bar = MakeBar(closingWindow, IDR_TEST_BAR);
    ASSERT_NE(bar, (HWND)NULL);
    MenuPicker picker(IDM_TEST_RIGHT_QUIT);
    TapKey(bar, 1);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(closingWindow); }, kTimeoutMs));
    EXPECT_TRUE(picker.Wait());
    EXPECT_FALSE(IsWindow(bar));
    delete closing;
}

TEST_F(MenuBarTest, RefusesBadRequests)
{
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = owner();
    info.hInstRes = GetModuleHandleW(NULL);
    info.nToolBarId = 999;  // no such record
    info.hwndMB = (HWND)1;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_EQ(info.hwndMB, (HWND)NULL);

    info.nToolBarId = IDR_TEST_BAR;
    info.cbSize = 36;  // the device's size, not this platform's
    EXPECT_FALSE(SHCreateMenuBar(&info));

    info.cbSize = sizeof(info);
    info.hwndParent = NULL;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_FALSE(SHCreateMenuBar(NULL));
    EXPECT_EQ(FindOwnedWindow(owner(), STANDIN_MENU_BAR_CLASS), (HWND)NULL);
}

// A copy of this program with extra menu-bar records, loaded as a data file:
// records that the program's own resources do not have.
class ExtraRecords {
public:
    ExtraRecords()
    {
        wchar_t self[MAX_PATH], folder[MAX_PATH];
        GetModuleFileNameW(NULL, self, MAX_PATH);
        GetTempPathW(MAX_PATH, folder);
        GetTempFileNameW(folder, L"mbr", 0, m_path);
        CopyFileW(self, m_path, FALSE);
        m_update = BeginUpdateResourceW(m_path, FALSE);
    }
    ~ExtraRecords()
    {
        if (m_module)
            FreeLibrary(m_module);
        DeleteFileW(m_path);
    }
    void Add(UINT id, const std::vector<WORD>& words, size_t bytes = 0)
    {
        UpdateResourceW(m_update, (LPCWSTR)RT_RCDATA, MAKEINTRESOURCEW(id),
            MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), (void*)words.data(),
            (DWORD)(bytes ? bytes : words.size() * sizeof(WORD)));
    }
    HINSTANCE Load()
    {
        EndUpdateResourceW(m_update, FALSE);
        m_module = LoadLibraryExW(m_path, NULL, LOAD_LIBRARY_AS_DATAFILE);
        return m_module;
    }

private:
    wchar_t m_path[MAX_PATH] = L"";
    HANDLE m_update = NULL;
    HMODULE m_module = NULL;
};

TEST_F(MenuBarTest, RecordStatesAndDamagedRecords)
{
    const WORD none = 0xFFFE, noPopup = 0xFFFF;
    ExtraRecords extra;
    extra.Add(500,
        {IDR_SEND_BAR, 2, none, IDM_BAR_CLOSE, 0, 0x10, IDS_CLOSE, 0, noPopup,  //
            none, IDM_BAR_SEND, TBSTATE_ENABLED, 0x10, IDS_SEND, 0, noPopup});
    extra.Add(501, {IDR_SEND_BAR, 2, none, IDM_BAR_CLOSE, TBSTATE_ENABLED, 0x10, IDS_CLOSE});  // cut short
    extra.Add(502, {IDR_SEND_BAR}, 1);                                                         // one byte
    extra.Add(503, {IDR_TEST_BAR, 1, none, IDM_TEST_LEFT_KEY, TBSTATE_ENABLED, 0x18, IDS_TEST_LEFT, 0, 7});
    HINSTANCE resources = extra.Load();
    ASSERT_NE(resources, (HINSTANCE)NULL);

    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = owner();
    info.hInstRes = resources;
    info.nToolBarId = 500;
    ASSERT_TRUE(SHCreateMenuBar(&info));
    EXPECT_FALSE(SendMessageW(info.hwndMB, TB_ISBUTTONENABLED, IDM_BAR_CLOSE, 0));
    EXPECT_TRUE(SendMessageW(info.hwndMB, TB_ISBUTTONENABLED, IDM_BAR_SEND, 0));
    EXPECT_EQ(KeyCaption(info.hwndMB, IDM_BAR_CLOSE), L"Закрыть");
    TapKey(info.hwndMB, 0);
    TapKey(info.hwndMB, 1);
    PumpMessagesFor(50);
    EXPECT_EQ(m_owner.Commands(), std::vector<UINT> {IDM_BAR_SEND});
    DestroyWindow(info.hwndMB);

    for (UINT damaged : {501u, 502u}) {
        info.nToolBarId = damaged;
        EXPECT_FALSE(SHCreateMenuBar(&info)) << damaged;
        EXPECT_EQ(info.hwndMB, (HWND)NULL);
    }

    // A pop-up index the menu does not have: the key sends its own command.
    m_owner.Clear();
    info.nToolBarId = 503;
    ASSERT_TRUE(SHCreateMenuBar(&info));
    EXPECT_EQ((HMENU)SendMessageW(info.hwndMB, SHCMBM_GETSUBMENU, 0, IDM_TEST_LEFT_KEY), (HMENU)NULL);
    TapKey(info.hwndMB, 0);
    PumpMessagesFor(50);
    EXPECT_EQ(m_owner.Commands(), std::vector<UINT> {IDM_TEST_LEFT_KEY});
    DestroyWindow(info.hwndMB);
}

TEST_F(MenuBarTest, MenuFlagBuildsKeysFromTheMenusItems)
{
    HWND bar = MakeBar(owner(), IDR_SETTINGS_BAR, SHCMBF_HMENU);
    ASSERT_NE(bar, (HWND)NULL);
    EXPECT_EQ(KeyCaption(bar, IDM_SETTINGS_BAR_CLOSE), L"Закрыть");
    TapKey(bar, 1);
    PumpMessagesFor(50);
    EXPECT_EQ(m_owner.Commands(), std::vector<UINT> {IDM_SETTINGS_BAR_SAVE});

    HWND empty = MakeBar(owner(), 0, SHCMBF_EMPTYBAR);
    ASSERT_NE(empty, (HWND)NULL);
    m_owner.Clear();
    TapKey(empty, 0);
    PumpMessagesFor(50);
    EXPECT_TRUE(m_owner.Commands().empty());
}

}  // namespace
