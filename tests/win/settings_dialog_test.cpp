// The settings dialog over the real main window: opened modally by its
// command, worked from inside its own modal loop (a thread timer's callback
// runs there) with taps and typing on the real list, then checked for what
// reached g_credentials and settings.txt.
#include "app_window_fixture.h"

#include <standin_control.h>

#include <algorithm>
#include <memory>
#include <string>

#include "base/constants.h"
#include "base/shell.h"
#include "net/session.h"
#include "settings/settings_autoconnect.h"
#include "settings/settings_dialog.h"
#include "settings/settings_file.h"
#include "ui/dpi.h"

namespace {

using apptest::CLOSE_WAYS;
using apptest::CloseWay;
using apptest::MainWindowTest;
using apptest::SettingsPathBesideExe;

const DWORD SCRIPT_TIMEOUT_MS = 20000;

// Steps run one after the other on the user-interface thread while the
// dialog's modal loop runs; a step that returns false is a wait and is tried
// again on the next tick. When time runs out the dialog is closed, so a
// broken dialog fails the test instead of hanging it.
class ModalScript {
public:
    typedef std::function<bool()> Step;
    explicit ModalScript(std::vector<Step> steps)
        : m_steps(std::move(steps))
        , m_start(GetTickCount())
    {
        m_current = this;
        m_timer = SetTimer(NULL, 0, 10, Tick);
    }
    ~ModalScript()
    {
        KillTimer(NULL, m_timer);
        m_current = NULL;
    }
    bool Finished() const { return m_next == m_steps.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalScript* self = m_current;
        if (!self || self->m_running)
            return;
        self->m_running = true;  // a step that pumps must not re-enter
        while (self->m_next < self->m_steps.size() && self->m_steps[self->m_next]())
            ++self->m_next;
        if (!self->Finished() && GetTickCount() - self->m_start > SCRIPT_TIMEOUT_MS) {
            self->m_next = self->m_steps.size() + 1;
            if (HWND dialog = FindWindowW(L"#32770", L"Настройки"))
                PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
        self->m_running = false;
    }
    static ModalScript* m_current;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    DWORD m_start;
    UINT_PTR m_timer = 0;
    bool m_running = false;
};
ModalScript* ModalScript::m_current = NULL;

bool ReadFileBytes(const std::wstring& path, std::string* bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char chunk[1024];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, NULL) && got > 0)
        bytes->append(chunk, got);
    CloseHandle(file);
    return true;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD wrote = 0;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &wrote, NULL);
    CloseHandle(file);
}

std::string FileText(const std::string& email, const std::string& password, bool autoConnect = false)
{
    return "[" SERVICE_DOMAIN "]\r\nemail=" + email + "\r\npassword=" + password + "\r\n"
        + (autoConnect ? "autoconnect=1\r\n" : "");
}

class SettingsDialogTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        g_autoConnect = false;
        StandinResetInputPanel();
    }
    void TearDown() override
    {
        StandinResetInputPanel();
        g_autoConnect = false;
        MainWindowTest::TearDown();
    }

    // The file and the credentials as a start-up with it would have them.
    void StartWith(const std::string& text)
    {
        WriteFileBytes(SettingsPathBesideExe(), text);
        LoadSettings();
    }

    std::string OnDisk()
    {
        std::string bytes = "(none)";
        ReadFileBytes(SettingsPathBesideExe(), &bytes);
        return bytes;
    }

    // Runs the dialog modally with these steps after it has come up; the
    // dialog's result.
    INT_PTR Run(std::vector<ModalScript::Step> steps)
    {
        steps.insert(steps.begin(), [this] {
            dialog = FindWindowW(L"#32770", L"Настройки");
            return dialog && g_settingsList.Window() && g_settingsList.RowCount() == SETTINGS_ROW_COUNT;
        });
        ModalScript script(std::move(steps));
        const INT_PTR result = ShowModalDialog(IDD_SETTINGS, SettingsDialogProc);
        EXPECT_TRUE(script.Finished()) << "the script did not run to its end";
        EXPECT_FALSE(IsWindow(dialog));
        return result;
    }

    static RECT Bounds(int row)
    {
        RECT r = {};
        r.left = LVIR_BOUNDS;
        SendMessageW(g_settingsList.Window(), LVM_GETITEMRECT, row, (LPARAM)&r);
        return r;
    }

    static ModalScript::Step TapRow(int row)
    {
        return [row] {
            const RECT r = Bounds(row);
            PostClick(g_settingsList.Window(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
            return true;
        };
    }
    static ModalScript::Step EditorOpen(int row)
    {
        return [row] { return g_settingsList.editor != NULL && g_settingsList.currentRow == row; };
    }
    // Typing into the open editor, character by character.
    static ModalScript::Step Type(std::wstring text)
    {
        return [text] {
            for (wchar_t c : text)
                SendMessageW(g_settingsList.editor, WM_CHAR, c, 1);
            return true;
        };
    }
    ModalScript::Step Post(UINT message, WPARAM wParam)
    {
        return [this, message, wParam] {
            PostMessageW(dialog, message, wParam, 0);
            return true;
        };
    }

    static std::wstring Caption(int row)
    {
        wchar_t text[260] = L"";
        LVITEMW item = {};
        item.pszText = text;
        item.cchTextMax = 260;
        SendMessageW(g_settingsList.Window(), LVM_GETITEMTEXTW, row, (LPARAM)&item);
        return text;
    }

    HWND dialog = NULL;
};

struct OpeningCase {
    const char* name;
    std::string file;  // empty: no settings file
    const wchar_t* email;
    const wchar_t* password;
    const wchar_t* autoConnect;
};

TEST_F(SettingsDialogTest, OpensWithTheStoredValues)
{
    const OpeningCase cases[] = {
        {"no file", "", L"", L"", L"Нет"},
        {"as saved before", FileText("user@mail.ru", "secret"), L"user@mail.ru", L"secret", L"Нет"},
        {"connect at start", FileText("a@b.ru", "\xEF\xE0\xF0\xEE\xEB\xFC", true), L"a@b.ru", L"пароль",
            L"Да"},
    };
    for (const OpeningCase& c : cases) {
        SCOPED_TRACE(c.name);
        ZeroMemory(&g_credentials, sizeof(g_credentials));
        g_autoConnect = false;
        DeleteFileW(SettingsPathBesideExe().c_str());
        if (!c.file.empty())
            StartWith(c.file);
        std::vector<std::wstring> captions, values;
        LONG listBottom = 0, barTop = 0;
        const INT_PTR result = Run({[&] {
                                        // The list reaches the soft-key bar: no grey band between.
                                        RECT list = {}, bar = {};
                                        GetWindowRect(g_settingsList.Window(), &list);
                                        GetWindowRect(g_menuBar, &bar);
                                        listBottom = list.bottom;
                                        barTop = bar.top;
                                        for (int row = 0; row < SETTINGS_ROW_COUNT; ++row) {
                                            captions.push_back(Caption(row));
                                            values.push_back(g_settingsList.ValueText(row));
                                        }
                                        return true;
                                    },
            Post(WM_COMMAND, IDM_BAR_CLOSE)});
        EXPECT_EQ(IDM_BAR_CLOSE, result);
        const std::vector<std::wstring> expectedCaptions
            = {L"Профиль:", L"Email:", L"Пароль:", L"Подключение при запуске программы:"};
        const std::vector<std::wstring> expectedValues = {L"SocialNet", c.email, c.password, c.autoConnect};
        EXPECT_EQ(expectedCaptions, captions);
        EXPECT_EQ(expectedValues, values);
        EXPECT_EQ(barTop, listBottom);
    }
}

struct SaveCase {
    const char* name;
    int row;               // the row edited, or -1
    const wchar_t* typed;  // replaces the row's text
    bool yes;              // "Да" chosen for the last row
    std::string file;      // what Save leaves on disk
    const char* email;
    const char* password;
};

TEST_F(SettingsDialogTest, SaveWritesExactlyTheShownValuesAndTheNextStartLoadsThem)
{
    const SaveCase cases[] = {
        {"nothing changed", -1, L"", false, FileText("old@mail.ru", "oldpass"), "old@mail.ru", "oldpass"},
        {"e-mail only", SETTINGS_ROW_EMAIL, L"new@mail.ru", false, FileText("new@mail.ru", "oldpass"),
            "new@mail.ru", "oldpass"},
        {"password only", SETTINGS_ROW_PASSWORD, L"ключ 2", false,
            FileText("old@mail.ru", "\xEA\xEB\xFE\xF7 2"), "old@mail.ru", "\xEA\xEB\xFE\xF7 2"},
        {"connect at start", -1, L"", true, FileText("old@mail.ru", "oldpass", true), "old@mail.ru",
            "oldpass"},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        g_autoConnect = false;
        StartWith(FileText("old@mail.ru", "oldpass"));
        std::vector<ModalScript::Step> steps;
        if (c.row >= 0) {
            steps.push_back(TapRow(c.row));
            steps.push_back(EditorOpen(c.row));
            steps.push_back(Type(c.typed));  // the whole old text was selected
        }
        if (c.yes) {
            steps.push_back(TapRow(SETTINGS_ROW_AUTOCONNECT));
            steps.push_back(EditorOpen(SETTINGS_ROW_AUTOCONNECT));
            steps.push_back([] {
                SendMessageW(g_settingsList.editor, WM_KEYDOWN, VK_UP, 1);  // "Нет" -> "Да"
                return g_settingsList.GetYesNo(SETTINGS_ROW_AUTOCONNECT) == 1;
            });
        }
        steps.push_back(Post(WM_COMMAND, IDM_BAR_SAVE));
        EXPECT_EQ(IDM_BAR_SAVE, Run(steps));
        EXPECT_EQ(c.file, OnDisk());
        EXPECT_STREQ(c.email, g_credentials.email);
        EXPECT_STREQ(c.password, g_credentials.password);

        // The next start: spaces are lost on reading.
        ZeroMemory(&g_credentials, sizeof(g_credentials));
        g_autoConnect = !c.yes;
        LoadSettings();
        std::string password = c.password;
        password.erase(std::remove(password.begin(), password.end(), ' '), password.end());
        EXPECT_STREQ(c.email, g_credentials.email);
        EXPECT_EQ(password, g_credentials.password);
        EXPECT_EQ(c.yes, g_autoConnect);
    }
}

struct CloseCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    INT_PTR result;
};

