// The rules that keep concurrent workers apart: which friend-list answer may
// still be shown, and which session ids a login may accept.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "api/list_ticket.h"
#include "net/session_bounds.h"

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

TEST(RefreshTickets, TakenFromManyThreadsEachIsDistinctAndOnlyTheLastIsNewest)
{
    RefreshTickets tickets;
    const int kThreads = 4, kEach = 5000;
    std::vector<std::vector<unsigned long>> taken(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i)
                taken[t].push_back(tickets.Take());
        });
    for (std::thread& thread : threads)
        thread.join();

    std::vector<bool> seen(kThreads * kEach + 1, false);
    for (const std::vector<unsigned long>& list : taken)
        for (unsigned long ticket : list) {
            ASSERT_GE(ticket, 1ul);
            ASSERT_LE(ticket, (unsigned long)(kThreads * kEach));
            EXPECT_FALSE(seen[ticket]) << ticket;
            seen[ticket] = true;
        }
    EXPECT_EQ((unsigned long)(kThreads * kEach), tickets.Newest());
    const unsigned long later = tickets.Take();
    EXPECT_EQ(ListStale, JudgeListAnswer({later - 1, 0}, tickets.Newest(), 0));
    EXPECT_EQ(ListShow, JudgeListAnswer({later, 0}, tickets.Newest(), 0));
}

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

TEST(SessionIdsFit, FollowsTheLoginHostAndTheSite)
{
    // A login host of 40 bytes leaves the logout 118 bytes for the sid, a
    // site of ten digits 109.
    const std::string longHost(40, 'h');
    EXPECT_TRUE(SessionIdsFit(std::string(119, 'a'), "1", 2, kLoginHost));
    EXPECT_FALSE(SessionIdsFit(std::string(119, 'a'), "1", 2, longHost.c_str()));
    EXPECT_TRUE(SessionIdsFit(std::string(118, 'a'), "1", 2, longHost.c_str()));
    EXPECT_TRUE(SessionIdsFit(std::string(109, 'a'), "1", 2000000000, longHost.c_str()));
    EXPECT_FALSE(SessionIdsFit(std::string(110, 'a'), "1", 2000000000, longHost.c_str()));
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
