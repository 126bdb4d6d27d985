// The captcha step of a login against the emulator: two wrong passwords,
// then a picture before every login until one with the right code and
// password; a picture that never comes whole; the program ended while the
// dialog is open.
#include "e2e_fixture.h"

#include <atomic>
#include <thread>

namespace {

const char WRONG_PASSWORD[] = "wrong-password";
const wchar_t SETTINGS_TITLE[] = L"Настройки";
// Never drawn: the emulator's pictures have no O.
const char WRONG_CODE[] = "WRONG";

// Two threads spinning beside the test, a minute at the most.
class BusyLoad {
public:
    BusyLoad()
    {
        for (int i = 0; i < 2; ++i)
            m_threads.emplace_back([this] {
                for (const DWORD end = GetTickCount() + 60000; !m_stop && (LONG)(end - GetTickCount()) > 0;) {
                }
            });
    }
    ~BusyLoad() { Stop(); }
    void Stop()
    {
        m_stop = true;
        for (std::thread& t : m_threads)
            t.join();
        m_threads.clear();
    }

private:
    std::atomic<bool> m_stop {false};
    std::vector<std::thread> m_threads;
};

class CaptchaTest : public E2eTest {
protected:
    // The two wrong logins after which this e-mail needs a captcha.
    void StartCaptchaDue()
    {
        StartApp(DEMO_EMAIL, WRONG_PASSWORD);
        ASSERT_EQ(Utf8(TEXT_WRONG_PASSWORD), Utf8(app.CommandAndWait(IDM_CONNECT)));
        ASSERT_EQ(Utf8(TEXT_CAPTCHA_NEXT), Utf8(app.CommandAndWait(IDM_CONNECT)));
    }

    // "Подключиться" up to the captcha dialog; *code is the picture's code.
    HWND ConnectToCaptcha(std::string* csid, std::string* code)
    {
        log.Mark();
        app.Command(IDM_CONNECT);
        HWND dialog = WaitCaptcha(log, csid);
        EXPECT_TRUE(dialog != NULL) << "no captcha dialog";
        *code = PendingCaptchaCode(*csid);
        EXPECT_GE(code->size(), 4u) << "no code pending for csid " << *csid;
        return dialog;
    }

    // The login request the last answer went with.
    std::string LastLogin() const
    {
        const std::vector<std::string> logins = log.RequestsWith("/auth?login=force");
        return logins.empty() ? std::string() : logins.back();
    }

    void SavePassword(const std::string& password)
    {
        ASSERT_TRUE(app.ChooseFromSoftKey(SOFTKEY_RIGHT, IDM_SETTINGS));
        HWND dialog = app.WaitDialog(SETTINGS_TITLE);
        ASSERT_TRUE(dialog != NULL) << "no settings dialog";
        HWND editor = app.TapSettingsRow(dialog, 2);
        ASSERT_TRUE(editor != NULL) << "a tap on the password row opened no editor";
        ASSERT_TRUE(app.TypeInto(editor, FromCp1251(password)));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_BAR_SAVE, 0), 0);
        ASSERT_TRUE(app.WaitWindowGone(dialog));
    }

    EmulatorLog log;
};

