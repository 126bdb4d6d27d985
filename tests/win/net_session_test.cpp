#include <gtest/gtest.h>

#include "net_test_harness.h"

#include <string.h>
#include <string>
#include <vector>

#include "net/captcha.h"
#include "net/session.h"
#include "net/status_texts.h"

namespace {

using nettest::RawServer;
using nettest::Reply;
using nettest::StatusLog;

// This program's own loopback address; 127.0.0.71 belongs to the exchange test.
const char SERVER[] = "127.0.0.72";
const char DEAD_SERVER[] = "127.0.0.78";

typedef std::vector<std::wstring> Texts;
const Texts EXCHANGED = {TEXT_COMPOSING, TEXT_SENDING, TEXT_RECEIVING};

Texts Then(Texts texts, const wchar_t* last)
{
    texts.push_back(last);
    return texts;
}

Reply Redirect(const std::string& location, const std::vector<std::string>& cookies = {})
{
    std::string text = "HTTP/1.1 302 Found\r\n";
    if (!location.empty())
        text += "Location: " + location + "\r\n";
    for (const std::string& cookie : cookies)
        text += "Set-Cookie: " + cookie + "\r\n";
    text += "Content-Length: 0\r\nConnection: close\r\n\r\n";
    return {text, nettest::REPLY_AND_CLOSE};
}

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        nettest::CreateTestMainWindow();
        StatusLog().clear();
        g_loggedIn = 0;
        g_captchaDue = 0;
        strcpy(g_sid, "old-sid");
        strcpy(g_remixmid, "old-mid");
        memset(&m_credentials, 0, sizeof(m_credentials));
        strcpy(m_credentials.email, "user@mail.example");
        strcpy(m_credentials.password, "secret");
    }

    DWORD Login(const char* host = SERVER)
    {
        DWORD code = 0;
        EXPECT_TRUE(nettest::RunWorker([&] { code = RunLogin(&m_credentials, host); }));
        return code;
    }

    DWORD Logout(const char* host = SERVER)
    {
        DWORD code = 0;
        EXPECT_TRUE(nettest::RunWorker([&] { code = RunLogout(host); }));
        return code;
    }

    void ExpectSession(BYTE loggedIn, const char* sid, const char* remixmid, const char* why = "")
    {
        EXPECT_EQ(loggedIn, g_loggedIn) << why;
        EXPECT_STREQ(sid, g_sid) << why;
        EXPECT_STREQ(remixmid, g_remixmid) << why;
    }

    Credentials m_credentials;
};

TEST_F(SessionTest, SuccessfulLoginStoresTheSession)
{
    RawServer server(SERVER,
        {Redirect("http://127.0.0.72/index.php?sid=7af3c9",
            {"remixlang=0; path=/", "remixmid=4521; path=/; domain=.socialnet.example"})});
    ASSERT_TRUE(server.Listening());
    EXPECT_EQ(1u, Login());
    ExpectSession(1, "7af3c9", "4521");
    EXPECT_EQ(Then(EXCHANGED, TEXT_LOGGED_IN), StatusLog());

    char sid[SESSION_ID_SIZE];
    char remixmid[SESSION_ID_SIZE];
    ReadSessionIds(sid, remixmid);
    EXPECT_STREQ("7af3c9", sid);
    EXPECT_STREQ("4521", remixmid);

    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("HEAD /auth?login=force&site=2&email=user%40mail%2eexample&pass=secret HTTP/1.1\r\n"
              "Host: 127.0.0.72\r\n"
              "User-Agent: PPC Sorvinta\r\n"
              "Connection: Close\r\n\r\n",
        requests[0]);
}

TEST_F(SessionTest, HexSessionIdBeginningWithALetterLogsIn)
{
    RawServer server(SERVER, {Redirect("/?sid=deadbeef", {"remixmid=12"})});
    ASSERT_TRUE(server.Listening());
    EXPECT_EQ(1u, Login());
    ExpectSession(1, "deadbeef", "12");
    EXPECT_EQ(TEXT_LOGGED_IN, StatusLog().back());
}

