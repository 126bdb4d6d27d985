// The real exe against nginx standing in for both hosts (tests/e2e/nginx):
// answers shaped by a real HTTP/1.1 server rather than by our own emulator.
#include "e2e_fixture.h"

#include <cstdlib>

namespace {

const char NGINX_EMAIL[] = "nginx@socialnet.example";
const char NGINX_PASSWORD[] = "nginx123";
const char FRIENDS_PATH[] = "/data?act=friends&from=0&to=2500&id=4242&sid=5ee7c0de";

// The names of site/lists/parts/*.json (Windows-1251) and of
// site/lists/online.json (UTF-8, one name in \u escapes), as the list box sorts them.
const std::vector<std::wstring> ALL_FRIENDS
    = {L"Анна Ёлкина", L"Борис Щукин", L"Вера Юрьева", L"Григорий Эрдман", L"Жанна «Ёж» Шульц"};
const std::vector<std::wstring> ONLINE_FRIENDS = {L"Анна Ёлкина", L"Вера Юрьева"};

class NginxTest : public testing::Test {
protected:
    void TearDown() override
    {
        if (!app.Running())
            return;
        DWORD code = 12345;
        EXPECT_TRUE(app.Close(15000, &code)) << "WM_CLOSE did not end the program";
        EXPECT_EQ(0u, code);
    }

    SorvintaApp app;
};

// The sizes of the chunks of a chunked body; false when it is not one.
bool ChunkSizes(const std::string& body, std::vector<unsigned long>* sizes)
{
    size_t at = 0;
    for (;;) {
        const size_t lineEnd = body.find("\r\n", at);
        if (lineEnd == std::string::npos)
            return false;
        char* end = NULL;
        const unsigned long size = strtoul(body.c_str() + at, &end, 16);
        if (end == body.c_str() + at)
            return false;
        if (size == 0)
            return true;
        sizes->push_back(size);
        at = lineEnd + 2 + size + 2;
        if (at > body.size())
            return false;
    }
}

TEST_F(NginxTest, AllFriendsReallyArriveChunkedInSeveralChunks)
{
    std::string response;
    ASSERT_TRUE(HttpRequest(DATA_HOST_ADDRESS,
        std::string("GET ") + FRIENDS_PATH
            + " HTTP/1.1\r\nHost: api.socialnet.example\r\nConnection: Close\r\n\r\n",
        &response));
    const size_t blank = response.find("\r\n\r\n");
    ASSERT_NE(std::string::npos, blank) << response;
    const std::string head = response.substr(0, blank + 2);
    EXPECT_NE(std::string::npos, head.find("\r\nTransfer-Encoding: chunked\r\n")) << head;
    EXPECT_EQ(std::string::npos, head.find("Content-Length")) << head;
    std::vector<unsigned long> sizes;
    EXPECT_TRUE(ChunkSizes(response.substr(blank + 4), &sizes)) << response;
    EXPECT_GE(sizes.size(), 3u) << "one chunk per include at least";
}

TEST_F(NginxTest, LogsInListsOnlineAndAllFriendsAndLogsOut)
{
    ASSERT_TRUE(app.StartWithAccount(NGINX_EMAIL, NGINX_PASSWORD)) << app.Error();
    EXPECT_EQ(Utf8(TEXT_LOGGED_IN), Utf8(app.CommandAndWait(IDM_CONNECT)));

    // Online first, as the program starts: a static UTF-8 file with its length.
    EXPECT_EQ("Загружено 2 друзей", Utf8(app.CommandAndWait(IDM_REFRESH)));
    EXPECT_EQ(ONLINE_FRIENDS, app.ListRows());

    // All friends: the chunked SSI page.
    app.Command(IDM_ALL_ONLINE);
    EXPECT_EQ("Загружено 5 друзей", Utf8(app.CommandAndWait(IDM_REFRESH)));
    EXPECT_EQ(ALL_FRIENDS, app.ListRows());

    EXPECT_EQ(Utf8(TEXT_LOGGED_OUT), Utf8(app.CommandAndWait(IDM_CONNECT)));
    EXPECT_EQ(Utf8(TEXT_NOT_LOGGED_IN), Utf8(app.CommandAndWait(IDM_REFRESH)));
    EXPECT_EQ(ALL_FRIENDS, app.ListRows()) << "logging out leaves the list";
}

TEST_F(NginxTest, WrongPasswordIsRefusedByItsCode)
{
    ASSERT_TRUE(app.StartWithAccount(NGINX_EMAIL, "wrong")) << app.Error();
    EXPECT_EQ("Неверный email или пароль, captcha не нужна", Utf8(app.CommandAndWait(IDM_CONNECT)));
    EXPECT_EQ(Utf8(TEXT_NOT_LOGGED_IN), Utf8(app.CommandAndWait(IDM_REFRESH)));
}

}  // namespace
