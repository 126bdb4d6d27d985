// The message, status and sent-messages dialogs as real windows: controls
// and placement at 96 and 192 dpi, which commands close, stay open or send,
// the recipient look-up and the texts the run remembers.
#include "app_window_fixture.h"

#include <atomic>
#include <functional>
#include <sstream>
#include <thread>

#include "api/api_texts.h"
#include "api/data_request.h"
#include "api/friend_model.h"
#include "api/message_dialog.h"
#include "api/message_history.h"
#include "api/messages_dialog.h"
#include "api/status_dialog.h"
#include "api/status_history.h"
#include "app/about_dialog.h"
#include "app/my_page_dialog.h"
#include "base/shell.h"
#include "json/reader.h"
#include "net/status_texts.h"
#include "ui/scale.h"

namespace apptest {
namespace {

HWND FindDialog(const wchar_t* title)
{
    HWND dialog = FindProcessWindow(L"#32770");
    return dialog && IsWindowVisible(dialog) && WindowText(dialog) == title ? dialog : NULL;
}

// While the dialog runs modally on the test thread, `drive` works it from a
// helper thread and must end it; it gets the dialog, or null when none came.
class DialogDriver {
public:
    DialogDriver(const wchar_t* title, std::function<void(HWND)> drive)
    {
        m_thread = std::thread([title, drive] {
            HWND dialog = NULL;
            for (int i = 0; i < 500 && !dialog; ++i, Sleep(10))
                dialog = FindDialog(title);
            drive(dialog);
            // A failed check must not leave the test thread in the modal loop.
            for (int i = 0; i < 300 && dialog && IsWindow(dialog) && IsWindowVisible(dialog); ++i)
                Sleep(10);
            if (dialog && IsWindow(dialog) && IsWindowVisible(dialog)) {
                ADD_FAILURE() << "the dialog was left open";
                PostMessageW(dialog, WM_CLOSE, 0, 0);
            }
        });
    }
    ~DialogDriver() { m_thread.join(); }

private:
    std::thread m_thread;
};

const wchar_t MESSAGE_TITLE[] = L"Отправить сообщение";
const wchar_t STATUS_TITLE[] = L"Статус";

std::string Ansi(const std::wstring& text)
{
    char bytes[512] = "";
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes, sizeof(bytes), NULL, NULL);
    return bytes;
}

void FillModel(const std::string& members)
{
    std::istringstream stream("{\"members\":" + members + "}");
    json::Element document;
    json::Reader::Read(document, stream);
    g_friendModel.ReplaceList(AllFriends, document);
}

bool WaitStatusText(const std::wstring& text)
{
    for (int i = 0; i < 500; ++i, Sleep(10))
        if (StatusText() == text)
            return true;
    return false;
}

// The whole text of a control (WindowText stops at its buffer).
std::wstring FullText(HWND control)
{
    std::vector<wchar_t> text(GetWindowTextLengthW(control) + 1, L'\0');
    GetWindowTextW(control, text.data(), (int)text.size());
    return text.data();
}

RECT Rect(int x, int y, int width, int height)
{
    RECT r = {x, y, x + width, y + height};
    return r;
}

struct Layout {
    int id;
    RECT rect;
};

void ExpectLayout(HWND dialog, const RECT& window, const std::vector<Layout>& controls, int dpi)
{
    EXPECT_TRUE(SameRect(window, WindowRect(dialog))) << dpi;
    for (const Layout& c : controls) {
        HWND control = GetDlgItem(dialog, c.id);
        RECT expected = c.rect;
        // A list box without LBS_NOINTEGRALHEIGHT trims itself to whole rows.
        const RECT actual = ChildRect(control);
        if (ClassName(control) == L"ListBox" && actual.bottom <= expected.bottom
            && expected.bottom - actual.bottom
                < SendMessageW(control, LB_GETITEMHEIGHT, 0, 0) + 2 * GetSystemMetrics(SM_CYEDGE))
            expected.bottom = actual.bottom;
        EXPECT_TRUE(SameRect(expected, actual))
            << "control " << c.id << " at " << dpi << ": " << actual.top << ".." << actual.bottom << ", not "
            << expected.top << ".." << expected.bottom;
    }
}

class Dialogs : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        FillModel("[[2001,\"" + Ansi(L"Анна Иванова") + "\",1],[2002,\"Boris\",0],[2030,\""
            + Ansi(L"Анна Иванова") + "\",0]]");
        AddRows({L"Анна Иванова", L"Boris"});
        SetStatusText(L"");
        for (int id : {2001, 2002, 2030})
            DropDraft(id);
    }
    void Select(const wchar_t* name)
    {
        g_selectedRow = (LONG)SendMessageW(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)name);
        SendMessageW(list, LB_SETCURSEL, g_selectedRow, 0);
    }
};

