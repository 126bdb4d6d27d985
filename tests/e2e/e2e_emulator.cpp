// Plain winsock HTTP from the driver to the emulator, and its log file.
#include "e2e_emulator.h"

#include <winsock2.h>
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "e2e_driver.h"

const char LOGIN_HOST_ADDRESS[] = "127.0.0.2";
const char DATA_HOST_ADDRESS[] = "127.0.0.3";

namespace {

const DWORD SOCKET_TIMEOUT_MS = 20000;

std::string Encode(const std::string& value)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : value) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            out += (char)c;
        else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// Value of a header field (first occurrence), up to the end of its line.
std::string HeaderValue(const std::string& response, const std::string& name)
{
    std::string::size_type at = 0;
    while ((at = response.find(name + ":", at)) != std::string::npos) {
        if (at == 0 || response[at - 1] == '\n') {
            std::string::size_type start = at + name.size() + 1;
            std::string::size_type end = response.find("\r\n", start);
            std::string value
                = response.substr(start, end == std::string::npos ? std::string::npos : end - start);
            value.erase(0, value.find_first_not_of(' '));
            return value;
        }
        at += name.size();
    }
    return std::string();
}

std::string AllHeaderValues(const std::string& response, const std::string& name)
{
    std::string joined;
    std::string::size_type at = 0;
    const std::string::size_type headEnd = response.find("\r\n\r\n");
    while ((at = response.find(name + ":", at)) != std::string::npos && at < headEnd) {
        std::string::size_type start = at + name.size() + 1;
        std::string::size_type end = response.find("\r\n", start);
        joined += response.substr(start, end - start) + ";";
        at = end;
    }
    return joined;
}

// Reads a JSON string starting at the opening quote; false on a malformed one.
bool ReadJsonString(const std::string& text, size_t& pos, std::string* value)
{
    if (pos >= text.size() || text[pos] != '"')
        return false;
    ++pos;
    value->clear();
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"')
            return true;
        if (c == '\\') {
            if (pos >= text.size())
                return false;
            char e = text[pos++];
            switch (e) {
            case 'n': *value += '\n'; break;
            case 't': *value += '\t'; break;
            case 'r': *value += '\r'; break;
            case 'b': *value += '\b'; break;
            case 'f': *value += '\f'; break;
            default: *value += e; break;
            }
        } else {
            *value += c;
        }
    }
    return false;
}

void SkipSpaces(const std::string& text, size_t& pos)
{
    while (pos < text.size()
        && (text[pos] == ' ' || text[pos] == '\n' || text[pos] == '\r' || text[pos] == '\t'))
        ++pos;
}

}  // namespace

bool StartWinsock()
{
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

bool HttpRequest(const char* address, const std::string& request, std::string* response)
{
    response->clear();
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET)
        return false;
    DWORD timeout = SOCKET_TIMEOUT_MS;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    sockaddr_in to;
    memset(&to, 0, sizeof(to));
    to.sin_family = AF_INET;
    to.sin_port = htons(80);
    to.sin_addr.s_addr = inet_addr(address);
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof(to)) == SOCKET_ERROR) {
        closesocket(s);
        return false;
    }
    size_t sent = 0;
    while (sent < request.size()) {
        int n = send(s, request.data() + sent, (int)(request.size() - sent), 0);
        if (n <= 0) {
            closesocket(s);
            return false;
        }
        sent += n;
    }
    char chunk[4096];
    for (;;) {
        int n = recv(s, chunk, sizeof(chunk), 0);
        if (n <= 0)
            break;
        response->append(chunk, n);
    }
    closesocket(s);
    return !response->empty();
}

int HttpGet(const char* address, const std::string& path, std::string* body)
{
    std::string response;
    const std::string request
        = "GET " + path + " HTTP/1.1\r\nHost: " + address + "\r\nConnection: close\r\n\r\n";
    if (!HttpRequest(address, request, &response))
        return -1;
    if (body) {
        std::string::size_type blank = response.find("\r\n\r\n");
        *body = blank == std::string::npos ? std::string() : response.substr(blank + 4);
    }
    int code = -1;
    if (sscanf(response.c_str(), "HTTP/%*d.%*d %d", &code) != 1)
        return -1;
    return code;
}

bool ArmFault(const char* address, const std::string& name, int count)
{
    return HttpGet(address, "/_emulator/fault?set=" + name + "&count=" + std::to_string(count)) == 200;
}

bool ResetEmulator()
{
    return HttpGet(LOGIN_HOST_ADDRESS, "/_emulator/reset") == 200
        && HttpGet(DATA_HOST_ADDRESS, "/_emulator/reset") == 200;
}

bool EmulatorReachable()
{
    return ResetEmulator();
}

bool HoldAnswers(const char* address, int count)
{
    return HttpGet(address, "/_emulator/hold?count=" + std::to_string(count)) == 200;
}

bool ReleaseAnswers()
{
    return HttpGet(LOGIN_HOST_ADDRESS, "/_emulator/release") == 200;
}

int EmulatorStateValue(const std::string& name)
{
    std::string body;
    if (HttpGet(LOGIN_HOST_ADDRESS, "/_emulator/state", &body) != 200)
        return -1;
    const std::string key = name + " ";
    const std::string::size_type at = body.compare(0, key.size(), key) == 0 ? 0 : body.find("\n" + key);
    if (at == std::string::npos)
        return -1;
    return atoi(body.c_str() + at + (at == 0 ? 0 : 1) + key.size());
}

std::string PendingCaptchaCode(const std::string& csid)
{
    std::string body;
    if (csid.empty() || HttpGet(DATA_HOST_ADDRESS, "/_emulator/state", &body) != 200)
        return std::string();
    const std::string key = "\ncaptcha " + csid + " ";
    const std::string::size_type at = body.find(key);
    if (at == std::string::npos)
        return std::string();
    const std::string::size_type from = at + key.size();
    return body.substr(from, body.find('\n', from) - from);
}

