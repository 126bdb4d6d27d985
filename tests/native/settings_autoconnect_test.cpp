// The connect-at-start line of settings.txt: written only for "yes", read
// only as "autoconnect=1" in the service's section.
#include <gtest/gtest.h>

#include <string>

#include "base/constants.h"
#include "base/credentials.h"
#include "settings/settings_autoconnect.h"

namespace {

bool AutoConnectOf(const std::string& text)
{
    SettingsSections sections;
    SettingsFile::Parse(text.c_str(), sections);
    return SelectAutoConnect(sections);
}

TEST(SettingsAutoConnect, WrittenAfterThePasswordOnlyWhenOn)
{
    const std::string header = "[" SERVICE_DOMAIN "]\r\n";
    EXPECT_EQ(header + "email=a@b\r\npassword=p\r\n", ComposeSettingsTextWith("a@b", "p", false));
    EXPECT_EQ(
        header + "email=a@b\r\npassword=p\r\nautoconnect=1\r\n", ComposeSettingsTextWith("a@b", "p", true));
}

TEST(SettingsAutoConnect, WhatASavedTextLoadsBack)
{
    for (bool on : {false, true}) {
        const std::string text = ComposeSettingsTextWith("user@mail.ru", "se=cret", on);
        SettingsSections sections;
        SettingsFile::Parse(text.c_str(), sections);
        EXPECT_EQ(on, SelectAutoConnect(sections));
        Credentials credentials = {};
        SelectCredentials(sections, credentials);
        EXPECT_STREQ("user@mail.ru", credentials.email);
        EXPECT_STREQ("se=cret", credentials.password);
    }
}

struct LineCase {
    const char* text;
    bool on;
};

TEST(SettingsAutoConnect, OnlyOneMeansYes)
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
    for (const LineCase& c : cases)
        EXPECT_EQ(c.on, AutoConnectOf(c.text)) << c.text;
}

}  // namespace