TEST_F(SessionTest, RefusalCodesShowTheirTextsAndKeepTheCode)
{
    const struct {
        const char* sid;
        const wchar_t* text;
    } cases[] = {
        {"-4", TEXT_WRONG_PASSWORD},
        {"-3", TEXT_CAPTCHA_NEXT},
        {"-2", TEXT_WRONG_CAPTCHA},
        {"-1", TEXT_LOGIN_FAILED},
    };
    std::vector<Reply> replies;
    for (const auto& c : cases)
        replies.push_back(Redirect(std::string("/index.php?sid=") + c.sid, {"remixmid=9"}));
    RawServer server(SERVER, replies);
    ASSERT_TRUE(server.Listening());
    for (const auto& c : cases) {
        StatusLog().clear();
        g_captchaDue = 0;  // a captcha step would come first after -3 and -2
        EXPECT_EQ(1u, Login()) << c.sid;
        EXPECT_EQ(c.sid[1] == '3' || c.sid[1] == '2', g_captchaDue != 0) << c.sid;
        ExpectSession(0, c.sid, "old-mid", c.sid);
        EXPECT_EQ(Then(EXCHANGED, c.text), StatusLog()) << c.sid;
    }
}

TEST_F(SessionTest, UnusableAnswersStoreNothing)
{
    const struct {
        Reply reply;
        DWORD exitCode;
        const char* why;
    } cases[] = {
        {Redirect("/?sid=" + std::string(260, '5'), {"remixmid=1"}), 1, "sid of 260 bytes"},
        {Redirect("/?sid=12\x01z", {"remixmid=1"}), 1, "control byte in sid"},
        {Redirect("/?sid=12\xE9", {"remixmid=1"}), 1, "byte above 0x7F in sid"},
        {Redirect("/?sid=ab", {"remixmid=" + std::string(300, '7')}), 1, "member id of 300 bytes"},
        {Redirect("/?sid=ab", {"remixmid=7\x7F;"}), 1, "DEL in member id"},
        {Redirect("/index.php", {"remixmid=1"}), 1, "no sid="},
        {Redirect("/?sid=ab", {"uid=1"}), 1, "no remixmid="},
        {Redirect("", {"remixmid=1"}), (DWORD)-1, "no Location"},
        {{"", nettest::REPLY_AND_CLOSE}, (DWORD)-1, "empty answer"},
    };
    std::vector<Reply> replies;
    for (const auto& c : cases)
        replies.push_back(c.reply);
    RawServer server(SERVER, replies);
    ASSERT_TRUE(server.Listening());
    for (const auto& c : cases) {
        StatusLog().clear();
        EXPECT_EQ(c.exitCode, Login()) << c.why;
        ExpectSession(0, "old-sid", "old-mid", c.why);
        EXPECT_EQ(Then(EXCHANGED, TEXT_LOGIN_FAILED), StatusLog()) << c.why;
    }
}

TEST_F(SessionTest, SessionIdsThatALaterRequestCouldNotCarryAreRefused)
{
    // The friend-list request leaves 120 bytes for both ids together.
    const struct {
        std::string sid;
        std::string memberId;
        bool accepted;
    } cases[] = {
        {std::string(116, 'a'), "1001", true},
        {std::string(117, 'a'), "1001", false},
        {"ab", std::string(150, '7'), false},
    };
    std::vector<Reply> replies;
    for (const auto& c : cases)
        replies.push_back(Redirect("/?sid=" + c.sid, {"remixmid=" + c.memberId + ";"}));
    RawServer server(SERVER, replies);
    ASSERT_TRUE(server.Listening());
    for (const auto& c : cases) {
        const std::string why = std::to_string(c.sid.size()) + " + " + std::to_string(c.memberId.size());
        g_loggedIn = 0;
        strcpy(g_sid, "old-sid");
        strcpy(g_remixmid, "old-mid");
        StatusLog().clear();
        const unsigned long session = CurrentSession();
        Login();
        if (c.accepted) {
            ExpectSession(1, c.sid.c_str(), c.memberId.c_str(), why.c_str());
            EXPECT_EQ(session + 1, CurrentSession()) << why;
            EXPECT_EQ(Then(EXCHANGED, TEXT_LOGGED_IN), StatusLog()) << why;
        } else {
            ExpectSession(0, "old-sid", "old-mid", why.c_str());
            EXPECT_EQ(session, CurrentSession()) << why;
            EXPECT_EQ(Then(EXCHANGED, TEXT_SESSION_IDS_TOO_LONG), StatusLog()) << why;
        }
    }
}

