// The settings dialog over the real main window: opened modally by its
// command, worked from inside its own modal loop (a thread timer's callback
// runs there) with taps and typing on the real list, then checked for what
// reached g_credentials and settings.txt.
#include "app_window_fixture.h"

#include <standin_control.h>

#include <map>
#include <memory>
#include <string>

#include "base/constants.h"
#include "base/shell.h"
#include "net/captcha.h"
#include "net/session.h"
#include "settings/settings_dialog.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"
#include "ui/dpi.h"

namespace {

using apptest::CLOSE_WAYS;
using apptest::CloseWay;
using apptest::MainWindowTest;
using apptest::SettingsPathBesideExe;

const DWORD SCRIPT_TIMEOUT_MS = 20000;
const int SETTINGS_ROW_EMAIL = SettingRowOf("email");
const int SETTINGS_ROW_PASSWORD = SettingRowOf("password");
const int SETTINGS_ROW_AUTOCONNECT = SettingRowOf("autoconnect");

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

// What the rows show: the values given, every other row its default.
std::vector<std::wstring> Shown(const std::map<int, std::wstring>& given)
{
    std::vector<std::wstring> shown;
    for (int row = 0; row < SETTING_ROW_COUNT; ++row) {
        const bool yesNo = SETTING_ROWS[row].kind == SettingKindYesNo;
        shown.push_back(given.count(row) ? given.at(row) : yesNo ? L"Нет" : L"");
    }
    return shown;
}

class SettingsDialogTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        LoadSettings();  // none: every row at its default
        StandinResetInputPanel();
    }
    void TearDown() override
    {
        StandinResetInputPanel();
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
            return dialog && g_settingsList.Window() && g_settingsList.RowCount() == SETTING_ROW_COUNT;
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
    static ModalScript::Step EditorClosed()
    {
        return [] { return g_settingsList.editor == NULL; };
    }
    // Enter in the open editor, as the key or the input panel sends it; the
    // dialog's modal loop takes it from the queue.
    static ModalScript::Step PressEnter()
    {
        return [] {
            PostMessageW(g_settingsList.editor, WM_KEYDOWN, VK_RETURN, 1);
            PostMessageW(g_settingsList.editor, WM_KEYUP, VK_RETURN, 0xC0000001);
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
        DeleteFileW(SettingsPathBesideExe().c_str());
        LoadSettings();
        if (!c.file.empty())
            StartWith(c.file);
        std::vector<std::wstring> captions, values;
        RECT frame = {}, list = {}, bar = {};
        const INT_PTR result = Run({[&] {
                                        // As the user sees it: the dialog is shown once its loop idles.
                                        if (!IsWindowVisible(dialog))
                                            return false;
                                        GetWindowRect(dialog, &frame);
                                        GetWindowRect(g_settingsList.Window(), &list);
                                        GetWindowRect(g_menuBar, &bar);
                                        for (int row = 0; row < SETTING_ROW_COUNT; ++row) {
                                            captions.push_back(Caption(row));
                                            values.push_back(g_settingsList.ValueText(row));
                                        }
                                        return true;
                                    },
            Post(WM_COMMAND, IDM_BAR_CLOSE)});
        EXPECT_EQ(IDM_BAR_CLOSE, result);
        ASSERT_EQ(static_cast<size_t>(SETTING_ROW_COUNT), captions.size());
        EXPECT_EQ(L"Профиль:", captions[0]);
        EXPECT_EQ(L"Email:", captions[SETTINGS_ROW_EMAIL]);
        EXPECT_EQ(L"Пароль:", captions[SETTINGS_ROW_PASSWORD]);
        EXPECT_EQ(L"Подключение при запуске программы:", captions[SETTINGS_ROW_AUTOCONNECT]);
        EXPECT_EQ(Shown({{0, L"SocialNet"}, {SETTINGS_ROW_EMAIL, c.email},
                      {SETTINGS_ROW_PASSWORD, c.password}, {SETTINGS_ROW_AUTOCONNECT, c.autoConnect}}),
            values);
        // The list fills the dialog down to its soft keys: no grey band
        // below it, and the bar in view over the screen's bottom.
        EXPECT_EQ(frame.bottom, list.bottom);
        EXPECT_EQ(bar.top, list.bottom);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), bar.bottom);
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
        {"password only", SETTINGS_ROW_PASSWORD, L"ключ2", false,
            FileText("old@mail.ru",
                "\xEA\xEB\xFE\xF7"
                "2"),
            "old@mail.ru",
            "\xEA\xEB\xFE\xF7"
            "2"},
        {"connect at start", -1, L"", true, FileText("old@mail.ru", "oldpass", true), "old@mail.ru",
            "oldpass"},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartWith(FileText("old@mail.ru", "oldpass"));
        g_captchaDue = 1;  // the service asked the old e-mail for a picture
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
        EXPECT_EQ(strcmp(c.email, "old@mail.ru") != 0, g_captchaDue == 0) << "a new e-mail owes no captcha";
        g_captchaDue = 0;

        // The next start reads back what was saved.
        ZeroMemory(&g_credentials, sizeof(g_credentials));
        LoadSettings();
        EXPECT_STREQ(c.email, g_credentials.email);
        EXPECT_STREQ(c.password, g_credentials.password);
        EXPECT_EQ(c.yes, SettingIsYes("autoconnect"));
    }
}

