// Console helper of tools/tour.sh: one call per step, so the script can take
// a screenshot between steps while the program keeps running.
//   tour_driver start EXE EMAIL PASSWORD   start Sorvinta (it keeps running)
//   tour_driver menu | section             open the "Меню" / "Раздел" pop-up
//   tour_driver dismiss                    close an open pop-up
//   tour_driver login | refresh | friends  a command, waiting for its outcome
//   tour_driver all                        "Все/Онлайн", no outcome to wait for
//   tour_driver connecting | release       a login whose answer the emulator holds
//                                          back / lets go, waiting for its outcome
//   tour_driver hold ROW                   tap and hold on a row: context menu
//   tour_driver about | close-about        open / close the About box
//   tour_driver settings | close-settings  open / close the settings dialog
//   tour_driver edit-row KEY               tap the settings row of a key (email, autoconnect ...)
//   tour_driver drop-down                  open the list of the yes/no editor
//   tour_driver captcha                    "Подключиться" up to the captcha dialog, a code typed
//   tour_driver minimise | tap-icon        hide the window / bring it back with the
//                                          notification icon
//   tour_driver exit                       "Выход", waits for the exit code
//   tour_driver windows                    lists the visible top-level windows
// Prints the status text after each step; exit code 0 when the step worked.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "e2e_driver.h"
#include "e2e_emulator.h"
#include "resources/resource.h"
#include "settings/settings_schema.h"

