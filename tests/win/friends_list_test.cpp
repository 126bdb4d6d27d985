// The friend-list worker against real windows: a main-window-like parent with
// the sorted friend list box (1028) and the status bar (1026). The worker runs
// on a thread of its own and sends to them; the test thread pumps meanwhile.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/api_texts.h"
#include "api/friend_list.h"
#include "api/friend_model.h"
#include "app/app_state.h"
#include "net/http_exchange.h"
#include "net/session.h"
#include "net/status_texts.h"
#include "resources/resource.h"

namespace {

const char kHeaders[] = "HTTP/1.1 200 OK\r\nContent-Type: application/json; charset=windows-1251\r\n"
                        "Connection: close\r\n\r\n";

// What reached the two controls, recorded by their subclass procedures.
std::vector<std::wstring> g_statusTexts;
std::vector<UINT> g_listMessages;
bool g_listSentFromOtherThread = true;
// Focus itself can be taken away at any time by another program's window on
// the same desktop; that the list was given it is what the fill decides.
bool g_listFocused = false;
WNDPROC g_statusProc = NULL;
WNDPROC g_listProc = NULL;

LRESULT CALLBACK RecordingStatusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SB_SETTEXTW)
        g_statusTexts.push_back(lParam ? (const wchar_t*)lParam : L"");
    return CallWindowProcW(g_statusProc, window, message, wParam, lParam);
}

LRESULT CALLBACK RecordingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS: g_listFocused = true; break;
    case LB_RESETCONTENT:
    case LB_ADDSTRING:
    case LB_GETCOUNT:
    case WM_SETREDRAW:
        g_listMessages.push_back(message == WM_SETREDRAW && wParam ? WM_SETREDRAW + 0x10000 : message);
        if (!InSendMessage())
            g_listSentFromOtherThread = false;
        break;
    }
    return CallWindowProcW(g_listProc, window, message, wParam, lParam);
}

struct ResponseJob {
    ListTicket ticket;
    const char* act;
    std::string response;
};

DWORD WINAPI ShowResponseThread(LPVOID argument)
{
    ResponseJob* job = (ResponseJob*)argument;
    ShowFriendListResponse(job->ticket, job->act, job->response);
    return 0;
}

// The ticket of a refresh the user has just asked for, in the session of now.
ListTicket NewestTicket()
{
    return ListTicket {TakeRefreshTicket(), CurrentSession()};
}

// Waits for the thread while serving what it sends to our windows.
void PumpUntilEnded(HANDLE thread)
{
    ASSERT_NE((HANDLE)NULL, thread);
    const DWORD deadline = GetTickCount() + 60000;
    for (;;) {
        const DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, 1000, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0)
            break;
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        ASSERT_LT((LONG)(GetTickCount() - deadline), 0) << "worker did not end";
    }
    CloseHandle(thread);
}

class FriendListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(NULL);
        windowClass.lpszClassName = L"FriendsTestMain";
        RegisterClassW(&windowClass);
    }

    void SetUp() override
    {
        HINSTANCE instance = GetModuleHandleW(NULL);
        m_main = CreateWindowExW(0, L"FriendsTestMain", L"Sorvinta", WS_OVERLAPPEDWINDOW, 0, 0, 240, 294,
            NULL, NULL, instance, NULL);
        ASSERT_NE((HWND)NULL, m_main);
        m_list
            = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_SORT | LBS_NOTIFY,
                0, 20, 240, 200, m_main, (HMENU)IDC_FRIEND_LIST, instance, NULL);
        m_status = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"", m_main, IDC_STATUS_BAR);
        m_other = CreateWindowExW(
            0, L"BUTTON", L"other", WS_CHILD | WS_VISIBLE, 0, 230, 60, 20, m_main, (HMENU)1, instance, NULL);
        ASSERT_NE((HWND)NULL, m_list);
        ASSERT_NE((HWND)NULL, m_status);
        g_statusProc = (WNDPROC)SetWindowLongPtrW(m_status, GWLP_WNDPROC, (LONG_PTR)RecordingStatusProc);
        g_listProc = (WNDPROC)SetWindowLongPtrW(m_list, GWLP_WNDPROC, (LONG_PTR)RecordingListProc);
        ShowWindow(m_main, SW_SHOW);
        SetForegroundWindow(m_main);
        SetFocus(m_other);
        g_mainWindow = m_main;
        g_friendList = m_list;
        g_statusTexts.clear();
        g_listMessages.clear();
        g_listSentFromOtherThread = true;
        g_listFocused = false;
        g_loggedIn = 0;
    }

    void TearDown() override
    {
        g_mainWindow = NULL;
        g_friendList = NULL;
        g_loggedIn = 0;
        DestroyWindow(m_main);
    }

    void Show(const char* act, const std::string& response)
    {
        ResponseJob job = {NewestTicket(), act, response};
        PumpUntilEnded(CreateThread(NULL, 0, ShowResponseThread, &job, 0, NULL));
    }

    void ShowBody(const char* act, const std::string& body) { Show(act, kHeaders + body); }

    void Prefill(const std::vector<std::wstring>& rows)
    {
        SendMessageW(m_list, LB_RESETCONTENT, 0, 0);
        for (const std::wstring& row : rows)
            SendMessageW(m_list, LB_ADDSTRING, 0, (LPARAM)row.c_str());
        g_listMessages.clear();
        g_listSentFromOtherThread = true;
    }

    std::vector<std::wstring> Rows()
    {
        std::vector<std::wstring> rows;
        const int count = (int)SendMessageW(m_list, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            wchar_t text[300] = L"";
            SendMessageW(m_list, LB_GETTEXT, i, (LPARAM)text);
            rows.push_back(text);
        }
        return rows;
    }

    std::wstring Status()
    {
        wchar_t text[300] = L"";
        SendMessageW(m_status, WM_GETTEXT, 300, (LPARAM)text);
        return text;
    }

    HWND m_main = NULL;
    HWND m_list = NULL;
    HWND m_status = NULL;
    HWND m_other = NULL;
};

