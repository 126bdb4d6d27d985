// Dialog initialisation, the input panel, activation helpers and the device
// look of the shell stand-in.
#include <windows.h>
#include <aygshell.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/standin_control.h"
#include "resources/resource.h"
#include "support/win_test_support.h"

namespace {

const int kTopBar = STANDIN_TOP_BAR_HEIGHT;
const int kMenuBar = STANDIN_MENU_BAR_HEIGHT;

int ScreenWidth()
{
    return GetSystemMetrics(SM_CXSCREEN);
}

int ScreenHeight()
{
    return GetSystemMetrics(SM_CYSCREEN);
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

SIPINFO GetSip()
{
    SIPINFO info = {};
    info.cbSize = sizeof(info);
    EXPECT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0));
    return info;
}

// Every test starts with the panel down at its default place.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SHInitExtraControls());
        StandinResetInputPanel();
        PumpPendingMessages();
    }
    void TearDown() override
    {
        StandinResetInputPanel();
        PumpPendingMessages();
    }
};

// ------------------------------------------------------------ dialogs

struct DialogRun {
    DWORD flags;
    std::vector<UINT> commands;
};

INT_PTR CALLBACK InitDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SHINITDLGINFO init = {};
        init.dwMask = SHIDIM_FLAGS;
        init.hDlg = dialog;
        init.dwFlags = ((DialogRun*)lParam)->flags;
        SHInitDialog(&init);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        DialogRun* run = (DialogRun*)GetWindowLongPtrW(dialog, DWLP_USER);
        run->commands.push_back(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

HWND OpenDialog(UINT id, DialogRun* run)
{
    HWND dialog
        = CreateDialogParamW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(id), NULL, InitDialogProc, (LPARAM)run);
    if (dialog)
        ShowWindow(dialog, SW_SHOW);
    return dialog;
}

const DWORD kDeviceDialogFlags
    = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU;

// As on the device: down to the screen's bottom, where the dialog's soft
// keys will lie over it (shown with them, it ends above them).
TEST_F(ShellTest, FullScreenDialogFillsTheScreenBelowTheNavigationBar)
{
    ASSERT_EQ(kDeviceDialogFlags, 0x2Du);
    for (UINT id : {IDD_MESSAGE, IDD_STATUS, IDD_SETTINGS, IDD_ABOUT}) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        DialogRun run = {kDeviceDialogFlags, {}};
        HWND dialog = OpenDialog(id, &run);
        ASSERT_NE(dialog, (HWND)NULL);
        const RECT expected = {0, kTopBar, ScreenWidth(), ScreenHeight()};
        EXPECT_PRED2(SameRect, WindowRect(dialog), expected) << Describe(WindowRect(dialog));
        // No desktop caption or frame: the navigation bar shows the title.
        const RECT client = ClientRect(dialog);
        EXPECT_EQ(client.right, ScreenWidth());
        EXPECT_EQ(client.bottom, ScreenHeight() - kTopBar);
        EXPECT_FALSE(GetWindowLongW(dialog, GWL_STYLE) & WS_CAPTION);
        DestroyWindow(dialog);
    }
}

TEST_F(ShellTest, DialogSizesFollowTheirFlags)
{
    const RECT panel = {0, 150, ScreenWidth(), 230};
    StandinSetInputPanel(TRUE, &panel);
    const struct {
        DWORD flags;
        int bottom;
    } cases[] = {
        {SHIDIF_SIZEDLG, panel.top},                 // keeps clear of the panel
        {SHIDIF_SIZEDLGFULLSCREEN, ScreenHeight()},  // its soft keys will lie over its last rows
        {SHIDIF_FULLSCREENNOMENUBAR, ScreenHeight()},
    };
    for (const auto& c : cases) {
        DialogRun run = {c.flags, {}};
        HWND dialog = OpenDialog(IDD_STATUS, &run);
        ASSERT_NE(dialog, (HWND)NULL);
        const RECT expected = {0, kTopBar, ScreenWidth(), c.bottom};
        EXPECT_PRED2(SameRect, WindowRect(dialog), expected)
            << "flags " << c.flags << " " << Describe(WindowRect(dialog));
        DestroyWindow(dialog);
    }

    // Without a sizing flag the dialog keeps its template size and caption.
    DialogRun run = {SHIDIF_EMPTYMENU, {}};
    HWND dialog = OpenDialog(IDD_STATUS, &run);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_STYLE) & WS_CAPTION);
    EXPECT_NE(WindowRect(dialog).top, kTopBar);
    DestroyWindow(dialog);
}

