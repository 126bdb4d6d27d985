// What the emulator's two hosts answer: login outcomes and their timing,
// sessions, the friend lists, messages and status, and every fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "emulator/cp1251.h"
#include "emulator/dataset.h"
#include "emulator/faults.h"
#include "emulator/query.h"
#include "emulator/service.h"

namespace {

using emulator::Answer;
using emulator::Fault;
using emulator::Host;
using emulator::Service;

// Minute 3000: friend 2003 (rotating) is offline then, 2020 always online.
constexpr std::int64_t kStart = 3000LL * 60000;

class ServiceTest : public ::testing::Test {
protected:
    ServiceTest()
        : service(
            emulator::BuiltinDataSet(), [this] { return now; }, 1)
    {
    }

    Answer Login(const std::string& email, const std::string& pass)
    {
        return service.Auth(emulator::ParseQuery("login=force&site=2&email=" + email + "&pass=" + pass));
    }
    Answer Data(const std::string& query) { return service.Data(emulator::ParseQuery(query)); }
    Answer Control(Host host, const std::string& path, const std::string& query = "")
    {
        return service.Control(host, path, emulator::ParseQuery(query));
    }
    Answer Arm(Host host, const std::string& name, int count = 1)
    {
        return Control(host, "/_emulator/fault", "set=" + name + "&count=" + std::to_string(count));
    }
    // Logs the demo account in and gives the session id.
    std::string DemoSid()
    {
        const std::string sid = SidOf(Login("demo@socialnet.example", "demo123"));
        EXPECT_EQ(32u, sid.size());
        return sid;
    }
    std::string List(const std::string& act, const std::string& sid, const std::string& id = "1001")
    {
        return Data("act=" + act + "&from=0&to=2500&id=" + id + "&sid=" + sid).body;
    }

    static std::vector<std::string> Headers(const Answer& a, const std::string& name)
    {
        std::vector<std::string> values;
        for (const auto& h : a.headers)
            if (h.first == name)
                values.push_back(h.second);
        return values;
    }
    static std::string Location(const Answer& a)
    {
        const auto v = Headers(a, "Location");
        return v.size() == 1 ? v[0] : "<" + std::to_string(v.size()) + " Location headers>";
    }
    static std::string SidOf(const Answer& a)
    {
        const std::string loc = Location(a);
        const size_t at = loc.find("sid=");
        return at == std::string::npos ? std::string() : loc.substr(at + 4);
    }

    std::int64_t now = kStart;
    Service service;
};

// The member text the client cuts out: first "[[" through the last "]".
std::string MemberText(const std::string& body)
{
    const size_t s = body.find("[["), e = body.rfind(']');
    if (s == std::string::npos || e == std::string::npos || e < s)
        return std::string();
    return body.substr(s, e + 1 - s);
}

std::string Cp(const char* utf8)
{
    return emulator::Utf8ToCp1251(utf8);
}

size_t UnescapedQuotes(const std::string& text)
{
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '"' && (i == 0 || text[i - 1] != '\\'))
            ++n;
    return n;
}

// The first name's first letter (А, 0xC0) written as \u0410.
std::string WithUEscape(std::string members)
{
    members.replace(members.find("\"\xC0") + 1, 1, "\\u0410");
    return members;
}

const std::string kNewMembers = Cp("[[2003,\"Алёна Ёлкина\",0],[2013,\"Леонид Волков\",0],"
                                   "[2020,\"Татьяна Виноградова\",1],[2028,\"Юрий Комаров\",0]]");

// ---------------------------------------------------------------- login

TEST_F(ServiceTest, LoginSucceedsWithSessionIdAndCookies)
{
    const Answer a = Login("demo%40socialnet.example", "demo123");
    EXPECT_EQ(302, a.status);
    const std::string loc = Location(a);
    ASSERT_EQ(0u, loc.find("http://socialnet.example/login.php?sid=")) << loc;
    const std::string sid = SidOf(a);
    EXPECT_EQ(32u, sid.size());
    EXPECT_EQ(std::string::npos, sid.find_first_not_of("0123456789abcdef")) << sid;
    EXPECT_EQ((std::vector<std::string> {
                  "remixmid=1001; expires=Thu, 01-Jan-2037 00:00:00 GMT; path=/; domain=.socialnet.example",
                  "remixlang=0; path=/"}),
        Headers(a, "Set-Cookie"));
    EXPECT_EQ(Fault::None, a.wire);
    std::int64_t member = 0;
    EXPECT_TRUE(service.SessionMember(sid, member));
    EXPECT_EQ(1001, member);
    EXPECT_NE(sid, SidOf(Login("demo@socialnet.example", "demo123")));
}