// The identity of each slot and the current list, to tell "unchanged".
struct ModelState {
    const void* slots[FRIEND_LIST_KIND_COUNT];
    int currentList;
};

const void* Identity(const json::Element& element)
{
    return element.IsNull() ? nullptr : (const void*)&json_cast<const json::Object&>(element);
}

ModelState Snapshot()
{
    ModelState state;
    for (int i = 0; i < FRIEND_LIST_KIND_COUNT; ++i)
        state.slots[i] = Identity(g_friendModel.CopyList((FriendListKind)i));
    state.currentList = g_friendModel.CurrentList();
    return state;
}

bool Same(const ModelState& a, const ModelState& b)
{
    for (int i = 0; i < FRIEND_LIST_KIND_COUNT; ++i) {
        if (a.slots[i] != b.slots[i])
            return false;
    }
    return a.currentList == b.currentList;
}

size_t MemberCount(FriendListKind kind)
{
    const json::Element document = g_friendModel.CopyList(kind);
    return json_cast<const json::Array&>(document["members"]).Size();
}

TEST_F(FriendListTest, ListsRussianNamesSortedAndCountsThem)
{
    Prefill({L"старая строка"});
    // Windows-1251: Пётр, Анна, Жанна, Ёжиков, Борис, Евгений.
    ShowBody("friends_online",
        "{\"ok\":1,\"members\":[[11,\"\xCF\xB8\xF2\xF0\",1],[12,\"\xC0\xED\xED\xE0\",1],"
        "[13,\"\xC6\xE0\xED\xED\xE0\",0],[14,\"\xA8\xE6\xE8\xEA\xEE\xE2\",1],"
        "[15,\"\xC1\xEE\xF0\xE8\xF1\",1],[16,\"\xC5\xE2\xE3\xE5\xED\xE8\xE9\",0]]}");
    const std::vector<UINT> received = g_listMessages;
    const bool fromWorker = g_listSentFromOtherThread;

    const std::vector<std::wstring> expected = {L"Анна", L"Борис", L"Евгений", L"Ёжиков", L"Жанна", L"Пётр"};
    EXPECT_EQ(expected, Rows());
    EXPECT_EQ(L"Загружено 6 друзей", Status());
    EXPECT_EQ(std::vector<std::wstring> {L"Загружено 6 друзей"}, g_statusTexts);
    EXPECT_EQ(OnlineFriends, g_friendModel.CurrentList());
    EXPECT_EQ(6u, MemberCount(OnlineFriends));
    EXPECT_TRUE(g_listFocused);

    // Emptied, then filled and counted with redraw off; all sent by the worker.
    std::vector<UINT> messages = {LB_RESETCONTENT, WM_SETREDRAW};
    messages.insert(messages.end(), 6, LB_ADDSTRING);
    messages.push_back(LB_GETCOUNT);
    messages.push_back(WM_SETREDRAW + 0x10000);
    EXPECT_EQ(messages, received);
    EXPECT_TRUE(fromWorker);
}