TEST_F(ShellTest, DoneButtonInTheNavigationBarSendsIdOk)
{
    DialogRun withDone = {kDeviceDialogFlags, {}};
    HWND dialog = OpenDialog(IDD_MESSAGE, &withDone);
    ASSERT_NE(dialog, (HWND)NULL);
    HWND topBar = StandinGetTopBar();  // there at the latest with the dialog
    ASSERT_NE(topBar, (HWND)NULL);
    const RECT client = ClientRect(topBar);
    const int okX = client.right - STANDIN_OK_BUTTON_WIDTH / 2;
    ASSERT_EQ(GetForegroundWindow(), dialog);
    PostClick(topBar, okX, client.bottom / 2);
    PumpMessagesFor(50);
    EXPECT_EQ(withDone.commands, std::vector<UINT> {IDOK});
    // A tap on the title part is no button.
    PostClick(topBar, 10, client.bottom / 2);
    PumpMessagesFor(50);
    EXPECT_EQ(withDone.commands.size(), 1u);
    DestroyWindow(dialog);

    DialogRun withoutDone = {SHIDIF_SIZEDLGFULLSCREEN, {}};
    dialog = OpenDialog(IDD_MESSAGE, &withoutDone);
    ASSERT_NE(dialog, (HWND)NULL);
    PostClick(topBar, okX, client.bottom / 2);
    PumpMessagesFor(50);
    EXPECT_TRUE(withoutDone.commands.empty());
    DestroyWindow(dialog);
}

// "ok" sits in the middle of its frame: the bar drawn into a bitmap, the
// frame's and the text's columns read from the row through their middle.
TEST_F(ShellTest, DoneButtonsTextIsCentredInItsFrame)
{
    DialogRun run = {kDeviceDialogFlags, {}};
    HWND dialog = OpenDialog(IDD_MESSAGE, &run);
    ASSERT_NE(dialog, (HWND)NULL);
    HWND topBar = StandinGetTopBar();
    ASSERT_NE(topBar, (HWND)NULL);
    const RECT client = ClientRect(topBar);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(info.bmiHeader), client.right, -client.bottom, 1, 32};
    HDC dc = CreateCompatibleDC(NULL);
    DWORD* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void**)&bits, NULL, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(topBar, WM_PRINTCLIENT, (WPARAM)dc, PRF_CLIENT);
    const DWORD frame = 0x788CB4, text = 0xFFFFFF;  // RGB(120, 140, 180) and white, as 0xRRGGBB
    int frameLeft = client.right, frameRight = -1, textLeft = client.right, textRight = -1;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = client.right - STANDIN_OK_BUTTON_WIDTH; x < client.right; ++x) {
            const DWORD pixel = bits[y * client.right + x] & 0xFFFFFF;
            if (pixel == frame && y == client.bottom / 2) {
                frameLeft = std::min(frameLeft, x);
                frameRight = std::max(frameRight, x);
            }
            if (pixel == text) {
                textLeft = std::min(textLeft, x);
                textRight = std::max(textRight, x);
            }
        }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyWindow(dialog);
    ASSERT_LT(frameLeft, textLeft);
    ASSERT_GT(frameRight, textRight);
    EXPECT_LE(abs((textLeft - frameLeft) - (frameRight - textRight)), 1)
        << "left " << textLeft - frameLeft - 1 << " right " << frameRight - textRight - 1;
}

TEST_F(ShellTest, CaptionOkStyleAlsoGetsTheDoneButton)
{
    DialogRun run = {0, {}};  // the About template carries WS_EX_CAPTIONOKBTN itself
    HWND dialog = OpenDialog(IDD_ABOUT, &run);
    ASSERT_NE(dialog, (HWND)NULL);
    HWND topBar = StandinGetTopBar();
    ASSERT_NE(topBar, (HWND)NULL);
    const RECT client = ClientRect(topBar);
    PostClick(topBar, client.right - 4, client.bottom / 2);
    PumpMessagesFor(50);
    EXPECT_EQ(run.commands, std::vector<UINT> {IDOK});
    DestroyWindow(dialog);
}