TEST_F(SettingsDialogTest, CloseDoneAndWindowCloseChangeNothing)
{
    const CloseCase cases[] = {
        {"Закрыть", WM_COMMAND, IDM_BAR_CLOSE, IDM_BAR_CLOSE},
        {"Done", WM_COMMAND, IDOK, IDOK},
    };
    std::vector<CloseCase> all(std::begin(cases), std::end(cases));
    // Every other way of closing is "Закрыть", also Escape in the open editor.
    for (const CloseWay& way : CLOSE_WAYS)
        all.push_back({way.name, way.message, way.wParam, IDM_BAR_CLOSE});
    const std::string before = FileText("old@mail.ru", "oldpass", true);
    for (const CloseCase& c : all) {
        SCOPED_TRACE(c.name);
        StartWith(before);
        const Credentials kept = g_credentials;
        const INT_PTR result
            = Run({TapRow(SETTINGS_ROW_EMAIL), EditorOpen(SETTINGS_ROW_EMAIL), Type(L"typed@x"),
                TapRow(SETTINGS_ROW_PASSWORD), EditorOpen(SETTINGS_ROW_PASSWORD), Type(L"typed"), [&] {
                    // Keys go to the control with the focus, as typed.
                    HWND focus = c.message == WM_KEYDOWN ? GetFocus() : NULL;
                    if (focus)
                        PostMessageW(focus, c.message, c.wParam, 0);
                    return focus || Post(c.message, c.wParam)();
                }});
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(before, OnDisk());
        EXPECT_EQ(0, memcmp(&kept, &g_credentials, sizeof(kept)));
        EXPECT_TRUE(g_autoConnect);
        // Reopened, it shows the previous values again.
        std::wstring shown;
        Run({[&] {
                 shown = g_settingsList.GetText(SETTINGS_ROW_EMAIL);
                 return true;
             },
            Post(WM_CLOSE, 0)});
        EXPECT_EQ(L"old@mail.ru", shown);
    }
}

// Ctrl+A, the select-all command of the accelerator table, selects the
// editor's whole text, so the next letter replaces it.
TEST_F(SettingsDialogTest, CtrlASelectsTheWholeTextOfTheEditor)
{
    StartWith(FileText("old@mail.ru", "oldpass"));
    auto control = [](bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    };
    std::wstring typed;
    Run({TapRow(SETTINGS_ROW_EMAIL), EditorOpen(SETTINGS_ROW_EMAIL),
        [&] {
            control(true);
            PostMessageW(g_settingsList.editor, WM_KEYDOWN, 'A', 1);
            PostMessageW(g_settingsList.editor, WM_KEYUP, 'A', 0xC0000001);
            return true;
        },
        [] { return SendMessageW(g_settingsList.editor, EM_GETSEL, 0, 0) == MAKELRESULT(0, 11); },
        [&] {
            control(false);
            return true;
        },
        Type(L"x"),
        [&] {
            typed = WindowText(g_settingsList.editor);
            return true;
        },
        Post(WM_COMMAND, IDM_BAR_CLOSE)});
    control(false);
    EXPECT_EQ(L"x", typed);
}

