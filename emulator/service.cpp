#include "emulator/service.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "emulator/cp1251.h"
#include "emulator/gif.h"

namespace emulator {

namespace {

constexpr const char* kCookieDomain
    = "; expires=Thu, 01-Jan-2037 00:00:00 GMT; path=/; domain=.socialnet.example";

enum class ListKind { All, Online, Mutual, New };

bool ListKindOf(std::string_view act, ListKind& kind)
{
    if (act == "friends")
        kind = ListKind::All;
    else if (act == "friends_online")
        kind = ListKind::Online;
    else if (act == "friends_mutual")
        kind = ListKind::Mutual;
    else if (act == "friends_new")
        kind = ListKind::New;
    else
        return false;
    return true;
}

std::string Value(const Params& query, const char* name)
{
    const std::string* v = FindParam(query, name);
    return v ? *v : std::string();
}

std::string LowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

Answer Redirect(const std::string& location)
{
    Answer a;
    a.status = 302;
    a.headers.emplace_back("Location", location);
    return a;
}

Answer LoginCode(const char* code)
{
    return Redirect(std::string(kLoginPage) + "?sid=" + code);
}

Answer Json(std::string body)
{
    Answer a;
    a.contentType = kJsonType;
    a.body = std::move(body);
    return a;
}

Answer Text(int status, std::string body)
{
    Answer a;
    a.status = status;
    a.contentType = "text/plain; charset=windows-1251";
    a.body = std::move(body);
    return a;
}

std::string MemberText(const Friend& f, bool online)
{
    return "[" + std::to_string(f.id) + "," + JsonString(f.name) + "," + (online ? "1" : "0") + "]";
}

std::string JoinMembers(const std::vector<std::string>& items)
{
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += ",";
        out += items[i];
    }
    out += "]";
    return out;
}

// What a message or status answer becomes under a reply fault.
Answer SpoilReply(Answer a, Fault fault)
{
    switch (fault) {
    case Fault::NotJson: a.body = "<html>internal error</html>"; break;
    case Fault::NoOk: a.body = "{\"error\":\"internal\"}"; break;
    case Fault::OkString: a.body = "{\"ok\":\"1\"}"; break;
    default: break;
    }
    return a;
}

// What a captcha picture becomes under a fault: a page in its place, or a
// GIF that starts right and stops halfway.
Answer SpoilPicture(Answer a, Fault fault)
{
    switch (fault) {
    case Fault::NotJson:
        a.contentType = "text/html";
        a.body = "<html>internal error</html>";
        break;
    case Fault::CutPicture: a.body.resize(a.body.size() / 2); break;
    default: break;
    }
    return a;
}

// A text as a person reads it in the state: UTF-8, one line, with
// backslash, CR and LF written as \\, \r and \n.
std::string Readable(std::string_view bytes)
{
    std::string escaped;
    for (const char c : bytes) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\r')
            escaped += "\\r";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped.push_back(c);
    }
    return Cp1251ToUtf8(escaped);
}

}  // namespace

