// Messages and status end to end: what the emulator receives, the service's
// refusals, and every fault of the data host on these answers.
#include "e2e_fixture.h"

#include <algorithm>

namespace {

const wchar_t MESSAGE_TITLE[] = L"Отправить сообщение";
const wchar_t STATUS_TITLE[] = L"Статус";

std::string ToCp1251(const std::wstring& text)
{
    const int size = WideCharToMultiByte(1251, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string bytes(size, '\0');
    WideCharToMultiByte(1251, 0, text.c_str(), (int)text.size(), &bytes[0], size, NULL, NULL);
    return bytes;
}

std::wstring ListItem(HWND dialog, int id, int row)
{
    std::vector<wchar_t> text(8192, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(
            GetDlgItem(dialog, id), LB_GETTEXT, row, (LPARAM)text.data(), SMTO_ABORTIFHUNG, 5000, &copied)
        || (LRESULT)copied == LB_ERR)
        return L"";
    return text.data();
}

std::string EmulatorState()
{
    std::string body;
    EXPECT_EQ(200, HttpGet(DATA_HOST_ADDRESS, "/_emulator/state", &body));
    return body;
}

class MessageTest : public E2eTest {
protected:
    // Logged in, with the list of all friends (the private friend is offline).
    void StartWithAllFriends()
    {
        StartDemo();
        Login();
        app.Command(IDM_ALL_ONLINE);
        ASSERT_GT(LoadedCount(app.CommandAndWait(IDM_REFRESH)), 0);
    }

    int RowOf(const std::wstring& name)
    {
        const std::vector<std::wstring> rows = app.ListRows();
        const auto found = std::find(rows.begin(), rows.end(), name);
        return found == rows.end() ? -1 : (int)(found - rows.begin());
    }

    // Opens the message dialog for the friend through "Раздел" → "Сообщение".
    HWND OpenMessage(const std::wstring& name)
    {
        const int row = RowOf(name);
        EXPECT_GE(row, 0) << Utf8(name);
        EXPECT_TRUE(app.SelectRow(row));
        app.Command(IDM_SECTION_MESSAGE);
        HWND dialog = app.WaitDialog(MESSAGE_TITLE);
        EXPECT_TRUE(dialog != NULL);
        return dialog;
    }

    // "Отправить" in the message dialog for the friend, which must close it
    // and bring up the captcha dialog; its picture's csid in *csid.
    HWND SendToCaptcha(const std::wstring& name, const std::wstring& kept, std::string* csid)
    {
        EmulatorLog log;
        HWND dialog = OpenMessage(name);
        if (!dialog)
            return NULL;
        EXPECT_EQ(Utf8(kept), Utf8(ItemText(dialog, IDC_MESSAGE_EDIT))) << "the text was not kept";
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_BAR_SEND, 0), 0);
        EXPECT_TRUE(app.WaitWindowGone(dialog));
        HWND captcha = WaitCaptcha(log, csid);
        EXPECT_TRUE(captcha != NULL) << "no captcha dialog before the message";
        return captcha;
    }

    // Presses a command of an open dialog and waits for the final status text.
    std::wstring Press(HWND dialog, WORD id, bool closes = true)
    {
        app.MarkStatus();
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        if (closes) {
            EXPECT_TRUE(app.WaitWindowGone(dialog)) << "the dialog stayed open";
        }
        std::wstring text;
        app.WaitFinalStatus(&text, 30000);
        return text;
    }

    std::wstring SendMessageTo(const std::wstring& name, const std::wstring& text)
    {
        HWND dialog = OpenMessage(name);
        if (!dialog)
            return L"";
        EXPECT_TRUE(SetItemText(dialog, IDC_MESSAGE_EDIT, text));
        return Press(dialog, IDM_BAR_SEND);
    }

    // A burst of messages from elsewhere makes the next one need a captcha:
    // text, sent to name, is held by it and kept in his dialog.
    void SendIntoACaptcha(const std::wstring& name, const std::wstring& text)
    {
        DirectSession direct;
        ASSERT_TRUE(LoginDirect(DEMO_EMAIL, DEMO_PASSWORD, &direct));
        for (int i = 0; i < 5; ++i)
            ASSERT_EQ(200,
                HttpGet(DATA_HOST_ADDRESS, "/data?act=add_message&id=2001&ts=1&message=x&sid=" + direct.sid));
        EXPECT_EQ(Utf8(TEXT_CAPTCHA_NEEDED), Utf8(SendMessageTo(name, text)));
    }

