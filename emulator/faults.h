// Faults the emulator can be told to produce, and how a faulty answer
// leaves the socket.
#pragma once

#include <string>
#include <string_view>

namespace emulator {

enum class Host { Login, Api };

enum class Fault {
    None,
    // On the wire, either host (reset: login host only).
    Close,        // close without answering
    NoBlankLine,  // headers, then close before the blank line
    Slow,         // the answer 5 s late
    Reset,        // part of the answer, then RST
    // Login answers.
    NoSid,       // Location without "sid="
    LongSid,     // a 300-byte session id
    NoRemixmid,  // cookies without "remixmid="
    BadByteSid,  // a session id holding a space and a byte >= 0x80
    // Friend-list answers.
    NoBrackets,       // body without "[["
    NoCloseBracket,   // "[[" with no "]" after it
    BadJson,          // member text that is not JSON
    MembersNotArray,  // "members" an object, "[[" only inside a string
    MemberNotArray,   // one member is a number
    MemberShort,      // one member without element 1
    NameNotString,    // one member's element 1 is a number
    UEscape,          // a name holding \u0410
    Huge,             // a 10 MB body
    // Message and status answers.
    NotJson,   // a body that is not JSON
    NoOk,      // an object without "ok"
    OkString,  // "ok" as a string: {"ok":"1"}
    // Captcha pictures.
    CutPicture,   // the first half of the GIF only
    JpegPicture,  // the picture as a JPEG (a sound answer)
    // Any data answer.
    Status500,  // the answer as it would be, with status 500
};

// The fault's name in the control API ("no_blank_line"), or "none".
const char* FaultName(Fault fault);
// Finds a fault by name among those the host can produce ("none" included).
bool FaultForHost(std::string_view name, Host host, Fault& out);
// Faults that change how the bytes go out rather than what they say.
bool IsWireFault(Fault fault);

// What actually goes out for an answer of `answer` bytes under a wire fault.
struct Delivery {
    std::string bytes;   // what to send
    int delayMs = 0;     // wait this long before sending
    bool reset = false;  // abort with RST after sending instead of closing
};
Delivery ShapeDelivery(std::string answer, Fault wire);

constexpr int kSlowDelayMs = 5000;

// The faults armed for each host and how many answers each still spoils.
// Not locked: the service that owns it serialises its callers.
class FaultBoard {
public:
    void Arm(Host host, Fault fault, long count);
    // The fault for the host's next answer (None when nothing is armed).
    Fault Take(Host host);
    void Clear();

private:
    struct Slot {
        Fault fault = Fault::None;
        long count = 0;
    };
    Slot& SlotOf(Host host) { return host == Host::Login ? m_login : m_api; }
    Slot m_login, m_api;
};

}  // namespace emulator