TEST_F(SettingsDialogTest, SaveKeepsTheNewValuesInMemoryWhenTheFileCannotBeWritten)
{
    // A folder where the file should be: nothing can replace it.
    ASSERT_TRUE(CreateDirectoryW(SettingsPathBesideExe().c_str(), NULL));
    Run({TapRow(SETTINGS_ROW_EMAIL), EditorOpen(SETTINGS_ROW_EMAIL), Type(L"mem@mail.ru"),
        Post(WM_COMMAND, IDM_BAR_SAVE)});
    EXPECT_STREQ("mem@mail.ru", g_credentials.email);
    EXPECT_TRUE(GetFileAttributesW(SettingsPathBesideExe().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryW(SettingsPathBesideExe().c_str());
}

TEST_F(SettingsDialogTest, InputPanelShrinksTheListAndKeepsTheEditedRowInView)
{
    int rowHeight = 0, topIndex = -1;
    RECT panelList = {}, fullList = {}, dialogRect = {}, editedRow = {}, editor = {};
    bool editorKept = false;
    Run({TapRow(SETTINGS_ROW_AUTOCONNECT), EditorOpen(SETTINGS_ROW_AUTOCONNECT),
        [&] {
            rowHeight = Bounds(0).bottom - Bounds(0).top;
            // A panel that leaves room for little more than one row.
            RECT panel
                = {0, SY(26) + rowHeight + 10, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            HWND before = g_settingsList.editor;
            StandinSetInputPanel(TRUE, &panel);
            StandinNotifyInputPanelChange();
            panelList = WindowRect(g_settingsList.Window());
            topIndex = (int)SendMessageW(g_settingsList.Window(), LVM_GETTOPINDEX, 0, 0);
            editedRow = Bounds(SETTINGS_ROW_AUTOCONNECT);
            editorKept = g_settingsList.editor == before && before != NULL;
            if (editorKept) {
                editor = WindowRect(g_settingsList.editor);
                MapWindowPoints(NULL, g_settingsList.Window(), (POINT*)&editor, 2);
            }
            StandinSetInputPanel(FALSE, NULL);
            StandinNotifyInputPanelChange();
            fullList = WindowRect(g_settingsList.Window());
            dialogRect = WindowRect(dialog);
            return true;
        },
        Post(WM_COMMAND, IDM_BAR_CLOSE)});

    ASSERT_GT(rowHeight, 0);
    EXPECT_EQ(rowHeight + 10, panelList.bottom - panelList.top);
    EXPECT_EQ(dialogRect.right - dialogRect.left, panelList.right - panelList.left);
    EXPECT_EQ(SETTINGS_ROW_AUTOCONNECT, topIndex);
    EXPECT_GE(editedRow.top, 0);
    EXPECT_LE(editedRow.bottom, rowHeight + 10);
    ASSERT_TRUE(editorKept) << "the panel closed the editor";
    EXPECT_EQ(editedRow.top + rowHeight / 2, editor.top);  // moved along with its row

    // Panel down: the list spans the dialog, which keeps SY(26) free above and below.
    EXPECT_EQ(0, dialogRect.left);
    EXPECT_EQ(SY(26), dialogRect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) - SY(26), dialogRect.bottom);
    EXPECT_EQ(dialogRect.bottom - dialogRect.top, fullList.bottom - fullList.top);
}

TEST_F(SettingsDialogTest, ConnectAtStartRunsTheLoginOnceTheWindowIsUp)
{
    for (bool on : {false, true}) {
        SCOPED_TRACE(on ? "autoconnect=1" : "no key");
        DestroyWindow(window);
        pump.For(20);
        UnregisterClassW(L"SORVINTA", GetModuleHandleW(NULL));
        WriteFileBytes(SettingsPathBesideExe(), FileText(DATA_API_HOST, "x", on));
        g_autoConnect = !on;
        g_workerThread = NULL;
        ResetState();
        ASSERT_TRUE(InitMainWindow(GetModuleHandleW(NULL), SW_SHOW));
        window = g_mainWindow;
        EXPECT_EQ(on, g_autoConnect);
        if (!on) {
            EXPECT_EQ(SessionWorkNone, SessionWorkUnderWay());
            continue;
        }
        // The worker's handle is closed once started: wait for the login to give back its slot.
        ASSERT_NE(SessionWorkNone, SessionWorkUnderWay()) << "no login started";
        EXPECT_TRUE(pump.Until([] { return SessionWorkUnderWay() == SessionWorkNone; }, 40000));
        EXPECT_NE(apptest::StatusText(), L"Вы не авторизованы");  // the login said how it went
    }
}

}  // namespace
