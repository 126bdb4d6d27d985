#include <gtest/gtest.h>

#include "net_test_harness.h"

#include <string>
#include <vector>

#include "net/http_exchange.h"
#include "net/status_texts.h"

namespace {

using nettest::RawServer;
using nettest::Reply;
using nettest::StatusLog;

// This program's own loopback address; 127.0.0.72 belongs to the session test.
const char SERVER[] = "127.0.0.71";
// Nobody listens here.
const char DEAD_SERVER[] = "127.0.0.79";

const std::vector<std::wstring> COMPLETED = {TEXT_COMPOSING, TEXT_SENDING, TEXT_RECEIVING};

std::vector<std::wstring> Then(std::vector<std::wstring> texts, const wchar_t* last)
{
    texts.push_back(last);
    return texts;
}

struct Outcome {
    int result = 0;
    std::string response;
};

Outcome Exchange(const std::string& request, const char* host, DWORD timeoutMs = EXCHANGE_IO_TIMEOUT_MS,
    size_t cap = MAX_RESPONSE_BYTES, DWORD deadlineMs = EXCHANGE_DEADLINE_MS)
{
    Outcome outcome;
    const ExchangeLimits limits = {timeoutMs, deadlineMs, cap};
    const bool finished = nettest::RunWorker(
        [&] { outcome.result = HttpExchangeWithLimits(request.c_str(), outcome.response, host, limits); });
    EXPECT_TRUE(finished) << "the exchange did not end";
    return outcome;
}

std::string RequestOfSize(size_t size)
{
    const std::string head = "GET /data?act=test HTTP/1.1\r\nHost: x\r\nX-Pad: ";
    const std::string tail = "\r\n\r\n";
    return head + std::string(size - head.size() - tail.size(), 'p') + tail;
}

class HttpExchangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        nettest::CreateTestMainWindow();
        StatusLog().clear();
    }
};

TEST_F(HttpExchangeTest, ThreeExchangesShowTheirTotalsInTheLabel)
{
    g_bytesSent = 0;
    g_bytesReceived = 0;
    const std::string answer = std::string(2048, 'r');
    RawServer server(SERVER,
        {{answer, nettest::REPLY_AND_CLOSE}, {answer, nettest::REPLY_AND_CLOSE},
            {answer, nettest::REPLY_AND_CLOSE}});
    ASSERT_TRUE(server.Listening());
    const std::string request = RequestOfSize(300);
    for (int i = 0; i < 3; ++i) {
        StatusLog().clear();
        const Outcome outcome = Exchange(request, SERVER);
        EXPECT_GE(outcome.result, 0);
        EXPECT_EQ(answer, outcome.response);
        EXPECT_EQ(COMPLETED, StatusLog());
    }
    EXPECT_EQ(900, g_bytesSent);
    EXPECT_EQ(6144, g_bytesReceived);
    EXPECT_EQ(L"6.0/0.9 кб", nettest::TrafficLabelText());
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ(request, requests[2]) << "sent unchanged, without the terminator";
}

TEST_F(HttpExchangeTest, AppendsToWhatTheCallerHas)
{
    RawServer server(SERVER, {{"HTTP/1.1 200 OK\r\n\r\nbody", nettest::REPLY_AND_CLOSE}});
    ASSERT_TRUE(server.Listening());
    std::string response = "kept|";
    int result = -2;
    ASSERT_TRUE(
        nettest::RunWorker([&] { result = HttpExchange("GET / HTTP/1.1\r\n\r\n", response, SERVER); }));
    EXPECT_GE(result, 0);
    EXPECT_EQ("kept|HTTP/1.1 200 OK\r\n\r\nbody", response);
}

TEST_F(HttpExchangeTest, EmptyAnswerStillCompletes)
{
    RawServer server(SERVER, {{"", nettest::REPLY_AND_CLOSE}});
    ASSERT_TRUE(server.Listening());
    g_bytesSent = 1024;
    g_bytesReceived = 0;
    SetWindowTextW(g_trafficLabel, L"before");
    const Outcome outcome = Exchange(RequestOfSize(100), SERVER);
    EXPECT_GE(outcome.result, 0);
    EXPECT_EQ("", outcome.response);
    EXPECT_EQ(1124, g_bytesSent);
    EXPECT_EQ(L"0.0/1.1 кб", nettest::TrafficLabelText());
    EXPECT_EQ(COMPLETED, StatusLog());
    EXPECT_EQ(TEXT_RECEIVING, nettest::StatusBarText()) << "the caller shows the outcome";
}