TEST_F(ShellTest, SipDownLowersThePanelAndTellsTheWindows)
{
    MessageRecorder listener(L"listener", WS_POPUP, 0, 0, 10, 10);
    StandinSetInputPanel(TRUE, NULL);
    DialogRun run = {kDeviceDialogFlags, {}};
    HWND dialog = OpenDialog(IDD_SETTINGS, &run);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_FALSE(GetSip().fdwFlags & SIPF_ON);
    ASSERT_EQ(listener.Count(WM_SETTINGCHANGE), 1u);
    EXPECT_EQ(listener.Of(WM_SETTINGCHANGE)[0].wParam, (WPARAM)SPI_SETSIPINFO);
    DestroyWindow(dialog);

    // Already down: nothing to tell.
    listener.Clear();
    dialog = OpenDialog(IDD_SETTINGS, &run);
    EXPECT_EQ(listener.Count(WM_SETTINGCHANGE), 0u);
    DestroyWindow(dialog);
}

TEST_F(ShellTest, InitDialogRefusesNoDialogAndIgnoresNoMask)
{
    SHINITDLGINFO init = {};
    init.dwMask = SHIDIM_FLAGS;
    init.dwFlags = SHIDIF_SIZEDLGFULLSCREEN;
    EXPECT_FALSE(SHInitDialog(&init));
    EXPECT_FALSE(SHInitDialog(NULL));

    MessageRecorder window(L"plain", WS_POPUP | WS_CAPTION, 30, 40, 100, 100);
    init.hDlg = window.hwnd();
    init.dwMask = 0;
    EXPECT_TRUE(SHInitDialog(&init));
    const RECT unchanged = {30, 40, 130, 140};
    EXPECT_PRED2(SameRect, WindowRect(window.hwnd()), unchanged);
}

// -------------------------------------------------------- input panel

TEST_F(ShellTest, PanelIsOffByDefault)
{
    const SIPINFO info = GetSip();
    EXPECT_EQ(info.fdwFlags & SIPF_ON, 0u);
    const RECT desktop = {0, kTopBar, ScreenWidth(), ScreenHeight() - kMenuBar};
    EXPECT_PRED2(SameRect, info.rcVisibleDesktop, desktop) << Describe(info.rcVisibleDesktop);
    // Where it would be: full width, on top of the soft-key bar.
    EXPECT_EQ(info.rcSipRect.bottom, ScreenHeight() - kMenuBar);
    EXPECT_EQ(info.rcSipRect.right - info.rcSipRect.left, ScreenWidth());
    EXPECT_GT(info.rcSipRect.bottom, info.rcSipRect.top);
}

TEST_F(ShellTest, SimulatedPanelIsReported)
{
    const RECT panel = {0, 188, ScreenWidth(), 268};
    StandinSetInputPanel(TRUE, &panel);
    SIPINFO info = GetSip();
    EXPECT_TRUE(info.fdwFlags & SIPF_ON);
    EXPECT_PRED2(SameRect, info.rcSipRect, panel);
    EXPECT_EQ(info.rcVisibleDesktop.top, kTopBar);
    EXPECT_EQ(info.rcVisibleDesktop.bottom, panel.top);

    StandinSetInputPanel(FALSE, NULL);  // down, same place
    info = GetSip();
    EXPECT_FALSE(info.fdwFlags & SIPF_ON);
    EXPECT_PRED2(SameRect, info.rcSipRect, panel);
}

TEST_F(ShellTest, SettingThePanelBroadcastsTheChange)
{
    MessageRecorder listener(L"listener", WS_POPUP, 0, 0, 10, 10);
    SIPINFO info = GetSip();
    info.fdwFlags |= SIPF_ON;
    SetRect(&info.rcSipRect, 0, 100, ScreenWidth(), 180);
    ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &info, 0));
    ASSERT_EQ(listener.Count(WM_SETTINGCHANGE), 1u);
    EXPECT_EQ(listener.Of(WM_SETTINGCHANGE)[0].wParam, (WPARAM)SPI_SETSIPINFO);
    const SIPINFO after = GetSip();
    EXPECT_TRUE(after.fdwFlags & SIPF_ON);
    EXPECT_EQ(after.rcSipRect.top, 100);

    info.fdwFlags &= ~SIPF_ON;
    ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &info, 0));
    EXPECT_EQ(listener.Count(WM_SETTINGCHANGE), 2u);
    EXPECT_FALSE(GetSip().fdwFlags & SIPF_ON);
}

