// Login and logout against the emulator: the demo account, refusals, every
// fault of the login host, and what goes on the wire.
#include "e2e_fixture.h"

#include <algorithm>

namespace {

// An account of this folder's data file: every byte that must be encoded.
const char SPECIAL_EMAIL[] = "a+b&c%d#e=f@socialnet.example";
const char SPECIAL_PASSWORD[] = "p&q+r%25#s=t";

class LoginTest : public E2eTest { };

TEST_F(LoginTest, DemoLoginThroughTheMenuThenLogout)
{
    StartDemo();
    app.MarkStatus();
    ASSERT_TRUE(app.ChooseFromSoftKey(SOFTKEY_RIGHT, IDM_CONNECT));
    std::wstring text;
    app.WaitFinalStatus(&text);
    ASSERT_EQ(Utf8(TEXT_LOGGED_IN), Utf8(text));
    const std::wstring traffic = app.ControlText(IDC_TRAFFIC_LABEL);
    EXPECT_NE("0/0 кб", Utf8(traffic));
    EXPECT_NE(std::wstring::npos, traffic.find(L" кб")) << Utf8(traffic);

    // While logged in the same command logs out.
    EXPECT_EQ(Utf8(TEXT_LOGGED_OUT), Utf8(app.CommandAndWait(IDM_CONNECT)));
    EXPECT_TRUE(LoggedOut());
    // And in again.
    EXPECT_EQ(Utf8(TEXT_LOGGED_IN), Utf8(app.CommandAndWait(IDM_CONNECT)));
    EXPECT_FALSE(LoggedOut());
}

TEST_F(LoginTest, LoginAndLogoutRequestsCarryTheSession)
{
    StartDemo();
    EmulatorLog log;
    Login();
    std::vector<std::string> logins = log.RequestsWith("/auth?");
    ASSERT_EQ(1u, logins.size());
    std::string value;
    ASSERT_TRUE(QueryValue(logins[0], "login", &value));
    EXPECT_EQ("force", value);
    ASSERT_TRUE(QueryValue(logins[0], "email", &value));
    EXPECT_EQ(DEMO_EMAIL, DecodeQueryValue(value));
    ASSERT_TRUE(QueryValue(logins[0], "pass", &value));
    EXPECT_EQ(DEMO_PASSWORD, DecodeQueryValue(value));
    EXPECT_EQ(0u, logins[0].find("HEAD ")) << logins[0];

    log.Mark();
    EXPECT_EQ(Utf8(TEXT_LOGGED_OUT), Utf8(app.CommandAndWait(IDM_CONNECT)));
    std::vector<std::string> logouts = log.RequestsWith("/auth?");
    ASSERT_EQ(1u, logouts.size());
    ASSERT_TRUE(QueryValue(logouts[0], "login", &value));
    EXPECT_EQ("logout", value);
    ASSERT_TRUE(QueryValue(logouts[0], "sid", &value));
    EXPECT_EQ(32u, value.size()) << logouts[0];
    EXPECT_EQ(std::string::npos, value.find_first_not_of("0123456789abcdef")) << logouts[0];
}

struct LoginFault {
    const char* name;
    const wchar_t* text;  // the final status text
    bool loggedIn;        // the answer still carries a usable session
};

const LoginFault LOGIN_FAULTS[] = {
    {"close", TEXT_LOGIN_FAILED, false},
    // Every header line arrives whole, only the blank line is missing: the
    // parser reads all complete lines, so Location and cookie are there.
    {"no_blank_line", TEXT_LOGGED_IN, true},
    {"slow", TEXT_LOGGED_IN, true},
    {"reset", TEXT_LOGIN_FAILED, false},
    {"no_sid", TEXT_LOGIN_FAILED, false},
    {"long_sid", TEXT_LOGIN_FAILED, false},
    {"no_remixmid", TEXT_LOGIN_FAILED, false},
    {"bad_byte_sid", TEXT_LOGIN_FAILED, false},
};

class LoginFaultTest : public E2eTest, public testing::WithParamInterface<LoginFault> { };

TEST_P(LoginFaultTest, EndsOnItsTextWithTheWindowAnswering)
{
    const LoginFault& fault = GetParam();
    StartDemo();
    ASSERT_TRUE(ArmFault(LOGIN_HOST_ADDRESS, fault.name));

    app.MarkStatus();
    app.Command(IDM_CONNECT);
    // The exchange runs on a worker: the window answers all the while. The
    // exchange's own failure text comes first, so wait for the worker's.
    const DWORD start = GetTickCount();
    bool answered = true;
    while (!app.WaitStatus(fault.text, 50) && GetTickCount() - start < STATUS_WAIT_MS) {
        if (!app.Responsive(1000))
            answered = false;
    }
    EXPECT_TRUE(answered) << "the window did not answer within 1 s during the login";
    EXPECT_EQ(Utf8(fault.text), Utf8(app.StatusText()));
    Sleep(300);
    EXPECT_EQ(Utf8(fault.text), Utf8(app.StatusText())) << "a later text replaced the outcome";
    EXPECT_EQ(!fault.loggedIn, LoggedOut());

    if (!fault.loggedIn) {
        // The fault is spent: the next attempt logs in.
        EXPECT_EQ(Utf8(TEXT_LOGGED_IN), Utf8(app.CommandAndWait(IDM_CONNECT)));
        EXPECT_FALSE(LoggedOut());
    }
}

INSTANTIATE_TEST_SUITE_P(LoginHost, LoginFaultTest, testing::ValuesIn(LOGIN_FAULTS),
    [](const testing::TestParamInfo<LoginFault>& info) { return std::string(info.param.name); });

TEST_F(LoginTest, SpecialCharactersArriveEncodedAndLogIn)
{
    StartApp(SPECIAL_EMAIL, SPECIAL_PASSWORD);
    EmulatorLog log;
    EXPECT_EQ(Utf8(TEXT_LOGGED_IN), Utf8(app.CommandAndWait(IDM_CONNECT)));

    std::vector<std::string> logins = log.RequestsWith("/auth?");
    ASSERT_EQ(1u, logins.size());
    const std::string& line = logins[0];
    // Nothing of the values may split the query or end the target.
    const std::string::size_type target = line.find('/');
    const std::string::size_type version = line.rfind(" HTTP/1.1");
    ASSERT_NE(std::string::npos, target);
    ASSERT_NE(std::string::npos, version);
    const std::string query = line.substr(target, version - target);
    EXPECT_EQ(std::string::npos, query.find_first_of(" #+")) << line;
    EXPECT_EQ(3, (int)std::count(query.begin(), query.end(), '&')) << line;
    std::string value;
    ASSERT_TRUE(QueryValue(line, "email", &value));
    EXPECT_EQ(SPECIAL_EMAIL, DecodeQueryValue(value)) << line;
    ASSERT_TRUE(QueryValue(line, "pass", &value));
    EXPECT_EQ(SPECIAL_PASSWORD, DecodeQueryValue(value)) << line;

    EXPECT_FALSE(LoggedOut());
}

TEST_F(LoginTest, TheLongestCredentialsTheSettingsKeepGoOutWhole)
{
    // 259 bytes each, the password's every byte encoded to three.
    const std::string email = std::string(241, 'a') + "@socialnet.example";
    const std::string password(259, '\xe9');
    StartApp(email, password);
    EmulatorLog log;
    EXPECT_EQ(Utf8(TEXT_WRONG_PASSWORD), Utf8(app.CommandAndWait(IDM_CONNECT)));
    const std::vector<std::string> logins = log.RequestsWith("/auth?login=force");
    ASSERT_EQ(1u, logins.size());
    std::string value;
    ASSERT_TRUE(QueryValue(logins[0], "email", &value));
    EXPECT_EQ(email, DecodeQueryValue(value));
    ASSERT_TRUE(QueryValue(logins[0], "pass", &value));
    EXPECT_EQ(password, DecodeQueryValue(value));
}

}  // namespace
