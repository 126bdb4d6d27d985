// Shared fixture of the end-to-end tests.
#include "e2e_fixture.h"

const char DEMO_EMAIL[] = "demo@socialnet.example";
const char DEMO_PASSWORD[] = "demo123";
const char EMPTY_EMAIL[] = "empty@socialnet.example";
const char EMPTY_PASSWORD[] = "empty";

std::string Utf8(const std::wstring& text)
{
    return ToUtf8(text);
}

void E2eTest::SetUp()
{
    ASSERT_TRUE(ResetEmulator()) << "the emulator does not answer";
}

void E2eTest::TearDown()
{
    if (!app.Running())
        return;
    EXPECT_TRUE(app.Responsive(2000)) << "the window no longer answers at the end of the test";
    DWORD code = 12345;
    const bool ended = app.Close(15000, &code);
    if (m_checkExit) {
        EXPECT_TRUE(ended) << "WM_CLOSE did not end the program";
        if (ended) {
            EXPECT_EQ(0u, code) << "exit code after WM_CLOSE";
        }
    }
}

void E2eTest::StartApp(const std::string& email, const std::string& password)
{
    ASSERT_TRUE(app.StartWithAccount(email, password)) << app.Error();
}

void E2eTest::Login()
{
    ASSERT_EQ(Utf8(TEXT_LOGGED_IN), Utf8(app.CommandAndWait(IDM_CONNECT)));
}

bool E2eTest::LoggedOut()
{
    return app.CommandAndWait(IDM_REFRESH) == TEXT_NOT_LOGGED_IN;
}

std::vector<std::wstring> E2eTest::ServerNames(
    const std::string& act, const std::string& email, const std::string& password)
{
    DirectSession session;
    std::vector<std::string> names;
    EXPECT_TRUE(LoginDirect(email, password, &session));
    EXPECT_TRUE(FetchFriendNames(session, act, &names));
    std::vector<std::wstring> wide;
    for (const std::string& name : names)
        wide.push_back(FromCp1251(name));
    SortLikeListBox(wide);
    return wide;
}

HWND E2eTest::WaitCaptcha(const EmulatorLog& log, std::string* csid)
{
    HWND dialog = app.WaitDialog(CAPTCHA_TITLE, STATUS_WAIT_MS);
    if (!dialog)
        return NULL;
    const std::vector<std::string> pictures = log.RequestsWith("act=captcha");
    EXPECT_EQ(1u, pictures.size()) << "one picture per dialog";
    csid->clear();
    if (!pictures.empty()) {
        EXPECT_TRUE(QueryValue(pictures.back(), "csid", csid)) << pictures.back();
    }
    EXPECT_TRUE(app.CaptchaShowsPicture(dialog)) << "the dialog shows no picture";
    return dialog;
}

std::wstring E2eTest::AnswerCaptcha(HWND dialog, const char* code)
{
    EXPECT_TRUE(app.AnswerCaptcha(dialog, code)) << "the captcha dialog stayed open";
    std::wstring text;
    app.WaitFinalStatus(&text, 30000);
    return text;
}