std::int64_t SystemClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string JsonString(std::string_view bytes)
{
    std::string out = "\"";
    for (char c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20) {
            // No \u escapes on this wire: other control bytes become spaces.
            out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
    return out;
}

std::string RenderMembers(
    const std::vector<const Friend*>& members, const std::vector<bool>& online, Fault fault)
{
    std::vector<std::string> items;
    items.reserve(members.size() + 1);
    for (size_t i = 0; i < members.size(); ++i)
        items.push_back(MemberText(*members[i], online[i]));

    switch (fault) {
    case Fault::NoBrackets: return "{\"ok\":0,\"error\":\"internal\"}";
    case Fault::MembersNotArray:
        return "{\"ok\":1,\"members\":{\"format\":\"[[id,name,online]]\",\"count\":"
            + std::to_string(members.size()) + "}}";
    default: break;
    }
    if (fault == Fault::None || fault == Fault::Huge || IsWireFault(fault)) {
        std::string body = "{\"ok\":1,\"members\":" + JoinMembers(items) + "}";
        if (fault == Fault::Huge && body.size() < kHugeBodyBytes) {
            // Padding before the list: the body is 10 MB, the list still intact.
            const std::string head = "{\"ok\":1,\"pad\":\"";
            const std::string tail = "\",\"members\":" + JoinMembers(items) + "}";
            const size_t fill
                = kHugeBodyBytes > head.size() + tail.size() ? kHugeBodyBytes - head.size() - tail.size() : 0;
            body = head + std::string(fill, '.') + tail;
        }
        return body;
    }

    // The remaining faults spoil a member; an empty list gets a stand-in.
    if (items.empty())
        items.push_back("[1,\"?\",0]");
    switch (fault) {
    case Fault::NoCloseBracket: {
        const std::string body = "{\"ok\":1,\"members\":" + JoinMembers(items) + "}";
        return body.substr(0, body.find(']'));
    }
    case Fault::BadJson: {
        // The first name loses its closing quote.
        std::string& first = items.front();
        const size_t close = first.rfind("\",");
        if (close != std::string::npos)
            first.erase(close, 1);
        break;
    }
    case Fault::MemberNotArray:
        if (items.size() == 1)
            items.push_back("0");
        else
            items.back() = members.back() ? std::to_string(members.back()->id) : "0";
        break;
    case Fault::MemberShort:
        if (members.empty())
            items.back() = "[1]";
        else
            items.back() = "[" + std::to_string(members.back()->id) + "]";
        break;
    case Fault::NameNotString:
        if (members.empty())
            items.back() = "[1,1,0]";
        else
            items.back() = "[" + std::to_string(members.back()->id) + "," + std::to_string(members.back()->id)
                + "," + (online.back() ? "1" : "0") + "]";
        break;
    case Fault::UEscape: {
        // The first letter of the first name as a \u escape.
        std::string& first = items.front();
        const size_t quote = first.find('"');
        if (quote != std::string::npos && quote + 1 < first.size() && first[quote + 1] != '"')
            first.replace(quote + 1, 1, "\\u0410");
        else
            first.insert(quote + 1, "\\u0410");
        break;
    }
    default: break;
    }
    return "{\"ok\":1,\"members\":" + JoinMembers(items) + "}";
}

Service::Service(DataSet data, Clock clock, std::uint64_t seed)
    : m_data(std::move(data))
    , m_clock(std::move(clock))
    , m_random(seed)
{
}

bool Service::IsControlPath(std::string_view path)
{
    return path.substr(0, 11) == "/_emulator/";
}

bool Service::SessionMember(const std::string& sid, std::int64_t& memberId) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_sessions.find(sid);
    if (it == m_sessions.end())
        return false;
    memberId = it->second;
    return true;
}

Answer Service::Auth(const Params& query)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Fault fault = m_faults.Take(Host::Login);
    const std::string login = Value(query, "login");
    Answer a = login == "force" ? Login(query, fault) : login == "logout" ? Logout(query) : LoginCode("-1");
    if (IsWireFault(fault))
        a.wire = fault;
    MarkHeld(Host::Login, a);
    return a;
}