TEST_F(HttpExchangeTest, ZeroBytesAndLargeAnswersArriveWhole)
{
    std::string withZeros("HTTP/1.1 200 OK\r\n\r\n\0a\0\0b\0", 25);
    std::string large;
    for (int i = 0; i < 300000; ++i)
        large += char(i * 7 % 256);
    RawServer server(SERVER, {{withZeros, nettest::REPLY_AND_CLOSE}, {large, nettest::REPLY_AND_CLOSE}});
    ASSERT_TRUE(server.Listening());

    Outcome outcome = Exchange(RequestOfSize(64), SERVER);
    EXPECT_GE(outcome.result, 0);
    EXPECT_EQ(25u, outcome.response.size());
    EXPECT_EQ(withZeros, outcome.response);

    outcome = Exchange(RequestOfSize(64), SERVER);
    EXPECT_GE(outcome.result, 0);
    EXPECT_EQ(large.size(), outcome.response.size());
    EXPECT_TRUE(large == outcome.response);
}

TEST_F(HttpExchangeTest, TenMegabyteAnswerArrivesWhole)
{
    // A big friend list must fit under the default cap; the time is a figure
    // to watch, not a limit.
    std::string answer = "HTTP/1.1 200 OK\r\n\r\n";
    while (answer.size() < 10u * 1000u * 1000u)
        answer += "[12345,\"\xC8\xEC\xFF \xD4\xE0\xEC\xE8\xEB\xE8\xFF\",1],";
    RawServer server(SERVER, {{answer, nettest::REPLY_AND_CLOSE}});
    ASSERT_TRUE(server.Listening());
    const DWORD start = GetTickCount();
    const Outcome outcome = Exchange(RequestOfSize(100), SERVER);
    printf("[ figure   ] %u bytes received in %lu ms\n", (unsigned)outcome.response.size(),
        (unsigned long)(GetTickCount() - start));
    EXPECT_GE(outcome.result, 0);
    EXPECT_EQ(answer.size(), outcome.response.size());
    EXPECT_TRUE(answer == outcome.response);
}

struct FailureCase {
    const char* why;
    std::string host;
};

TEST_F(HttpExchangeTest, ConnectFailuresLeaveLabelAndCountersAlone)
{
    // A label of 64 letters cannot go into a DNS query, so the lookup fails
    // without a packet leaving the machine.
    const FailureCase cases[] = {
        {"nobody listens", DEAD_SERVER},
        {"name cannot be resolved", std::string(64, 'x') + ".socialnet.example"},
    };
    for (const FailureCase& c : cases) {
        StatusLog().clear();
        SetWindowTextW(g_trafficLabel, L"untouched");
        const LONG sent = g_bytesSent;
        const LONG received = g_bytesReceived;
        const Outcome outcome = Exchange(RequestOfSize(100), c.host.c_str());
        EXPECT_EQ(-1, outcome.result) << c.why;
        EXPECT_EQ("", outcome.response) << c.why;
        EXPECT_EQ(std::vector<std::wstring>({TEXT_COMPOSING, TEXT_CONNECT_FAILED}), StatusLog()) << c.why;
        EXPECT_EQ(L"untouched", nettest::TrafficLabelText()) << c.why;
        EXPECT_EQ(sent, g_bytesSent) << c.why;
        EXPECT_EQ(received, g_bytesReceived) << c.why;
    }
}