bool WaitHeld(int count, unsigned long timeoutMs)
{
    return WaitFor([&] { return EmulatorStateValue("held") == count; }, timeoutMs);
}

bool SizeNextIds(int sidLength, int memberIdDigits)
{
    return HttpGet(LOGIN_HOST_ADDRESS,
               "/_emulator/ids?sid=" + std::to_string(sidLength) + "&mid=" + std::to_string(memberIdDigits))
        == 200;
}

bool PeersAnswer()
{
    return HttpGet(LOGIN_HOST_ADDRESS, "/") > 0 && HttpGet(DATA_HOST_ADDRESS, "/") > 0;
}

std::string EmulatorLogPath()
{
    char path[1024] = "";
    DWORD n = GetEnvironmentVariableA("SORVINTA_EMULATOR_LOG", path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        return std::string();
    std::string unixPath = path;
    if (unixPath.empty() || unixPath[0] != '/')
        return unixPath;
    std::string wine = "Z:" + unixPath;
    for (char& c : wine)
        if (c == '/')
            c = '\\';
    return wine;
}

static std::string ReadLogText()
{
    const std::string path = EmulatorLogPath();
    if (path.empty())
        return std::string();
    HANDLE file
        = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string text;
    char chunk[65536];
    DWORD n = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &n, NULL) && n > 0)
        text.append(chunk, n);
    CloseHandle(file);
    return text;
}

EmulatorLog::EmulatorLog()
    : m_mark(0)
{
    Mark();
}

void EmulatorLog::Mark()
{
    m_mark = ReadLogText().size();
}

std::vector<std::string> EmulatorLog::LinesSinceMark() const
{
    std::vector<std::string> lines;
    const std::string text = ReadLogText();
    if (text.size() <= m_mark)
        return lines;
    std::string::size_type start = m_mark;
    std::string::size_type end;
    while ((end = text.find('\n', start)) != std::string::npos) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> EmulatorLog::RequestsWith(const std::string& text) const
{
    std::vector<std::string> found;
    for (const std::string& line : LinesSinceMark())
        if (line.find(text) != std::string::npos && line.find("/_emulator/") == std::string::npos)
            found.push_back(line);
    return found;
}

std::string DecodeQueryValue(const std::string& value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < value.size() && isxdigit((unsigned char)value[i + 1])
            && isxdigit((unsigned char)value[i + 2])) {
            out += (char)strtol(value.substr(i + 1, 2).c_str(), NULL, 16);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

bool QueryValue(const std::string& requestLine, const std::string& key, std::string* value)
{
    std::string::size_type q = requestLine.find('?');
    if (q == std::string::npos)
        return false;
    std::string::size_type end = requestLine.find(' ', q);
    const std::string query
        = requestLine.substr(q + 1, end == std::string::npos ? std::string::npos : end - q - 1);
    std::string::size_type start = 0;
    while (start <= query.size()) {
        std::string::size_type amp = query.find('&', start);
        const std::string pair
            = query.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
        std::string::size_type eq = pair.find('=');
        if (eq != std::string::npos && pair.substr(0, eq) == key) {
            *value = pair.substr(eq + 1);
            return true;
        }
        if (amp == std::string::npos)
            break;
        start = amp + 1;
    }
    return false;
}

bool LoginDirect(const std::string& email, const std::string& password, DirectSession* session)
{
    const std::string request = "HEAD /auth?login=force&site=2&email=" + Encode(email) + "&pass="
        + Encode(password) + " HTTP/1.1\r\nHost: login.socialnet.example\r\nConnection: close\r\n\r\n";
    std::string response;
    if (!HttpRequest(LOGIN_HOST_ADDRESS, request, &response))
        return false;
    const std::string location = HeaderValue(response, "Location");
    std::string::size_type sid = location.find("sid=");
    if (sid == std::string::npos)
        return false;
    session->sid = location.substr(sid + 4);
    const std::string cookies = AllHeaderValues(response, "Set-Cookie");
    std::string::size_type mid = cookies.find("remixmid=");
    if (mid == std::string::npos)
        return false;
    mid += strlen("remixmid=");
    session->memberId = cookies.substr(mid, cookies.find(';', mid) - mid);
    return !session->sid.empty() && session->sid[0] != '-' && !session->memberId.empty();
}

bool FetchFriendNames(const DirectSession& session, const std::string& act, std::vector<std::string>* names)
{
    names->clear();
    std::string body;
    const std::string path
        = "/data?act=" + act + "&from=0&to=2500&id=" + session.memberId + "&sid=" + session.sid;
    if (HttpGet(DATA_HOST_ADDRESS, path, &body) != 200)
        return false;
    const std::string::size_type members = body.find("\"members\"");
    if (members == std::string::npos)
        return false;
    size_t pos = body.find('[', members);
    if (pos == std::string::npos)
        return false;
    ++pos;
    // [[id,"name",online],...]
    for (;;) {
        SkipSpaces(body, pos);
        if (pos >= body.size())
            return false;
        if (body[pos] == ']')
            return true;
        if (body[pos] == ',') {
            ++pos;
            continue;
        }
        if (body[pos] != '[')
            return false;
        pos = body.find(',', pos);
        if (pos == std::string::npos)
            return false;
        ++pos;
        SkipSpaces(body, pos);
        std::string name;
        if (!ReadJsonString(body, pos, &name))
            return false;
        names->push_back(name);
        // The rest of the member: plain values, no strings with brackets.
        pos = body.find(']', pos);
        if (pos == std::string::npos)
            return false;
        ++pos;
    }
}
