// Which friend-list answer may still reach the list box. Refreshes run side
// by side and their answers come back in any order; only the answer to the
// newest refresh, in the session it was asked in, is shown. No windows.h.
#pragma once

#include <atomic>

// What a friend-list worker carries: the refresh it answers (taken when the
// command ran) and the session it started in.
struct ListTicket {
    unsigned long refresh;
    unsigned long session;
};

enum ListVerdict {
    ListShow,          // the newest refresh, and its session still holds
    ListStale,         // a later refresh was asked for: the user no longer wants this one
    ListSessionEnded,  // a logout or a new login came since: the list is not this session's
};

ListVerdict JudgeListAnswer(
    const ListTicket& ticket, unsigned long newestRefresh, unsigned long currentSession);

// Hands out the refresh numbers; any thread may take one.
class RefreshTickets {
public:
    unsigned long Take() { return ++m_newest; }
    unsigned long Newest() const { return m_newest.load(); }

private:
    std::atomic<unsigned long> m_newest {0};
};
