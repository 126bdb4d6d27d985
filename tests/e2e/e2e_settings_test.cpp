// The settings dialog of the real program against the emulator: what Save
// stores is what the next login sends, and a saved "Да" connects at start.
#include "e2e_fixture.h"

namespace {

const wchar_t SETTINGS_TITLE[] = L"Настройки";
const char OLD_EMAIL[] = "old@socialnet.example";

class SettingsTest : public E2eTest { };

std::wstring EditorText(HWND editor)
{
    wchar_t text[260] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(editor, WM_GETTEXT, 260, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &copied);
    return text;
}

TEST_F(SettingsTest, AnEmailSavedInTheDialogIsTheOneTheNextLoginSends)
{
    StartApp(OLD_EMAIL, DEMO_PASSWORD);
    ASSERT_TRUE(app.ChooseFromSoftKey(SOFTKEY_RIGHT, IDM_SETTINGS));
    HWND dialog = app.WaitDialog(SETTINGS_TITLE);
    ASSERT_TRUE(dialog != NULL) << "no settings dialog";
    HWND editor = app.TapSettingsRow(dialog, 1);
    ASSERT_TRUE(editor != NULL) << "a tap on \"Email:\" opened no editor";
    EXPECT_EQ(OLD_EMAIL, Utf8(EditorText(editor))) << "the editor does not show the stored e-mail";
    ASSERT_TRUE(app.TypeInto(editor, FromCp1251(DEMO_EMAIL)));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_BAR_SAVE, 0), 0);
    ASSERT_TRUE(app.WaitWindowGone(dialog)) << "\"Сохранить\" did not close the dialog";

    EmulatorLog log;
    EXPECT_EQ(Utf8(TEXT_LOGGED_IN), Utf8(app.CommandAndWait(IDM_CONNECT)));
    const std::vector<std::string> logins = log.RequestsWith("/auth?");
    ASSERT_EQ(1u, logins.size());
    std::string email;
    ASSERT_TRUE(QueryValue(logins[0], "email", &email));
    EXPECT_EQ(DEMO_EMAIL, DecodeQueryValue(email));
}

TEST_F(SettingsTest, ASavedYesConnectsAtStartWithoutACommand)
{
    EmulatorLog log;
    ASSERT_TRUE(app.Start(SettingsText(DEMO_EMAIL, DEMO_PASSWORD) + "autoconnect=1\r\n")) << app.Error();
    EXPECT_TRUE(app.WaitStatus(TEXT_LOGGED_IN)) << Utf8(app.StatusText());
    EXPECT_EQ(1u, log.RequestsWith("/auth?login=force").size());
    EXPECT_FALSE(LoggedOut());
}

}  // namespace
