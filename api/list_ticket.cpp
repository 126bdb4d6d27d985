#include "api/list_ticket.h"

ListVerdict JudgeListAnswer(
    const ListTicket& ticket, unsigned long newestRefresh, unsigned long currentSession)
{
    // Equality, not order: the counters may wrap, and a ticket is never
    // newer than the newest one handed out.
    if (ticket.session != currentSession)
        return ListSessionEnded;
    if (ticket.refresh != newestRefresh)
        return ListStale;
    return ListShow;
}
