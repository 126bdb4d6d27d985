#include <gtest/gtest.h>

#include <random>
#include <string>

#include "net/http_answer.h"

namespace {

const std::string OK = "HTTP/1.1 200 OK\r\n";

ChunkedState Decode(const std::string& encoded, std::string* body, std::size_t* end = nullptr)
{
    return DecodeChunked(encoded.data(), encoded.size(), body, end);
}

TEST(DecodeChunked, ReadsWhatServersWrite)
{
    const struct {
        std::string encoded;
        ChunkedState state;
        std::string body;
    } cases[] = {
        {"3\r\nabc\r\n0\r\n\r\n", ChunkedDone, "abc"},
        {"a\r\n0123456789\r\nA\r\n0123456789\r\n0\r\n\r\n", ChunkedDone, "01234567890123456789"},
        {"000002\r\nab\r\n0000\r\n\r\n", ChunkedDone, "ab"},
        {"2;name=value;x\r\nab\r\n1 ; q=\"a;b\"\r\nc\r\n0;last\r\n\r\n", ChunkedDone, "abc"},
        {"2\r\nab\r\n0\r\nExpires: never\r\nX: 1\r\n\r\n", ChunkedDone, "ab"}, {"0\r\n\r\n", ChunkedDone, ""},
        {"2\r\n\r\n\r\n0\r\n\r\n", ChunkedDone, "\r\n"}, {"", ChunkedPartial, ""},
        {"3\r\nab", ChunkedPartial, ""},                       // a size beyond what arrived
        {"3\r\nabc\r\n", ChunkedPartial, "abc"},               // no last chunk
        {"3\r\nabc\r\n0\r\nX: 1\r\n", ChunkedPartial, "abc"},  // trailer not ended
        {"3;ext", ChunkedPartial, ""}, {"g\r\nx\r\n0\r\n\r\n", ChunkedMalformed, ""},  // not hex
        {"\r\n0\r\n\r\n", ChunkedMalformed, ""},                                       // no size
        {"-1\r\nx\r\n", ChunkedMalformed, ""}, {"0x3\r\nabc\r\n0\r\n\r\n", ChunkedMalformed, ""},
        {"3 4\r\nabc\r\n", ChunkedMalformed, ""}, {"3\nabc\n0\n\n", ChunkedMalformed, ""},  // bare line feeds
        {"3\r\nabcd\r\n0\r\n\r\n", ChunkedMalformed, ""},  // data longer than its size
        {"10000000000000000\r\n", ChunkedMalformed, ""},   // overflows
        {"FFFFFFFFFFFFFFFF\r\n", ChunkedPartial, ""},      // fits, but never arrives
        {std::string(5000, '0'), ChunkedMalformed, ""},    // a size line without end
    };
    for (const auto& c : cases) {
        std::string body;
        EXPECT_EQ(c.state, Decode(c.encoded, &body)) << c.encoded;
        if (c.state == ChunkedDone)
            EXPECT_EQ(c.body, body) << c.encoded;
    }
    std::size_t end = 0;
    ASSERT_EQ(ChunkedDone, Decode("1\r\nx\r\n0\r\n\r\nnext answer", nullptr, &end));
    EXPECT_EQ(11u, end);
}

TEST(DecodeChunked, AnyBodyCutIntoRandomChunksDecodesToItself)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 2000; ++round) {
        std::string body(random() % 3000, '\0');
        for (char& c : body)
            c = static_cast<char>(random());
        std::string encoded;
        for (std::size_t at = 0; at < body.size();) {
            const std::size_t size = std::min<std::size_t>(body.size() - at, 1 + random() % 700);
            char line[40];
            snprintf(line, sizeof(line), random() % 2 ? "%zx" : "%zX", size);
            encoded += line;
            if (random() % 4 == 0)
                encoded += ";n=v";
            encoded += "\r\n" + body.substr(at, size) + "\r\n";
            at += size;
        }
        encoded += random() % 3 == 0 ? "0\r\nT: x\r\n\r\n" : "0\r\n\r\n";
        std::string decoded;
        ASSERT_EQ(ChunkedDone, Decode(encoded, &decoded)) << "round " << round;
        ASSERT_EQ(body, decoded) << "round " << round;
        // Every proper prefix is only partial, never a shorter whole.
        const std::size_t cut = random() % encoded.size();
        ASSERT_EQ(ChunkedPartial, Decode(encoded.substr(0, cut), nullptr)) << "round " << round;
    }
}