TEST_F(HttpExchangeTest, SilentServerTimesOut)
{
    RawServer server(SERVER, {{"", nettest::HOLD_SILENT}});
    ASSERT_TRUE(server.Listening());
    SetWindowTextW(g_trafficLabel, L"untouched");
    const LONG sent = g_bytesSent;
    const DWORD start = GetTickCount();
    const Outcome outcome = Exchange(RequestOfSize(100), SERVER, 1000);
    const DWORD elapsed = GetTickCount() - start;
    server.Stop();
    EXPECT_EQ(-1, outcome.result);
    EXPECT_EQ("", outcome.response);
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 15000u);
    EXPECT_EQ(std::vector<std::wstring>({TEXT_COMPOSING, TEXT_SENDING, TEXT_RECEIVING, TEXT_ANSWER_FAILED}),
        StatusLog())
        << "the request went out: the answer failed, not the connection";
    EXPECT_EQ(L"untouched", nettest::TrafficLabelText());
    EXPECT_EQ(sent + 100, g_bytesSent) << "the request did go out";
}

TEST_F(HttpExchangeTest, EndlessAnswerIsCutOffAsAFailure)
{
    const std::string answer(4096 + 3 * RECEIVE_CHUNK_BYTES, 'z');
    RawServer server(SERVER, {{answer, nettest::REPLY_AND_CLOSE}, {answer, nettest::REPLY_AND_CLOSE}});
    ASSERT_TRUE(server.Listening());
    SetWindowTextW(g_trafficLabel, L"untouched");
    const LONG received = g_bytesReceived;

    Outcome outcome = Exchange(RequestOfSize(100), SERVER, EXCHANGE_IO_TIMEOUT_MS, 4096);
    EXPECT_EQ(-1, outcome.result);
    EXPECT_EQ("", outcome.response);
    EXPECT_EQ(TEXT_ANSWER_TOO_BIG, StatusLog().back());
    EXPECT_EQ(L"untouched", nettest::TrafficLabelText());
    // What did arrive was traffic all the same; the next completed exchange shows it.
    EXPECT_GT(g_bytesReceived - received, 4096);
    EXPECT_LE(g_bytesReceived - received, 4096 + RECEIVE_CHUNK_BYTES)
        << "reading stops at the first chunk past the cap";

    // Exactly at the cap is still whole.
    outcome = Exchange(RequestOfSize(100), SERVER, EXCHANGE_IO_TIMEOUT_MS, answer.size());
    EXPECT_GE(outcome.result, 0);
    EXPECT_EQ(answer, outcome.response);
}

struct EndCase {
    const char* why;
    Reply reply;
    const char* requestMethod;
    const wchar_t* failure;  // NULL: the exchange completes with the whole reply
};

