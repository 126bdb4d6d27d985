// The message and status requests, their outcome tables, the recipient
// look-up and what the run remembers of messages and statuses.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <sstream>
#include <string>

#include "api/api_texts.h"
#include "api/message_history.h"
#include "api/message_text.h"
#include "api/status_history.h"
#include "api/status_text.h"
#include "json/reader.h"
#include "net/captcha_logic.h"
#include "net/text.h"

namespace {

const std::string kTail
    = "Host: api.socialnet.example\r\nUser-Agent: PPC Sorvinta\r\nConnection: Close\r\n\r\n";
const char kPrivet[] = "\xcf\xf0\xe8\xe2\xe5\xf2";  // "Привет" in Windows-1251

MessageJob Message(const std::string& plain, int id = 2001)
{
    MessageJob job;
    job.text = UrlEncode(plain);
    job.recipientId = id;
    job.act = ACT_ADD_MESSAGE;
    job.serial = 0;
    return job;
}

StatusJob Status(const std::string& plain)
{
    StatusJob job;
    job.text = UrlEncode(plain);
    job.act = ACT_SET_ACTIVITY;
    return job;
}

TEST(DataRequests, ComposeExactBytes)
{
    char buffer[DATA_REQUEST_SIZE];
    ASSERT_EQ(DataRequestComposed,
        ComposeMessageRequest(Message(std::string(kPrivet) + " &", -7), "5f3a", buffer, sizeof(buffer)));
    EXPECT_EQ("GET /data?act=add_message&id=-7&ts=64000010&message=%cf%f0%e8%e2%e5%f2%20%26&sid=5f3a "
              "HTTP/1.1\r\n"
            + kTail,
        buffer);
    ASSERT_EQ(DataRequestComposed, ComposeMessageRequest(Message(""), "s", buffer, sizeof(buffer)));
    EXPECT_EQ("GET /data?act=add_message&id=2001&ts=64000010&message=&sid=s HTTP/1.1\r\n" + kTail, buffer);
    // A send that answers a captcha carries its fields after the sid.
    MessageJob answered = Message("x");
    answered.captcha = CaptchaQuery(41, "k7 &");
    ASSERT_EQ(DataRequestComposed, ComposeMessageRequest(answered, "s", buffer, sizeof(buffer)));
    EXPECT_EQ(
        "GET /data?act=add_message&id=2001&ts=64000010&message=x&sid=s&csid=41&ccode=k7%20%26 HTTP/1.1\r\n"
            + kTail,
        buffer);
    ASSERT_EQ(
        DataRequestComposed, ComposeStatusRequest(Status(kPrivet), "1001", "5f3a", buffer, sizeof(buffer)));
    EXPECT_EQ(
        "GET /data?act=set_activity&id=1001&text=%cf%f0%e8%e2%e5%f2&wid=1_140403095&ts=754000053&sid=5f3a "
        "HTTP/1.1\r\n"
            + kTail,
        buffer);
}

TEST(DataRequests, NeverCutNorCarryForeignFields)
{
    // The request line and tail without the text take this many bytes.
    const std::size_t fixed
        = std::string("GET /data?act=add_message&id=2001&ts=64000010&message=&sid=s HTTP/1.1\r\n").size()
        + kTail.size();
    const std::size_t room = DATA_REQUEST_SIZE - 1 - fixed;
    struct Case {
        std::string text;
        const char* sid;
        DataRequestResult result;
    };
    const Case cases[] = {
        {std::string(room, 'a'), "s", DataRequestComposed},  // 4095 bytes and the zero
        {std::string(room + 1, 'a'), "s", DataRequestTooLong},
        {std::string(room / 3, '\xff'), "s", DataRequestComposed},  // one %ff per byte
        {std::string(room / 3 + 1, '\xff'), "s", DataRequestTooLong},
        {std::string(TYPED_TEXT_LIMIT, '\xe0'), "s", DataRequestTooLong},
        {"x", "a&id=1", DataRequestBadValue},
        {"x", "a b", DataRequestBadValue},
        {"x", "a\r\nHost: x", DataRequestBadValue},
    };
    for (const Case& c : cases) {
        char buffer[DATA_REQUEST_SIZE];
        std::memset(buffer, 'z', sizeof(buffer));
        EXPECT_EQ(c.result, ComposeMessageRequest(Message(c.text), c.sid, buffer, sizeof(buffer)))
            << c.text.size();
        if (c.result == DataRequestComposed)
            EXPECT_EQ(fixed + UrlEncode(c.text).size(), std::strlen(buffer));
        else
            EXPECT_STREQ("", buffer);
    }
    // A message text that was not encoded, and a member id that ends the line.
    MessageJob raw = Message("");
    raw.text = "a b";
    char buffer[DATA_REQUEST_SIZE];
    EXPECT_EQ(DataRequestBadValue, ComposeMessageRequest(raw, "s", buffer, sizeof(buffer)));
    EXPECT_EQ(DataRequestBadValue, ComposeStatusRequest(Status("x"), "1\r\n", "s", buffer, sizeof(buffer)));
    EXPECT_EQ(DataRequestTooLong,
        ComposeStatusRequest(Status(std::string(1400, '\xe0')), "1", "s", buffer, sizeof(buffer)));
}

TEST(DataAnswers, OutcomeTables)
{
    struct Case {
        std::string body;
        AnswerRead read;
        const wchar_t* message;
        const wchar_t* status;
    };
    const Case cases[] = {
        {"{\"ok\":1}", AnswerHasCode, TEXT_MESSAGE_SENT, TEXT_STATUS_SET},
        {"{\"ok\":1.7}", AnswerHasCode, TEXT_MESSAGE_SENT, TEXT_STATUS_SET},
        {"{\"ok\":0}", AnswerHasCode, TEXT_MESSAGE_FAILED, TEXT_STATUS_FAILED},
        {"{\"ok\":0.9}", AnswerHasCode, TEXT_MESSAGE_FAILED, TEXT_STATUS_FAILED},
        {"{\"ok\":-0.5}", AnswerHasCode, TEXT_MESSAGE_FAILED, TEXT_STATUS_FAILED},
        {"{\"ok\":-1}", AnswerHasCode, TEXT_AUTH_ERROR, TEXT_STATUS_ERROR},
        {"{\"ok\":-2.5}", AnswerHasCode, TEXT_CAPTCHA_NEEDED, TEXT_STATUS_ERROR},
        {"{\"ok\":-3,\"error\":\"privacy\"}", AnswerHasCode, TEXT_PRIVACY, TEXT_STATUS_ERROR},
        {"{\"ok\":2}", AnswerHasCode, TEXT_MESSAGE_FAILED, TEXT_STATUS_ERROR},
        {"{\"ok\":1e300}", AnswerHasCode, TEXT_MESSAGE_FAILED, TEXT_STATUS_ERROR},
        {"{\"ok\":-4294967297}", AnswerHasCode, TEXT_MESSAGE_FAILED, TEXT_STATUS_ERROR},
        {"{\"ok\":\"1\"}", AnswerBad, nullptr, nullptr},
        {"{\"error\":\"internal\"}", AnswerBad, nullptr, nullptr},
        {"[1]", AnswerBad, nullptr, nullptr},
        {"<html>internal error</html>", AnswerBad, nullptr, nullptr},
        {"{\"ok\":1", AnswerBad, nullptr, nullptr},
        {"", AnswerBad, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        int code = 12345;
        ASSERT_EQ(c.read, ReadOutcomeCode("HTTP/1.1 200 OK\r\nX: y\r\n\r\n" + c.body, &code)) << c.body;
        if (c.read != AnswerHasCode)
            continue;
        EXPECT_STREQ(c.message, MessageOutcomeText(code)) << c.body;
        EXPECT_STREQ(c.status, StatusOutcomeText(code)) << c.body;
    }
    int code = 0;
    // A refusing status is a failure, whatever its body says.
    for (const char* line :
        {"HTTP/1.1 500 Internal Server Error", "HTTP/1.0 404 Not Found", "HTTP/1.1 302 Found"})
        EXPECT_EQ(AnswerRefusedStatus, ReadOutcomeCode(std::string(line) + "\r\n\r\n{\"ok\":1}", &code))
            << line;
    EXPECT_EQ(AnswerHasCode, ReadOutcomeCode("HTTP/1.1 201 Created\r\n\r\n{\"ok\":1}", &code));
    EXPECT_EQ(AnswerNoBody, ReadOutcomeCode("HTTP/1.1 200 OK\r\nContent-Length: 8\r\n", &code));
    EXPECT_EQ(AnswerNoBody, ReadOutcomeCode("", &code));
    EXPECT_EQ(INT_MAX, TruncateToInt(1e300));
    EXPECT_EQ(INT_MIN, TruncateToInt(-1e300));
    EXPECT_EQ(-2, TruncateToInt(-2.99));
}

json::Element Document(const std::string& text)
{
    std::istringstream stream(text);
    json::Element document;
    json::Reader::Read(document, stream);
    return document;
}

TEST(RecipientLookUp, LastExactMatchOfTheCutName)
{
    const std::string longName(300, 'n');
    const json::Element members
        = Document("{\"members\":[[2001,\"Anna\",1],[2002,\"Boris\",0],[1,2,3],[7],\"x\","
                   "[\"9\",\"Anna\"],[2030.9,\"Anna\",0],[3e12,\"Boris\",0],[2040,\""
            + longName + "\",0],[2041,\"anna\",0]]}");
    struct Case {
        std::string name;
        bool found;
        int id;
    };
    const Case cases[] = {
        {"Anna", true, 2030},                   // the later of two, truncated toward zero
        {"Boris", true, 2002},                  // an id beyond int's range is passed over
        {longName.substr(0, 259), true, 2040},  // as the list row shows it
        {"Ann", false, 0},
        {"ANNA", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        int id = -99;
        EXPECT_EQ(c.found, FindRecipientId(members, c.name, &id)) << c.name;
        EXPECT_EQ(c.found ? c.id : -99, id) << c.name;
    }
    int id = 0;
    EXPECT_FALSE(FindRecipientId(json::Element(), "Anna", &id));  // a slot never filled
    EXPECT_FALSE(FindRecipientId(Document("{\"members\":{\"Anna\":1}}"), "Anna", &id));
    EXPECT_FALSE(FindRecipientId(Document("[[2001,\"Anna\"]]"), "Anna", &id));
}

TEST(RunHistory, StatusesMessagesAndDrafts)
{
    wchar_t buffer[8] = L"keep";
    EXPECT_FALSE(GetLastStatusText(buffer, 8));
    EXPECT_STREQ(L"keep", buffer);
    RememberStatus(L"Дома");
    RememberStatus(L"На работе, до вечера");
    RememberStatus(L"Дома");
    EXPECT_EQ((std::vector<std::wstring> {L"Дома", L"На работе, до вечера"}), StatusHistory());
    RememberStatus(L"На работе, до вечера");
    ASSERT_TRUE(GetLastStatusText(buffer, 8));
    EXPECT_STREQ(L"На рабо", buffer);  // cut to fit, zero included
    EXPECT_FALSE(GetLastStatusText(buffer, 0));

    const int first = RecordMessageSend(L"Анна", L"Привет");
    const int second = RecordMessageSend(L"Борис", L"Здравствуй");
    RecordMessageOutcome(first, TEXT_PRIVACY);
    const std::vector<SentMessage> sent = SentMessages();
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ(L"Борис", sent[0].recipient);
    EXPECT_EQ(L"", sent[0].outcome);
    EXPECT_EQ(TEXT_PRIVACY, sent[1].outcome);
    EXPECT_NE(first, second);

    EXPECT_EQ(L"", DraftFor(2001));
    KeepDraft(2001, L"черновик", 5);
    int serial = 0;
    EXPECT_EQ(L"черновик", DraftFor(2001, &serial));
    EXPECT_EQ(5, serial);
    EXPECT_EQ(L"", DraftFor(2002, &serial));
    EXPECT_EQ(0, serial);
    // Sends to one friend ending in any order: an older failure does not
    // replace a newer draft, and a send that went out drops only the draft
    // its dialog opened with.
    KeepDraft(2001, L"старое", 4);
    EXPECT_EQ(L"черновик", DraftFor(2001));
    DropDraft(2001, 0);
    DropDraft(2001, 4);
    EXPECT_EQ(L"черновик", DraftFor(2001));
    DropDraft(2001, 5);
    EXPECT_EQ(L"", DraftFor(2001));
    KeepDraft(2001, L"ещё", 6);
    DropDraft(2001);
    EXPECT_EQ(L"", DraftFor(2001));

    EXPECT_EQ(L"one two...", FirstWords(L"one two three", 9));
    EXPECT_EQ(L"one two", FirstWords(L"one\r\ntwo", 9));
    EXPECT_EQ(L"abcd...", FirstWords(L"abcdefgh", 4));
}

}  // namespace

TEST(MessageCaptcha, DueFromMinus2UntilAMessageIsSent)
{
    struct Case {
        int code;
        bool before, after;
    };
    const Case cases[] = {
        {-2, false, true},
        {-2, true, true},
        {1, true, false},
        {1, false, false},
        {0, true, true},
        {-1, true, true},
        {-3, true, true},
        {-3, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.after, MessageCaptchaDueAfter(c.code, c.before)) << c.code << " " << c.before;
}
