// What every end-to-end test shares: a clean emulator, one Sorvinta process
// of its own, and at the end a clean exit with code 0.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_driver.h"
#include "e2e_emulator.h"
#include "api/api_texts.h"
#include "app/app_texts.h"
#include "net/status_texts.h"
#include "resources/resource.h"

// The accounts of the emulator's built-in data set.
extern const char DEMO_EMAIL[];
extern const char DEMO_PASSWORD[];
extern const char EMPTY_EMAIL[];
extern const char EMPTY_PASSWORD[];

std::string Utf8(const std::wstring& text);

class E2eTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program with the given account; fails the test if it does not come up.
    void StartApp(const std::string& email, const std::string& password);
    void StartDemo() { StartApp(DEMO_EMAIL, DEMO_PASSWORD); }
    // Logs in with WM_COMMAND and expects success.
    void Login();
    // A refresh while logged out tells so; this is how a test sees the session state.
    bool LoggedOut();
    // The names of one list as the service gives them to its own session,
    // sorted as the program's list box sorts them.
    std::vector<std::wstring> ServerNames(const std::string& act, const std::string& email = DEMO_EMAIL,
        const std::string& password = DEMO_PASSWORD);

    // The captcha dialog opened by the command just given (the picture shown
    // in it), or null; *csid is the picture's number from the request since
    // the log's mark.
    HWND WaitCaptcha(const EmulatorLog& log, std::string* csid);
    // Types the code, presses "Отправить" (or "Закрыть" when code is null)
    // and gives the final status text once the dialog has gone.
    std::wstring AnswerCaptcha(HWND dialog, const char* code);

    SorvintaApp app;
    bool m_checkExit = true;
};
