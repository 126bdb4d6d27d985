// Workers under hostile use: answers that arrive together or late, a list
// that outlives its session, connect tapped ten times, session ids at the
// bound of the requests, settings.txt as people edit it, a second start while
// the window is hidden.
#include "e2e_fixture.h"

namespace {

const char BENCH250_EMAIL[] = "bench250@socialnet.example";
const char BENCH_PASSWORD[] = "bench";

class WorkersTest : public E2eTest {
protected:
    // The program's threads with no worker running, once the last one has gone.
    int IdleThreads()
    {
        int fewest = app.ThreadCount();
        for (int i = 0; i < 40; ++i) {
            const int now = app.ThreadCount();
            if (now < fewest)
                fewest = now;
        }
        return fewest;
    }

    // Posts the commands at once, as quick taps would.
    void Taps(const std::vector<WORD>& commands)
    {
        for (WORD command : commands)
            app.Command(command);
    }
};

TEST_F(WorkersTest, TwoAnswersArrivingTogetherGiveOneWholeList)
{
    StartApp(BENCH250_EMAIL, BENCH_PASSWORD);
    Login();
    app.Command(IDM_ALL_ONLINE);
    const int idle = IdleThreads();
    ASSERT_TRUE(HoldAnswers(DATA_HOST_ADDRESS, 2));
    app.MarkStatus();
    Taps({IDM_REFRESH, IDM_REFRESH});
    ASSERT_TRUE(WaitHeld(2)) << "both requests should be waiting for their answers";
    ASSERT_TRUE(ReleaseAnswers());
    std::wstring text;
    ASSERT_TRUE(app.WaitFinalStatus(&text));
    EXPECT_EQ(250, LoadedCount(text)) << Utf8(text);
    ASSERT_TRUE(app.WaitThreadsAtMost(idle, 30000)) << "a worker is still running";
    EXPECT_EQ(ServerNames("friends", BENCH250_EMAIL, BENCH_PASSWORD), app.ListRows());
    EXPECT_EQ(250, LoadedCount(app.StatusText())) << Utf8(app.StatusText());
}

TEST_F(WorkersTest, FiveRefreshesWithTogglesEndWithTheLastKindWhole)
{
    StartDemo();
    Login();
    const int idle = IdleThreads();
    ASSERT_TRUE(HoldAnswers(DATA_HOST_ADDRESS, 5));
    app.MarkStatus();
    // all, online, all, online, all: the last one asked for is "all".
    Taps({IDM_ALL_ONLINE, IDM_REFRESH, IDM_ALL_ONLINE, IDM_REFRESH, IDM_ALL_ONLINE, IDM_REFRESH,
        IDM_ALL_ONLINE, IDM_REFRESH, IDM_ALL_ONLINE, IDM_REFRESH});
    ASSERT_TRUE(WaitHeld(5));
    ASSERT_TRUE(ReleaseAnswers());
    std::wstring text;
    ASSERT_TRUE(app.WaitFinalStatus(&text));
    ASSERT_TRUE(app.WaitThreadsAtMost(idle, 30000)) << "a worker is still running";
    const std::vector<std::wstring> all = ServerNames("friends", DEMO_EMAIL, DEMO_PASSWORD);
    EXPECT_EQ(all, app.ListRows());
    EXPECT_EQ((int)all.size(), LoadedCount(app.StatusText())) << Utf8(app.StatusText());
}

TEST_F(WorkersTest, ASlowOlderAnswerDoesNotOverwriteANewerList)
{
    StartDemo();
    Login();
    const int idle = IdleThreads();
    app.Command(IDM_ALL_ONLINE);
    ASSERT_TRUE(ArmFault(DATA_HOST_ADDRESS, "slow"));
    app.MarkStatus();
    EmulatorLog log;
    app.Command(IDM_REFRESH);  // all friends, 5 s late
    WaitFor([&] { return !log.RequestsWith("act=friends&").empty(); }, STATUS_WAIT_MS);
    ASSERT_EQ(1u, log.RequestsWith("act=friends&").size()) << "the slow request must be the first";
    app.Command(IDM_ALL_ONLINE);
    app.Command(IDM_REFRESH);  // online friends, at once
    std::wstring text;
    ASSERT_TRUE(app.WaitFinalStatus(&text));
    const int online = LoadedCount(text);
    ASSERT_GE(online, 0) << Utf8(text);
    const std::vector<std::wstring> rows = app.ListRows();
    ASSERT_TRUE(app.WaitThreadsAtMost(idle, 20000)) << "the slow worker is still running";
    EXPECT_EQ(rows, app.ListRows());
    EXPECT_EQ(online, LoadedCount(app.StatusText())) << Utf8(app.StatusText());
    EXPECT_LT(online, (int)ServerNames("friends", DEMO_EMAIL, DEMO_PASSWORD).size());
}

struct SessionEnd {
    const char* name;
    bool loginAgain;
};

const SessionEnd SESSION_ENDS[] = {{"logout", false}, {"logout_and_new_login", true}};

class ListOutlivesSession : public WorkersTest, public testing::WithParamInterface<SessionEnd> { };

TEST_P(ListOutlivesSession, TheLateListIsDroppedAndTheSessionTextStays)
{
    StartDemo();
    Login();
    app.Command(IDM_ALL_ONLINE);
    ASSERT_GT(LoadedCount(app.CommandAndWait(IDM_REFRESH)), 0);
    const std::vector<std::wstring> before = app.ListRows();
    const int idle = IdleThreads();

    // A refresh of the online list, held until the session has ended.
    app.Command(IDM_ALL_ONLINE);
    ASSERT_TRUE(HoldAnswers(DATA_HOST_ADDRESS, 1));
    app.MarkStatus();
    app.Command(IDM_REFRESH);
    ASSERT_TRUE(WaitHeld(1));
    ASSERT_TRUE(app.WaitStatus(TEXT_RECEIVING));  // the worker's last text before its answer
    ASSERT_EQ(Utf8(TEXT_LOGGED_OUT), Utf8(app.CommandAndWait(IDM_CONNECT)));
    const wchar_t* last = TEXT_LOGGED_OUT;
    if (GetParam().loginAgain) {
        ASSERT_EQ(Utf8(TEXT_LOGGED_IN), Utf8(app.CommandAndWait(IDM_CONNECT)));
        last = TEXT_LOGGED_IN;
    }
    ASSERT_TRUE(ReleaseAnswers());
    ASSERT_TRUE(app.WaitThreadsAtMost(idle, 30000)) << "the refresh worker is still running";
    EXPECT_EQ(before, app.ListRows());
    EXPECT_EQ(Utf8(last), Utf8(app.StatusText()));
}

INSTANTIATE_TEST_SUITE_P(Sessions, ListOutlivesSession, testing::ValuesIn(SESSION_ENDS),
    [](const testing::TestParamInfo<SessionEnd>& info) { return std::string(info.param.name); });

TEST_F(WorkersTest, TenQuickConnectsSendOneLoginAndTenMoreOneLogout)
{
    StartDemo();
    const int sessions = EmulatorStateValue("sessions");
    const struct {
        const wchar_t* underWay;
        const wchar_t* outcome;
        const char* login;
        int sessionsAfter;
    } rounds[] = {
        {TEXT_CONNECTING, TEXT_LOGGED_IN, "login=force", sessions + 1},
        {TEXT_DISCONNECTING, TEXT_LOGGED_OUT, "login=logout", sessions},
    };
    for (const auto& round : rounds) {
        EmulatorLog log;
        ASSERT_TRUE(HoldAnswers(LOGIN_HOST_ADDRESS, 1));
        app.MarkStatus();
        Taps(std::vector<WORD>(10, IDM_CONNECT));
        ASSERT_TRUE(WaitHeld(1));
        // Once the worker waits for its answer it shows nothing more: one
        // more tap must say what is under way.
        WaitFor([&] { return app.StatusText() == TEXT_RECEIVING || app.StatusText() == round.underWay; },
            STATUS_WAIT_MS);
        app.Command(IDM_CONNECT);
        EXPECT_TRUE(app.WaitStatus(round.underWay)) << Utf8(app.StatusText());
        ASSERT_TRUE(ReleaseAnswers());
        EXPECT_TRUE(app.WaitStatus(round.outcome)) << Utf8(app.StatusText());
        const std::vector<std::string> requests = log.RequestsWith("/auth?");
        ASSERT_EQ(1u, requests.size());
        EXPECT_NE(std::string::npos, requests[0].find(round.login)) << requests[0];
        EXPECT_EQ(round.sessionsAfter, EmulatorStateValue("sessions"));
    }
    EXPECT_TRUE(LoggedOut());
}

struct IdsCase {
    int sidLength;
    int memberIdDigits;
    bool accepted;
};

// The friend-list request leaves 120 bytes for both ids together.
const IdsCase IDS[] = {{116, 4, true}, {117, 4, false}, {32, 88, true}, {32, 89, false}, {136, 4, false}};

class SessionIds : public WorkersTest, public testing::WithParamInterface<IdsCase> { };

TEST_P(SessionIds, AtTheBoundTheSessionWorksOnePastItIsRefused)
{
    const IdsCase& c = GetParam();
    StartDemo();
    ASSERT_TRUE(SizeNextIds(c.sidLength, c.memberIdDigits));
    const std::wstring text = app.CommandAndWait(IDM_CONNECT);
    if (!c.accepted) {
        EXPECT_EQ(Utf8(TEXT_SESSION_IDS_TOO_LONG), Utf8(text));
        EXPECT_TRUE(LoggedOut());
        return;
    }
    ASSERT_EQ(Utf8(TEXT_LOGGED_IN), Utf8(text));
    app.Command(IDM_ALL_ONLINE);
    EXPECT_EQ((int)ServerNames("friends", DEMO_EMAIL, DEMO_PASSWORD).size(),
        LoadedCount(app.CommandAndWait(IDM_REFRESH)));
    EmulatorLog log;
    EXPECT_EQ(Utf8(TEXT_LOGGED_OUT), Utf8(app.CommandAndWait(IDM_CONNECT)));
    std::string sid;
    const std::vector<std::string> logouts = log.RequestsWith("login=logout");
    ASSERT_EQ(1u, logouts.size());
    ASSERT_TRUE(QueryValue(logouts[0], "sid", &sid));
    EXPECT_EQ((size_t)c.sidLength, sid.size());
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, SessionIds, testing::ValuesIn(IDS), [](const testing::TestParamInfo<IdsCase>& info) {
        return "sid" + std::to_string(info.param.sidLength) + "_mid"
            + std::to_string(info.param.memberIdDigits);
    });

struct SettingsCase {
    const char* name;
    std::string bytes;       // settings.txt; none for the folder case
    bool folder;             // a folder named settings.txt instead
    const wchar_t* problem;  // null: it logs in
};

const std::string HEADER = "[socialnet.example]";
const char WITH_NUL[] = "[socialnet.example]\r\nemail=demo@socialnet.example\0\r\npassword=demo123\r\n";
const SettingsCase SETTINGS[] = {
    {"lf_only", HEADER + "\nemail=demo@socialnet.example\npassword=demo123\n", false, nullptr},
    {"mixed", HEADER + "\r\nemail=demo@socialnet.example\npassword=demo123", false, nullptr},
    {"too_large",
        SettingsText(DEMO_EMAIL, DEMO_PASSWORD)
            + std::string(64 * 1024 + 1 - SettingsText(DEMO_EMAIL, DEMO_PASSWORD).size(), ' '),
        false, L"Файл settings.txt слишком большой"},
    {"value_too_long", SettingsText(std::string(260, 'e'), DEMO_PASSWORD), false,
        L"Слишком длинное значение в settings.txt: введите заново «Email»"},
    {"nul_byte", std::string(WITH_NUL, sizeof(WITH_NUL) - 1), false,
        L"settings.txt испорчен: нулевой байт: введите заново «Email»"},
    {"cr_only", HEADER + "\remail=demo@socialnet.example\rpassword=demo123\r", false,
        L"В settings.txt строки разделены одним CR"},
    {"no_email", HEADER + "\r\npassword=demo123\r\n", false, L"В settings.txt не указан email"},
    {"unreadable", std::string(), true, L"Не удалось прочитать settings.txt"},
};

class SettingsFiles : public WorkersTest, public testing::WithParamInterface<SettingsCase> { };

TEST_P(SettingsFiles, LogInOrSayWhatIsWrongWithoutSendingAnything)
{
    const SettingsCase& c = GetParam();
    ASSERT_TRUE(c.folder ? app.StartWithSettingsFolder() : app.Start(c.bytes)) << app.Error();
    if (!c.problem) {
        EXPECT_EQ(Utf8(TEXT_NOT_LOGGED_IN_AT_START), Utf8(app.StatusText()));
        Login();
        return;
    }
    EXPECT_EQ(Utf8(c.problem), Utf8(app.StatusText())) << "at start";
    EmulatorLog log;
    EXPECT_EQ(Utf8(c.problem), Utf8(app.CommandAndWait(IDM_CONNECT)));
    EXPECT_TRUE(log.RequestsWith("/auth").empty()) << "a login went out";
    EXPECT_EQ("0/0 кб", Utf8(app.ControlText(IDC_TRAFFIC_LABEL)));
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsFiles, testing::ValuesIn(SETTINGS),
    [](const testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.name); });

TEST_F(WorkersTest, ASecondStartShowsTheHiddenWindow)
{
    StartDemo();
    app.Command(IDM_MINIMISE);
    ASSERT_TRUE(app.WaitMainVisible(false));
    DWORD code = 12345;
    ASSERT_TRUE(app.StartSecondInstance(15000, &code)) << "the second process did not end";
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(app.WaitMainVisible(true)) << "the hidden window stayed hidden";
    EXPECT_EQ(1, CountMainWindows());
}

}  // namespace
