// The friend-list worker. It reaches the screen only through synchronous
// messages to the main window's controls, addressed through g_mainWindow, so
// after the window is gone its messages go nowhere.
#include "api/friend_list.h"

#include <exception>
#include <new>
#include <vector>

#include "api/api_texts.h"
#include "api/friend_model.h"
#include "api/member_text.h"
#include "base/bench_marks.h"
#include "base/shell.h"
#include "base/constants.h"
#include "net/http_exchange.h"
#include "net/session.h"
#include "net/status_texts.h"
#include "net/text_conv.h"
#include "resources/resource.h"

namespace {

RefreshTickets g_refreshTickets;

// Redraw is off while the rows go in: the list box would otherwise repaint
// and recompute its scroll bar for every row.
// Redraw comes back on however the fill ends, an exception included.
struct RedrawOffDuringFill {
    explicit RedrawOffDuringFill(HWND list)
        : m_list(list)
    {
        SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawOffDuringFill()
    {
        SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(m_list, NULL, TRUE);
    }
    HWND m_list;
};

// The display names in wide text, each its own zero-terminated array.
class WideNames {
public:
    explicit WideNames(const std::vector<std::string>& names)
    {
        m_texts.reserve(names.size());
        for (const std::string& name : names) {
            wchar_t* wide = NULL;
            AnsiToWide(name.c_str(), &wide);
            m_texts.push_back(wide);
        }
    }
    ~WideNames()
    {
        for (wchar_t* text : m_texts)
            delete[] text;
    }
    WideNames(const WideNames&) = delete;
    WideNames& operator=(const WideNames&) = delete;
    const std::vector<wchar_t*>& Texts() const { return m_texts; }

private:
    std::vector<wchar_t*> m_texts;
};

void AddFriendNames(HWND list, const WideNames& names)
{
    for (const wchar_t* name : names.Texts()) {
        if (name)
            SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)name);
    }
}

// Focus belongs to the thread that owns the window; the worker borrows the
// user-interface thread's input state for the one call.
void FocusFriendList(HWND list)
{
    const DWORD uiThread = list ? GetWindowThreadProcessId(list, NULL) : 0;
    if (!uiThread)
        return;
    const DWORD self = GetCurrentThreadId();
    const BOOL attached = uiThread != self && AttachThreadInput(self, uiThread, TRUE);
    SetFocus(list);
    if (attached)
        AttachThreadInput(self, uiThread, FALSE);
}

void ShowFriendCount(HWND list, const char* act)
{
    const int count = (int)SendMessageW(list, LB_GETCOUNT, 0, 0);
    FriendListKind kind;
    const bool mutual = FriendListKindFromAct(act, &kind) && kind == MutualFriends;
    wchar_t text[TEXT_BUFFER_SIZE];
    wsprintfW(text, mutual ? TEXT_MUTUAL_LOADED_FORMAT : TEXT_FRIENDS_LOADED_FORMAT, count);
    SetStatusText(text);
}

void FetchFriendList(const FriendListJob& job)
{
    char sid[SESSION_ID_SIZE];
    char memberId[SESSION_ID_SIZE];
    ListTicket ticket = {job.refresh, 0};
    if (!ReadSession(sid, memberId, &ticket.session)) {
        SetStatusText(TEXT_NOT_LOGGED_IN);
        return;
    }

    char request[FRIEND_REQUEST_SIZE];
    switch (ComposeFriendListRequest(job.act, memberId, sid, request, sizeof(request))) {
    case FriendRequestComposed: break;
    case FriendRequestTooLong: SetStatusText(TEXT_REQUEST_TOO_LONG); return;
    case FriendRequestBadValue: SetStatusText(TEXT_SESSION_BAD); return;
    }

    std::string response;
    MarkBench(BenchMarkExchangeStart);
    const int exchanged = HttpExchange(request, response, DATA_API_HOST);
    MarkBench(BenchMarkExchangeDone);
    if (exchanged == -1)
        return;  // the exchange has shown why
    ShowFriendListResponse(ticket, job.act, response);
}