TEST_F(ShellTest, SipInfoRefusesBadRequests)
{
    SIPINFO info = {};
    info.cbSize = 48 - 1;
    EXPECT_FALSE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0));
    EXPECT_EQ(info.fdwFlags, 0u);
    info.cbSize = sizeof(info);
    EXPECT_FALSE(SHSipInfo(SPI_GETSIPINFO, 0, NULL, 0));
    EXPECT_FALSE(SHSipInfo(SPI_GETWORKAREA, 0, &info, 0));
}

// ------------------------------------------------ activation and settings

TEST_F(ShellTest, ActivationHelpersKeepTheirRecord)
{
    MessageRecorder window(L"active", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100);
    SHACTIVATEINFO info = {};
    info.cbSize = sizeof(info);
    EXPECT_TRUE(SHHandleWMActivate(window.hwnd(), WA_ACTIVE, 0, &info, 0));
    EXPECT_EQ(info.fActive, 1u);
    StandinSetInputPanel(TRUE, NULL);
    EXPECT_TRUE(SHHandleWMActivate(window.hwnd(), WA_INACTIVE, 0, &info, 0));
    EXPECT_EQ(info.fActive, 0u);
    EXPECT_EQ(info.fSipOnDeactivation, 1u);
    EXPECT_TRUE(SHHandleWMSettingChange(window.hwnd(), SPI_SETSIPINFO, 0, &info));
    EXPECT_EQ(info.fSipUp, 1u);
    EXPECT_TRUE(SHHandleWMSettingChange(window.hwnd(), SETTINGCHANGE_RESET, 0, &info));

    SHACTIVATEINFO device = {};
    device.cbSize = 12;  // the device's size, not this platform's
    EXPECT_FALSE(SHHandleWMActivate(window.hwnd(), WA_ACTIVE, 0, &device, 0));
    EXPECT_FALSE(SHHandleWMSettingChange(window.hwnd(), 0, 0, &device));
    EXPECT_EQ(device.fActive, 0u);
    EXPECT_FALSE(SHHandleWMActivate(window.hwnd(), WA_ACTIVE, 0, NULL, 0));
}

// --------------------------------------------------------- device look

TEST_F(ShellTest, SipPrefControlLetsATemplateLoad)
{
    WNDCLASSW wc = {};
    EXPECT_TRUE(GetClassInfoW(GetModuleHandleW(NULL), L"SIPPREF", &wc));

    // A dialog with one SIPPREF control, as device dialogs carry it.
    alignas(4) BYTE buffer[256] = {};
    DLGTEMPLATE* dlg = (DLGTEMPLATE*)buffer;
    dlg->style = WS_POPUP;
    dlg->cdit = 1;
    dlg->cx = 100;
    dlg->cy = 100;
    WORD* p = (WORD*)(dlg + 1);
    *p++ = 0;  // menu
    *p++ = 0;  // class
    *p++ = 0;  // title
    p = (WORD*)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
    DLGITEMTEMPLATE* item = (DLGITEMTEMPLATE*)p;
    item->style = WS_CHILD;
    item->x = -10;
    item->y = -10;
    item->cx = 5;
    item->cy = 5;
    item->id = 50;
    p = (WORD*)(item + 1);
    for (const wchar_t* c = L"SIPPREF"; *c; ++c)
        *p++ = *c;
    *p++ = 0;
    *p++ = 0;  // title
    *p++ = 0;  // creation data
    DialogRun run = {0, {}};
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(NULL), dlg, NULL, InitDialogProc, (LPARAM)&run);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(ClassName(GetDlgItem(dialog, 50)), L"SIPPREF");
    DestroyWindow(dialog);
}