TEST_F(FriendListTest, KeepsEqualNamesAndIgnoresExtraElements)
{
    ShowBody("friends", "[[1,\"B\",0,{\"x\":[1]}],[2,\"A\"],[3,\"B\",1,2,3]]");
    EXPECT_EQ((std::vector<std::wstring> {L"A", L"B", L"B"}), Rows());
    EXPECT_EQ(L"Загружено 3 друзей", Status());
    EXPECT_EQ(AllFriends, g_friendModel.CurrentList());
    EXPECT_EQ(3u, MemberCount(AllFriends));
}

TEST_F(FriendListTest, StoresEachActInItsSlot)
{
    const struct {
        const char* act;
        FriendListKind kind;
        const wchar_t* countFormat;
    } cases[] = {
        {"friends_mutual", MutualFriends, L"Загружено %d общих друзей"},
        {"friends_new", NewFriends, L"Загружено %d друзей"},
        {"friends_online", OnlineFriends, L"Загружено %d друзей"},
        {"friends", AllFriends, L"Загружено %d друзей"},
    };
    size_t members = 1;
    for (const auto& c : cases) {
        std::string body = "{\"members\":[";
        for (size_t i = 0; i < members; ++i)
            body += (i ? ",[" : "[") + std::to_string(i) + ",\"n" + std::to_string(i) + "\"]";
        body += "]}";
        ShowBody(c.act, body);
        EXPECT_EQ(c.kind, g_friendModel.CurrentList()) << c.act;
        EXPECT_EQ(members, MemberCount(c.kind)) << c.act;
        EXPECT_EQ(members, Rows().size()) << c.act;
        wchar_t count[64];
        wsprintfW(count, c.countFormat, (int)members);
        EXPECT_EQ(count, Status()) << c.act;
        ++members;
    }

    // An unknown act fills the list but leaves the model as it is.
    const ModelState before = Snapshot();
    ShowBody("friends_unknown", "[[1,\"X\"]]");
    EXPECT_EQ(std::vector<std::wstring> {L"X"}, Rows());
    EXPECT_EQ(L"Загружено 1 друзей", Status());
    EXPECT_TRUE(Same(before, Snapshot()));
}

TEST_F(FriendListTest, ListsALongNameCutTo259Bytes)
{
    // "АА...А" (259 of them) and the tail, then "Я".
    const std::string name = std::string(259, '\xC0') + "tail";
    ShowBody("friends", "[[1,\"" + name + "\"],[2,\"\xDF\"]]");
    const std::vector<std::wstring> rows = Rows();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(std::wstring(259, L'А'), rows[0]);
    EXPECT_EQ(L"Я", rows[1]);
}

TEST_F(FriendListTest, EmptyListEmptiesTheListBoxAndKeepsTheModel)
{
    ShowBody("friends", "[[1,\"Kept\"]]");
    const ModelState before = Snapshot();
    Prefill({L"one", L"two"});
    ShowBody("friends_online", "{\"ok\":1,\"members\":[]}");
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(TEXT_LIST_EMPTY, Status());
    EXPECT_TRUE(Same(before, Snapshot()));
}

