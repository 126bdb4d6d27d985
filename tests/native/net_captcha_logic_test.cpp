// The captcha step's request, query text, picture check and due state.
#include <gtest/gtest.h>

#include <string>

#include "net/captcha_logic.h"

namespace {

TEST(ComposeCaptchaRequest, ExactBytesAndRefusesWhatWouldNotFit)
{
    char buffer[REQUEST_BUFFER_SIZE];
    ASSERT_TRUE(ComposeCaptchaRequest(buffer, 12345, "api.socialnet.example"));
    EXPECT_STREQ("GET /data?act=captcha&csid=12345 HTTP/1.1\r\n"
                 "Host: api.socialnet.example\r\n"
                 "User-Agent: PPC Sorvinta\r\n"
                 "Accept: image/gif, image/jpeg, image/pjpeg, image/pjpeg\r\n"
                 "Connection: Close\r\n\r\n",
        buffer);
    EXPECT_FALSE(ComposeCaptchaRequest(buffer, 1, std::string(200, 'h').c_str()));
    EXPECT_STREQ("", buffer);
}

TEST(ComposeLoginRequest, CarriesTheCaptchaFieldsEncoded)
{
    char buffer[LOGIN_REQUEST_SIZE];
    ASSERT_TRUE(ComposeLoginRequest(buffer, 2, "a@b.c", "p", "login.example", CaptchaQuery(77, "ab &c")));
    EXPECT_EQ(0,
        std::string(buffer).find(
            "HEAD /auth?login=force&site=2&email=a%40b%2ec&pass=p&csid=77&ccode=ab%20%26c HTTP/1.1\r\n"));
    // The longest e-mail and password the settings keep, every byte encoded
    // to three, fit with the longest captcha fields.
    const std::string longest(259, '\xe9');
    ASSERT_TRUE(
        ComposeLoginRequest(buffer, 2, longest, longest, "login.socialnet.example", LongestCaptchaQuery()));
    EXPECT_NE(std::string::npos, std::string(buffer).find("&csid=2147483647&ccode=%ff%ff"));
}

TEST(CaptchaState, DueAfterMinus3AndMinus2UntilASuccess)
{
    const struct {
        LoginOutcome outcome;
        bool before, after;
    } cases[] = {
        {LoginCaptchaNext, false, true},
        {LoginWrongCaptcha, false, true},
        {LoginWrongCaptcha, true, true},
        {LoginSuccess, true, false},
        {LoginWrongPassword, true, false},  // -4 after -3: no captcha needed
        {LoginWrongPassword, false, false},
        {LoginNoLocation, true, true},
        {LoginFailed, false, false},
        {LoginRefusedAnswer, true, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.after, CaptchaDueAfter(c.outcome, c.before)) << c.outcome << " " << c.before;
}

TEST(CaptchaPicture, OnlyAGifOfACaptchaSize)
{
    const std::string gif = "GIF89a" + std::string(100, 'x');
    EXPECT_TRUE(IsCaptchaPicture(gif));
    EXPECT_TRUE(IsCaptchaPicture("GIF87a" + std::string(100, 'x')));
    EXPECT_FALSE(IsCaptchaPicture(""));
    EXPECT_FALSE(IsCaptchaPicture("GIF89a"));
    EXPECT_FALSE(IsCaptchaPicture("<html>" + std::string(100, 'x')));
    EXPECT_FALSE(IsCaptchaPicture("GIF89a" + std::string(CAPTCHA_PICTURE_MAX, 'x')));
    EXPECT_TRUE(IsCaptchaPicture("\xff\xd8\xff\xe0" + std::string(100, 'x')));  // JPEG, as Accept offers
    EXPECT_FALSE(IsCaptchaPicture("\xff\xd8" + std::string(100, 'x')));
    // A picture under a refusing status is none.
    EXPECT_EQ(gif, CaptchaPictureOf("HTTP/1.1 200 OK\r\nContent-Length: 106\r\n\r\n" + gif));
    EXPECT_EQ(
        "", CaptchaPictureOf("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 106\r\n\r\n" + gif));
    unsigned seed = 1;
    for (int i = 0; i < 1000; ++i)
        EXPECT_GT(NextCaptchaId(&seed), 0);
}

}  // namespace