TEST_F(SessionTest, OnlyLoginAndLogoutSuccessesAdvanceTheSession)
{
    RawServer server(SERVER,
        {Redirect("/?sid=-4"), Redirect("/?sid=s1", {"remixmid=1"}), Redirect("/login.php"),
            Redirect("/index.html"), Redirect("/?sid=s2", {"remixmid=2"})});
    ASSERT_TRUE(server.Listening());
    const unsigned long start = CurrentSession();
    const struct {
        bool login;
        unsigned long advanced;
    } steps[] = {{true, 0}, {true, 1}, {false, 1}, {false, 2}, {true, 3}};
    for (const auto& step : steps) {
        step.login ? Login() : Logout();
        EXPECT_EQ(start + step.advanced, CurrentSession());
    }
    char sid[SESSION_ID_SIZE];
    char memberId[SESSION_ID_SIZE];
    unsigned long session = 0;
    EXPECT_TRUE(ReadSession(sid, memberId, &session));
    EXPECT_STREQ("s2", sid);
    EXPECT_STREQ("2", memberId);
    EXPECT_EQ(start + 3, session);
}

TEST_F(SessionTest, OneLoginOrLogoutAtATime)
{
    ASSERT_EQ(SessionWorkNone, SessionWorkUnderWay());
    ASSERT_TRUE(ClaimSessionWork(SessionWorkLogout));
    EXPECT_FALSE(ClaimSessionWork(SessionWorkLogin));
    EXPECT_FALSE(ClaimSessionWork(SessionWorkLogout));
    EXPECT_EQ(SessionWorkLogout, SessionWorkUnderWay());
    EXPECT_STREQ(TEXT_DISCONNECTING, SessionWorkText(SessionWorkLogout));
    EXPECT_STREQ(TEXT_CONNECTING, SessionWorkText(SessionWorkLogin));
    // The worker gives the slot back before its last text: a tap that
    // follows the text finds the next login free to start.
    std::vector<SessionWork> atText;
    nettest::OnStatusText() = [&] { atText.push_back(SessionWorkUnderWay()); };
    ASSERT_TRUE(nettest::RunWorker([] { LogoutThread(NULL); }));
    nettest::OnStatusText() = nullptr;
    EXPECT_EQ(Texts({TEXT_NOT_LOGGED_IN}), StatusLog());
    EXPECT_EQ(std::vector<SessionWork>({SessionWorkNone}), atText);
    EXPECT_EQ(SessionWorkUnderWay(), SessionWorkNone);
    EXPECT_TRUE(ClaimSessionWork(SessionWorkLogin));
    ReleaseSessionWork();
}

struct WireLogin {
    const char* why;
    std::string answer;
    const char* sid;  // NULL: nothing stored
    const char* remixmid;
};

TEST_F(SessionTest, LoginAnswersAsServersWriteThem)
{
    const std::string found = "HTTP/1.1 302 Found\r\n";
    const WireLogin cases[] = {
        {"lower-case names, kept open after the blank line",
            found + "location: /?sid=ab1\r\nset-cookie: remixmid=31\r\ncontent-length: 154\r\n\r\n", "ab1",
            "31"},
        {"a tab before the values", found + "Location:\t/?sid=ab2\t\r\nSet-Cookie:\tremixmid=32\r\n\r\n",
            "ab2", "32"},
        {"two cookies, the first without attributes",
            found + "Location: /?sid=ab3\r\nSet-Cookie: remixlang=0\r\nSet-Cookie: remixmid=33\r\n\r\n",
            "ab3", "33"},
        {"sid among other parameters",
            found + "Location: /login.php?err=0&sid=ab4&x=1#top\r\nSet-Cookie: remixmid=34\r\n\r\n", "ab4",
            "34"},
        {"Location only in the body of a 200",
            "HTTP/1.1 200 OK\r\n\r\nLocation: /?sid=ab5\r\nSet-Cookie: remixmid=35\r\n", NULL, NULL},
        {"a parameter ending in sid",
            found + "Location: /?err=1&nosid=abc\r\nSet-Cookie: remixmid=36\r\n\r\n", NULL, NULL},
        {"sid in the fragment", found + "Location: /index.php#sid=abc\r\nSet-Cookie: remixmid=37\r\n\r\n",
            NULL, NULL},
        {"a cookie whose name ends in remixmid",
            found + "Location: /?sid=ab8\r\nSet-Cookie: xremixmid=38\r\n\r\n", NULL, NULL},
        {"remixmid inside another cookie",
            found + "Location: /?sid=ab9\r\nSet-Cookie: other=remixmid=39\r\n\r\n", NULL, NULL},
    };
    std::vector<Reply> replies;
    for (const WireLogin& c : cases)
        replies.push_back({c.answer, nettest::REPLY_AND_HOLD});
    RawServer server(SERVER, replies);
    ASSERT_TRUE(server.Listening());
    for (const WireLogin& c : cases) {
        StatusLog().clear();
        g_loggedIn = 0;
        strcpy(g_sid, "old-sid");
        strcpy(g_remixmid, "old-mid");
        const DWORD start = GetTickCount();
        Login();
        EXPECT_LT(GetTickCount() - start, 5000u) << c.why << ": waited for the server to close";
        if (c.sid) {
            ExpectSession(1, c.sid, c.remixmid, c.why);
            EXPECT_EQ(Then(EXCHANGED, TEXT_LOGGED_IN), StatusLog()) << c.why;
        } else {
            ExpectSession(0, "old-sid", "old-mid", c.why);
            EXPECT_EQ(Then(EXCHANGED, TEXT_LOGIN_FAILED), StatusLog()) << c.why;
        }
    }
}

