// The table of settings drives the file: a row's line is written in the
// table's order, a yes/no row only when it is not its default, and each
// value loads back into its row.
#include <gtest/gtest.h>

#include <string>

#include "base/constants.h"
#include "settings/settings_file.h"

namespace {

const int kEmail = SettingRowOf("email");
const int kPassword = SettingRowOf("password");
const int kAutoConnect = SettingRowOf("autoconnect");

SettingsValues Values(const char* email, const char* password, bool autoConnect)
{
    SettingsValues values = DefaultSettingsValues();
    values[kEmail] = email;
    values[kPassword] = password;
    values[kAutoConnect] = autoConnect ? "1" : "0";
    return values;
}

TEST(SettingsSchema, EveryStoredRowHasOneKeyAndTheCredentialsTheirFields)
{
    ASSERT_GE(kEmail, 0);
    ASSERT_GE(kPassword, 0);
    ASSERT_GE(kAutoConnect, 0);
    EXPECT_EQ(-1, SettingRowOf("nothing"));
    EXPECT_EQ(-1, SettingRowOf(nullptr));
    for (int row = 0; row < SETTING_ROW_COUNT; ++row) {
        const SettingRow& schema = SETTING_ROWS[row];
        if (schema.key != nullptr)
            EXPECT_EQ(row, SettingRowOf(schema.key)) << schema.key;  // no key twice
        if (schema.kind == SettingKindText)
            EXPECT_LE(schema.maxBytes, static_cast<size_t>(CREDENTIAL_FIELD_SIZE - 1)) << schema.key;
    }
    Credentials credentials;
    CredentialsFromValues(Values("a@b", "p", true), credentials);
    EXPECT_STREQ("a@b", credentials.email);
    EXPECT_STREQ("p", credentials.password);
}

TEST(SettingsSchema, AYesNoLineIsWrittenAfterThePasswordOnlyWhenOn)
{
    const std::string header = "[" SERVICE_DOMAIN "]\r\n";
    EXPECT_EQ(header + "email=a@b\r\npassword=p\r\n", ComposeSettingsText(Values("a@b", "p", false)));
    EXPECT_EQ(header + "email=a@b\r\npassword=p\r\nautoconnect=1\r\n",
        ComposeSettingsText(Values("a@b", "p", true)));
}

TEST(SettingsSchema, WhatASavedTextLoadsBack)
{
    for (bool on : {false, true}) {
        const SettingsValues saved = Values("user@mail.ru", "se=cret", on);
        const std::string text = ComposeSettingsText(saved);
        const SettingsRead read = ReadSettingsText(text.c_str(), text.size());
        EXPECT_EQ(SettingsUsable, read.outcome);
        EXPECT_EQ(saved, read.values);
    }
}

struct LineCase {
    const char* text;
    bool on;
};

TEST(SettingsSchema, OnlyOneMeansYes)
{
    const LineCase cases[] = {
        {"[" SERVICE_DOMAIN "]\r\nemail=a\r\npassword=b\r\n", false},  // files written before
        {"[" SERVICE_DOMAIN "]\r\nautoconnect=1", true},
        {"[" SERVICE_DOMAIN "]\r\nauto connect = 1\r\n", true},  // spaces vanish on reading
        {"[" SERVICE_DOMAIN "]\r\nautoconnect=0\r\n", false},
        {"[" SERVICE_DOMAIN "]\r\nautoconnect=\r\n", false},
        {"[" SERVICE_DOMAIN "]\r\nautoconnect=yes\r\n", false},
        {"[" SERVICE_DOMAIN "]\r\nautoconnect=11\r\n", false},
        {"[" SERVICE_DOMAIN "]\r\nAutoconnect=1\r\n", false},                   // keys are case-sensitive
        {"[" SERVICE_DOMAIN "]\r\nautoconnect=0\r\nautoconnect=1\r\n", false},  // the first wins
        {"autoconnect=1\r\n[" SERVICE_DOMAIN "]\r\n", false},                   // before any header: "unset"
        {"[other]\r\nautoconnect=1\r\n", false},
    };
    for (const LineCase& c : cases) {
        const std::string text = c.text;
        EXPECT_EQ(c.on ? "1" : "0", ReadSettingsText(text.c_str(), text.size()).values[kAutoConnect])
            << c.text;
    }
}

}  // namespace
