// The emulator's accounts: the built-in set, generated names and the data
// file that adds to them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "emulator/cp1251.h"
#include "emulator/dataset.h"

namespace {

using emulator::Account;
using emulator::DataSet;
using emulator::Presence;

TEST(BuiltinDataSet, HoldsTheAccountsTheTestsUse)
{
    const DataSet data = emulator::BuiltinDataSet();
    struct Case {
        const char* email;
        const char* password;
        size_t friends;
    };
    const Case cases[] = {
        {"demo@socialnet.example", "demo123", 31},
        {"bench250@socialnet.example", "bench", 250},
        {"bench2500@socialnet.example", "bench", 2500},
        {"bench10000@socialnet.example", "bench", 10000},
        {"empty@socialnet.example", "empty", 0},
    };
    std::set<long long> memberIds;
    for (const Case& c : cases) {
        const Account* a = data.FindByEmail(c.email);
        ASSERT_NE(nullptr, a) << c.email;
        EXPECT_EQ(c.password, a->password);
        EXPECT_EQ(c.friends, a->friends.size()) << c.email;
        EXPECT_EQ(a, data.FindById(a->memberId));
        memberIds.insert(a->memberId);
    }
    EXPECT_EQ(5u, memberIds.size());
    EXPECT_EQ(1001, data.FindByEmail("demo@socialnet.example")->memberId);
}

TEST(BuiltinDataSet, DemoNamesAreWindows1251WithSomeOnlineAndSomeRotating)
{
    const DataSet data = emulator::BuiltinDataSet();
    const Account* demo = data.FindByEmail("DEMO@SocialNet.example");
    ASSERT_NE(nullptr, demo);
    EXPECT_EQ(emulator::Utf8ToCp1251("Анна Иванова"), demo->friends.front().name);
    int online = 0, rotating = 0, mutual = 0, fresh = 0;
    std::set<long long> ids;
    for (const auto& f : demo->friends) {
        online += f.presence == Presence::Online;
        rotating += f.presence == Presence::Rotating;
        mutual += f.mutual;
        fresh += f.fresh;
        ids.insert(f.id);
        // In UTF-8 every other byte of a Cyrillic name would be 0x80..0xBF;
        // in Windows-1251 only Ё and ё are there.
        for (unsigned char c : f.name)
            EXPECT_TRUE(c < 0x80 || c >= 0xC0 || c == 0xA8 || c == 0xB8) << f.id;
    }
    EXPECT_EQ(demo->friends.size(), ids.size());
    EXPECT_GT(online, 3);
    EXPECT_GT(rotating, 3);
    EXPECT_GT(mutual, 0);
    EXPECT_GT(fresh, 0);
}

TEST(IsOnline, RotatingFriendsComeAndGoWithTheMinute)
{
    emulator::Friend f;
    f.id = 7;
    f.presence = Presence::Rotating;
    int on = 0;
    for (long long minute = 0; minute < 30; ++minute)
        on += emulator::IsOnline(f, minute);
    EXPECT_EQ(10, on);
    EXPECT_NE(emulator::IsOnline(f, 2), emulator::IsOnline(f, 3));
    f.presence = Presence::Online;
    EXPECT_TRUE(emulator::IsOnline(f, 3));
    f.presence = Presence::Offline;
    EXPECT_FALSE(emulator::IsOnline(f, 2));
}

TEST(GenerateFriends, IsRepeatableAndNotInAlphabeticalOrder)
{
    const auto a = emulator::GenerateFriends(500, 1000, 42);
    const auto b = emulator::GenerateFriends(500, 1000, 42);
    const auto c = emulator::GenerateFriends(500, 1000, 43);
    ASSERT_EQ(500u, a.size());
    std::vector<std::string> names, namesB, namesC;
    for (size_t i = 0; i < a.size(); ++i) {
        names.push_back(a[i].name);
        namesB.push_back(b[i].name);
        namesC.push_back(c[i].name);
        EXPECT_EQ(1000 + static_cast<long long>(i), a[i].id);
    }
    EXPECT_EQ(names, namesB);
    EXPECT_NE(names, namesC);
    EXPECT_FALSE(std::is_sorted(names.begin(), names.end()));
    EXPECT_GT(std::set<std::string>(names.begin(), names.end()).size(), 400u);
    // Each name is "First Last" in Windows-1251: Cyrillic bytes and one space.
    for (const std::string& n : names) {
        EXPECT_EQ(1, std::count(n.begin(), n.end(), ' ')) << n;
        for (unsigned char ch : n)
            EXPECT_TRUE(ch == ' ' || ch >= 0xA8) << n;
    }
    EXPECT_TRUE(a.back().fresh);
    EXPECT_FALSE(a.front().fresh);
}

TEST(ApplyDataText, AddsReplacesAndConverts)
{
    DataSet data = emulator::BuiltinDataSet();
    const size_t before = data.accounts.size();
    std::string error;
    ASSERT_TRUE(emulator::ApplyDataText("# accounts of one test\r\n"
                                        "\r\n"
                                        "account a+b&c%d#e=f@socialnet.example p&q+r%25#s=t 777001\r\n"
                                        "friend 777101 1 - Проверочный Друг\r\n"
                                        "friend 777102 ~ mnp   Имя  с  пробелами  \r\n"
                                        "account DEMO@socialnet.example пароль 1001\n"
                                        "friend 5 0 n Ёж\n"
                                        "friends 3 9\n",
        data, error))
        << error;
    EXPECT_EQ(before + 1, data.accounts.size());

    const Account* odd = data.FindByEmail("a+b&c%d#e=f@socialnet.example");
    ASSERT_NE(nullptr, odd);
    EXPECT_EQ("p&q+r%25#s=t", odd->password);
    ASSERT_EQ(2u, odd->friends.size());
    EXPECT_EQ(emulator::Utf8ToCp1251("Проверочный Друг"), odd->friends[0].name);
    EXPECT_EQ(Presence::Online, odd->friends[0].presence);
    EXPECT_FALSE(odd->friends[0].mutual || odd->friends[0].fresh || odd->friends[0].closed);
    EXPECT_EQ(emulator::Utf8ToCp1251("Имя  с  пробелами"), odd->friends[1].name);
    EXPECT_EQ(Presence::Rotating, odd->friends[1].presence);
    EXPECT_TRUE(odd->friends[1].mutual && odd->friends[1].fresh && odd->friends[1].closed);

    // The demo account is replaced as a whole.
    const Account* demo = data.FindByEmail("demo@socialnet.example");
    ASSERT_NE(nullptr, demo);
    EXPECT_EQ(emulator::Utf8ToCp1251("пароль"), demo->password);
    ASSERT_EQ(4u, demo->friends.size());
    EXPECT_EQ("\xA8\xE6", demo->friends[0].name);
    EXPECT_TRUE(demo->friends[0].fresh);
}

TEST(ApplyDataText, NoBuiltinStartsFromNothing)
{
    DataSet data = emulator::BuiltinDataSet();
    std::string error;
    ASSERT_TRUE(emulator::ApplyDataText("no-builtin\naccount x@y z 5\n", data, error)) << error;
    ASSERT_EQ(1u, data.accounts.size());
    EXPECT_EQ(nullptr, data.FindByEmail("demo@socialnet.example"));
}

TEST(ApplyDataText, RefusesBadLinesNamingTheLine)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"friend 1 1 - A\n", "line 1: friend before any account"},
        {"friends 10\n", "line 1: friends before any account"},
        {"# c\naccount a@b pw\n", "line 2: expected: account EMAIL PASSWORD MEMBER_ID"},
        {"account a@b pw 0\n", "line 1: expected: account EMAIL PASSWORD MEMBER_ID"},
        {"account a@b pw 12x\n", "line 1: expected: account EMAIL PASSWORD MEMBER_ID"},
        {"account a@b pw 1 extra\n", "line 1: expected: account EMAIL PASSWORD MEMBER_ID"},
        {"account a@b pw 1\nfriend 2 2 - A\n", "line 2: expected: friend ID 0|1|~ MARKS NAME"},
        {"account a@b pw 1\nfriend 2 1 -\n", "line 2: expected: friend ID 0|1|~ MARKS NAME"},
        {"account a@b pw 1\nfriend -2 1 - A\n", "line 2: expected: friend ID 0|1|~ MARKS NAME"},
        {"account a@b pw 1\nfriend 2 1 x A\n",
            "line 2: marks are '-' or the letters m (mutual), n (new) and p (no messages)"},
        {"account a@b pw 1\nfriends 0\n", "line 2: expected: friends COUNT [SEED] (COUNT up to 1000000)"},
        {"account a@b pw 1\nfriends 2000000\n",
            "line 2: expected: friends COUNT [SEED] (COUNT up to 1000000)"},
        {"account a@b pw 1\nno-builtin\n", "line 2: no-builtin must come before the first account"},
        {"acount a@b pw 1\n", "line 1: unknown keyword 'acount'"},
    };
    for (const Case& c : cases) {
        DataSet data;
        std::string error;
        EXPECT_FALSE(emulator::ApplyDataText(c.text, data, error)) << c.text;
        EXPECT_EQ(c.error, error) << c.text;
    }
}

}  // namespace