const wchar_t ANNA[] = L"Анна Иванова";
const wchar_t BORIS[] = L"Boris";

TEST_F(Dialogs, MessageDialogControlsAndPlacement)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    Select(ANNA);
    DialogDriver driver(MESSAGE_TITLE, [&](HWND dialog) {
        ASSERT_TRUE(dialog);
        const int ids[] = {IDC_MESSAGE_NAME, IDC_MESSAGE_SEND, IDC_MESSAGE_EDIT};
        const wchar_t* classes[] = {L"Static", L"Button", L"Edit"};
        HWND previous = NULL;
        for (int i = 0; i < 3; ++i) {
            HWND control = GetDlgItem(dialog, ids[i]);
            EXPECT_EQ(classes[i], ClassName(control));
            EXPECT_EQ(previous, GetWindow(control, GW_HWNDPREV));  // created in this order
            previous = control;
        }
        EXPECT_EQ(L"Анна Иванова", WindowText(GetDlgItem(dialog, IDC_MESSAGE_NAME)));
        EXPECT_EQ(L"Отправить сообщение", WindowText(GetDlgItem(dialog, IDC_MESSAGE_SEND)));
        EXPECT_EQ(TYPED_TEXT_LIMIT, SendDlgItemMessageW(dialog, IDC_MESSAGE_EDIT, EM_GETLIMITTEXT, 0, 0));
        HWND edit = GetDlgItem(dialog, IDC_MESSAGE_EDIT);
        EXPECT_EQ(edit, FocusOf(dialog));  // typing goes there at once
        const DWORD style = GetWindowLongW(edit, GWL_STYLE);
        EXPECT_EQ((DWORD)(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL),
            style & (ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL));
        EXPECT_EQ(window, GetWindow(dialog, GW_OWNER));
        for (int dpi : {96, 192}) {
            if (dpi != 96)
                PlaceMessageDialog(dialog, dpi);
            // The rows scale with the screen; the main window's status bar stays in view.
            auto s = [dpi](int v) { return ScaleForDpi(v, dpi); };
            const int bar = s(26);
            ExpectLayout(dialog, Rect(0, bar, width, height - 2 * bar - s(22)),
                {{IDC_MESSAGE_NAME, Rect(s(3), s(5), s(150), s(30))},
                    {IDC_MESSAGE_SEND, Rect(0, s(35), width, s(35))},
                    {IDC_MESSAGE_EDIT, Rect(0, s(70), width, height - 2 * bar - s(22) - s(70))}},
                dpi);
        }
        PostMessageW(dialog, WM_COMMAND, IDM_BAR_CLOSE, 0);
    });
    EXPECT_EQ(ShowModalDialog(IDD_MESSAGE, MessageDialogProc), IDM_BAR_CLOSE);
}