    std::wstring SetStatus(const std::wstring& text, WORD id = IDM_BAR_SEND)
    {
        app.Command(IDM_STATUS);
        HWND dialog = app.WaitDialog(STATUS_TITLE);
        if (!dialog)
            return L"no status dialog";
        EXPECT_TRUE(SetItemText(dialog, IDC_STATUS_EDIT, text));
        return Press(dialog, id);
    }
};

TEST_F(MessageTest, MessageAndRussianStatusArriveByteForByte)
{
    StartDemo();
    // Logged out the status dialog stays open and says why.
    app.Command(IDM_STATUS);
    HWND status = app.WaitDialog(STATUS_TITLE);
    ASSERT_TRUE(status != NULL);
    EXPECT_EQ(Utf8(TEXT_NOT_LOGGED_IN), Utf8(Press(status, IDM_BAR_SEND, false)));
    EXPECT_TRUE(IsWindowVisible(status));
    PostMessageW(status, WM_COMMAND, MAKEWPARAM(IDM_BAR_CLOSE, 0), 0);
    ASSERT_TRUE(app.WaitWindowGone(status));

    Login();
    ASSERT_GT(LoadedCount(app.CommandAndWait(IDM_REFRESH)), 0);
    const std::wstring friendName = L"Виктор Смирнов";  // 2004, always online
    const std::wstring message = L"Привет, Виктор! Ёлка & «мир» 100%";
    EmulatorLog log;

    // Through the context menu, as a user holding the stylus on the row.
    const int row = RowOf(friendName);
    ASSERT_GE(row, 0);
    ASSERT_TRUE(app.PressAndHoldRow(row));
    HWND menu = app.WaitPopupMenu(3000);
    ASSERT_TRUE(menu != NULL);
    ASSERT_TRUE(app.ChooseFromPopup(menu, IDM_CTX_MESSAGE));
    app.ReleaseList();
    HWND dialog = app.WaitDialog(MESSAGE_TITLE);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ(Utf8(friendName), Utf8(ItemText(dialog, IDC_MESSAGE_NAME)));
    ASSERT_TRUE(SetItemText(dialog, IDC_MESSAGE_EDIT, message));
    EXPECT_EQ(Utf8(TEXT_MESSAGE_SENT), Utf8(Press(dialog, IDM_BAR_SEND)));

    const std::vector<std::string> requests = log.RequestsWith("act=add_message");
    ASSERT_EQ(1u, requests.size());
    std::string value;
    ASSERT_TRUE(QueryValue(requests[0], "message", &value));
    EXPECT_EQ(ToCp1251(message), DecodeQueryValue(value));
    EXPECT_NE(std::string::npos, requests[0].find("&id=2004&ts=64000010&message="));
    EXPECT_NE(std::string::npos,
        EmulatorState().find("message demo@socialnet.example 2004 " + Utf8(message) + "\n"));

    // The status, with the button "Установить статус"; it comes back in the list.
    const std::wstring text = L"На даче, буду в понедельник";
    EXPECT_EQ(Utf8(TEXT_STATUS_SET), Utf8(SetStatus(text, IDC_STATUS_SET)));
    EXPECT_NE(std::string::npos, EmulatorState().find("status demo@socialnet.example " + Utf8(text) + "\n"));
    const std::vector<std::string> sets = log.RequestsWith("act=set_activity");
    ASSERT_EQ(1u, sets.size());
    EXPECT_NE(std::string::npos, sets[0].find("&id=1001&text="));
    EXPECT_NE(std::string::npos, sets[0].find("&wid=1_140403095&ts=754000053&sid="));
    app.Command(IDM_STATUS);
    status = app.WaitDialog(STATUS_TITLE);
    ASSERT_TRUE(status != NULL);
    EXPECT_EQ(Utf8(text), Utf8(ListItem(status, IDC_STATUS_LIST, 0)));
    PostMessageW(status, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.WaitWindowGone(status));
}