struct CloseCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    INT_PTR result;
    bool endsEditFirst;  // with an editor open, the first one only ends the edit
};

TEST_F(SettingsDialogTest, CloseDoneAndWindowCloseChangeNothing)
{
    const CloseCase cases[] = {
        {"Закрыть", WM_COMMAND, IDM_BAR_CLOSE, IDM_BAR_CLOSE, false},
        {"Done", WM_COMMAND, IDOK, IDOK, true},
    };
    std::vector<CloseCase> all(std::begin(cases), std::end(cases));
    // Every other way of closing is "Закрыть", also Escape in the open editor.
    for (const CloseWay& way : CLOSE_WAYS)
        all.push_back({way.name, way.message, way.wParam, IDM_BAR_CLOSE, false});
    const std::string before = FileText("old@mail.ru", "oldpass", true);
    for (const CloseCase& c : all) {
        SCOPED_TRACE(c.name);
        StartWith(before);
        const Credentials kept = g_credentials;
        std::vector<ModalScript::Step> steps
            = {TapRow(SETTINGS_ROW_EMAIL), EditorOpen(SETTINGS_ROW_EMAIL), Type(L"typed@x"),
                TapRow(SETTINGS_ROW_PASSWORD), EditorOpen(SETTINGS_ROW_PASSWORD), Type(L"typed")};
        if (c.endsEditFirst) {
            steps.push_back(Post(c.message, c.wParam));
            steps.push_back(EditorClosed());
        }
        steps.push_back([&] {
            // Keys go to the control with the focus, as typed.
            HWND focus = c.message == WM_KEYDOWN ? GetFocus() : NULL;
            if (focus)
                PostMessageW(focus, c.message, c.wParam, 0);
            return focus || Post(c.message, c.wParam)();
        });
        EXPECT_EQ(c.result, Run(steps));
        EXPECT_EQ(before, OnDisk());
        EXPECT_EQ(0, memcmp(&kept, &g_credentials, sizeof(kept)));
        EXPECT_TRUE(SettingIsYes("autoconnect"));
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

TEST_F(SettingsDialogTest, EnterEndsTheEditInBothEditorKindsAndKeepsTheDialogOpen)
{
    StartWith(FileText("old@mail.ru", "oldpass"));
    std::vector<bool> open;
    const auto stillOpen = [&] {
        open.push_back(IsWindow(dialog) && GetParent(g_settingsList.Window()) == dialog);
        return true;
    };
    const INT_PTR result
        = Run({TapRow(SETTINGS_ROW_EMAIL), EditorOpen(SETTINGS_ROW_EMAIL), Type(L"new@mail.ru"), PressEnter(),
            EditorClosed(), stillOpen, TapRow(SETTINGS_ROW_AUTOCONNECT), EditorOpen(SETTINGS_ROW_AUTOCONNECT),
            [] {
                SendMessageW(g_settingsList.editor, WM_KEYDOWN, VK_UP, 1);  // "Нет" -> "Да"
                return g_settingsList.GetYesNo(SETTINGS_ROW_AUTOCONNECT) == 1;
            },
            PressEnter(), EditorClosed(), stillOpen, Post(WM_COMMAND, IDM_BAR_SAVE)});
    EXPECT_EQ(IDM_BAR_SAVE, result);
    EXPECT_EQ(std::vector<bool>({true, true}), open);
    EXPECT_EQ(FileText("new@mail.ru", "oldpass", true), OnDisk());
}

enum Obstacle { ObstacleNone, ObstacleReadOnly, ObstacleFolder };

struct RefusedCase {
    const char* name;
    int row;
    const wchar_t* typed;
    Obstacle obstacle;
    const wchar_t* status;
};

TEST_F(SettingsDialogTest, ASaveThatCannotKeepWhatWasTypedSaysWhyAndStaysOpen)
{
    const RefusedCase cases[] = {
        {"space", SETTINGS_ROW_PASSWORD, L"pass word", ObstacleNone,
            L"Настройки не сохранены: в строке «Пароль» есть пробел"},
        {"not in Windows-1251", SETTINGS_ROW_EMAIL, L"grüße@mail.ru", ObstacleNone,
            L"Настройки не сохранены: в строке «Email» есть символ не из Windows-1251: ü"},
        {"read-only settings.txt", SETTINGS_ROW_EMAIL, L"new@mail.ru", ObstacleReadOnly,
            L"Настройки не сохранены: settings.txt только для чтения"},
        {"settings.txt a folder", SETTINGS_ROW_EMAIL, L"new@mail.ru", ObstacleFolder,
            L"Настройки не сохранены: settings.txt - это папка"},
    };
    const std::wstring path = SettingsPathBesideExe();
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartWith(FileText("old@mail.ru", "oldpass"));
        if (c.obstacle == ObstacleReadOnly)
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        if (c.obstacle == ObstacleFolder) {
            DeleteFileW(path.c_str());
            ASSERT_TRUE(CreateDirectoryW(path.c_str(), NULL));
        }
        const DWORD attributes = GetFileAttributesW(path.c_str());
        const Credentials kept = g_credentials;
        std::wstring status, shown;
        bool open = false;
        RECT frame = {}, statusBar = {}, softKeys = {};
        const INT_PTR result
            = Run({TapRow(c.row), EditorOpen(c.row), Type(c.typed), Post(WM_COMMAND, IDM_BAR_SAVE),
                [&] {
                    status = apptest::StatusText();
                    return status == c.status;
                },
                [&] {
                    open = IsWindow(dialog) != FALSE;
                    shown = g_settingsList.GetText(c.row);
                    GetWindowRect(dialog, &frame);
                    GetWindowRect(g_statusBar, &statusBar);
                    GetWindowRect(g_menuBar, &softKeys);
                    return true;
                },
                Post(WM_COMMAND, IDM_BAR_CLOSE)});
        EXPECT_EQ(IDM_BAR_CLOSE, result);
        EXPECT_EQ(std::wstring(c.status), status);
        EXPECT_TRUE(open);
        // The reason is in view: the dialog ends above the status bar, and
        // its soft keys stay at the bottom of the screen.
        EXPECT_LE(frame.bottom, statusBar.top);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), softKeys.bottom);
        EXPECT_EQ(std::wstring(c.typed), shown);
        EXPECT_EQ(attributes, GetFileAttributesW(path.c_str()));
        EXPECT_EQ(0, memcmp(&kept, &g_credentials, sizeof(kept)));
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (c.obstacle == ObstacleFolder)
            RemoveDirectoryW(path.c_str());
        else
            EXPECT_EQ(FileText("old@mail.ru", "oldpass"), OnDisk());
    }
}