// The rows, the focus and the count, all with redraw off: the count and its
// text need no painting, so they do not wait behind the list's repaint.
void FillFriendList(const std::vector<std::string>& names, const char* act)
{
    // Looked up once per fill through the main window: under Wine every
    // GetDlgItem is a wineserver round trip, per row a third of the fill.
    // A window gone mid-fill leaves a dead handle, and sends to it fail.
    const HWND list = GetDlgItem(g_mainWindow, IDC_FRIEND_LIST);
    if (!list)
        return;
    // Converted before the first row goes in, so that the list box's
    // thread is held for the sends alone.
    const WideNames wide(names);
    MarkBench(BenchMarkConversionsDone);
    RedrawOffDuringFill redrawOff(list);
    AddFriendNames(list, wide);
    MarkBench(BenchMarkFillDone);
    FocusFriendList(list);
    ShowFriendCount(list, act);
    MarkBench(BenchMarkCountShown);
}

enum AnswerKind { AnswerBad, AnswerRefused, AnswerEmpty, AnswerList };

// The whole answer read and checked, before anything is shown.
struct FriendListAnswer {
    AnswerKind kind = AnswerBad;
    json::Element document;
    std::vector<std::string> names;
};

void ReadFriendListAnswer(const std::string& response, FriendListAnswer* answer)
{
    // Without a sound body, or on a refusal, there is no list.
    std::string body;
    switch (ReadFriendListBody(response, &body)) {
    case FriendAnswerBody: break;
    case FriendAnswerRefused: answer->kind = AnswerRefused; return;
    case FriendAnswerBad: return;
    }
    std::string memberText;
    const MemberCut cut = CutMemberText(body, &memberText);
    if (cut == MemberTextMissing)
        return;
    if (cut == MemberListEmpty) {
        answer->kind = AnswerEmpty;
        return;
    }
    if (!ParseMemberDocument(WrapMemberText(memberText), &answer->document)
        || !ReadMemberNames(answer->document, &answer->names))
        return;
    answer->kind = AnswerList;
}

void ShowFriendListAnswer(
    const ListTicket& ticket, const char* act, const FriendListAnswer& answer, json::Element* replaced)
{
    // From the check to the count no other fill and no session change can
    // come between, so the list is one answer, whole, and its text is not
    // overtaken by a logout it preceded.
    SessionHold hold;
    if (JudgeListAnswer(ticket, g_refreshTickets.Newest(), CurrentSession()) != ListShow)
        return;  // the newer refresh, or the session change, has the last word
    if (answer.kind == AnswerBad || answer.kind == AnswerRefused) {
        SetStatusText(answer.kind == AnswerRefused ? TEXT_SERVER_REFUSED : TEXT_SERVER_ANSWER_BAD);
        return;
    }
    SendToFriendList(LB_RESETCONTENT, 0, 0);
    MarkBench(BenchMarkListEmptied);
    if (answer.kind == AnswerEmpty) {
        SetStatusText(TEXT_LIST_EMPTY);
        return;
    }
    FriendListKind kind;
    if (FriendListKindFromAct(act, &kind))
        *replaced = g_friendModel.ReplaceList(kind, answer.document);
    MarkBench(BenchMarkModelDone);
    FillFriendList(answer.names, act);
}

}  // namespace

unsigned long TakeRefreshTicket()
{
    return g_refreshTickets.Take();
}

FriendListJob* NewFriendListJob(const char* act)
{
    FriendListJob* job = new (std::nothrow) FriendListJob;
    if (job) {
        lstrcpynA(job->act, act ? act : "", sizeof(job->act));
        job->refresh = TakeRefreshTicket();
    }
    return job;
}

void ShowFriendListResponse(const ListTicket& ticket, const char* act, const std::string& response)
{
    // A bad answer never empties the list nor replaces a good model.
    FriendListAnswer answer;
    ReadFriendListAnswer(response, &answer);
    MarkBench(BenchMarkParseDone);
    // The document a shown list replaces is released after the count is
    // shown and the session let go: freeing thousands of members need keep
    // neither the user nor a logout waiting.
    json::Element replaced;
    ShowFriendListAnswer(ticket, act, answer, &replaced);
    replaced = json::Element();
    MarkBench(BenchMarkOldListFreed);
}

DWORD WINAPI FriendListThread(LPVOID job)
{
    FriendListJob* own = static_cast<FriendListJob*>(job);
    if (!own)
        return 0;
    try {
        FetchFriendList(*own);
    } catch (const std::exception&) {
        // Only running out of memory on a huge answer can get here.
        SetStatusText(TEXT_SERVER_ANSWER_BAD);
    }
    delete own;
    return 0;
}