// The code of the picture just fetched for csid, read from the state.
std::string PendingCode(Service& service, const std::string& csid)
{
    const std::string state = service.Control(Host::Api, "/_emulator/state", {}).body;
    const std::string key = "captcha " + csid + " ";
    const size_t at = state.find(key);
    if (at == std::string::npos)
        return std::string();
    return state.substr(at + key.size(), state.find('\n', at) - at - key.size());
}

TEST_F(ServiceTest, AfterMinus3EveryLoginNeedsTheCodeOfAPictureEachGoodForOneTry)
{
    EXPECT_EQ("-4", SidOf(Login("demo@socialnet.example", "nope")));
    EXPECT_EQ("-3", SidOf(Login("demo@socialnet.example", "nope")));
    // No code at all, the right password too, and however long after.
    now += 24LL * 3600 * 1000;
    EXPECT_EQ("-2", SidOf(Login("DEMO@socialnet.example", "demo123")));

    const Answer picture = Data("act=captcha&csid=77");
    EXPECT_EQ("image/gif", picture.contentType);
    EXPECT_EQ("GIF8", picture.body.substr(0, 4));
    const std::string code = PendingCode(service, "77");
    ASSERT_GE(code.size(), 4u);
    ASSERT_LE(code.size(), 6u);
    auto withCode = [&](const std::string& pass, const std::string& csid, const std::string& typed) {
        return SidOf(service.Auth(emulator::ParseQuery("login=force&site=2&email=demo@socialnet.example&pass="
            + pass + "&csid=" + csid + "&ccode=" + typed)));
    };
    // A wrong code spends the picture: its right code is no good afterwards.
    EXPECT_EQ("-2", withCode("demo123", "77", code + "X"));
    EXPECT_EQ("", PendingCode(service, "77"));
    EXPECT_EQ("-2", withCode("demo123", "77", code));

    // The right code with a wrong password: still due.
    Data("act=captcha&csid=78");
    EXPECT_EQ("-3", withCode("nope", "78", PendingCode(service, "78")));
    Data("act=captcha&csid=79");
    EXPECT_EQ("-2", withCode("demo123", "78", PendingCode(service, "79")));  // the code of another csid

    // Codes compare without regard to case; success ends the captcha.
    Data("act=captcha&csid=80");
    std::string lower = PendingCode(service, "80");
    for (char& c : lower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(32u, withCode("demo123", "80", lower).size());
    EXPECT_EQ("-4", SidOf(Login("demo@socialnet.example", "nope")));
    EXPECT_EQ("{\"ok\":0,\"error\":\"csid\"}", Data("act=captcha&csid=x").body);
}

TEST_F(ServiceTest, AMessageBurstNeedsACaptchaThenGoesOn)
{
    const std::string sid = DemoSid();
    auto send = [&](const std::string& extra) {
        return Data("act=add_message&id=2001&ts=64000010&message=m&sid=" + sid + extra).body;
    };
    for (int i = 0; i < emulator::kMessageBurst; ++i)
        EXPECT_EQ("{\"ok\":1}", send("")) << i;
    EXPECT_EQ("{\"ok\":-2}", send(""));
    Data("act=captcha&csid=5");
    EXPECT_EQ("{\"ok\":-2}", send("&csid=5&ccode=wrong"));
    Data("act=captcha&csid=6");
    EXPECT_EQ("{\"ok\":1}", send("&csid=6&ccode=" + PendingCode(service, "6")));
    // The code starts the count afresh.
    for (int i = 1; i < emulator::kMessageBurst; ++i)
        EXPECT_EQ("{\"ok\":1}", send("")) << i;
    EXPECT_EQ("{\"ok\":-2}", send(""));
}

TEST_F(ServiceTest, ASuccessBreaksTheRunOfFailures)
{
    EXPECT_EQ("-4", SidOf(Login("demo@socialnet.example", "nope")));
    EXPECT_EQ(32u, SidOf(Login("demo@socialnet.example", "demo123")).size());
    EXPECT_EQ("-4", SidOf(Login("demo@socialnet.example", "nope")));
}

TEST_F(ServiceTest, FailuresAreCountedPerEmailAndUnknownEmailsFailAlike)
{
    EXPECT_EQ("-4", SidOf(Login("nobody@socialnet.example", "x")));
    EXPECT_EQ("-4", SidOf(Login("demo@socialnet.example", "x")));
    EXPECT_EQ("-3", SidOf(Login("Nobody@socialnet.example", "x")));
    EXPECT_EQ("-2", SidOf(Login("nobody@socialnet.example", "x")));
    EXPECT_EQ("-3", SidOf(Login("demo@socialnet.example", "x")));
    EXPECT_EQ("-4", SidOf(Login("empty@socialnet.example", "x")));
    EXPECT_EQ(32u, SidOf(Login("bench250@socialnet.example", "bench")).size());
}

TEST_F(ServiceTest, MalformedLoginRequestsGetMinus1)
{
    const char* queries[] = {
        "login=force&site=2&email=demo@socialnet.example",
        "login=force&site=2&pass=demo123",
        "login=force&site=2&email=&pass=demo123",
        "login=force&site=2&email=demo@socialnet.example&pass=",
        "login=force&site=3&email=demo@socialnet.example&pass=demo123",
        "login=force&email=demo@socialnet.example&pass=demo123",
        "login=other&site=2&email=demo@socialnet.example&pass=demo123",
        "site=2&email=demo@socialnet.example&pass=demo123",
        "",
        "login=logout&site=2",
    };
    for (const char* q : queries) {
        const Answer a = service.Auth(emulator::ParseQuery(q));
        EXPECT_EQ(302, a.status) << q;
        EXPECT_EQ("http://socialnet.example/login.php?sid=-1", Location(a)) << q;
        EXPECT_TRUE(Headers(a, "Set-Cookie").empty()) << q;
    }
    // None of them counted as a wrong password.
    EXPECT_EQ(32u, SidOf(Login("demo@socialnet.example", "demo123")).size());
}

TEST_F(ServiceTest, LogoutEndsTheSession)
{
    const std::string sid = DemoSid();
    ASSERT_NE(std::string::npos, List("friends", sid).find("[["));
    const Answer out = service.Auth(emulator::ParseQuery("login=logout&site=2&sid=" + sid));
    EXPECT_EQ(302, out.status);
    EXPECT_EQ("http://socialnet.example/index.html", Location(out));
    EXPECT_EQ(emulator::kSessionError, List("friends", sid));
    // A second logout of the same session is still answered the same way.
    EXPECT_EQ("http://socialnet.example/index.html",
        Location(service.Auth(emulator::ParseQuery("login=logout&site=2&sid=" + sid))));
}

// ---------------------------------------------------------------- lists

TEST_F(ServiceTest, EachActGivesItsList)
{
    const std::string sid = DemoSid();
    const std::string all = List("friends", sid);
    EXPECT_EQ(0u, all.find("{\"ok\":1,\"members\":[[2001,")) << all;
    EXPECT_EQ(31, std::count(all.begin(), all.end(), '[') - 1);  // less the outer bracket
    EXPECT_NE(std::string::npos, all.find(Cp("[2016,\"Ольга \\\"Лёля\\\" Зайцева\",1]")));
    EXPECT_EQ("{\"ok\":1,\"members\":" + kNewMembers + "}", List("friends_new", sid));
    EXPECT_EQ(Cp("{\"ok\":1,\"members\":[[2001,\"Анна Иванова\",1],[2005,\"Галина Кузнецова\",0],"
                 "[2010,\"Зоя Козлова\",1],[2017,\"Павел Павлов\",0],[2025,\"Чеслав Беляев\",1]]}"),
        List("friends_mutual", sid));

    // The online list is the members marked 1 in the full list, same minute.
    const std::string online = List("friends_online", sid);
    size_t marked = 0;
    for (size_t at = all.find(",1]"); at != std::string::npos; at = all.find(",1]", at + 1))
        ++marked;
    EXPECT_EQ(marked, static_cast<size_t>(std::count(online.begin(), online.end(), '[')) - 1);
    EXPECT_EQ(std::string::npos, online.find(",0]"));
    EXPECT_GT(marked, 5u);
}

TEST_F(ServiceTest, TheOnlineListChangesAsMinutesPass)
{
    const std::string sid = DemoSid();
    const std::string first = List("friends_online", sid);
    now += 60000;
    const std::string second = List("friends_online", sid);
    now += 60000;
    const std::string third = List("friends_online", sid);
    EXPECT_NE(first, second);
    EXPECT_NE(second, third);
    now += 60000;
    EXPECT_EQ(first, List("friends_online", sid));
}

TEST_F(ServiceTest, EmptyAndLargeAccounts)
{
    const std::string emptySid = SidOf(Login("empty@socialnet.example", "empty"));
    EXPECT_EQ("{\"ok\":1,\"members\":[]}", List("friends", emptySid, "1002"));
    EXPECT_EQ("{\"ok\":1,\"members\":[]}", List("friends_online", emptySid, "1002"));

    const std::string benchSid = SidOf(Login("bench10000@socialnet.example", "bench"));
    // All 10000, though the request asks for 2500.
    const std::string body = List("friends", benchSid, "1252");
    size_t members = 0;
    for (size_t at = body.find("],["); at != std::string::npos; at = body.find("],[", at + 1))
        ++members;
    EXPECT_EQ(10000u, members + 1);
}

TEST_F(ServiceTest, StaleOrForeignSessionsAreRefused)
{
    const std::string sid = DemoSid();
    const std::string queries[] = {
        "act=friends&from=0&to=2500&id=1001&sid=0123456789abcdef0123456789abcdef",
        "act=friends&from=0&to=2500&id=1002&sid=" + sid,
        "act=friends&from=0&to=2500&id=1001x&sid=" + sid,
        "act=friends&from=0&to=2500&sid=" + sid,
        "act=friends_online&from=0&to=2500&id=1001",
        "act=set_activity&id=1250&text=x&sid=" + sid,
        "act=add_message&id=2001&message=x&sid=-3",
    };
    for (const std::string& q : queries) {
        const Answer a = Data(q);
        EXPECT_EQ(200, a.status) << q;
        EXPECT_EQ(emulator::kJsonType, a.contentType);
        EXPECT_EQ(emulator::kSessionError, a.body) << q;
        EXPECT_EQ(std::string::npos, a.body.find("[[")) << q;
    }
}

TEST_F(ServiceTest, MessagesAndStatusAreKeptForInspection)
{
    const std::string sid = DemoSid();
    EXPECT_EQ(
        "{\"ok\":1}", Data("act=add_message&id=2001&ts=64000010&message=%CF%F0%E8%E2%E5%F2&sid=" + sid).body);
    EXPECT_EQ("{\"ok\":0}", Data("act=add_message&id=9999&ts=64000010&message=x&sid=" + sid).body);
    EXPECT_EQ("{\"ok\":1}",
        Data("act=set_activity&id=1001&text=%C4%EE%EC%E0+%26+%EC%E8%F0&wid=1_140403095&ts=754000053&sid="
            + sid)
            .body);
    // Line ends and backslashes are written out, so one text stays one line.
    EXPECT_EQ("{\"ok\":1}", Data("act=add_message&id=2002&ts=64000010&message=a%0D%0Ab%5Cc&sid=" + sid).body);
    const Answer state = Control(Host::Api, "/_emulator/state");
    EXPECT_EQ(200, state.status);
    EXPECT_EQ("text/plain; charset=utf-8", state.contentType);
    EXPECT_NE(std::string::npos, state.body.find("message demo@socialnet.example 2001 Привет\n"));
    EXPECT_NE(std::string::npos, state.body.find("status demo@socialnet.example Дома & мир\n"));
    EXPECT_NE(std::string::npos, state.body.find("message demo@socialnet.example 2002 a\\r\\nb\\\\c\n"));
    EXPECT_EQ(std::string::npos, state.body.find(" 9999 "));
}

TEST_F(ServiceTest, MessagesAnswerAsTheServiceWould)
{
    const std::string sid = DemoSid();
    auto send = [&](const std::string& to, const std::string& session) {
        return Data("act=add_message&id=" + to + "&ts=64000010&message=x&sid=" + session).body;
    };
    // 2019 accepts no messages; 9999 is nobody's friend; refusals are not
    // counted toward the captcha.
    EXPECT_EQ("{\"ok\":-3}", send("2019", sid));
    EXPECT_EQ("{\"ok\":0}", send("9999", sid));
    EXPECT_EQ(emulator::kSessionError, send("2001", "nosuchsession"));
    for (int i = 0; i < emulator::kMessageBurst; ++i)
        EXPECT_EQ("{\"ok\":1}", send("2001", sid)) << i;
    EXPECT_EQ("{\"ok\":-2}", send("2002", sid));
    EXPECT_EQ("{\"ok\":-2}", send("2002", DemoSid()));  // per account, not per session
    // The window passes, or a reset: messages go through again.
    now += emulator::kMessageWindowMs;
    EXPECT_EQ("{\"ok\":1}", send("2002", sid));
    for (int i = 1; i < emulator::kMessageBurst; ++i)
        send("2002", sid);
    EXPECT_EQ("{\"ok\":-2}", send("2003", sid));
    Control(Host::Api, "/_emulator/reset");
    EXPECT_EQ("{\"ok\":1}", send("2003", sid));
}

TEST_F(ServiceTest, ReplyFaultsSpoilMessageAndStatusAnswers)
{
    const std::string sid = DemoSid();
    struct Case {
        const char* fault;
        const char* body;
    };
    const Case cases[] = {
        {"not_json", "<html>internal error</html>"},
        {"no_ok", "{\"error\":\"internal\"}"},
        {"ok_string", "{\"ok\":\"1\"}"},
    };
    for (const Case& c : cases) {
        Arm(Host::Api, c.fault, 2);
        EXPECT_EQ(c.body, Data("act=add_message&id=2001&ts=64000010&message=m&sid=" + sid).body) << c.fault;
        EXPECT_EQ(
            c.body, Data("act=set_activity&id=1001&text=s&wid=1_140403095&ts=754000053&sid=" + sid).body)
            << c.fault;
        EXPECT_EQ("{\"ok\":1}", Data("act=set_activity&id=1001&text=s&sid=" + sid).body) << c.fault;
    }
    Arm(Host::Api, "no_blank_line");
    EXPECT_EQ(Fault::NoBlankLine, Data("act=set_activity&id=1001&text=s&sid=" + sid).wire);
}

TEST_F(ServiceTest, PictureFaultsSpoilTheGifButKeepItsCode)
{
    const size_t whole = Data("act=captcha&csid=9").body.size();
    Arm(Host::Api, "cut_picture");
    const Answer cut = Data("act=captcha&csid=9");
    EXPECT_EQ("GIF8", cut.body.substr(0, 4));
    EXPECT_LT(cut.body.size(), whole);  // half of a picture of at most 6 letters
    Arm(Host::Api, "not_json");
    EXPECT_EQ("<html>internal error</html>", Data("act=captcha&csid=9").body);
    // The picture that never arrived still has its code: one try, as always.
    EXPECT_GE(PendingCode(service, "9").size(), 4u);
}

TEST_F(ServiceTest, OtherActs)
{
    EXPECT_EQ("{\"ok\":0,\"error\":\"act\"}", Data("act=wall&sid=x").body);
    EXPECT_EQ("{\"ok\":0,\"error\":\"act\"}", Data("").body);
    EXPECT_EQ(404, service.Other(Host::Login).status);
}

// ---------------------------------------------------------------- faults

TEST_F(ServiceTest, BodyFaultsShapeTheList)
{
    struct Case {
        const char* fault;
        std::string body;
    };
    const std::string m = kNewMembers;
    const Case cases[] = {
        {"no_brackets", "{\"ok\":0,\"error\":\"internal\"}"},
        {"no_close_bracket", Cp("{\"ok\":1,\"members\":[[2003,\"Алёна Ёлкина\",0")},
        {"bad_json",
            "{\"ok\":1,\"members\":" + Cp("[[2003,\"Алёна Ёлкина,0]") + m.substr(m.find(",[2013")) + "}"},
        {"members_not_array", "{\"ok\":1,\"members\":{\"format\":\"[[id,name,online]]\",\"count\":4}}"},
        {"member_not_array", "{\"ok\":1,\"members\":" + m.substr(0, m.find("[2028")) + "2028]}"},
        {"member_short", "{\"ok\":1,\"members\":" + m.substr(0, m.find("[2028")) + "[2028]]}"},
        {"name_not_string", "{\"ok\":1,\"members\":" + m.substr(0, m.find("[2028")) + "[2028,2028,0]]}"},
        {"u_escape", "{\"ok\":1,\"members\":" + WithUEscape(m) + "}"},
    };
    const std::string sid = DemoSid();
    for (const Case& c : cases) {
        ASSERT_EQ(200, Arm(Host::Api, c.fault).status) << c.fault;
        const Answer a = Data("act=friends_new&from=0&to=2500&id=1001&sid=" + sid);
        EXPECT_EQ(c.body, a.body) << c.fault;
        EXPECT_EQ(Fault::None, a.wire) << c.fault;
    }
    EXPECT_EQ("{\"ok\":1,\"members\":" + m + "}", List("friends_new", sid));
}

TEST_F(ServiceTest, BodyFaultShapesHoldTheirPromise)
{
    // Checked on the full demo list as the client would cut it.
    const std::string sid = DemoSid();
    Arm(Host::Api, "no_close_bracket");
    std::string body = List("friends", sid);
    EXPECT_NE(std::string::npos, body.find("[["));
    EXPECT_EQ(std::string::npos, body.find(']', body.find("[[")));

    Arm(Host::Api, "members_not_array");
    body = List("friends", sid);
    const size_t open = body.find("[[");
    ASSERT_NE(std::string::npos, open);
    EXPECT_EQ(1, std::count(body.begin(), body.begin() + open, '"') % 2) << "[[ outside a string";
    EXPECT_NE(std::string::npos, body.find("\"members\":{"));

    // One quote short: the strings no longer pair up.
    EXPECT_EQ(0u, UnescapedQuotes(MemberText(List("friends", sid))) % 2);
    Arm(Host::Api, "bad_json");
    EXPECT_EQ(1u, UnescapedQuotes(MemberText(List("friends", sid))) % 2);

    Arm(Host::Api, "huge");
    body = List("friends", sid);
    EXPECT_EQ(emulator::kHugeBodyBytes, body.size());
    EXPECT_EQ(MemberText(List("friends", sid)), MemberText(body));
}

TEST_F(ServiceTest, FaultsOnAnEmptyListStillHaveAMemberToSpoil)
{
    const std::string sid = SidOf(Login("empty@socialnet.example", "empty"));
    Arm(Host::Api, "member_not_array");
    EXPECT_EQ("{\"ok\":1,\"members\":[[1,\"?\",0],0]}", List("friends", sid, "1002"));
    Arm(Host::Api, "no_close_bracket");
    EXPECT_EQ("{\"ok\":1,\"members\":[[1,\"?\",0", List("friends", sid, "1002"));
    Arm(Host::Api, "no_brackets");
    EXPECT_EQ(std::string::npos, List("friends", sid, "1002").find("[["));
}

TEST_F(ServiceTest, LoginFaultsShapeTheRedirect)
{
    Arm(Host::Login, "no_sid");
    Answer a = Login("demo@socialnet.example", "demo123");
    EXPECT_EQ("http://socialnet.example/login.php", Location(a));
    EXPECT_EQ(2u, Headers(a, "Set-Cookie").size());

    Arm(Host::Login, "long_sid");
    a = Login("demo@socialnet.example", "demo123");
    const std::string longSid = SidOf(a);
    EXPECT_EQ(300u, longSid.size());
    EXPECT_NE(std::string::npos, List("friends", longSid).find("[[2001,"));

    Arm(Host::Login, "no_remixmid");
    a = Login("demo@socialnet.example", "demo123");
    EXPECT_EQ(std::vector<std::string> {"remixlang=0; path=/"}, Headers(a, "Set-Cookie"));
    EXPECT_EQ(32u, SidOf(a).size());

    Arm(Host::Login, "bad_byte_sid");
    a = Login("demo@socialnet.example", "demo123");
    const std::string badSid = SidOf(a);
    EXPECT_NE(std::string::npos, badSid.find(' '));
    EXPECT_TRUE(std::any_of(
        badSid.begin(), badSid.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
    std::int64_t member = 0;
    EXPECT_TRUE(service.SessionMember(badSid, member));

    // no_sid also hides a refusal code.
    Arm(Host::Login, "no_sid");
    EXPECT_EQ("http://socialnet.example/login.php", Location(Login("demo@socialnet.example", "x")));
}

TEST_F(ServiceTest, WireFaultsTravelWithTheAnswer)
{
    struct Case {
        Host host;
        const char* fault;
        Fault wire;
    };
    const Case cases[] = {
        {Host::Login, "close", Fault::Close},
        {Host::Login, "no_blank_line", Fault::NoBlankLine},
        {Host::Login, "slow", Fault::Slow},
        {Host::Login, "reset", Fault::Reset},
        {Host::Api, "close", Fault::Close},
        {Host::Api, "slow", Fault::Slow},
    };
    const std::string sid = DemoSid();
    for (const Case& c : cases) {
        Arm(c.host, c.fault);
        const Answer a = c.host == Host::Login ? Login("demo@socialnet.example", "demo123")
                                               : Data("act=friends&from=0&to=2500&id=1001&sid=" + sid);
        EXPECT_EQ(c.wire, a.wire) << c.fault;
        // The text under a wire fault is the normal one.
        if (c.host == Host::Login)
            EXPECT_EQ(32u, SidOf(a).size()) << c.fault;
        else
            EXPECT_NE(std::string::npos, a.body.find("[[2001,")) << c.fault;
    }
}

TEST_F(ServiceTest, FaultsCountAnswersOfTheirHostOnly)
{
    const std::string sid = DemoSid();
    ASSERT_EQ("armed bad_json 2\n", Arm(Host::Api, "bad_json", 2).body);
    // Control requests and login answers leave the data host's fault alone.
    Control(Host::Api, "/_emulator/state");
    Login("demo@socialnet.example", "demo123");
    const std::string good = "{\"ok\":1,\"members\":" + kNewMembers + "}";
    EXPECT_NE(good, List("friends_new", sid));
    // Any answer of the host counts, whatever it is.
    EXPECT_EQ("{\"ok\":0,\"error\":\"act\"}", Data("act=nothing").body);
    EXPECT_EQ(good, List("friends_new", sid));

    Arm(Host::Login, "close", 3);
    EXPECT_EQ(Fault::Close, service.Other(Host::Login).wire);
    EXPECT_EQ(Fault::Close, Login("demo@socialnet.example", "x").wire);
    EXPECT_EQ(Fault::Close, service.Auth(emulator::ParseQuery("login=logout&site=2&sid=" + sid)).wire);
    EXPECT_EQ(Fault::None, Login("demo@socialnet.example", "demo123").wire);
}

TEST_F(ServiceTest, ControlRequestsCheckWhatTheyAreGiven)
{
    struct Case {
        Host host;
        const char* query;
        int status;
    };
    const Case cases[] = {
        {Host::Login, "set=huge", 400},  // a data host fault
        {Host::Api, "set=no_sid", 400},  // a login host fault
        {Host::Api, "set=reset", 400},
        {Host::Login, "set=explode", 400},
        {Host::Login, "", 400},
        {Host::Login, "set=close&count=0", 400},
        {Host::Login, "set=close&count=-1", 400},
        {Host::Login, "set=close&count=x", 400},
        {Host::Login, "set=close&count=1000001", 400},
        {Host::Login, "set=close&count=1000000", 200},
        {Host::Api, "set=huge&count=1", 200},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.status, Control(c.host, "/_emulator/fault", c.query).status) << c.query;
    EXPECT_EQ(404, Control(Host::Login, "/_emulator/explode").status);
    EXPECT_TRUE(Service::IsControlPath("/_emulator/reset"));
    EXPECT_FALSE(Service::IsControlPath("/_emulatorx"));
    EXPECT_FALSE(Service::IsControlPath("/auth"));

    // "none" disarms the host's fault.
    EXPECT_EQ(200, Arm(Host::Login, "none").status);
    EXPECT_EQ(Fault::None, Login("demo@socialnet.example", "demo123").wire);
}

TEST_F(ServiceTest, ResetClearsFaultsAndFailureCounts)
{
    Login("demo@socialnet.example", "x");
    EXPECT_EQ("-3", SidOf(Login("demo@socialnet.example", "x")));
    Arm(Host::Login, "close", 5);
    Arm(Host::Api, "huge", 5);
    EXPECT_EQ("reset\n", Control(Host::Api, "/_emulator/reset").body);
    const Answer a = Login("demo@socialnet.example", "demo123");
    EXPECT_EQ(Fault::None, a.wire);
    const std::string sid = SidOf(a);
    EXPECT_EQ(32u, sid.size());
    EXPECT_LT(List("friends", sid).size(), 2000u);
}

TEST_F(ServiceTest, HeldAnswersWaitForTheReleaseAndShowInTheState)
{
    EXPECT_EQ(200, Control(Host::Api, "/_emulator/hold", "count=2").status);
    const std::string sid = DemoSid();  // a login host answer: not held
    const Answer first = Data("act=friends&from=0&to=2500&id=1001&sid=" + sid);
    const Answer second = Data("act=friends&from=0&to=2500&id=1001&sid=" + sid);
    const Answer third = Data("act=friends&from=0&to=2500&id=1001&sid=" + sid);
    EXPECT_TRUE(first.held);
    EXPECT_TRUE(second.held);
    EXPECT_FALSE(third.held);

    std::vector<std::thread> waiters;
    for (const Answer* a : {&first, &second})
        waiters.emplace_back([this, a] { service.AwaitRelease(*a, 60000); });
    // Both wait until the release, and the state tells how many do.
    for (int i = 0;
         i < 2000 && Control(Host::Api, "/_emulator/state").body.find("held 2\n") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_NE(std::string::npos, Control(Host::Login, "/_emulator/state").body.find("held 2\n"));
    EXPECT_EQ("released\n", Control(Host::Login, "/_emulator/release").body);
    for (std::thread& waiter : waiters)
        waiter.join();
    EXPECT_NE(std::string::npos, Control(Host::Api, "/_emulator/state").body.find("held 0\n"));

    // A hold that is never released ends at its limit; a reset releases too.
    EXPECT_EQ(200, Control(Host::Api, "/_emulator/hold").status);
    const Answer late = Data("act=friends&sid=" + sid);
    const auto start = std::chrono::steady_clock::now();
    service.AwaitRelease(late, 50);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_EQ(200, Control(Host::Login, "/_emulator/hold", "count=3").status);
    Control(Host::Api, "/_emulator/reset");
    EXPECT_FALSE(Login("demo@socialnet.example", "demo123").held);

    for (const char* bad : {"count=0", "count=1001", "count=x"})
        EXPECT_EQ(400, Control(Host::Api, "/_emulator/hold", bad).status) << bad;
}

TEST_F(ServiceTest, SizedIdsShapeTheNextSuccessfulLoginOnly)
{
    EXPECT_EQ(200, Control(Host::Login, "/_emulator/ids", "sid=136&mid=150").status);
    EXPECT_EQ("-4", SidOf(Login("demo@socialnet.example", "wrong")));  // a refusal spends nothing
    const Answer a = Login("demo@socialnet.example", "demo123");
    const std::string sid = SidOf(a);
    EXPECT_EQ(136u, sid.size());
    const std::vector<std::string> cookies = Headers(a, "Set-Cookie");
    ASSERT_FALSE(cookies.empty());
    const std::string memberId = cookies[0].substr(9, cookies[0].find(';') - 9);
    EXPECT_EQ(std::string(146, '0') + "1001", memberId);
    // The padded id names the same member; the session works.
    EXPECT_NE(std::string::npos, List("friends", sid, memberId).find("\"members\":[["));
    EXPECT_NE(std::string::npos, List("friends", sid, "01001").find("\"members\":[["));
    EXPECT_NE(std::string::npos, List("friends", sid, "0").find("session"));
    EXPECT_EQ(32u, DemoSid().size());

    EXPECT_EQ(200, Control(Host::Login, "/_emulator/ids", "mid=5").status);
    EXPECT_EQ(32u, SidOf(Login("demo@socialnet.example", "demo123")).size());
    for (const char* bad : {"sid=0", "sid=4097", "mid=x", "sid=-1"})
        EXPECT_EQ(400, Control(Host::Login, "/_emulator/ids", bad).status) << bad;
    EXPECT_EQ(400, Control(Host::Api, "/_emulator/ids", "sid=40").status);
}

// ---------------------------------------------------------------- wire

TEST(ShapeDelivery, BreaksTheBytesAsEachWireFaultSays)
{
    const std::string answer = "HTTP/1.1 302 Found\r\nConnection: close\r\nLocation: "
                               "http://socialnet.example/login.php?sid=abc\r\n\r\n";
    const std::string withBody = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbody";

    auto d = emulator::ShapeDelivery(answer, Fault::None);
    EXPECT_EQ(answer, d.bytes);
    EXPECT_FALSE(d.reset);
    EXPECT_EQ(0, d.delayMs);

    d = emulator::ShapeDelivery(answer, Fault::Close);
    EXPECT_TRUE(d.bytes.empty());
    EXPECT_FALSE(d.reset);

    d = emulator::ShapeDelivery(answer, Fault::NoBlankLine);
    EXPECT_EQ(answer.substr(0, answer.size() - 2), d.bytes);
    EXPECT_EQ(std::string::npos, d.bytes.find("\r\n\r\n"));
    d = emulator::ShapeDelivery(withBody, Fault::NoBlankLine);
    EXPECT_EQ("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n", d.bytes);

    d = emulator::ShapeDelivery(answer, Fault::Reset);
    EXPECT_TRUE(d.reset);
    EXPECT_FALSE(d.bytes.empty());
    EXPECT_LT(d.bytes.size(), answer.size());
    EXPECT_EQ(0u, answer.find(d.bytes));

    d = emulator::ShapeDelivery(withBody, Fault::Slow);
    EXPECT_EQ(withBody, d.bytes);
    EXPECT_EQ(emulator::kSlowDelayMs, d.delayMs);
    EXPECT_EQ(5000, d.delayMs);
}

TEST(FaultForHost, KnowsWhichHostEachFaultBelongsTo)
{
    struct Case {
        const char* name;
        bool login;
        bool api;
    };
    const Case cases[] = {
        {"close", true, true},
        {"slow", true, true},
        {"none", true, true},
        {"no_blank_line", true, true},
        {"reset", true, false},
        {"no_sid", true, false},
        {"long_sid", true, false},
        {"no_remixmid", true, false},
        {"bad_byte_sid", true, false},
        {"no_brackets", false, true},
        {"no_close_bracket", false, true},
        {"bad_json", false, true},
        {"members_not_array", false, true},
        {"member_not_array", false, true},
        {"member_short", false, true},
        {"name_not_string", false, true},
        {"u_escape", false, true},
        {"huge", false, true},
        {"not_json", false, true},
        {"no_ok", false, true},
        {"ok_string", false, true},
        {"CLOSE", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        Fault f = Fault::None;
        EXPECT_EQ(c.login, emulator::FaultForHost(c.name, Host::Login, f)) << c.name;
        EXPECT_EQ(c.api, emulator::FaultForHost(c.name, Host::Api, f)) << c.name;
        if (c.login || c.api)
            EXPECT_STREQ(c.name, emulator::FaultName(f));
    }
}

}  // namespace