TEST_F(SessionTest, FailedExchangeReplacesItsTextWithTheLoginFailure)
{
    EXPECT_EQ((DWORD)-1, Login(DEAD_SERVER));
    ExpectSession(0, "old-sid", "old-mid");
    EXPECT_EQ(Texts({TEXT_COMPOSING, TEXT_CONNECT_FAILED, TEXT_LOGIN_FAILED}), StatusLog());
}

TEST_F(SessionTest, CredentialsAreEncodedInTheRequestLine)
{
    RawServer server(SERVER, {Redirect("/?sid=-4")});
    ASSERT_TRUE(server.Listening());
    strcpy(m_credentials.email, "a&b c@x.ru");
    strcpy(m_credentials.password, "p+%#\r\nX: 1&site=9");
    Login();
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(
        "HEAD /auth?login=force&site=2&email=a%26b%20c%40x%2eru&pass=p%2b%25%23%0d%0aX%3a%201%26site%3d9 "
        "HTTP/1.1\r\n"
        "Host: 127.0.0.72\r\n"
        "User-Agent: PPC Sorvinta\r\n"
        "Connection: Close\r\n\r\n",
        requests[0]);
}

TEST_F(SessionTest, TheLongestCredentialsLogInWithACaptchaDue)
{
    const std::string gif = "GIF89a" + std::string(100, 'x');
    RawServer server(SERVER,
        {{"HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\nContent-Length: 106\r\n\r\n" + gif,
             nettest::REPLY_AND_CLOSE},
            Redirect("/?sid=-3")});
    ASSERT_TRUE(server.Listening());
    // Every byte encodes to three, and a field filled to the brim without a
    // terminator is read within its bounds.
    memset(m_credentials.email, '\xe9', sizeof(m_credentials.email));
    memset(m_credentials.password, ' ', sizeof(m_credentials.password) - 1);
    m_credentials.password[sizeof(m_credentials.password) - 1] = '\0';
    g_captchaDue = 1;
    std::string shown;
    nettest::OnAppMessage() = [&](UINT message, LPARAM lParam) -> LRESULT {
        CaptchaPrompt* prompt = (CaptchaPrompt*)lParam;
        if (message != WM_CAPTCHA_PROMPT || !prompt)
            return 0;
        shown = prompt->picture;
        strcpy(prompt->code, "k7x4");
        prompt->answer = CaptchaTyped;
        return 0;
    };
    DWORD code = 0;
    EXPECT_TRUE(nettest::RunWorker([&] { code = RunLogin(&m_credentials, SERVER, SERVER); }));
    nettest::OnAppMessage() = nullptr;
    EXPECT_EQ(1u, code);
    EXPECT_EQ(gif, shown);
    EXPECT_EQ(TEXT_CAPTCHA_NEXT, StatusLog().back());
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(0u, requests[0].find("GET /data?act=captcha&csid="));
    std::string email;
    for (int i = 0; i < CREDENTIAL_FIELD_SIZE; ++i)
        email += "%e9";
    EXPECT_EQ(0u, requests[1].find("HEAD /auth?login=force&site=2&email=" + email + "&pass=%20%20"));
    EXPECT_NE(std::string::npos, requests[1].find("%20&csid=")) << requests[1];
    EXPECT_NE(std::string::npos, requests[1].find("&ccode=k7x4 HTTP/1.1\r\n"));
}

TEST_F(SessionTest, ASavedOtherEmailEndsTheLoginCaptcha)
{
    RawServer server(SERVER, {Redirect("/?sid=-3")});
    ASSERT_TRUE(server.Listening());
    StoreCredentials(g_credentials, "first@mail.example", "secret");
    g_captchaDue = 1;
    StoreCredentials(g_credentials, "first@mail.example", "other");
    EXPECT_NE(0, g_captchaDue) << "the same e-mail keeps its captcha";
    const LONG before = LoginCaptchaEpoch();
    StoreCredentials(g_credentials, "second@mail.example", "other");
    EXPECT_EQ(0, g_captchaDue);
    // A login of the old e-mail under way meanwhile does not bring it back.
    g_captchaDue = 0;
    EXPECT_TRUE(nettest::RunWorker([&] { RunLogin(&m_credentials, SERVER, SERVER, before); }));
    EXPECT_EQ(TEXT_CAPTCHA_NEXT, StatusLog().back());
    EXPECT_EQ(0, g_captchaDue);
}