TEST_F(Dialogs, MessageDialogCommands)
{
    struct Case {
        const wchar_t* row;
        std::function<void()> before;  // on the helper thread, the dialog open
        UINT command;
        bool closes;
        const wchar_t* status;  // shown at once, or by the worker
        const wchar_t* text = L"Привет";
    };
    const std::wstring longText(TYPED_TEXT_LIMIT, L'я');
    const Case cases[] = {
        {ANNA, nullptr, IDOK, true, L""},
        {ANNA, nullptr, IDM_BAR_CLOSE, true, L""},
        // Logged out, both send commands close and the worker says why.
        {ANNA, nullptr, IDM_BAR_SEND, true, TEXT_NOT_LOGGED_IN},
        {BORIS, nullptr, IDC_MESSAGE_SEND, true, TEXT_NOT_LOGGED_IN},
        // A refresh took the friend away while the dialog was open.
        {ANNA, [] { FillModel("[[2002,\"Boris\",0]]"); }, IDM_BAR_SEND, false, TEXT_CONTACT_NOT_FOUND},
        {BORIS, [] { FillModel("null"); }, IDC_MESSAGE_SEND, false, TEXT_CONTACT_NOT_FOUND},
        // Nothing is best-fitted or turned into "?": the first such character is named.
        {ANNA, nullptr, IDM_BAR_SEND, false, L"Нельзя отправить символ «ü»", L"Grüße, 中"},
    };
    for (const Case& c : cases) {
        FillModel("[[2001,\"" + Ansi(ANNA) + "\",1],[2002,\"Boris\",0]]");
        SetStatusText(L"");
        Select(c.row);
        std::atomic<bool> stayed {false};
        DialogDriver driver(MESSAGE_TITLE, [&](HWND dialog) {
            if (!dialog)
                return;
            if (c.before)
                c.before();
            SendMessageW(GetDlgItem(dialog, IDC_MESSAGE_EDIT), WM_SETTEXT, 0, (LPARAM)c.text);
            PostMessageW(dialog, c.command == WM_CLOSE ? WM_CLOSE : WM_COMMAND, c.command, 0);
            if (!c.closes) {
                stayed = WaitStatusText(c.status) && IsWindowVisible(dialog);
                EXPECT_EQ(c.text, WindowText(GetDlgItem(dialog, IDC_MESSAGE_EDIT)));
                PostMessageW(dialog, WM_COMMAND, IDM_BAR_CLOSE, 0);
            }
        });
        const INT_PTR result = ShowModalDialog(IDD_MESSAGE, MessageDialogProc);
        EXPECT_EQ(c.closes ? (INT_PTR)c.command : IDM_BAR_CLOSE, result) << c.command;
        EXPECT_EQ(!c.closes, stayed.load()) << c.command;
        EXPECT_TRUE(pump.Until([&] { return StatusText() == c.status; }, 5000)) << c.command;
    }
}