Answer Service::Login(const Params& query, Fault fault)
{
    const std::string* email = FindParam(query, "email");
    const std::string* pass = FindParam(query, "pass");
    if (!email || !pass || email->empty() || pass->empty() || Value(query, "site") != "2") {
        return LoginCode("-1");
    }
    Failures& failures = m_failures[LowerAscii(*email)];
    // A code is spent on its one try, whatever the password.
    if (failures.captchaDue && !TakeCaptcha(query))
        return fault == Fault::NoSid ? Redirect(kLoginPage) : LoginCode("-2");
    const Account* account = m_data.FindByEmail(*email);
    if (!account || account->password != *pass) {
        const char* code = "-4";
        if (failures.captchaDue || ++failures.consecutive >= 2) {
            failures.captchaDue = true;
            code = "-3";
        }
        return fault == Fault::NoSid ? Redirect(kLoginPage) : LoginCode(code);
    }
    failures = Failures();

    std::string sid;
    switch (fault) {
    case Fault::LongSid: sid = NewSid(300); break;
    case Fault::BadByteSid: sid = NewSid(12) + " \xE9" + NewSid(18); break;
    default: sid = NewSid(m_nextSidLength ? m_nextSidLength : 32); break;
    }
    m_nextSidLength = 0;
    m_sessions[sid] = account->memberId;

    Answer a
        = Redirect(fault == Fault::NoSid ? std::string(kLoginPage) : std::string(kLoginPage) + "?sid=" + sid);
    if (fault != Fault::NoRemixmid)
        a.headers.emplace_back("Set-Cookie", "remixmid=" + MemberIdText(account->memberId) + kCookieDomain);
    m_nextMemberDigits = 0;
    a.headers.emplace_back("Set-Cookie", "remixlang=0; path=/");
    return a;
}

Answer Service::Logout(const Params& query)
{
    const std::string* sid = FindParam(query, "sid");
    if (!sid || sid->empty() || Value(query, "site") != "2")
        return LoginCode("-1");
    m_sessions.erase(*sid);
    return Redirect(kLogoutTarget);
}

Answer Service::Data(const Params& query)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Fault fault = m_faults.Take(Host::Api);
    Answer a = DataAnswer(query, fault);
    if (IsWireFault(fault))
        a.wire = fault;
    if (fault == Fault::Status500)
        a.status = 500;
    MarkHeld(Host::Api, a);
    return a;
}

const Account* Service::SessionAccount(const Params& query, bool idMustMatch) const
{
    const auto it = m_sessions.find(Value(query, "sid"));
    if (it == m_sessions.end())
        return nullptr;
    if (idMustMatch) {
        // Member ids padded with zeros (the ids control) name the same member.
        const std::string text = Value(query, "id");
        const size_t digits = text.find_first_not_of('0');
        const std::string_view significant = digits == std::string::npos
            ? std::string_view(text).substr(text.empty() ? 0 : text.size() - 1)
            : std::string_view(text).substr(digits);
        std::int64_t id = 0;
        if (!ParseDecimal(significant, id) || id != it->second)
            return nullptr;
    }
    return m_data.FindById(it->second);
}

Answer Service::DataAnswer(const Params& query, Fault fault)
{
    const std::string act = Value(query, "act");
    ListKind kind;
    if (ListKindOf(act, kind)) {
        const Account* account = SessionAccount(query, true);
        return account ? FriendList(*account, act, fault) : Json(kSessionError);
    }
    if (act == "add_message") {
        const Account* account = SessionAccount(query, false);
        return SpoilReply(account ? AddMessage(*account, query) : Json(kSessionError), fault);
    }
    if (act == "set_activity") {
        const Account* account = SessionAccount(query, true);
        return SpoilReply(account ? SetActivity(*account, query) : Json(kSessionError), fault);
    }
    if (act == "captcha")
        return SpoilPicture(Captcha(query, fault == Fault::JpegPicture), fault);
    return Json("{\"ok\":0,\"error\":\"act\"}");
}

Answer Service::FriendList(const Account& account, std::string_view act, Fault fault)
{
    ListKind kind = ListKind::All;
    ListKindOf(act, kind);
    const std::int64_t minute = m_clock() / 60000;
    std::vector<const Friend*> members;
    std::vector<bool> online;
    members.reserve(account.friends.size());
    online.reserve(account.friends.size());
    for (const Friend& f : account.friends) {
        const bool on = IsOnline(f, minute);
        const bool wanted = kind == ListKind::All || (kind == ListKind::Online && on)
            || (kind == ListKind::Mutual && f.mutual) || (kind == ListKind::New && f.fresh);
        if (!wanted)
            continue;
        members.push_back(&f);
        online.push_back(on);
    }
    return Json(RenderMembers(members, online, fault));
}