struct CreationProbe {
    RECT atCreate;
};

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        CreationProbe* probe = (CreationProbe*)((CREATESTRUCTW*)lParam)->lpCreateParams;
        if (probe)
            GetWindowRect(hwnd, &probe->atCreate);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateProbeWindow(DWORD style, int x, int y, int cx, int cy, CreationProbe* probe, HWND parent = NULL)
{
    WNDCLASSW wc = {};
    if (!GetClassInfoW(GetModuleHandleW(NULL), L"ShellTestProbe", &wc)) {
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = GetModuleHandleW(NULL);
        wc.lpszClassName = L"ShellTestProbe";
        RegisterClassW(&wc);
    }
    return CreateWindowExW(
        0, L"ShellTestProbe", L"Sorvinta", style, x, y, cx, cy, parent, NULL, GetModuleHandleW(NULL), probe);
}

TEST_F(ShellTest, DefaultPlacedMainWindowFillsTheScreenBelowTheTopBar)
{
    CreationProbe probe = {};
    HWND window
        = CreateProbeWindow(WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, &probe);
    ASSERT_NE(window, (HWND)NULL);
    const RECT expected = {0, kTopBar, ScreenWidth(), ScreenHeight()};
    EXPECT_PRED2(SameRect, probe.atCreate, expected) << "at WM_CREATE " << Describe(probe.atCreate);
    ShowWindow(window, SW_SHOWNORMAL);
    EXPECT_PRED2(SameRect, WindowRect(window), expected) << Describe(WindowRect(window));
    const RECT client = ClientRect(window);
    EXPECT_EQ(client.right, ScreenWidth()) << "no border";
    EXPECT_EQ(client.bottom, ScreenHeight() - kTopBar) << "no caption";
    EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION);
    DestroyWindow(window);
}

TEST_F(ShellTest, ExplicitlyPlacedAndChildWindowsAreLeftAlone)
{
    CreationProbe probe = {};
    HWND window = CreateProbeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 40, 200, 150, &probe);
    ASSERT_NE(window, (HWND)NULL);
    const RECT expected = {30, 40, 230, 190};
    EXPECT_PRED2(SameRect, WindowRect(window), expected) << Describe(WindowRect(window));
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION);

    HWND child = CreateProbeWindow(WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, &probe, window);
    ASSERT_NE(child, (HWND)NULL);
    EXPECT_EQ(ClientRect(child).right, 50);
    DestroyWindow(window);
}

TEST_F(ShellTest, MainWindowStartUpLeavesRoomForTheSoftKeyBar)
{
    // What the program's start-up does: default-placed window, bar made
    // during creation, then the window shrunk by the bar's height.
    CreationProbe probe = {};
    HWND window
        = CreateProbeWindow(WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, &probe);
    ASSERT_NE(window, (HWND)NULL);
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = window;
    info.nToolBarId = IDR_MAIN;
    info.hInstRes = GetModuleHandleW(NULL);
    ASSERT_TRUE(SHCreateMenuBar(&info));
    RECT rect = WindowRect(window);
    const RECT bar = WindowRect(info.hwndMB);
    rect.bottom -= bar.bottom - bar.top;
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);

    const RECT windowExpected = {0, kTopBar, ScreenWidth(), ScreenHeight() - kMenuBar};
    const RECT barExpected = {0, ScreenHeight() - kMenuBar, ScreenWidth(), ScreenHeight()};
    EXPECT_PRED2(SameRect, WindowRect(window), windowExpected) << Describe(WindowRect(window));
    EXPECT_PRED2(SameRect, WindowRect(info.hwndMB), barExpected) << Describe(WindowRect(info.hwndMB));
    DestroyWindow(window);
    EXPECT_FALSE(IsWindow(info.hwndMB));
}

// Visible top-level windows of this process.
BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd))
        ((std::vector<std::wstring>*)param)->push_back(ClassName(hwnd));
    return TRUE;
}

std::vector<std::wstring> VisibleWindows()
{
    std::vector<std::wstring> classes;
    EnumWindows(CollectVisible, (LPARAM)&classes);
    return classes;
}

// Window class names are plain ASCII here.
std::string Joined(const std::vector<std::wstring>& names)
{
    std::string text;
    for (const std::wstring& name : names) {
        if (!text.empty())
            text += ", ";
        for (wchar_t c : name)
            text += (char)c;
    }
    return text;
}