TEST_F(Dialogs, UnsentMessageWaitsForItsFriendAndTooLongStaysOpen)
{
    // Logged out the send fails: the text comes back for the same friend,
    // the later of the two members carrying the name.
    Select(ANNA);
    {
        DialogDriver driver(MESSAGE_TITLE, [&](HWND dialog) {
            SendMessageW(GetDlgItem(dialog, IDC_MESSAGE_EDIT), WM_SETTEXT, 0, (LPARAM)L"Черновик");
            PostMessageW(dialog, WM_COMMAND, IDM_BAR_SEND, 0);
        });
        ShowModalDialog(IDD_MESSAGE, MessageDialogProc);
    }
    ASSERT_TRUE(pump.Until([&] { return StatusText() == TEXT_NOT_LOGGED_IN; }, 5000));
    EXPECT_EQ(L"Черновик", DraftFor(2030));
    EXPECT_EQ(L"", DraftFor(2001));

    const std::wstring huge(TYPED_TEXT_LIMIT, L'я');  // 4095 letters, three bytes each when encoded
    std::atomic<bool> kept {false};
    DialogDriver driver(MESSAGE_TITLE, [&](HWND dialog) {
        HWND edit = GetDlgItem(dialog, IDC_MESSAGE_EDIT);
        EXPECT_EQ(L"Черновик", WindowText(edit));
        // The caret after the draft, nothing selected: the next letter adds to it.
        EXPECT_EQ(edit, FocusOf(dialog));
        EXPECT_EQ(MAKELRESULT(8, 8), SendMessageW(edit, EM_GETSEL, 0, 0));
        SendMessageW(edit, WM_SETTEXT, 0, (LPARAM)huge.c_str());
        PostMessageW(dialog, WM_COMMAND, IDM_BAR_SEND, 0);
        kept = WaitStatusText(TEXT_MESSAGE_TOO_LONG) && IsWindowVisible(dialog) && FullText(edit) == huge;
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, ShowModalDialog(IDD_MESSAGE, MessageDialogProc));
    EXPECT_TRUE(kept);
}

TEST_F(Dialogs, MessageCommandsNeedASelectedRow)
{
    SendMessageW(list, LB_SETCURSEL, (WPARAM)-1, 0);
    Command(IDM_SECTION_MESSAGE);
    EXPECT_EQ(L"Ни один контакт не выделен", StatusText());
    EXPECT_EQ(LB_ERR, g_selectedRow);
    Select(BORIS);
    const LONG row = (LONG)SendMessageW(list, LB_GETCURSEL, 0, 0);
    DialogDriver driver(MESSAGE_TITLE, [&](HWND dialog) {
        EXPECT_EQ(BORIS, WindowText(GetDlgItem(dialog, IDC_MESSAGE_NAME)));
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    Command(IDM_SECTION_MESSAGE);
    EXPECT_EQ(row, g_selectedRow);
}

TEST_F(Dialogs, StatusDialogControlsCommandsAndHistory)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    RememberStatus(L"Работаю");
    RememberStatus(L"Дома");
    DialogDriver first(STATUS_TITLE, [&](HWND dialog) {
        ASSERT_TRUE(dialog);
        for (int dpi : {96, 192}) {
            if (dpi != 96)
                PlaceStatusDialog(dialog, dpi);
            // The history list ends with the dialog, not under the main window's status bar.
            auto s = [dpi](int v) { return ScaleForDpi(v, dpi); };
            const int bar = s(26);
            ExpectLayout(dialog, Rect(0, bar, width, height - (2 * bar + s(22))),
                {{IDC_STATUS_EDIT, Rect(0, 0, width, s(50))}, {IDC_STATUS_SET, Rect(0, s(50), width, s(35))},
                    {IDC_STATUS_LIST, Rect(0, s(85), width, height - (2 * bar + s(22) + s(85)))}},
                dpi);
        }
        HWND history = GetDlgItem(dialog, IDC_STATUS_LIST);
        // The history ends where the dialog does, not whole rows short of it.
        EXPECT_EQ(ClientRect(dialog).bottom, ChildRect(history).bottom);
        EXPECT_EQ(GetDlgItem(dialog, IDC_STATUS_EDIT), FocusOf(dialog));
        EXPECT_EQ(L"ListBox", ClassName(history));
        EXPECT_EQ(L"Установить статус", WindowText(GetDlgItem(dialog, IDC_STATUS_SET)));
        // Sorted, and a tap copies the row into the edit field.
        ASSERT_EQ(2, SendMessageW(history, LB_GETCOUNT, 0, 0));
        EXPECT_EQ(L"Дома", ListRow(history, 0));
        SendMessageW(history, LB_SETCURSEL, 1, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_STATUS_LIST, LBN_SELCHANGE), (LPARAM)history);
        EXPECT_EQ(L"Работаю", WindowText(GetDlgItem(dialog, IDC_STATUS_EDIT)));

        // Logged out both send commands leave the dialog open.
        for (UINT command : {IDM_BAR_SEND, IDC_STATUS_SET}) {
            SetStatusText(L"");
            PostMessageW(dialog, WM_COMMAND, command, 0);
            EXPECT_TRUE(WaitStatusText(TEXT_NOT_LOGGED_IN)) << command;
            EXPECT_TRUE(IsWindowVisible(dialog)) << command;
        }
        // A character the code page lacks is refused by name, the text kept.
        SendMessageW(GetDlgItem(dialog, IDC_STATUS_EDIT), WM_SETTEXT, 0, (LPARAM)L"На море \U0001F30A");
        PostMessageW(dialog, WM_COMMAND, IDM_BAR_SEND, 0);
        EXPECT_TRUE(WaitStatusText(L"Нельзя отправить символ «\U0001F30A»"));
        EXPECT_EQ(L"На море \U0001F30A", WindowText(GetDlgItem(dialog, IDC_STATUS_EDIT)));
        const std::wstring huge(TYPED_TEXT_LIMIT, L'я');
        SendMessageW(GetDlgItem(dialog, IDC_STATUS_EDIT), WM_SETTEXT, 0, (LPARAM)huge.c_str());
        PostMessageW(dialog, WM_COMMAND, IDC_STATUS_SET, 0);
        EXPECT_TRUE(WaitStatusText(TEXT_STATUS_TOO_LONG));
        EXPECT_TRUE(FullText(GetDlgItem(dialog, IDC_STATUS_EDIT)) == huge);
        PostMessageW(dialog, WM_COMMAND, IDM_BAR_CLOSE, 0);
    });
    Command(IDM_STATUS);  // logged out, it opens all the same
}

// Escape, IDCANCEL, WM_CLOSE and the system close are "Закрыть" in every
// dialog: the same result, nothing sent, the typed text where "Закрыть"
// leaves it (no draft: a draft is what a failed send keeps).
TEST_F(Dialogs, EveryWayOfClosingIsTheCloseKey)
{
    const struct {
        const wchar_t* title;
        int templateId;
        DLGPROC procedure;
        int editId;  // 0: nothing to type in
    } dialogs[] = {
        {MESSAGE_TITLE, IDD_MESSAGE, MessageDialogProc, IDC_MESSAGE_EDIT},
        {STATUS_TITLE, IDD_STATUS, StatusDialogProc, IDC_STATUS_EDIT},
        {L"Сообщения", IDD_MESSAGES, MessagesDialogProc, 0},
        {L"Моя страница", IDD_MY_PAGE, MyPageDialogProc, 0},
        {L"О проекте Sorvinta", IDD_ABOUT, AboutDialogProc, 0},
    };
    Select(ANNA);
    for (const auto& d : dialogs) {
        for (const CloseWay& way : CLOSE_WAYS) {
            SCOPED_TRACE(way.name);
            DialogDriver driver(d.title, [&](HWND dialog) {
                if (d.editId)
                    SetDlgItemTextW(dialog, d.editId, L"Привет");
                PostCloseWay(dialog, way);
            });
            // A send would end the dialog with its own command.
            EXPECT_EQ(IDM_BAR_CLOSE, ShowModalDialog(d.templateId, d.procedure)) << d.templateId;
            EXPECT_EQ(L"", DraftFor(2001));
        }
    }
}

TEST_F(Dialogs, SentMessagesNewestFirst)
{
    const int older = RecordMessageSend(L"Анна Иванова", L"Привет, как дела?\r\nЖду ответа с нетерпением");
    RecordMessageOutcome(older, TEXT_PRIVACY);
    RecordMessageSend(L"Boris", L"Второе");
    DialogDriver driver(L"Сообщения", [&](HWND dialog) {
        ASSERT_TRUE(dialog);
        HWND rows = GetDlgItem(dialog, IDC_MESSAGES_LIST);
        ASSERT_GE(SendMessageW(rows, LB_GETCOUNT, 0, 0), 4);
        const std::wstring expected[] = {
            L"Boris: Второе",
            std::wstring(L"    \x2014 ") + TEXT_MESSAGE_SENDING,
            L"Анна Иванова: Привет, как дела? Жду...",
            std::wstring(L"    \x2014 ") + TEXT_PRIVACY,
        };
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(expected[i], ListRow(rows, i)) << i;
        PostMessageW(dialog, WM_COMMAND, IDM_BAR_CLOSE, 0);
    });
    Command(IDM_MESSAGES);
}

}  // namespace
}  // namespace apptest