Answer Service::AddMessage(const Account& account, const Params& query)
{
    std::int64_t to = 0;
    const Friend* recipient = nullptr;
    if (ParseDecimal(Value(query, "id"), to)) {
        for (const Friend& f : account.friends)
            if (f.id == to)
                recipient = &f;
    }
    if (!recipient)
        return Json("{\"ok\":0}");
    if (recipient->closed)
        return Json("{\"ok\":-3}");
    if (MessageBurstExceeded(account.memberId)) {
        if (!TakeCaptcha(query))
            return Json("{\"ok\":-2}");
        m_messageTimes[account.memberId].assign(1, m_clock());  // the code starts the count afresh
    }
    Note("message " + Readable(account.email) + " " + std::to_string(to) + " "
        + Readable(Value(query, "message")));
    return Json("{\"ok\":1}");
}

bool Service::MessageBurstExceeded(std::int64_t memberId)
{
    const std::int64_t now = m_clock();
    std::vector<std::int64_t>& times = m_messageTimes[memberId];
    times.erase(std::remove_if(times.begin(), times.end(),
                    [now](std::int64_t t) { return now - t >= kMessageWindowMs; }),
        times.end());
    if (times.size() >= static_cast<std::size_t>(kMessageBurst))
        return true;
    times.push_back(now);
    return false;
}

Answer Service::Captcha(const Params& query, bool jpeg)
{
    std::int64_t csid = 0;
    if (!ParseDecimal(Value(query, kCaptchaIdKey), csid))
        return Json("{\"ok\":0,\"error\":\"csid\"}");
    // Letters and digits that cannot be taken for one another.
    static const char kAlphabet[] = "23456789ABCDEFGHJKLMNPRSTUVWXYZ";
    std::string code(4 + m_random() % 3, ' ');
    for (char& c : code)
        c = kAlphabet[m_random() % (sizeof kAlphabet - 1)];
    Answer a;
    a.contentType = jpeg ? "image/jpeg" : "image/gif";
    a.body = jpeg ? CaptchaJpeg(code, m_random()) : CaptchaGif(code, m_random());
    constexpr std::size_t kKeep = 1000;
    if (m_captchas.size() >= kKeep && !m_captchas.count(csid))
        m_captchas.erase(m_captchas.begin());
    m_captchas[csid] = code;
    return a;
}

bool Service::TakeCaptcha(const Params& query)
{
    std::int64_t csid = 0;
    if (!ParseDecimal(Value(query, kCaptchaIdKey), csid))
        return false;
    const auto it = m_captchas.find(csid);
    if (it == m_captchas.end())
        return false;
    const bool right = LowerAscii(it->second) == LowerAscii(Value(query, kCaptchaCodeKey));
    m_captchas.erase(it);
    return right;
}

Answer Service::SetActivity(const Account& account, const Params& query)
{
    Note("status " + Readable(account.email) + " " + Readable(Value(query, "text")));
    return Json("{\"ok\":1}");
}

Answer Service::Other(Host host)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Fault fault = m_faults.Take(host);
    Answer a = Text(404, "not found\n");
    if (IsWireFault(fault))
        a.wire = fault;
    MarkHeld(host, a);
    return a;
}

Answer Service::Control(Host host, std::string_view path, const Params& query)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (path == "/_emulator/fault") {
        const std::string* name = FindParam(query, "set");
        Fault fault = Fault::None;
        if (!name || !FaultForHost(*name, host, fault))
            return Text(400, "unknown fault for this host: " + (name ? *name : std::string()) + "\n");
        long count = 1;
        if (const std::string* c = FindParam(query, "count")) {
            std::int64_t n = 0;
            if (!ParseDecimal(*c, n) || n < 1 || n > 1000000)
                return Text(400, "count must be 1..1000000\n");
            count = static_cast<long>(n);
        }
        m_faults.Arm(host, fault, count);
        return Text(200, std::string("armed ") + FaultName(fault) + " " + std::to_string(count) + "\n");
    }
    if (path == "/_emulator/reset") {
        m_faults.Clear();
        m_failures.clear();
        m_captchas.clear();
        m_nextSidLength = m_nextMemberDigits = 0;
        m_messageTimes.clear();
        ReleaseLocked();
        return Text(200, "reset\n");
    }
    if (path == "/_emulator/hold")
        return ArmHold(host, query);
    if (path == "/_emulator/release") {
        ReleaseLocked();
        return Text(200, "released\n");
    }
    if (path == "/_emulator/ids")
        return ArmIds(host, query);
    if (path == "/_emulator/state") {
        Answer a = Text(200, State());
        a.contentType = "text/plain; charset=utf-8";
        return a;
    }
    return Text(404, "unknown control request\n");
}