TEST_F(FriendListTest, EveryBadAnswerShowsBadAnswerAndKeepsTheModel)
{
    ShowBody("friends", "[[1,\"Kept\"]]");
    ShowBody("friends_online", "[[2,\"KeptOnline\"]]");
    // Read whole before anything is shown: none of them touches the list box.
    const std::string cases[] = {
        "HTTP/1.1 200 OK\r\nContent-Length: 20\r\n[[1,\"A\"]]",  // no blank line
        "",
        std::string(kHeaders) + "{\"ok\":-1,\"error\":\"session\"}",
        std::string(kHeaders),
        std::string(kHeaders) + "{\"ok\":1,\"members\":[[1,\"A\",0",  // no "]" after "[["
        std::string(kHeaders) + "{\"ok\":1,\"members\":[[1,\"A\",0],]}",
        std::string(kHeaders) + "{\"ok\":1,\"members\":{\"a\":\"[[1,\\\"A\\\"]]\"}}",
        std::string(kHeaders) + "{\"ok\":1,\"members\":[[1,\"A\"],7]}",
        std::string(kHeaders) + "{\"ok\":1,\"members\":[[1,\"A\"],[2]]}",
        std::string(kHeaders) + "{\"ok\":1,\"members\":[[1,\"A\"],[2,3]]}",
        std::string(kHeaders) + "{\"ok\":1,\"members\":[[1,\"\\uD800\"]]}",           // a lone surrogate
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n9\r\n[[1,\"A\"]]\r\n",  // no last chunk
        "HTTP/1.1 200 OK\r\nContent-Length: 90\r\n\r\n[[1,\"A\"]]",                   // short of its length
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nnine\r\n[[1,\"A\"]]\r\n0\r\n\r\n",
        "HTTP/9 200 OK\r\n\r\n[[1,\"A\"]]",
    };
    for (const std::string& response : cases) {
        const ModelState before = Snapshot();
        Prefill({L"row"});
        g_statusTexts.clear();
        Show("friends", response);
        EXPECT_EQ(std::vector<std::wstring> {TEXT_SERVER_ANSWER_BAD}, g_statusTexts) << response;
        EXPECT_TRUE(Same(before, Snapshot())) << response;
        EXPECT_TRUE(g_listMessages.empty()) << response;
        EXPECT_EQ(std::vector<std::wstring> {L"row"}, Rows()) << response;
    }
    EXPECT_EQ(OnlineFriends, g_friendModel.CurrentList());
}

// Members 0..count-1 named "<prefix><i>".
std::string MemberBody(const std::string& prefix, int count)
{
    std::string body = "{\"ok\":1,\"members\":[";
    for (int i = 0; i < count; ++i)
        body += (i ? ",[" : "[") + std::to_string(i) + ",\"" + prefix + std::to_string(i) + "\",1]";
    return body + "]}";
}

TEST_F(FriendListTest, AnAnswerNoLongerWantedTouchesNothing)
{
    const struct {
        const char* name;
        int newerRefreshes;  // refreshes asked for after this one
        int sessionChanges;  // logins and logouts since it started
    } cases[] = {
        {"a later refresh", 1, 0},
        {"several later refreshes", 3, 0},
        {"a logout since", 0, 1},
        {"a logout and a new login since", 0, 2},
    };
    for (const auto& c : cases) {
        ShowBody("friends", "[[1,\"Kept\"]]");
        const ModelState before = Snapshot();
        Prefill({L"row"});
        g_statusTexts.clear();
        ResponseJob job = {NewestTicket(), "friends_online", kHeaders + MemberBody("n", 5)};
        for (int i = 0; i < c.newerRefreshes; ++i)
            TakeRefreshTicket();
        job.ticket.session -= c.sessionChanges;  // as if noted that many changes ago
        PumpUntilEnded(CreateThread(NULL, 0, ShowResponseThread, &job, 0, NULL));
        EXPECT_TRUE(g_statusTexts.empty()) << c.name;
        EXPECT_TRUE(g_listMessages.empty()) << c.name;
        EXPECT_EQ(std::vector<std::wstring> {L"row"}, Rows()) << c.name;
        EXPECT_TRUE(Same(before, Snapshot())) << c.name;
        // Bad answers no longer wanted stay quiet as well.
        job.response = kHeaders + std::string("{\"ok\":0}");
        PumpUntilEnded(CreateThread(NULL, 0, ShowResponseThread, &job, 0, NULL));
        EXPECT_TRUE(g_statusTexts.empty()) << c.name;
    }
}

TEST_F(FriendListTest, TwoFillsAtOnceNeverInterleave)
{
    // Both answers are current (one ticket), so both fill, one after the other.
    const ListTicket ticket = NewestTicket();
    ResponseJob first = {ticket, "friends", kHeaders + MemberBody("a", 300)};
    ResponseJob second = {ticket, "friends", kHeaders + MemberBody("b", 300)};
    HANDLE threads[2] = {CreateThread(NULL, 0, ShowResponseThread, &first, CREATE_SUSPENDED, NULL),
        CreateThread(NULL, 0, ShowResponseThread, &second, CREATE_SUSPENDED, NULL)};
    ResumeThread(threads[0]);
    ResumeThread(threads[1]);
    PumpUntilEnded(threads[0]);
    PumpUntilEnded(threads[1]);

    // Each fill is reset, redraw off, 300 rows, count, redraw on: whole.
    std::vector<UINT> fill = {LB_RESETCONTENT, WM_SETREDRAW};
    fill.insert(fill.end(), 300, LB_ADDSTRING);
    fill.push_back(LB_GETCOUNT);
    fill.push_back(WM_SETREDRAW + 0x10000);
    std::vector<UINT> both = fill;
    both.insert(both.end(), fill.begin(), fill.end());
    EXPECT_EQ(both, g_listMessages);
    EXPECT_EQ(300u, Rows().size());
    EXPECT_EQ((std::vector<std::wstring> {L"Загружено 300 друзей", L"Загружено 300 друзей"}), g_statusTexts);
}

TEST_F(FriendListTest, RefusalStatusKeepsListAndModel)
{
    ShowBody("friends", "[[1,\"Kept\"]]");
    const char* const refusals[]
        = {"500 Internal Server Error", "404 Not Found", "302 Found", "403 Forbidden"};
    for (const char* status : refusals) {
        const ModelState before = Snapshot();
        Prefill({L"row"});
        g_statusTexts.clear();
        Show("friends", std::string("HTTP/1.1 ") + status + "\r\n\r\n{\"ok\":1,\"members\":[[1,\"A\"]]}");
        EXPECT_EQ(std::vector<std::wstring> {L"Сервер отклонил запрос"}, g_statusTexts) << status;
        EXPECT_TRUE(Same(before, Snapshot())) << status;
        EXPECT_EQ(1u, Rows().size()) << status;
    }
}

TEST_F(FriendListTest, ListsChunkedEscapedAndUtf8Answers)
{
    const std::vector<std::wstring> anna = {L"Анна Ёлкина", L"Борис"};
    const struct {
        std::string response;
        const char* why;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\ntransfer-encoding: chunked\r\n\r\n"
         "7\r\n[[1,\"\xC0\xED\r\n"  // the boundary inside a Cyrillic name
         "C;x=1\r\n\xED\xE0 \xA8\xEB\xEA\xE8\xED\xE0\"],\r\n"
         "c\r\n[2,\"\xC1\xEE\xF0\xE8\xF1\"]]\r\n0\r\n\r\n",
            "chunked"},
        {std::string(kHeaders)
                + "[[1,\"\\u0410\\u043d\\u043d\\u0430 \\u0401\\u043B\\u043A\\u0438\\u043D\\u0430\"],"
                  "[2,\"\\u0411\\u043e\\u0440\\u0438\\u0441\"]]",
            "escaped"},
        {"HTTP/1.1 200 OK\r\nContent-Type: application/json; charset=utf-8\r\n\r\n"
         "[[1,\"\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0 \xD0\x81\xD0\xBB\xD0\xBA\xD0\xB8\xD0\xBD\xD0\xB0\"],"
         "[2,\"\xD0\x91\xD0\xBE\xD1\x80\xD0\xB8\xD1\x81\"]]",
            "utf-8"},
    };
    for (const auto& c : cases) {
        g_statusTexts.clear();
        Show("friends", c.response);
        EXPECT_EQ(anna, Rows()) << c.why;
        EXPECT_EQ(std::vector<std::wstring> {L"Загружено 2 друзей"}, g_statusTexts) << c.why;
    }
}

TEST_F(FriendListTest, NotLoggedInSendsNothing)
{
    Prefill({L"row"});
    const ModelState before = Snapshot();
    const LONG sent = g_bytesSent;
    PumpUntilEnded(CreateThread(NULL, 0, FriendListThread, NewFriendListJob("friends_online"), 0, NULL));
    // Only this text: the exchange would have shown its own progress first.
    EXPECT_EQ(std::vector<std::wstring> {TEXT_NOT_LOGGED_IN}, g_statusTexts);
    EXPECT_EQ(sent, g_bytesSent);
    EXPECT_EQ(std::vector<std::wstring> {L"row"}, Rows());
    EXPECT_TRUE(Same(before, Snapshot()));
}

TEST_F(FriendListTest, RequestTooLongForItsBufferIsNotSent)
{
    Prefill({L"row"});
    const ModelState before = Snapshot();
    const LONG sent = g_bytesSent;
    char savedSid[SESSION_ID_SIZE];
    char savedId[SESSION_ID_SIZE];
    ReadSessionIds(savedSid, savedId);
    // A session id that alone nearly fills the request buffer.
    memset(g_sid, 'a', SESSION_ID_SIZE - 1);
    g_sid[SESSION_ID_SIZE - 1] = '\0';
    strcpy(g_remixmid, "12345");
    g_loggedIn = 1;

    PumpUntilEnded(CreateThread(NULL, 0, FriendListThread, NewFriendListJob("friends"), 0, NULL));

    EXPECT_EQ(std::vector<std::wstring> {TEXT_REQUEST_TOO_LONG}, g_statusTexts);
    EXPECT_EQ(sent, g_bytesSent);
    EXPECT_EQ(std::vector<std::wstring> {L"row"}, Rows());
    EXPECT_TRUE(Same(before, Snapshot()));
    strcpy(g_sid, savedSid);
    strcpy(g_remixmid, savedId);
}

}  // namespace