// As in a process that has shown nothing yet (a second instance): whatever
// bar an earlier test brought up goes first.
void ForgetTopBar()
{
    if (StandinGetTopBar())
        DestroyWindow(StandinGetTopBar());
    PumpPendingMessages();
}

TEST_F(ShellTest, ExtraControlsAloneShowNothing)
{
    ForgetTopBar();
    ASSERT_TRUE(SHInitExtraControls());
    ASSERT_TRUE(SHInitExtraControls());
    PumpPendingMessages();
    EXPECT_EQ(StandinGetTopBar(), (HWND)NULL);
    EXPECT_EQ(FindProcessWindow(STANDIN_TOP_BAR_CLASS), (HWND)NULL);
    EXPECT_EQ(Joined(VisibleWindows()), "");
    // A window the program placed itself is no device window: still no bar.
    MessageRecorder placed(L"placed", WS_POPUP, 10, 10, 50, 50);
    EXPECT_EQ(StandinGetTopBar(), (HWND)NULL);
}

// Each of these is the first thing on screen in some process; the bar comes
// with it.
struct FirstWindow {
    const char* name;
    std::function<HWND()> make;  // the window that is now on screen
};

HWND MakeDeviceWindow()
{
    return CreateProbeWindow(WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, NULL);
}

HWND MakeOwnerWithSoftKeys()
{
    HWND owner = CreateProbeWindow(WS_POPUP | WS_VISIBLE, 0, 100, 240, 120, NULL);
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = owner;
    info.nToolBarId = IDR_MAIN;
    info.hInstRes = GetModuleHandleW(NULL);
    EXPECT_TRUE(SHCreateMenuBar(&info));
    return owner;
}

HWND MakeShellDialog()
{
    static DialogRun run;
    run = {kDeviceDialogFlags, {}};
    return OpenDialog(IDD_STATUS, &run);
}

TEST_F(ShellTest, NavigationBarComesWithTheFirstWindow)
{
    const FirstWindow cases[] = {
        {"device-placed main window", MakeDeviceWindow},
        {"soft-key bar", MakeOwnerWithSoftKeys},
        {"shell-sized dialog", MakeShellDialog},
    };
    for (const FirstWindow& c : cases) {
        SCOPED_TRACE(c.name);
        ForgetTopBar();
        ASSERT_TRUE(SHInitExtraControls());
        ASSERT_EQ(StandinGetTopBar(), (HWND)NULL);
        HWND window = c.make();
        ASSERT_NE(window, (HWND)NULL);
        HWND topBar = StandinGetTopBar();
        ASSERT_NE(topBar, (HWND)NULL);
        EXPECT_EQ(FindProcessWindow(STANDIN_TOP_BAR_CLASS), topBar);
        EXPECT_TRUE(IsWindowVisible(topBar));
        // Shown without taking the focus from the window that brought it.
        if (IsWindowVisible(window))
            EXPECT_NE(GetForegroundWindow(), topBar);
        DestroyWindow(window);
        EXPECT_EQ(StandinGetTopBar(), topBar) << "the bar stays for the rest of the run";
    }
}

TEST_F(ShellTest, NavigationBarSpansTheTopAndNeverActivates)
{
    HWND window = MakeDeviceWindow();
    ASSERT_NE(window, (HWND)NULL);
    HWND topBar = StandinGetTopBar();
    ASSERT_NE(topBar, (HWND)NULL);
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_EQ(ClassName(topBar), STANDIN_TOP_BAR_CLASS);
    const RECT expected = {0, 0, ScreenWidth(), kTopBar};
    EXPECT_PRED2(SameRect, WindowRect(topBar), expected);
    EXPECT_TRUE(GetWindowLongW(topBar, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    EXPECT_EQ(SendMessageW(topBar, WM_MOUSEACTIVATE, 0, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)), MA_NOACTIVATE);
    ASSERT_TRUE(SHInitExtraControls());  // a second call makes no second bar
    HWND second = MakeDeviceWindow();
    EXPECT_EQ(StandinGetTopBar(), topBar);
    DestroyWindow(second);
    DestroyWindow(window);
}

}  // namespace
