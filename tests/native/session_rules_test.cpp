// The rules that keep concurrent workers apart: which friend-list answer may
// still be shown, and which session ids a login may accept.
#include <gtest/gtest.h>

#include <string>

#include "api/list_ticket.h"
#include "base/session_bounds.h"

namespace {

struct VerdictCase {
    const char* name;
    ListTicket ticket;
    unsigned long newestRefresh;
    unsigned long currentSession;
    ListVerdict verdict;
};

const VerdictCase kVerdicts[] = {
    {"newest refresh in its session", {7, 3}, 7, 3, ListShow},
    {"a later refresh was asked for", {6, 3}, 7, 3, ListStale},
    {"logged out since", {7, 3}, 7, 4, ListSessionEnded},
    {"logged out and in again since", {7, 3}, 7, 5, ListSessionEnded},
    {"older and of an ended session", {2, 1}, 9, 4, ListSessionEnded},
    {"first refresh of the run", {1, 0}, 1, 0, ListShow},
    {"counters wrapped: equal is current", {0, 0xFFFFFFFFul}, 0, 0xFFFFFFFFul, ListShow},
    {"counters wrapped: the one before is stale", {0xFFFFFFFFul, 2}, 0, 2, ListStale},
    {"session counter wrapped", {5, 0xFFFFFFFFul}, 5, 0, ListSessionEnded},
};

class ListVerdictTable : public ::testing::TestWithParam<VerdictCase> { };

TEST_P(ListVerdictTable, JudgesTheAnswer)
{
    const VerdictCase& c = GetParam();
    EXPECT_EQ(c.verdict, JudgeListAnswer(c.ticket, c.newestRefresh, c.currentSession));
}

INSTANTIATE_TEST_SUITE_P(Answers, ListVerdictTable, ::testing::ValuesIn(kVerdicts),
    [](const ::testing::TestParamInfo<VerdictCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

// The login and data host names as the program has them.
const char kLoginHost[] = "login.socialnet.example";

struct IdsCase {
    size_t sidLength;
    size_t memberIdLength;
    bool fits;
};

// The friend-list request of the longest act ("friends_online", 14 bytes) is
// 139 bytes without its ids, leaving 120 of the 259 for both ids together;
// the logout request is 124 bytes without its id, leaving 135 for it.
const IdsCase kIds[] = {
    {32, 4, true},
    {32, 88, true},
    {32, 89, false},
    {116, 4, true},
    {117, 4, false},
    {119, 1, true},
    {120, 1, false},
    {1, 119, true},
    {1, 120, false},
    {135, 1, false},  // would fit the logout, not the list
    {136, 1, false},
    {259, 4, false},
    {32, 150, false},
};

TEST(SessionIdsFit, AtTheBoundOfTheRequestsAndOnePast)
{
    for (const IdsCase& c : kIds) {
        EXPECT_EQ(c.fits,
            SessionIdsFit(std::string(c.sidLength, 'a'), std::string(c.memberIdLength, '7'), 2, kLoginHost))
            << c.sidLength << " + " << c.memberIdLength;
    }
}

TEST(SessionIdsFit, RefusesWhatNoRequestCanCarry)
{
    const std::string bad[] = {std::string("ab\0cd", 5), "a&b", "a b", "a%20", "\xE9"};
    for (const std::string& sid : bad) {
        EXPECT_FALSE(SessionIdsFit(sid, "1001", 2, kLoginHost)) << sid;
        EXPECT_FALSE(SessionIdsFit("abc", sid, 2, kLoginHost)) << sid;
    }
}

}  // namespace
