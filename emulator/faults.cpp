#include "emulator/faults.h"

#include <algorithm>

namespace emulator {

namespace {

struct FaultInfo {
    Fault fault;
    const char* name;
    bool login;
    bool api;
};

constexpr FaultInfo kFaults[] = {
    {Fault::None, "none", true, true},
    {Fault::Close, "close", true, true},
    {Fault::NoBlankLine, "no_blank_line", true, true},
    {Fault::Slow, "slow", true, true},
    {Fault::Reset, "reset", true, false},
    {Fault::NoSid, "no_sid", true, false},
    {Fault::LongSid, "long_sid", true, false},
    {Fault::NoRemixmid, "no_remixmid", true, false},
    {Fault::BadByteSid, "bad_byte_sid", true, false},
    {Fault::NoBrackets, "no_brackets", false, true},
    {Fault::NoCloseBracket, "no_close_bracket", false, true},
    {Fault::BadJson, "bad_json", false, true},
    {Fault::MembersNotArray, "members_not_array", false, true},
    {Fault::MemberNotArray, "member_not_array", false, true},
    {Fault::MemberShort, "member_short", false, true},
    {Fault::NameNotString, "name_not_string", false, true},
    {Fault::UEscape, "u_escape", false, true},
    {Fault::Huge, "huge", false, true},
    {Fault::NotJson, "not_json", false, true},
    {Fault::NoOk, "no_ok", false, true},
    {Fault::OkString, "ok_string", false, true},
    {Fault::CutPicture, "cut_picture", false, true},
    {Fault::JpegPicture, "jpeg", false, true},
    {Fault::Status500, "http_500", false, true},
};

}  // namespace

const char* FaultName(Fault fault)
{
    for (const FaultInfo& f : kFaults)
        if (f.fault == fault)
            return f.name;
    return "none";
}

bool FaultForHost(std::string_view name, Host host, Fault& out)
{
    for (const FaultInfo& f : kFaults) {
        if (name == f.name && (host == Host::Login ? f.login : f.api)) {
            out = f.fault;
            return true;
        }
    }
    return false;
}

bool IsWireFault(Fault fault)
{
    return fault == Fault::Close || fault == Fault::NoBlankLine || fault == Fault::Slow
        || fault == Fault::Reset;
}

Delivery ShapeDelivery(std::string answer, Fault wire)
{
    Delivery d;
    switch (wire) {
    case Fault::Close: break;
    case Fault::NoBlankLine: {
        // Keep every header line with its CR LF; drop the blank line and body.
        const size_t end = answer.find("\r\n\r\n");
        d.bytes = end == std::string::npos ? std::move(answer) : answer.substr(0, end + 2);
        break;
    }
    case Fault::Reset: {
        // Half of it: the client has started reading when the RST comes.
        const size_t half = std::max<size_t>(1, answer.size() / 2);
        d.bytes = answer.substr(0, std::min(half, answer.size()));
        d.reset = true;
        break;
    }
    case Fault::Slow:
        d.delayMs = kSlowDelayMs;
        d.bytes = std::move(answer);
        break;
    default: d.bytes = std::move(answer); break;
    }
    return d;
}

void FaultBoard::Arm(Host host, Fault fault, long count)
{
    Slot& s = SlotOf(host);
    s.fault = count > 0 ? fault : Fault::None;
    s.count = fault == Fault::None ? 0 : count;
}

Fault FaultBoard::Take(Host host)
{
    Slot& s = SlotOf(host);
    if (s.fault == Fault::None || s.count <= 0)
        return Fault::None;
    const Fault f = s.fault;
    if (--s.count == 0)
        s.fault = Fault::None;
    return f;
}

void FaultBoard::Clear()
{
    m_login = Slot();
    m_api = Slot();
}

}  // namespace emulator