TEST_F(MessageTest, RefusalsKeepTheTextForTheNextTry)
{
    StartWithAllFriends();
    // -3: this friend accepts no messages; the text waits in his dialog.
    const std::wstring closed = L"Сергей Голубев";
    EXPECT_EQ(Utf8(TEXT_PRIVACY), Utf8(SendMessageTo(closed, L"Серёжа, ответь")));
    HWND dialog = OpenMessage(closed);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ(Utf8(L"Серёжа, ответь"), Utf8(ItemText(dialog, IDC_MESSAGE_EDIT)));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_BAR_CLOSE, 0), 0);
    ASSERT_TRUE(app.WaitWindowGone(dialog));

    // -1: the server has ended the program's session.
    EmulatorLog log;
    ASSERT_GT(LoadedCount(app.CommandAndWait(IDM_REFRESH)), 0);
    std::string sid;
    const std::vector<std::string> lists = log.RequestsWith("act=friends");
    ASSERT_FALSE(lists.empty());
    ASSERT_TRUE(QueryValue(lists.back(), "sid", &sid));
    std::string answer;
    ASSERT_TRUE(HttpRequest(LOGIN_HOST_ADDRESS,
        "HEAD /auth?login=logout&site=2&sid=" + sid + " HTTP/1.1\r\nHost: login\r\nConnection: close\r\n\r\n",
        &answer));
    EXPECT_EQ(Utf8(TEXT_AUTH_ERROR), Utf8(SendMessageTo(L"Борис Петров", L"Борис?")));
    EXPECT_EQ(Utf8(L"Ошибка."), Utf8(SetStatus(L"Нет сессии")));
}

TEST_F(MessageTest, AMessageHeldByACaptchaGoesOutWithTheCode)
{
    StartWithAllFriends();
    const std::wstring name = L"Борис Петров";
    const std::wstring text = L"Борис, это я & никто другой";
    SendIntoACaptcha(name, text);

    // The text waits in his dialog; the next send asks first, and Close keeps it.
    EmulatorLog log;
    std::string csid;
    HWND captcha = SendToCaptcha(name, text, &csid);
    ASSERT_TRUE(captcha != NULL);
    EXPECT_EQ(Utf8(TEXT_MESSAGE_CANCELLED), Utf8(AnswerCaptcha(captcha, NULL)));
    EXPECT_TRUE(log.RequestsWith("act=add_message").empty());

    log.Mark();
    captcha = SendToCaptcha(name, text, &csid);
    ASSERT_TRUE(captcha != NULL);
    const std::string code = PendingCaptchaCode(csid);
    ASSERT_GE(code.size(), 4u);
    EXPECT_EQ(Utf8(TEXT_MESSAGE_SENT), Utf8(AnswerCaptcha(captcha, code.c_str())));
    const std::vector<std::string> requests = log.RequestsWith("act=add_message");
    ASSERT_EQ(1u, requests.size());
    EXPECT_NE(std::string::npos, requests[0].find("&csid=" + csid + "&ccode=" + code + " HTTP/1.1"))
        << requests[0];
    std::string value;
    ASSERT_TRUE(QueryValue(requests[0], "message", &value));
    EXPECT_EQ(ToCp1251(text), DecodeQueryValue(value));
    EXPECT_NE(std::string::npos, EmulatorState().find(" " + Utf8(text) + "\n"));

    // Sent: the next message needs no picture.
    log.Mark();
    EXPECT_EQ(Utf8(TEXT_MESSAGE_SENT), Utf8(SendMessageTo(name, L"И ещё одно")));
    EXPECT_TRUE(log.RequestsWith("act=captcha").empty());
}

TEST_F(MessageTest, ASessionChangeDuringTheCaptchaSendsNothing)
{
    StartWithAllFriends();
    const std::wstring name = L"Борис Петров";
    const std::wstring text = L"Написано в прошлой сессии";
    SendIntoACaptcha(name, text);

    // Out and in again while the picture waits for its code.
    EmulatorLog log;
    std::string csid;
    HWND captcha = SendToCaptcha(name, text, &csid);
    ASSERT_TRUE(captcha != NULL);
    EXPECT_EQ(Utf8(TEXT_LOGGED_OUT), Utf8(app.CommandAndWait(IDM_CONNECT)));
    EXPECT_EQ(Utf8(TEXT_LOGGED_IN), Utf8(app.CommandAndWait(IDM_CONNECT)));
    const std::string code = PendingCaptchaCode(csid);
    ASSERT_GE(code.size(), 4u);
    EXPECT_EQ(Utf8(TEXT_SESSION_CHANGED), Utf8(AnswerCaptcha(captcha, code.c_str())));
    EXPECT_TRUE(log.RequestsWith("act=add_message").empty()) << "sent from the new session";

    // The text waits; the captcha was the old session's, so the next send
    // asks the service again without a picture.
    log.Mark();
    EXPECT_EQ(Utf8(TEXT_CAPTCHA_NEEDED), Utf8(SendMessageTo(name, text)));
    EXPECT_TRUE(log.RequestsWith("act=captcha").empty());
    EXPECT_EQ(1u, log.RequestsWith("act=add_message").size());
}