TEST(ResponseStatus, NeedsAnHttp1StatusLine)
{
    const struct {
        std::string response;
        int status;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\n", 200},
        {"HTTP/1.0 302 Found\r\n\r\n", 302},
        {"HTTP/1.1 204\r\n", 204},
        {"HTTP/1.1 500 Internal Server Error\r\n", 500},
        {"HTTP/1.1 200 OK", -1},  // the line has not ended
        {"HTTP/2 200 OK\r\n", -1},
        {"HTTP/1.1 20 OK\r\n", -1},
        {"HTTP/1.1 2000 OK\r\n", -1},
        {"HTTP/1.1 099 Low\r\n", -1},
        {"http/1.1 200 OK\r\n", -1},
        {"Location: /?sid=1\r\n\r\n", -1},
        {"", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.status, ResponseStatus(c.response)) << c.response;
}

TEST(HeaderFieldValues, AnyLetterCaseAndNoWhitespaceAround)
{
    const std::string response = OK + "set-cookie: a=1\r\nSET-COOKIE:\tb=2 ; path=/ \t\r\nSet-Cookie:c=3\r\n"
        + "Other: x\r\n\r\nSet-Cookie: body=1\r\n";
    EXPECT_EQ(
        std::vector<std::string>({"a=1", "b=2 ; path=/", "c=3"}), HeaderFieldValues(response, "Set-Cookie"));
    EXPECT_TRUE(HeaderFieldValues(response, "Location").empty());
}

TEST(ReadBodyFraming, FromTheHeaderBlock)
{
    const struct {
        std::string head;
        bool headRequest;
        BodyFraming framing;
        std::size_t length;
    } cases[] = {
        {OK + "Content-Length: 42\r\n\r\n", false, FramingLength, 42},
        {OK + "content-length:\t7 \r\n\r\n", false, FramingLength, 7},
        {OK + "Content-Length: 7, 7\r\nContent-Length: 7\r\n\r\n", false, FramingLength, 7},
        {OK + "Content-Length: 7\r\nContent-Length: 8\r\n\r\n", false, FramingBad, 0},
        {OK + "Content-Length: -1\r\n\r\n", false, FramingBad, 0},
        {OK + "Content-Length: 99999999999999999999999\r\n\r\n", false, FramingBad, 0},
        {OK + "Content-Length:\r\n\r\n", false, FramingBad, 0},
        {OK + "Transfer-Encoding: chunked\r\nContent-Length: 5\r\n\r\n", false, FramingChunked, 0},
        {OK + "TRANSFER-ENCODING: Chunked\r\n\r\n", false, FramingChunked, 0},
        {OK + "Transfer-Encoding: gzip, chunked\r\n\r\n", false, FramingBad, 0},
        {OK + "\r\n", false, FramingUntilClose, 0},
        {OK + "Content-Length: 42\r\n\r\n", true, FramingNone, 0},
        {"HTTP/1.1 204 No Content\r\n\r\n", false, FramingNone, 0},
        {"HTTP/1.1 304 Not Modified\r\nContent-Length: 10\r\n\r\n", false, FramingNone, 0},
    };
    for (const auto& c : cases) {
        std::size_t length = 0;
        EXPECT_EQ(c.framing, ReadBodyFraming(c.head, c.headRequest, &length)) << c.head;
        EXPECT_EQ(c.length, length) << c.head;
    }
}

struct EndCase {
    std::string answer;
    bool headRequest;
    AnswerState state;       // once all of it is there
    std::size_t completeAt;  // the shortest prefix that is complete (0: none)
};

TEST(AnswerEnd, KnowsWhenTheAnswerIsWhole)
{
    const std::string chunked = OK + "Transfer-Encoding: chunked\r\n\r\n";
    const std::string lengthHead = OK + "Content-Length: 5\r\n\r\n";
    const EndCase cases[] = {
        {lengthHead + "hello", false, AnswerComplete, lengthHead.size() + 5},
        {lengthHead + "hel", false, AnswerPartial, 0},
        {chunked + "5\r\nhello\r\n0\r\n\r\n", false, AnswerComplete, chunked.size() + 15},
        {chunked + "5\r\nhello\r\n0\r\nX: y\r\n\r\n", false, AnswerComplete, chunked.size() + 21},
        {chunked + "5\r\nhello\r\n", false, AnswerPartial, 0},
        {chunked + "zz\r\n", false, AnswerMalformed, 0},
        {OK + "Content-Length: 1000\r\n\r\n", true, AnswerComplete, OK.size() + 24},
        {OK + "\r\nuntil close", false, AnswerOpen, 0},
        {"HTTP/1.1 302 Found\r\nLocation: /\r\n", false, AnswerPartial, 0},
        {"SSH-2.0-OpenSSH\r\n", false, AnswerMalformed, 0},
        {OK + "Content-Length: x\r\n\r\n", false, AnswerMalformed, 0},
    };
    for (const EndCase& c : cases) {
        // Byte by byte, as the slowest server would send it.
        AnswerEnd end(c.headRequest);
        std::string received;
        std::size_t completeAt = 0;
        AnswerState state = AnswerPartial;
        for (char byte : c.answer) {
            received += byte;
            state = end.Check(received);
            if (state == AnswerComplete && !completeAt)
                completeAt = received.size();
        }
        EXPECT_EQ(c.state, state) << c.answer;
        EXPECT_EQ(c.completeAt, completeAt) << c.answer;
        // In one piece the verdict is the same.
        AnswerEnd whole(c.headRequest);
        EXPECT_EQ(c.state, whole.Check(c.answer)) << c.answer;
    }
}

TEST(DecodeResponseBody, OnlyWholeBodies)
{
    std::string body;
    EXPECT_FALSE(DecodeResponseBody(OK + "Content-Length: 4\r\n", &body)) << "no blank line";
    EXPECT_FALSE(DecodeResponseBody(OK + "Transfer-Encoding: chunked\r\n\r\n4\r\nab", &body));
    EXPECT_FALSE(DecodeResponseBody(OK + "Transfer-Encoding: br\r\n\r\nab", &body));
    ASSERT_TRUE(DecodeResponseBody(
        OK + "Transfer-Encoding: chunked\r\n\r\n4\r\n[[1,\r\n3\r\n\"\xC0\"\r\n2\r\n]]\r\n0\r\n\r\n", &body));
    EXPECT_EQ("[[1,\"\xC0\"]]", body);
}

TEST(IsUtf8Answer, ReadsTheCharsetParameter)
{
    const struct {
        const char* type;
        bool utf8;
    } cases[] = {
        {"application/json; charset=utf-8", true},
        {"application/json;charset=UTF-8", true},
        {"text/html; q=1; Charset=\"utf-8\"", true},
        {"application/json; charset=windows-1251", false},
        {"application/json", false},
        {"text/plain; name=charset=utf-8", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.utf8, IsUtf8Answer(OK + "content-type: " + c.type + "\r\n\r\n")) << c.type;
    EXPECT_FALSE(IsUtf8Answer(OK + "\r\nContent-Type: text/plain; charset=utf-8\r\n"));
}

}  // namespace