TEST_F(SessionTest, LogoutWhileLoggedOutMakesNoExchange)
{
    RawServer server(SERVER, {Redirect("/index.html")});
    ASSERT_TRUE(server.Listening());
    EXPECT_EQ((DWORD)-1, Logout());
    // The thread routine takes the same path without touching the network.
    DWORD code = 0;
    ASSERT_TRUE(nettest::RunWorker([&] { code = LogoutThread(NULL); }));
    EXPECT_EQ((DWORD)-1, code);
    EXPECT_EQ(Texts({TEXT_NOT_LOGGED_IN, TEXT_NOT_LOGGED_IN}), StatusLog());
    Sleep(200);
    EXPECT_EQ(0, server.Accepted());
}

TEST_F(SessionTest, LogoutNeedsTheIndexPage)
{
    RawServer server(SERVER,
        {Redirect("http://127.0.0.72/login.php"), Redirect(""), Redirect("http://127.0.0.72/index.html")});
    ASSERT_TRUE(server.Listening());
    g_loggedIn = 1;
    strcpy(g_sid, "s1d");
    strcpy(g_remixmid, "55");

    EXPECT_EQ((DWORD)-1, Logout());
    EXPECT_EQ(Then(EXCHANGED, TEXT_LOGOUT_FAILED), StatusLog());
    ExpectSession(1, "s1d", "55", "other Location");

    StatusLog().clear();
    EXPECT_EQ((DWORD)-1, Logout());
    EXPECT_EQ(Then(EXCHANGED, TEXT_LOGOUT_FAILED), StatusLog());
    ExpectSession(1, "s1d", "55", "no Location");

    StatusLog().clear();
    EXPECT_EQ(1u, Logout());
    EXPECT_EQ(Then(EXCHANGED, TEXT_LOGGED_OUT), StatusLog());
    ExpectSession(0, "s1d", "55", "the ids stay for the next login to overwrite");

    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ("HEAD /auth?login=logout&site=2&sid=s1d HTTP/1.1\r\n"
              "Host: 127.0.0.72\r\n"
              "User-Agent: PPC Sorvinta\r\n"
              "Connection: Close\r\n\r\n",
        requests[2]);
}

TEST_F(SessionTest, LogoutThatCannotReachTheServerStaysLoggedIn)
{
    g_loggedIn = 1;
    EXPECT_EQ((DWORD)-1, Logout(DEAD_SERVER));
    EXPECT_EQ(Texts({TEXT_COMPOSING, TEXT_CONNECT_FAILED, TEXT_LOGOUT_FAILED}), StatusLog());
    EXPECT_EQ(1, g_loggedIn);
}

TEST_F(SessionTest, LogoutRequestThatWouldNotFitIsNotSent)
{
    RawServer server(SERVER, {Redirect("/index.html")});
    ASSERT_TRUE(server.Listening());
    g_loggedIn = 1;
    memset(g_sid, 's', 200);
    g_sid[200] = '\0';
    EXPECT_EQ((DWORD)-1, Logout());
    EXPECT_EQ(Texts({TEXT_LOGOUT_FAILED}), StatusLog());
    EXPECT_EQ(1, g_loggedIn);
    Sleep(200);
    EXPECT_EQ(0, server.Accepted());
}

TEST_F(SessionTest, LoginAfterLogoutOverwritesTheIds)
{
    RawServer server(SERVER,
        {Redirect("/?sid=first", {"remixmid=1"}), Redirect("/index.html"),
            Redirect("/?sid=second", {"remixmid=2;"})});
    ASSERT_TRUE(server.Listening());
    EXPECT_EQ(1u, Login());
    ExpectSession(1, "first", "1");
    EXPECT_EQ(1u, Logout());
    ExpectSession(0, "first", "1");
    EXPECT_EQ(1u, Login());
    ExpectSession(1, "second", "2");
    EXPECT_EQ("HEAD /auth?login=logout&site=2&sid=first HTTP/1.1\r\n"
              "Host: 127.0.0.72\r\n"
              "User-Agent: PPC Sorvinta\r\n"
              "Connection: Close\r\n\r\n",
        server.Requests()[1]);
}

}  // namespace