namespace {

int Fail(const char* step, const std::string& why)
{
    fprintf(stderr, "tour_driver %s: %s\n", step, why.c_str());
    return 1;
}

void PrintStatus(const SorvintaApp& app)
{
    printf("status: %s\n", ToUtf8(app.StatusText()).c_str());
}

int CommandStep(SorvintaApp& app, const char* step, WORD id)
{
    std::wstring text = app.CommandAndWait(id);
    return text.empty() ? Fail(step, "no outcome") : 0;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM)
{
    if (!IsWindowVisible(window))
        return TRUE;
    wchar_t className[128] = L"", title[128] = L"";
    GetClassNameW(window, className, 128);
    GetWindowTextW(window, title, 128);
    RECT r;
    GetWindowRect(window, &r);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    printf("%p pid %lu class \"%s\" title \"%s\" at %ld,%ld %ldx%ld\n", (void*)window, pid,
        ToUtf8(className).c_str(), ToUtf8(title).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top);
    return TRUE;
}

int Run(int argc, char** argv)
{
    if (argc < 2)
        return Fail("", "no step given");
    const std::string step = argv[1];
    SorvintaApp app;

    if (step == "start") {
        if (argc < 5)
            return Fail("start", "usage: start EXE EMAIL PASSWORD");
        SetSorvintaExe(argv[2]);
        if (!app.StartWithAccount(argv[3], argv[4]))
            return Fail("start", app.Error());
        PrintStatus(app);
        app.Detach();
        return 0;
    }

    if (step == "windows") {
        EnumWindows(PrintWindow, 0);
        return 0;
    }
    if (!app.Attach())
        return Fail(step.c_str(), app.Error());
    int result = 0;
    if (step == "menu" || step == "section") {
        if (!app.PressSoftKey(step == "menu" ? SOFTKEY_RIGHT : SOFTKEY_LEFT) || !app.WaitPopupMenu())
            result = Fail(step.c_str(), "no pop-up");
    } else if (step == "dismiss") {
        HWND menu = app.WaitPopupMenu(500);
        if (menu && !app.DismissPopup(menu))
            result = Fail("dismiss", "the pop-up stays open");
        app.ReleaseList();
    } else if (step == "login") {
        result = CommandStep(app, "login", IDM_CONNECT);
    } else if (step == "refresh") {
        result = CommandStep(app, "refresh", IDM_REFRESH);
    } else if (step == "friends") {
        result = CommandStep(app, "friends", IDM_FRIENDS);
    } else if (step == "connecting") {
        // Held until "release": the picture shows the wait for the answer.
        app.MarkStatus();
        if (!StartWinsock() || !HoldAnswers(LOGIN_HOST_ADDRESS, 1))
            result = Fail("connecting", "the emulator holds nothing back");
        else {
            app.Command(IDM_CONNECT);
            if (!WaitHeld(1) || !app.WaitStatus(L"Прием запроса..."))
                result = Fail("connecting", "the login is not waiting for its answer");
        }
    } else if (step == "release") {
        std::wstring text;
        if (!StartWinsock() || !ReleaseAnswers() || !app.WaitFinalStatus(&text))
            result = Fail("release", "no outcome");
    } else if (step == "all") {
        app.Command(IDM_ALL_ONLINE);
    } else if (step == "hold") {
        const int row = argc > 2 ? atoi(argv[2]) : 0;
        if (!app.PressAndHoldRow(row) || !app.WaitPopupMenu(3000))
            result = Fail("hold", "no context menu");
    } else if (step == "about") {
        app.Command(IDM_ABOUT);
        if (!app.WaitDialog(L"О проекте Sorvinta"))
            result = Fail("about", "no About box");
    } else if (step == "close-about") {
        HWND about = app.WaitDialog(L"О проекте Sorvinta", 500);
        if (about) {
            PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
            app.WaitWindowGone(about);
        }
        // Without a window manager Wine's x11 driver waits up to 2 s for a
        // closed dialog's withdrawal; let it finish before reading.
        app.Responsive(5000);
    } else if (step == "contacts") {
        result = CommandStep(app, "contacts", IDM_CONTACTS);
    } else if (step == "my-page") {
        app.Command(IDM_MY_PAGE);
        if (!app.WaitDialog(L"Моя страница"))
            result = Fail("my-page", "no page");
    } else if (step == "close-my-page") {
        HWND page = app.WaitDialog(L"Моя страница", 500);
        if (page) {
            PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDM_BAR_CLOSE, 0), 0);
            app.WaitWindowGone(page);
        }
        app.Responsive(5000);
    } else if (step == "status-tip") {
        HWND bar = app.Control(IDC_STATUS_BAR);
        PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        app.Responsive(5000);
    } else if (step == "minimise") {
        app.Command(IDM_MINIMISE);
        if (!app.WaitMainVisible(false))
            result = Fail("minimise", "the window stays");
    } else if (step == "tap-icon") {
        if (!app.TapNotifyIcon() || !app.WaitMainVisible(true))
            result = Fail("tap-icon", "the window did not come back");
    } else if (step == "message" || step == "status" || step == "messages") {
        // The message dialog for a row with a Russian text typed in; the status
        // dialog with one; the list of messages sent.
        const wchar_t* title = step == "message" ? L"Отправить сообщение"
            : step == "status"                   ? L"Статус"
                                                 : L"Сообщения";
        if (step == "message")
            app.SelectRow(argc > 2 ? atoi(argv[2]) : 0);
        app.Command(step == "message" ? IDM_SECTION_MESSAGE : step == "status" ? IDM_STATUS : IDM_MESSAGES);
        HWND dialog = app.WaitDialog(title);
        if (!dialog)
            result = Fail(step.c_str(), "no dialog");
        else if (step != "messages")
            SendMessageTimeoutW(GetDlgItem(dialog, step == "message" ? IDC_MESSAGE_EDIT : IDC_STATUS_EDIT),
                WM_SETTEXT, 0,
                (LPARAM)(step == "message" ? L"Привет! Как дела?" : L"На даче до понедельника"),
                SMTO_ABORTIFHUNG, 5000, NULL);
    } else if (step == "send" || step == "close-dialog") {
        // The open dialog: "Отправить", or "Закрыть".
        HWND dialog = GetForegroundWindow();
        for (const wchar_t* title : {L"Отправить сообщение", L"Статус", L"Сообщения", L"Captcha"})
            if (HWND found = app.WaitDialog(title, 200))
                dialog = found;
        // A send, and a closed captcha (the login it held back gives up), end in a new status text.
        const bool outcome = step == "send" || GetDlgItem(dialog, IDC_CAPTCHA_CODE) != NULL;
        if (outcome)
            app.MarkStatus();
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(step == "send" ? IDM_BAR_SEND : IDM_BAR_CLOSE, 0), 0);
        app.WaitWindowGone(dialog);
        std::wstring text;
        if (outcome)
            app.WaitFinalStatus(&text);
        app.Responsive(5000);
    } else if (step == "captcha") {
        app.Command(IDM_CONNECT);
        HWND dialog = app.WaitDialog(CAPTCHA_TITLE);
        if (!dialog)
            result = Fail("captcha", "no captcha dialog");
        else {
            // The code of the picture shown: the emulator's state lists it as "captcha <csid> <code>".
            std::string state;
            std::wstring code = L"K7X4";
            if (StartWinsock() && HttpGet(DATA_HOST_ADDRESS, "/_emulator/state", &state) == 200) {
                const size_t line = state.find("\ncaptcha ");
                const size_t space = line == std::string::npos ? line : state.find(' ', line + 9);
                if (space != std::string::npos)
                    code
                        = FromCp1251(state.substr(space + 1, state.find_first_of("\r\n", space) - space - 1));
            }
            SendMessageTimeoutW(GetDlgItem(dialog, IDC_CAPTCHA_CODE), WM_SETTEXT, 0, (LPARAM)code.c_str(),
                SMTO_ABORTIFHUNG, 5000, NULL);
        }
    } else if (step == "settings") {
        app.Command(IDM_SETTINGS);
        if (!app.WaitDialog(L"Настройки"))
            result = Fail("settings", "no settings dialog");
    } else if (step == "edit-row") {
        HWND dialog = app.WaitDialog(L"Настройки", 500);
        // The row where the dialog shows the key's setting, wherever the table puts it.
        int row = -1;
        for (int i = 0; argc > 2 && i < SETTING_ROW_COUNT; ++i)
            if (SETTING_ROWS[i].key && strcmp(SETTING_ROWS[i].key, argv[2]) == 0)
                row = i;
        if (row < 0)
            result = Fail("edit-row", "no setting of that key");
        else if (!dialog || !app.TapSettingsRow(dialog, row))
            result = Fail("edit-row", "no editor");
    } else if (step == "drop-down") {
        HWND dialog = app.WaitDialog(L"Настройки", 500);
        HWND list = dialog ? GetDlgItem(dialog, IDC_SETTINGS_LIST) : NULL;
        HWND combo = list ? FindWindowExW(list, NULL, L"ComboBox", NULL) : NULL;
        DWORD_PTR dropped = 0;
        if (combo)
            SendMessageTimeoutW(combo, CB_SHOWDROPDOWN, TRUE, 0, SMTO_ABORTIFHUNG, 5000, NULL);
        if (!combo || !SendMessageTimeoutW(combo, CB_GETDROPPEDSTATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &dropped)
            || !dropped)
            result = Fail("drop-down", "no list dropped");
    } else if (step == "close-settings") {
        HWND dialog = app.WaitDialog(L"Настройки", 500);
        if (dialog) {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_BAR_CLOSE, 0), 0);
            app.WaitWindowGone(dialog);
        }
        app.Responsive(5000);
    } else if (step == "exit") {
        app.Command(IDM_EXIT);
        DWORD code = 12345;
        if (!app.WaitExit(10000, &code))
            return Fail("exit", "the program did not end");
        printf("exit code: %lu\n", code);
        app.Detach();
        return code == 0 ? 0 : 1;
    } else {
        result = Fail(step.c_str(), "unknown step");
    }
    // A window just hidden or closed may keep the program busy for a moment
    // under the x11 driver: the status is read once it answers again.
    if (app.Running() && app.Responsive(5000))
        PrintStatus(app);
    app.Detach();
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    return Run(argc, argv);
}
