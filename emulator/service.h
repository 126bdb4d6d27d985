// What the two hosts of the social network answer: login and logout on the
// login host, friend lists, messages and status on the data API host, and
// the control requests that arm faults. No sockets here: the server turns
// an Answer into bytes and sends it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "emulator/dataset.h"
#include "emulator/faults.h"
#include "emulator/query.h"

namespace emulator {

struct Answer {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;  // in order; names may repeat
    std::string contentType;                                   // none when empty
    std::string body;
    Fault wire = Fault::None;  // how the finished bytes leave the socket
    bool held = false;         // wait in AwaitRelease before sending
    std::uint64_t holdRound = 0;
};

constexpr const char* kJsonType = "application/json; charset=windows-1251";
constexpr const char* kSessionError = "{\"ok\":-1,\"error\":\"session\"}";
constexpr const char* kLoginPage = "http://socialnet.example/login.php";
constexpr const char* kLogoutTarget = "http://socialnet.example/index.html";
// More than this many messages of one account within the window: -2.
constexpr int kMessageBurst = 5;
constexpr std::int64_t kMessageWindowMs = 60000;
// Query keys of a captcha answer, on a login or a message.
constexpr const char* kCaptchaIdKey = "csid";
constexpr const char* kCaptchaCodeKey = "ccode";
constexpr std::size_t kHugeBodyBytes = 10u * 1024u * 1024u;
// A held answer goes out after this even without a release.
constexpr int kHoldLimitMs = 60000;
// Longest session id and member id the ids control hands out.
constexpr long kMaxSizedId = 4096;

// Milliseconds since the epoch; tests pass a clock of their own.
using Clock = std::function<std::int64_t()>;
std::int64_t SystemClockMs();

// Member lists as the data API sends them, spoiled by a body fault if any.
// `online` gives each member's 0/1 flag. Public for the tests.
std::string RenderMembers(
    const std::vector<const Friend*>& members, const std::vector<bool>& online, Fault fault);
// A name as a JSON string: quotes and backslashes escaped, other bytes raw.
std::string JsonString(std::string_view bytes);

class Service {
public:
    Service(DataSet data, Clock clock, std::uint64_t seed);

    // Login host, /auth: login=force or login=logout.
    Answer Auth(const Params& query);
    // Data API host, /data.
    Answer Data(const Params& query);
    // Any other path of either host: 404, still one of the host's answers.
    Answer Other(Host host);
    // /_emulator/fault, /_emulator/reset, /_emulator/state: answered
    // normally, never spoiled by a fault and never counted as one.
    Answer Control(Host host, std::string_view path, const Params& query);
    static bool IsControlPath(std::string_view path);

    // The member id of a live session; false when there is none.
    bool SessionMember(const std::string& sid, std::int64_t& memberId) const;

    // Blocks the connection of a held answer until /_emulator/release (or
    // reset, or ReleaseAll), at most limitMs. Answers held now count in the
    // state's "held N".
    void AwaitRelease(const Answer& answer, int limitMs);
    void ReleaseAll();

private:
    struct Failures {
        int consecutive = 0;
        bool captchaDue = false;  // -2 for every login without the right code
    };

    Answer Login(const Params& query, Fault fault);
    Answer Logout(const Params& query);
    Answer DataAnswer(const Params& query, Fault fault);
    Answer FriendList(const Account& account, std::string_view act, Fault fault);
    Answer AddMessage(const Account& account, const Params& query);
    Answer SetActivity(const Account& account, const Params& query);
    bool MessageBurstExceeded(std::int64_t memberId);
    Answer Captcha(const Params& query, bool jpeg);
    bool TakeCaptcha(const Params& query);
    const Account* SessionAccount(const Params& query, bool idMustMatch) const;
    std::string NewSid(std::size_t length);
    std::string MemberIdText(std::int64_t memberId);
    void MarkHeld(Host host, Answer& answer);
    void ReleaseLocked();
    Answer ArmHold(Host host, const Params& query);
    Answer ArmIds(Host host, const Params& query);
    std::string State() const;
    void Note(std::string line);

    mutable std::mutex m_mutex;
    DataSet m_data;
    Clock m_clock;
    std::mt19937_64 m_random;
    FaultBoard m_faults;
    std::map<std::string, Failures> m_failures;                        // by lower-case e-mail
    std::map<std::string, std::int64_t> m_sessions;                    // sid to member id
    std::vector<std::string> m_journal;                                // messages and status texts
    std::map<std::int64_t, std::vector<std::int64_t>> m_messageTimes;  // by member id
    std::map<std::int64_t, std::string> m_captchas;  // csid to the code shown, until its one try
    // Holding answers back, so that a test can have several arrive at once.
    long m_holdLogin = 0, m_holdApi = 0;  // answers still to hold
    long m_waiting = 0;                   // held answers not yet released
    std::uint64_t m_holdRound = 0;        // advanced by every release
    std::condition_variable m_released;
    // The next successful login's id sizes (0: as usual).
    std::size_t m_nextSidLength = 0;
    std::size_t m_nextMemberDigits = 0;
};

}  // namespace emulator