Answer Service::ArmHold(Host host, const Params& query)
{
    long count = 1;
    if (const std::string* c = FindParam(query, "count")) {
        std::int64_t n = 0;
        if (!ParseDecimal(*c, n) || n < 1 || n > 1000)
            return Text(400, "count must be 1..1000\n");
        count = static_cast<long>(n);
    }
    (host == Host::Login ? m_holdLogin : m_holdApi) = count;
    return Text(200, "holding " + std::to_string(count) + "\n");
}

Answer Service::ArmIds(Host host, const Params& query)
{
    if (host != Host::Login)
        return Text(400, "ids belong to the login host\n");
    std::int64_t sid = 0, mid = 0;
    const std::string* sidText = FindParam(query, "sid");
    const std::string* midText = FindParam(query, "mid");
    if ((sidText && (!ParseDecimal(*sidText, sid) || sid < 1 || sid > kMaxSizedId))
        || (midText && (!ParseDecimal(*midText, mid) || mid < 1 || mid > kMaxSizedId)))
        return Text(400, "sid and mid must be 1.." + std::to_string(kMaxSizedId) + "\n");
    m_nextSidLength = static_cast<std::size_t>(sid);
    m_nextMemberDigits = static_cast<std::size_t>(mid);
    return Text(200, "ids sid " + std::to_string(sid) + " mid " + std::to_string(mid) + "\n");
}

void Service::MarkHeld(Host host, Answer& answer)
{
    long& count = host == Host::Login ? m_holdLogin : m_holdApi;
    if (count <= 0)
        return;
    --count;
    answer.held = true;
    answer.holdRound = m_holdRound;
}

void Service::ReleaseLocked()
{
    m_holdLogin = m_holdApi = 0;
    ++m_holdRound;
    m_released.notify_all();
}

void Service::ReleaseAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ReleaseLocked();
}

void Service::AwaitRelease(const Answer& answer, int limitMs)
{
    if (!answer.held)
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_waiting;
    m_released.wait_for(
        lock, std::chrono::milliseconds(limitMs), [&] { return m_holdRound != answer.holdRound; });
    --m_waiting;
}

std::string Service::MemberIdText(std::int64_t memberId)
{
    std::string text = std::to_string(memberId);
    if (text.size() < m_nextMemberDigits)
        text.insert(0, m_nextMemberDigits - text.size(), '0');
    return text;
}

std::string Service::State() const
{
    std::string out = "sessions " + std::to_string(m_sessions.size()) + "\n";
    out += "held " + std::to_string(m_waiting) + "\n";
    for (const auto& [csid, code] : m_captchas)
        out += "captcha " + std::to_string(csid) + " " + code + "\n";
    for (const std::string& line : m_journal)
        out += line + "\n";
    return out;
}

void Service::Note(std::string line)
{
    constexpr std::size_t kKeep = 1000;
    if (m_journal.size() >= kKeep)
        m_journal.erase(m_journal.begin());
    m_journal.push_back(std::move(line));
}

std::string Service::NewSid(std::size_t length)
{
    static const char kHex[] = "0123456789abcdef";
    std::string sid;
    sid.reserve(length);
    while (sid.size() < length) {
        std::uint64_t r = m_random();
        for (int i = 0; i < 16 && sid.size() < length; ++i, r >>= 4)
            sid.push_back(kHex[r & 15]);
    }
    return sid;
}

}  // namespace emulator