TEST_F(CaptchaTest, WrongCodeThenCloseThenTheRightCodeAndPasswordLogIn)
{
    StartCaptchaDue();
    std::string csid, code;

    // A wrong code: -2, and the login carried the picture's number and the
    // code. This picture comes as a JPEG, which the request's Accept offers.
    ASSERT_TRUE(ArmFault(DATA_HOST_ADDRESS, "jpeg"));
    HWND dialog = ConnectToCaptcha(&csid, &code);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ(Utf8(TEXT_WRONG_CAPTCHA), Utf8(AnswerCaptcha(dialog, WRONG_CODE)));
    EXPECT_NE(std::string::npos, LastLogin().find("&csid=" + csid + "&ccode=" + WRONG_CODE + " HTTP/1.1"))
        << LastLogin();
    EXPECT_EQ("", PendingCaptchaCode(csid)) << "the code was good for one try";

    // The next login shows a new picture; Close cancels it and sends nothing.
    // The connect right after it is never refused as busy, also while the
    // machine is loaded (two spinning threads, a minute at the most).
    BusyLoad load;
    const std::string first = csid;
    dialog = ConnectToCaptcha(&csid, &code);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_NE(first, csid);
    EXPECT_EQ(Utf8(TEXT_LOGIN_CANCELLED), Utf8(AnswerCaptcha(dialog, NULL)));
    EXPECT_TRUE(log.RequestsWith("/auth?").empty());

    // The right code, still with the wrong password: the e-mail still needs one.
    dialog = ConnectToCaptcha(&csid, &code);
    load.Stop();
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ(Utf8(TEXT_CAPTCHA_NEXT), Utf8(AnswerCaptcha(dialog, code.c_str())));

    // The right password saved in the settings, the code typed in small letters.
    SavePassword(DEMO_PASSWORD);
    dialog = ConnectToCaptcha(&csid, &code);
    ASSERT_TRUE(dialog != NULL);
    for (char& c : code)
        c = (char)tolower((unsigned char)c);
    EXPECT_EQ(Utf8(TEXT_LOGGED_IN), Utf8(AnswerCaptcha(dialog, code.c_str())));
    std::string value;
    ASSERT_TRUE(QueryValue(LastLogin(), "pass", &value));
    EXPECT_EQ(DEMO_PASSWORD, DecodeQueryValue(value));
    ASSERT_TRUE(QueryValue(LastLogin(), "ccode", &value));
    EXPECT_EQ(code, DecodeQueryValue(value));
    EXPECT_FALSE(LoggedOut());

    // Success ends the captcha: out and in again without a picture.
    EXPECT_EQ(Utf8(TEXT_LOGGED_OUT), Utf8(app.CommandAndWait(IDM_CONNECT)));
    log.Mark();
    Login();
    EXPECT_TRUE(log.RequestsWith("act=captcha").empty());
}

struct PictureFault {
    const char* name;
    const wchar_t* text;
};

const PictureFault PICTURE_FAULTS[] = {
    {"close", TEXT_CAPTCHA_NO_PICTURE},          // nothing comes back
    {"no_blank_line", TEXT_CAPTCHA_NO_PICTURE},  // headers only
    {"not_json", TEXT_CAPTCHA_NO_PICTURE},       // a page in its place
    {"cut_picture", TEXT_CAPTCHA_BAD_PICTURE},   // a GIF that stops halfway
};

class PictureFaultTest : public CaptchaTest, public testing::WithParamInterface<PictureFault> { };

TEST_P(PictureFaultTest, NoDialogAClearTextAndTheNextTryWorks)
{
    StartCaptchaDue();
    ASSERT_TRUE(ArmFault(DATA_HOST_ADDRESS, GetParam().name));
    log.Mark();
    app.MarkStatus();
    app.Command(IDM_CONNECT);
    // The exchange's own failure text may come first: wait for the step's.
    EXPECT_TRUE(app.WaitStatus(GetParam().text, 30000)) << Utf8(app.StatusText());
    EXPECT_TRUE(app.WaitDialog(CAPTCHA_TITLE, 500) == NULL) << "a dialog opened without a picture";
    EXPECT_TRUE(log.RequestsWith("/auth?").empty()) << "a login went out without a code";
    ASSERT_TRUE(app.Responsive());

    std::string csid, code;
    HWND dialog = ConnectToCaptcha(&csid, &code);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ(Utf8(TEXT_CAPTCHA_NEXT), Utf8(AnswerCaptcha(dialog, code.c_str())));
}

INSTANTIATE_TEST_SUITE_P(DataHost, PictureFaultTest, testing::ValuesIn(PICTURE_FAULTS),
    [](const testing::TestParamInfo<PictureFault>& info) { return std::string(info.param.name); });

TEST_F(CaptchaTest, WhileTheDialogIsOpenTheWindowAnswersAndExitIsClean)
{
    StartCaptchaDue();
    std::string csid, code;
    HWND dialog = ConnectToCaptcha(&csid, &code);
    ASSERT_TRUE(dialog != NULL);
    // The worker waits for the dialog, the window does not wait for the worker.
    EXPECT_TRUE(app.Responsive());
    app.MarkStatus();
    app.Command(IDM_CONNECT);
    EXPECT_TRUE(app.WaitStatus(TEXT_CONNECTING));
    EXPECT_TRUE(IsWindowVisible(dialog));
    // The window closed under the dialog: the program ends as always.
    DWORD exitCode = 12345;
    ASSERT_TRUE(app.Close(15000, &exitCode)) << "WM_CLOSE did not end the program";
    EXPECT_EQ(0u, exitCode);
}

}  // namespace