TEST_F(MessageTest, TwoSendsToOneFriendKeepTheirOwnOutcomes)
{
    StartWithAllFriends();
    const std::wstring name = L"Виктор Смирнов";
    // The first is held by the service; the second is refused meanwhile.
    ASSERT_TRUE(HoldAnswers(DATA_HOST_ADDRESS, 1));
    HWND dialog = OpenMessage(name);
    ASSERT_TRUE(dialog != NULL);
    ASSERT_TRUE(SetItemText(dialog, IDC_MESSAGE_EDIT, L"Первое"));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_BAR_SEND, 0), 0);
    ASSERT_TRUE(app.WaitWindowGone(dialog));
    ASSERT_TRUE(WaitHeld(1));
    ASSERT_TRUE(ArmFault(DATA_HOST_ADDRESS, "http_500"));
    EXPECT_EQ(Utf8(TEXT_SERVER_REFUSED), Utf8(SendMessageTo(name, L"Второе")));
    app.MarkStatus();
    ASSERT_TRUE(ReleaseAnswers());
    EXPECT_TRUE(app.WaitStatus(TEXT_MESSAGE_SENT));

    // The refused text stays for him although the other one went out.
    dialog = OpenMessage(name);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ(Utf8(L"Второе"), Utf8(ItemText(dialog, IDC_MESSAGE_EDIT)));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_BAR_CLOSE, 0), 0);
    ASSERT_TRUE(app.WaitWindowGone(dialog));
    app.Command(IDM_MESSAGES);
    HWND list = app.WaitDialog(L"Сообщения");
    ASSERT_TRUE(list != NULL);
    const std::wstring dash = L"    \x2014 ";
    EXPECT_EQ(Utf8(name + L": Второе"), Utf8(ListItem(list, IDC_MESSAGES_LIST, 0)));
    EXPECT_EQ(Utf8(dash + TEXT_SERVER_REFUSED), Utf8(ListItem(list, IDC_MESSAGES_LIST, 1)));
    EXPECT_EQ(Utf8(name + L": Первое"), Utf8(ListItem(list, IDC_MESSAGES_LIST, 2)));
    EXPECT_EQ(Utf8(dash + TEXT_MESSAGE_SENT), Utf8(ListItem(list, IDC_MESSAGES_LIST, 3)));
    PostMessageW(list, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.WaitWindowGone(list));
}

struct ReplyFault {
    const char* name;
    const wchar_t* text;  // the final status text of both sends
};

const ReplyFault REPLY_FAULTS[] = {
    {"not_json", TEXT_SERVER_ANSWER_BAD}, {"no_ok", TEXT_SERVER_ANSWER_BAD},
    {"ok_string", TEXT_SERVER_ANSWER_BAD}, {"no_blank_line", TEXT_SERVER_ANSWER_BAD},
    {"close", TEXT_SERVER_ANSWER_BAD}, {"slow", NULL},  // late, but the answer itself
    {"http_500", TEXT_SERVER_REFUSED},                  // {"ok":1} under a refusing status
};

class ReplyFaultTest : public MessageTest, public testing::WithParamInterface<ReplyFault> { };

TEST_P(ReplyFaultTest, SurvivedWithAClearText)
{
    const ReplyFault& fault = GetParam();
    StartDemo();
    Login();
    ASSERT_GT(LoadedCount(app.CommandAndWait(IDM_REFRESH)), 0);
    ASSERT_TRUE(ArmFault(DATA_HOST_ADDRESS, fault.name, 2));
    const std::wstring message = SendMessageTo(L"Виктор Смирнов", L"Проверка");
    const std::wstring status = SetStatus(L"Проверка статуса");
    EXPECT_EQ(Utf8(fault.text ? fault.text : TEXT_MESSAGE_SENT), Utf8(message));
    EXPECT_EQ(Utf8(fault.text ? fault.text : TEXT_STATUS_SET), Utf8(status));
    ASSERT_TRUE(app.Responsive());
    // Only a status set enters the list of set statuses.
    app.Command(IDM_STATUS);
    HWND dialog = app.WaitDialog(STATUS_TITLE);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ(fault.text ? "" : Utf8(L"Проверка статуса"), Utf8(ListItem(dialog, IDC_STATUS_LIST, 0)));
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.WaitWindowGone(dialog));
    // The next send is served normally.
    EXPECT_EQ(Utf8(TEXT_MESSAGE_SENT), Utf8(SendMessageTo(L"Виктор Смирнов", L"Ещё раз")));
}

INSTANTIATE_TEST_SUITE_P(DataHost, ReplyFaultTest, testing::ValuesIn(REPLY_FAULTS),
    [](const testing::TestParamInfo<ReplyFault>& info) { return std::string(info.param.name); });

}  // namespace