TEST_F(SettingsDialogTest, APartlyRefusedFileShowsWhatWasReadWholeAndSavesOnlyOnceTheRestIsTyped)
{
    const std::string before = FileText("old@mail.ru", std::string(CREDENTIAL_FIELD_SIZE, 'p'), true);
    StartWith(before);
    EXPECT_STREQ("", g_credentials.email);  // not in force: the file was refused
    EXPECT_EQ(std::wstring(L"Слишком длинное значение в settings.txt: введите заново «Пароль»"),
        SettingsProblemText());
    std::vector<std::wstring> values;
    std::wstring refusal;
    int typedLength = 0;
    const INT_PTR result = Run({[&] {
                                    for (int row = 0; row < SETTING_ROW_COUNT; ++row)
                                        values.push_back(g_settingsList.ValueText(row));
                                    return true;
                                },
        Post(WM_COMMAND, IDM_BAR_SAVE),
        [&] {
            refusal = apptest::StatusText();
            return refusal.find(L"Настройки не сохранены") == 0;
        },
        TapRow(SETTINGS_ROW_PASSWORD), EditorOpen(SETTINGS_ROW_PASSWORD), Type(std::wstring(300, L'n')),
        [&] {
            typedLength = GetWindowTextLengthW(g_settingsList.editor);
            return true;
        },
        Post(WM_COMMAND, IDM_BAR_SAVE)});
    EXPECT_EQ(IDM_BAR_SAVE, result);
    EXPECT_EQ(
        Shown({{0, L"SocialNet"}, {SETTINGS_ROW_EMAIL, L"old@mail.ru"}, {SETTINGS_ROW_AUTOCONNECT, L"Да"}}),
        values);
    EXPECT_EQ(L"Настройки не сохранены: в строке «Пароль» значение из settings.txt не прочитано, введите его "
              L"заново",
        refusal);
    EXPECT_EQ(CREDENTIAL_FIELD_SIZE - 1, typedLength);  // the editor takes no more than the row keeps
    const std::string password(CREDENTIAL_FIELD_SIZE - 1, 'n');
    EXPECT_EQ(FileText("old@mail.ru", password, true), OnDisk());
    EXPECT_STREQ("old@mail.ru", g_credentials.email);
    EXPECT_EQ(password, g_credentials.password);
    EXPECT_EQ(L"Настройки сохранены", apptest::StatusText());
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
        g_workerThread = NULL;
        ResetState();
        ASSERT_TRUE(InitMainWindow(GetModuleHandleW(NULL), SW_SHOW));
        window = g_mainWindow;
        EXPECT_EQ(on, SettingIsYes("autoconnect"));
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