// Every reply but the last few is held open or reset after it is sent: the
// exchange must see where it ends without waiting for the server to close.
TEST_F(HttpExchangeTest, AnswersEndWhereTheirFramingSays)
{
    const std::string length = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello";
    const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                "5;n=v\r\nhello\r\n0\r\nX-Trailer: 1\r\n\r\n";
    const std::string redirect = "HTTP/1.1 302 Found\r\nLocation: /?sid=1\r\nContent-Length: 154\r\n\r\n";
    const EndCase cases[] = {
        {"kept open after its Content-Length", {length, nettest::REPLY_AND_HOLD}, "GET", NULL},
        {"lower-case name", {"HTTP/1.1 200 OK\r\ncontent-length:\t5\r\n\r\nhello", nettest::REPLY_AND_HOLD},
            "GET", NULL},
        {"kept open after the last chunk", {chunked, nettest::REPLY_AND_HOLD}, "GET", NULL},
        {"chunks arriving three bytes at a time", {chunked, nettest::REPLY_AND_HOLD, 3, 5}, "GET", NULL},
        {"HEAD answer, complete at the blank line", {redirect, nettest::REPLY_AND_HOLD}, "HEAD", NULL},
        {"RST after a whole answer", {length, nettest::REPLY_AND_RESET}, "GET", NULL},
        {"RST before the end", {length.substr(0, length.size() - 2), nettest::REPLY_AND_RESET}, "GET",
            TEXT_ANSWER_FAILED},
        {"chunk size that is not hex",
            {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nxyz\r\n", nettest::REPLY_AND_HOLD}, "GET",
            TEXT_ANSWER_MALFORMED},
        {"chunk size that overflows",
            {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1FFFFFFFFFFFFFFFF\r\n",
                nettest::REPLY_AND_HOLD},
            "GET", TEXT_ANSWER_MALFORMED},
        {"status line of another protocol", {"ICY 200 OK\r\n\r\nhello", nettest::REPLY_AND_HOLD}, "GET",
            TEXT_ANSWER_MALFORMED},
        {"two different lengths",
            {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\nhello",
                nettest::REPLY_AND_HOLD},
            "GET", TEXT_ANSWER_MALFORMED},
        {"closed short of its Content-Length",
            {length.substr(0, length.size() - 1), nettest::REPLY_AND_CLOSE}, "GET", TEXT_ANSWER_CUT},
        {"closed without the last chunk", {chunked.substr(0, chunked.size() - 20), nettest::REPLY_AND_CLOSE},
            "GET", TEXT_ANSWER_CUT},
        {"no length: read until close", {"HTTP/1.1 200 OK\r\n\r\nhello", nettest::REPLY_AND_CLOSE}, "GET",
            NULL},
        {"closed inside the headers", {"HTTP/1.1 302 Found\r\nLocation: /", nettest::REPLY_AND_CLOSE}, "HEAD",
            NULL},
    };
    std::vector<Reply> replies;
    for (const EndCase& c : cases)
        replies.push_back(c.reply);
    RawServer server(SERVER, replies);
    ASSERT_TRUE(server.Listening());
    for (const EndCase& c : cases) {
        StatusLog().clear();
        const DWORD start = GetTickCount();
        const Outcome outcome = Exchange(std::string(c.requestMethod) + " /data HTTP/1.1\r\n\r\n", SERVER);
        const DWORD elapsed = GetTickCount() - start;
        EXPECT_LT(elapsed, 5000u) << c.why << ": waited for the server instead of the answer's end";
        if (c.failure) {
            EXPECT_EQ(-1, outcome.result) << c.why;
            EXPECT_EQ("", outcome.response) << c.why;
            EXPECT_EQ(Then(COMPLETED, c.failure), StatusLog()) << c.why;
        } else {
            EXPECT_GE(outcome.result, 0) << c.why;
            EXPECT_EQ(c.reply.bytes, outcome.response) << c.why;
            EXPECT_EQ(COMPLETED, StatusLog()) << c.why;
        }
    }
}

TEST_F(HttpExchangeTest, TricklingServerMeetsTheOverallDeadline)
{
    // A byte every 100 ms is never a minute of silence; the deadline still ends it.
    RawServer server(
        SERVER, {{"HTTP/1.1 200 OK\r\n\r\n" + std::string(500, 'x'), nettest::REPLY_AND_CLOSE, 1, 100}});
    ASSERT_TRUE(server.Listening());
    const DWORD start = GetTickCount();
    const Outcome outcome
        = Exchange(RequestOfSize(100), SERVER, EXCHANGE_IO_TIMEOUT_MS, MAX_RESPONSE_BYTES, 1500);
    const DWORD elapsed = GetTickCount() - start;
    server.Stop();
    EXPECT_EQ(-1, outcome.result);
    EXPECT_EQ(Then(COMPLETED, TEXT_ANSWER_FAILED), StatusLog());
    EXPECT_GE(elapsed, 1400u);
    EXPECT_LT(elapsed, 15000u);
}

TEST_F(HttpExchangeTest, TrafficLabelFormat)
{
    const struct {
        LONG received;
        LONG sent;
        const wchar_t* text;
    } cases[] = {
        {0, 0, L"0.0/0.0 кб"},
        {5 * 1024, 1024, L"5.0/1.0 кб"},
        {6144, 900, L"6.0/0.9 кб"},
        {1023, 51, L"1.0/0.0 кб"},
        {0x7FFFFFFF, 0, L"2097152.0/0.0 кб"},
    };
    for (const auto& c : cases) {
        UpdateTrafficLabel(c.received, c.sent);
        EXPECT_EQ(c.text, nettest::TrafficLabelText());
    }
}

TEST_F(HttpExchangeTest, ConnectionManagerStandInConnects)
{
    EXPECT_GE(EstablishConnection(L"http://api.socialnet.example", 25000), 0);
    const GUID network = MapUrlToNetwork(L"http://api.socialnet.example");
    const GUID zero = {};
    EXPECT_EQ(0, memcmp(&network, &zero, sizeof(GUID)));
}

}  // namespace
