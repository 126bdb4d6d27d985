// Console helper of tools/faults.sh and of the test command: every fault
// switch of the emulator against every worker (the captcha picture before a
// login and before a message among them), in one run of the program,
// then the load cases. A cell passes when the program is alive, its window
// answers within a second all along, the status ends on a final text within
// 10 s, the list, the session and the service agree with that text, and every
// request line the service saw is "METHOD /target HTTP/1.x" with nothing raw
// in the target.
//   faults_driver EXE [FAULT...]   (no faults named: all of them)
// Prints the fault × worker table and the load table; exit 1 on any failed cell.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "e2e_driver.h"
#include "e2e_emulator.h"
#include "api/api_texts.h"
#include "net/status_texts.h"
#include "resources/resource.h"

namespace {

const char DEMO_EMAIL[] = "demo@socialnet.example";
const char DEMO_PASSWORD[] = "demo123";
const wchar_t FRIEND_NAME[] = L"Виктор Смирнов";  // 2004, in the all-friends list
const char FRIEND_ID[] = "2004";

const char WRONG_PASSWORD[] = "wrong-password";
const wchar_t MESSAGE_TITLE[] = L"Отправить сообщение";
const wchar_t STATUS_TITLE[] = L"Статус";
const wchar_t SETTINGS_TITLE[] = L"Настройки";

const DWORD FINAL_WITHIN_MS = 10000;
const DWORD ANSWER_WITHIN_MS = 1000;

enum Worker { LOGIN, FRIENDS, MESSAGE, STATUS, LOGOUT, CAPTCHA_LOGIN, CAPTCHA_MESSAGE, WORKER_COUNT };
const char* const WORKER_NAMES[WORKER_COUNT]
    = {"login", "friend list", "message", "status", "logout", "captcha login", "captcha message"};

// spoils: the workers whose answer the fault makes unusable, so that a
// success text there would be a lie.
struct FaultRow {
    const char* name;
    const char* host;
    unsigned spoils;
};
// Under a login-host fault the captcha login's answer is the one with the
// code; under a data-host fault both captcha columns get a spoiled picture.
const unsigned LOGINS = 1u << LOGIN | 1u << CAPTCHA_LOGIN;
const unsigned ALL_LOGIN = LOGINS | 1u << LOGOUT;
const unsigned PICTURES = 1u << CAPTCHA_LOGIN | 1u << CAPTCHA_MESSAGE;
const unsigned ALL_DATA = 1u << FRIENDS | 1u << MESSAGE | 1u << STATUS | PICTURES;
const unsigned REPLIES = 1u << MESSAGE | 1u << STATUS;
const unsigned LIST = 1u << FRIENDS;

const FaultRow FAULTS[] = {
    {"none", NULL, 0},
    {"close", LOGIN_HOST_ADDRESS, ALL_LOGIN},
    {"slow", LOGIN_HOST_ADDRESS, 0},
    // Every header line arrives whole: a HEAD answer needs no more.
    {"no_blank_line", LOGIN_HOST_ADDRESS, 0},
    {"reset", LOGIN_HOST_ADDRESS, ALL_LOGIN},
    {"no_sid", LOGIN_HOST_ADDRESS, LOGINS},
    {"long_sid", LOGIN_HOST_ADDRESS, 0},
    {"no_remixmid", LOGIN_HOST_ADDRESS, LOGINS},
    {"bad_byte_sid", LOGIN_HOST_ADDRESS, 0},
    {"close", DATA_HOST_ADDRESS, ALL_DATA},
    {"slow", DATA_HOST_ADDRESS, 0},
    {"no_blank_line", DATA_HOST_ADDRESS, ALL_DATA},
    {"no_brackets", DATA_HOST_ADDRESS, LIST},
    {"no_close_bracket", DATA_HOST_ADDRESS, LIST},
    {"bad_json", DATA_HOST_ADDRESS, LIST},
    {"members_not_array", DATA_HOST_ADDRESS, LIST},
    {"member_not_array", DATA_HOST_ADDRESS, LIST},
    {"member_short", DATA_HOST_ADDRESS, LIST},
    {"name_not_string", DATA_HOST_ADDRESS, LIST},
    {"u_escape", DATA_HOST_ADDRESS, 0},
    {"huge", DATA_HOST_ADDRESS, 0},
    {"not_json", DATA_HOST_ADDRESS, REPLIES | PICTURES},
    {"no_ok", DATA_HOST_ADDRESS, REPLIES},
    {"ok_string", DATA_HOST_ADDRESS, REPLIES},
    // Shapes captcha pictures only.
    {"cut_picture", DATA_HOST_ADDRESS, PICTURES},
    {"jpeg", DATA_HOST_ADDRESS, 0},
    // A sound body under a refusing status: nothing of it is a success.
    {"http_500", DATA_HOST_ADDRESS, ALL_DATA},
};

std::vector<std::wstring> g_serverNames;  // the demo account's friends, sorted as the list box sorts
bool g_failed = false;

std::string RowName(const FaultRow& row)
{
    if (!row.host)
        return row.name;
    return std::string(row.host == LOGIN_HOST_ADDRESS ? "login " : "data ") + row.name;
}

// A request line as a sound client writes it: two single spaces, a target
// of printable ASCII without spaces, the version at the end.
bool IsCleanRequestLine(const std::string& line)
{
    const std::string::size_type first = line.find(' ');
    const std::string::size_type last = line.rfind(' ');
    if (first == std::string::npos || first == last || line.compare(last + 1, 7, "HTTP/1.") != 0
        || line.size() != last + 9)
        return false;
    for (std::string::size_type i = first + 1; i < last; ++i) {
        const unsigned char c = (unsigned char)line[i];
        if (c <= 0x20 || c >= 0x7F)
            return false;
    }
    return true;
}

std::string FirstDirtyLine(const EmulatorLog& log)
{
    for (const std::string& line : log.LinesSinceMark())
        if (!IsCleanRequestLine(line))
            return line;
    return std::string();
}

// Waits for the final text, asking the window to answer all along; with
// captcha, a captcha dialog that opens ends the wait too (*captcha set).
// Empty when the case passed so far; otherwise what went wrong.
std::string Watch(const SorvintaApp& app, std::wstring* text, HWND* captcha = NULL)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (app.WaitFinalStatus(text, 50))
            break;
        if (captcha && (*captcha = app.WaitDialog(CAPTCHA_TITLE, 0)) != NULL)
            return std::string();
        if (!app.Running())
            return "the program ended";
        if (!app.Responsive(ANSWER_WITHIN_MS))
            return "no answer within 1 s";
        if (GetTickCount() - start > FINAL_WITHIN_MS)
            return "stuck on \"" + ToUtf8(*text) + "\"";
    }
    if (!app.Responsive(ANSWER_WITHIN_MS))
        return "no answer within 1 s";
    return std::string();
}

std::string EmulatorState()
{
    std::string body;
    HttpGet(DATA_HOST_ADDRESS, "/_emulator/state", &body);
    return body;
}

int RowOf(const SorvintaApp& app, const std::wstring& name)
{
    const std::vector<std::wstring> rows = app.ListRows();
    const auto found = std::find(rows.begin(), rows.end(), name);
    return found == rows.end() ? -1 : (int)(found - rows.begin());
}

// The rows a loaded list must hold; under u_escape one name's first
// letter was sent as \u0410 and shows as "А".
bool ListMatchesServer(const std::vector<std::wstring>& rows, bool escapedLetter)
{
    if (!escapedLetter)
        return rows == g_serverNames;
    if (rows.size() != g_serverNames.size() || !IsSortedLikeListBox(rows))
        return false;
    int strangers = 0;
    for (const std::wstring& row : rows)
        if (std::find(g_serverNames.begin(), g_serverNames.end(), row) == g_serverNames.end())
            strangers += row.empty() || row[0] != L'А' ? 2 : 1;
    return strangers <= 1;
}

class Matrix {
public:
    explicit Matrix(const std::string& exe) { SetSorvintaExe(exe); }

    // One row: the fault armed before each worker, disarmed after it.
    std::vector<std::string> Run(const FaultRow& row)
    {
        std::vector<std::string> cells(WORKER_COUNT);
        ResetEmulator();
        for (int w = 0; w < WORKER_COUNT; ++w) {
            std::string why = Prepare((Worker)w);
            if (!why.empty()) {
                cells[w] = "set-up: " + why;
                continue;
            }
            EmulatorLog log;
            m_row = &row;
            if (row.host)
                ArmFault(row.host, row.name, 1);
            std::wstring text;
            why = RunWorker((Worker)w, row, &text);
            Disarm();
            if (why.empty() && (row.spoils & (1u << w)) && IsSuccess((Worker)w, text))
                why = "success on a spoiled answer: \"" + ToUtf8(text) + "\"";
            if (why.empty()) {
                const std::string dirty = FirstDirtyLine(log);
                if (!dirty.empty())
                    why = "request line \"" + dirty + "\"";
            }
            cells[w] = why.empty() ? "pass" : why;
        }
        return cells;
    }

    std::string LoadCase(int index);
    static const int LOAD_CASES = 5;
    static const char* LoadName(int index);
    void Stop()
    {
        DWORD code = 0;
        if (m_app->Running())
            m_app->Close(15000, &code);
    }

private:
    static bool IsSuccess(Worker w, const std::wstring& text)
    {
        switch (w) {
        case LOGIN: return text == TEXT_LOGGED_IN;
        case FRIENDS: return LoadedCount(text) >= 0;
        case MESSAGE: return text == TEXT_MESSAGE_SENT;
        case STATUS: return text == TEXT_STATUS_SET;
        case LOGOUT: return text == TEXT_LOGGED_OUT;
        case CAPTCHA_LOGIN: return text == TEXT_LOGGED_IN;
        case CAPTCHA_MESSAGE: return text == TEXT_MESSAGE_SENT;
        default: return false;
        }
    }

    // A program running and answering; a new one when the last one is gone.
    std::string EnsureRunning()
    {
        if (m_app->Running() && m_app->Responsive(ANSWER_WITHIN_MS))
            return std::string();
        m_app.reset(new SorvintaApp);
        m_loggedIn = false;
        if (!m_app->StartWithAccount(DEMO_EMAIL, DEMO_PASSWORD))
            return m_app->Error();
        m_app->Command(IDM_ALL_ONLINE);  // all friends: the online set moves with the clock
        return std::string();
    }

    std::string EnsureLoggedIn(bool wanted)
    {
        if (m_loggedIn == wanted)
            return std::string();
        std::wstring text = m_app->CommandAndWait(IDM_CONNECT);
        m_loggedIn = text == TEXT_LOGGED_IN;
        if (m_loggedIn != wanted)
            return ToUtf8(text);
        return std::string();
    }

    // The state each worker starts from, reached without faults.
    std::string Prepare(Worker w)
    {
        const bool login = w == LOGIN || w == CAPTCHA_LOGIN;
        std::string why = EnsureRunning();
        if (why.empty())
            why = EnsureLoggedIn(!login);
        if (why.empty() && !login && w != LOGOUT && RowOf(*m_app, FRIEND_NAME) < 0) {
            const std::wstring text = m_app->CommandAndWait(IDM_REFRESH);
            if (LoadedCount(text) < 0)
                why = ToUtf8(text);
        }
        if (why.empty() && w == CAPTCHA_LOGIN)
            why = MakeLoginCaptchaDue();
        if (why.empty() && w == CAPTCHA_MESSAGE)
            why = MakeMessageCaptchaDue();
        return why;
    }

    // Someone else tried two wrong passwords on the e-mail: the program's
    // own login is then refused for want of a code, and it knows a picture
    // is due.
    std::string MakeLoginCaptchaDue()
    {
        DirectSession none;
        for (int i = 0; i < 2; ++i)
            LoginDirect(DEMO_EMAIL, WRONG_PASSWORD, &none);
        const std::wstring text = m_app->CommandAndWait(IDM_CONNECT);
        return text == TEXT_WRONG_CAPTCHA ? std::string() : ToUtf8(text);
    }

    // A burst of messages from elsewhere: the program's next message is
    // refused for want of a code and waits in its dialog.
    std::string MakeMessageCaptchaDue()
    {
        DirectSession direct;
        if (!LoginDirect(DEMO_EMAIL, DEMO_PASSWORD, &direct))
            return "no session of the driver's own";
        for (int i = 0; i < 5; ++i)
            HttpGet(DATA_HOST_ADDRESS, "/data?act=add_message&id=2001&ts=1&message=x&sid=" + direct.sid);
        m_message = L"Капча " + std::to_wstring(++m_serial);
        std::wstring text;
        std::string why = SendMessageText(m_message, &text);
        if (why.empty() && text != TEXT_CAPTCHA_NEEDED)
            why = ToUtf8(text);
        return why;
    }

    std::string RunWorker(Worker w, const FaultRow& row, std::wstring* text)
    {
        switch (w) {
        case LOGIN: return RunConnect(true, text);
        case FRIENDS: return RunRefresh(row, text);
        case MESSAGE: return RunMessage(text);
        case STATUS: return RunStatus(text);
        case LOGOUT: return RunConnect(false, text);
        case CAPTCHA_LOGIN: return RunCaptchaLogin(row, text);
        case CAPTCHA_MESSAGE: return RunCaptchaMessage(row, text);
        default: return "no such worker";
        }
    }

    // The checks that follow a worker meet a sound service.
    void Disarm()
    {
        if (m_row && m_row->host)
            ArmFault(m_row->host, "none", 1);
        m_row = NULL;
    }

    // A refresh tells the session apart: a list, or "not logged in" with
    // nothing sent.
    // After a failed logout the service may have ended the session all the
    // same (the answer was lost): the program still holds it, so the refresh
    // goes out, and may be refused.
    std::string SessionAgrees(bool loggedIn, bool deadOnServer = false)
    {
        EmulatorLog log;
        std::wstring text;
        m_app->MarkStatus();
        m_app->Command(IDM_REFRESH);
        const std::string why = Watch(*m_app, &text);
        if (!why.empty())
            return "refresh after: " + why;
        if (loggedIn && deadOnServer && (text == TEXT_NOT_LOGGED_IN || log.RequestsWith("/data?").empty()))
            return "the session was dropped half: \"" + ToUtf8(text) + "\"";
        if (loggedIn && !deadOnServer && LoadedCount(text) < 0)
            return "logged in, but a refresh says \"" + ToUtf8(text) + "\"";
        if (!loggedIn && (text != TEXT_NOT_LOGGED_IN || !log.RequestsWith("/data?").empty()))
            return "logged out, but a refresh says \"" + ToUtf8(text) + "\"";
        return std::string();
    }

    // "Подключиться" logs in or out, by the state it finds. A failed logout
    // keeps the session, though the service may have ended it; either way
    // the refresh after it agrees with the text.
    std::string RunConnect(bool loggingIn, std::wstring* text)
    {
        m_app->MarkStatus();
        m_app->Command(IDM_CONNECT);
        std::string why = Watch(*m_app, text);
        if (!why.empty())
            return why;
        m_loggedIn = loggingIn ? *text == TEXT_LOGGED_IN : *text != TEXT_LOGGED_OUT;
        Disarm();
        return SessionAgrees(m_loggedIn, !loggingIn && m_loggedIn);
    }

    std::string RunRefresh(const FaultRow& row, std::wstring* text)
    {
        const std::vector<std::wstring> before = m_app->ListRows();
        m_app->MarkStatus();
        m_app->Command(IDM_REFRESH);
        const std::string why = Watch(*m_app, text);
        if (!why.empty())
            return why;
        const std::vector<std::wstring> rows = m_app->ListRows();
        const int count = LoadedCount(*text);
        if (count < 0)
            return rows == before ? std::string() : "a failed refresh changed the list";
        if ((int)rows.size() != count)
            return "status says " + std::to_string(count) + ", list holds " + std::to_string(rows.size());
        if (!ListMatchesServer(rows, strcmp(row.name, "u_escape") == 0))
            return "the list is not the server's";
        return std::string();
    }

    // Closes an open dialog with its button and waits for the final text
    // (or for a captcha dialog, given captcha).
    std::string Press(HWND dialog, WORD id, std::wstring* text, HWND* captcha = NULL)
    {
        m_app->MarkStatus();
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        if (!m_app->WaitWindowGone(dialog))
            return "the dialog stayed open";
        return Watch(*m_app, text, captcha);
    }

    // The friend's message dialog, open; *kept is the text it opened with.
    std::string OpenMessageDialog(HWND* dialog, std::wstring* kept = NULL)
    {
        if (!m_app->SelectRow(RowOf(*m_app, FRIEND_NAME)))
            return "no row to select";
        m_app->Command(IDM_SECTION_MESSAGE);
        *dialog = m_app->WaitDialog(MESSAGE_TITLE);
        if (!*dialog)
            return "no message dialog";
        if (kept)
            *kept = ItemText(*dialog, IDC_MESSAGE_EDIT);
        return std::string();
    }

    // The message typed and sent to the friend; the final text, or the
    // captcha dialog that opened instead (given captcha).
    std::string SendMessageText(const std::wstring& message, std::wstring* text, HWND* captcha = NULL)
    {
        HWND dialog = NULL;
        std::string why = OpenMessageDialog(&dialog);
        if (why.empty() && !SetItemText(dialog, IDC_MESSAGE_EDIT, message))
            why = "cannot type the message";
        return why.empty() ? Press(dialog, IDM_BAR_SEND, text, captcha) : why;
    }

    static bool ServiceHasMessage(const std::wstring& message)
    {
        return EmulatorState().find(
                   std::string("message ") + DEMO_EMAIL + " " + FRIEND_ID + " " + ToUtf8(message) + "\n")
            != std::string::npos;
    }

    // The recipient is found through the model by the row's name, so a
    // model that disagrees with the list shows here.
    std::string RunMessage(std::wstring* text)
    {
        const std::wstring message = L"Проверка " + std::to_wstring(++m_serial);
        const std::string why = SendMessageText(message, text);
        if (!why.empty())
            return why;
        if (*text == TEXT_MESSAGE_SENT && !ServiceHasMessage(message))
            return "sent, but the service has no such message";
        if (*text == TEXT_CONTACT_NOT_FOUND)
            return "the list shows a friend the model does not hold";
        return std::string();
    }

    // The captcha dialog under the row's fault: it opens exactly when the
    // picture is sound, and then the code the service drew is typed; with no
    // picture, the request that waits for it (held) does not go out.
    // captcha is the dialog Watch found, or null when a final text came.
    std::string AnswerPicture(
        const FaultRow& row, const EmulatorLog& log, HWND captcha, const char* held, std::wstring* text)
    {
        const bool spoiled = row.host == DATA_HOST_ADDRESS && (row.spoils & PICTURES);
        if (!captcha) {
            if (!spoiled)
                return "no captcha dialog: \"" + ToUtf8(*text) + "\"";
            if (!log.RequestsWith(held).empty())
                return std::string("went out without its picture: ") + held;
            return std::string();
        }
        if (spoiled)
            return "a captcha dialog on a spoiled picture";
        if (!m_app->CaptchaShowsPicture(captcha))
            return "the captcha dialog shows no picture";
        const std::vector<std::string> pictures = log.RequestsWith("act=captcha");
        std::string csid;
        if (pictures.empty() || !QueryValue(pictures.back(), "csid", &csid))
            return "a dialog without a picture request";
        const std::string code = PendingCaptchaCode(csid);
        if (code.empty())
            return "no code pending for csid " + csid;
        if (!m_app->AnswerCaptcha(captcha, code.c_str()))
            return "the captcha dialog stayed open";
        return Watch(*m_app, text);
    }

    // A login while the e-mail needs a captcha: the picture (under data-host
    // faults), then the login with its code (under login-host faults). After
    // a failure the next clean try still logs in.
    std::string RunCaptchaLogin(const FaultRow& row, std::wstring* text)
    {
        EmulatorLog log;
        m_app->MarkStatus();
        m_app->Command(IDM_CONNECT);
        HWND captcha = NULL;
        std::string why = Watch(*m_app, text, &captcha);
        if (why.empty())
            why = AnswerPicture(row, log, captcha, "/auth?", text);
        if (!why.empty())
            return why;
        m_loggedIn = *text == TEXT_LOGGED_IN;
        Disarm();
        if ((why = SessionAgrees(m_loggedIn)).empty() && !m_loggedIn)
            why = NextTryLogsIn();
        return why;
    }

    std::string NextTryLogsIn()
    {
        EmulatorLog log;
        std::wstring text;
        HWND captcha = NULL;
        m_app->MarkStatus();
        m_app->Command(IDM_CONNECT);
        std::string why = Watch(*m_app, &text, &captcha);
        if (why.empty() && captcha)
            why = AnswerPicture(FAULTS[0], log, captcha, "/auth?", &text);
        m_loggedIn = text == TEXT_LOGGED_IN;
        if (why.empty() && !m_loggedIn)
            why = "the next try: \"" + ToUtf8(text) + "\"";
        return why.empty() ? why : "after: " + why;
    }

    // The message refused for want of a code is sent again: the picture
    // under the fault, then the message with its code. After a failure the
    // text is still in the dialog and the next clean try sends it.
    std::string RunCaptchaMessage(const FaultRow& row, std::wstring* text)
    {
        std::string why = ResendRefused(row, text);
        if (!why.empty() || *text == TEXT_MESSAGE_SENT)
            return why;
        Disarm();
        std::wstring next;
        why = ResendRefused(FAULTS[0], &next);
        if (why.empty() && next != TEXT_MESSAGE_SENT)
            why = "the next try: \"" + ToUtf8(next) + "\"";
        return why.empty() ? why : "after: " + why;
    }

    // The friend's dialog still holds the refused message; "Отправить", the
    // picture under the row's fault, and the service agrees with the text.
    std::string ResendRefused(const FaultRow& row, std::wstring* text)
    {
        EmulatorLog log;
        HWND dialog = NULL, captcha = NULL;
        std::wstring kept;
        std::string why = OpenMessageDialog(&dialog, &kept);
        if (why.empty() && kept != m_message)
            why = "the refused message was not kept";
        if (why.empty())
            why = Press(dialog, IDM_BAR_SEND, text, &captcha);
        if (why.empty())
            why = AnswerPicture(row, log, captcha, "act=add_message", text);
        if (!why.empty())
            return why;
        const bool sent = *text == TEXT_MESSAGE_SENT;
        if (sent != ServiceHasMessage(m_message))
            return sent ? "sent, but the service has no such message"
                        : "the service has a message said unsent";
        return std::string();
    }

    std::string RunStatus(std::wstring* text)
    {
        m_app->Command(IDM_STATUS);
        HWND dialog = m_app->WaitDialog(STATUS_TITLE);
        if (!dialog)
            return "no status dialog";
        const std::wstring status = L"Статус " + std::to_wstring(++m_serial);
        if (!SetItemText(dialog, IDC_STATUS_EDIT, status))
            return "cannot type the status";
        const std::string why = Press(dialog, IDM_BAR_SEND, text);
        if (!why.empty())
            return why;
        if (*text == TEXT_STATUS_SET
            && EmulatorState().find(std::string("status ") + DEMO_EMAIL + " " + ToUtf8(status))
                == std::string::npos)
            return "set, but the service has no such status";
        return std::string();
    }

    std::string TwentyRefreshesAtOnce();
    std::string LoginLogoutRace();
    std::string RefreshRacingSends();
    std::string SaveRacingLogin();
    std::string ExitWhileFiveWorkersRun();

    // The program's threads with no worker running.
    int IdleThreads() const
    {
        int fewest = m_app->ThreadCount();
        for (int i = 0; i < 20; ++i)
            fewest = std::min(fewest, m_app->ThreadCount());
        return fewest;
    }

    std::unique_ptr<SorvintaApp> m_app {new SorvintaApp};
    bool m_loggedIn = false;
    int m_serial = 0;
    std::wstring m_message;        // the one refused for want of a captcha
    const FaultRow* m_row = NULL;  // armed for the worker running now
};

const char* Matrix::LoadName(int index)
{
    static const char* const names[LOAD_CASES]
        = {"20 refreshes at once", "login and logout racing", "refresh racing a message and a status",
            "settings Save racing a login", "exit while five workers run"};
    return names[index];
}

std::string Matrix::LoadCase(int index)
{
    ResetEmulator();
    std::string why = Prepare(FRIENDS);
    if (!why.empty())
        return "set-up: " + why;
    EmulatorLog log;
    switch (index) {
    case 0: why = TwentyRefreshesAtOnce(); break;
    case 1: why = LoginLogoutRace(); break;
    case 2: why = RefreshRacingSends(); break;
    case 3: why = SaveRacingLogin(); break;
    case 4: why = ExitWhileFiveWorkersRun(); break;
    }
    ReleaseAnswers();
    if (why.empty()) {
        const std::string dirty = FirstDirtyLine(log);
        if (!dirty.empty())
            why = "request line \"" + dirty + "\"";
    }
    return why.empty() ? "pass" : why;
}

// All twenty answers held and let go together: one whole list at the end.
std::string Matrix::TwentyRefreshesAtOnce()
{
    const int idle = IdleThreads();
    HoldAnswers(DATA_HOST_ADDRESS, 20);
    m_app->MarkStatus();
    for (int i = 0; i < 20; ++i)
        m_app->Command(IDM_REFRESH);
    if (!WaitHeld(20))
        return "not all twenty requests went out";
    ReleaseAnswers();
    std::wstring text;
    std::string why = Watch(*m_app, &text);
    if (!why.empty())
        return why;
    if (!m_app->WaitThreadsAtMost(idle, 30000))
        return "a worker is still running";
    text = m_app->StatusText();
    if (LoadedCount(text) != (int)g_serverNames.size())
        return ToUtf8(text);
    return m_app->ListRows() == g_serverNames ? std::string() : "the list is not the server's";
}

// Connect tapped five times while logins and logouts are under way: the
// text shown last and the session agree.
std::string Matrix::LoginLogoutRace()
{
    const int idle = IdleThreads();
    for (int round = 0; round < 2; ++round) {
        HoldAnswers(LOGIN_HOST_ADDRESS, 1);
        m_app->MarkStatus();
        for (int i = 0; i < 5; ++i)
            m_app->Command(IDM_CONNECT);
        if (!WaitHeld(1))
            return "no login or logout went out";
        m_app->Command(IDM_CONNECT);
        ReleaseAnswers();
        for (int i = 0; i < 3; ++i)
            m_app->Command(IDM_CONNECT);
        if (!m_app->WaitThreadsAtMost(idle, 30000))
            return "a worker is still running";
        std::wstring text;
        const std::string why = Watch(*m_app, &text);
        if (!why.empty())
            return why;
        if (text != TEXT_LOGGED_IN && text != TEXT_LOGGED_OUT)
            return ToUtf8(text);
        m_loggedIn = text == TEXT_LOGGED_IN;
        const std::string agrees = SessionAgrees(m_loggedIn);
        if (!agrees.empty())
            return agrees;
    }
    return std::string();
}

// A message, a status and a refresh, all three answers held and let go
// together: each arrives, and the list is whole.
std::string Matrix::RefreshRacingSends()
{
    const int idle = IdleThreads();
    HoldAnswers(DATA_HOST_ADDRESS, 3);
    if (!m_app->SelectRow(RowOf(*m_app, FRIEND_NAME)))
        return "no row to select";
    m_app->Command(IDM_SECTION_MESSAGE);
    HWND dialog = m_app->WaitDialog(MESSAGE_TITLE);
    const std::wstring message = L"Гонка " + std::to_wstring(++m_serial);
    if (!dialog || !SetItemText(dialog, IDC_MESSAGE_EDIT, message))
        return "no message dialog";
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_BAR_SEND, 0), 0);
    if (!m_app->WaitWindowGone(dialog))
        return "the message dialog stayed open";
    m_app->Command(IDM_STATUS);
    dialog = m_app->WaitDialog(STATUS_TITLE);
    const std::wstring status = L"Гонка " + std::to_wstring(++m_serial);
    if (!dialog || !SetItemText(dialog, IDC_STATUS_EDIT, status))
        return "no status dialog";
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_BAR_SEND, 0), 0);
    if (!m_app->WaitWindowGone(dialog))
        return "the status dialog stayed open";
    m_app->Command(IDM_REFRESH);
    if (!WaitHeld(3))
        return "not all three requests went out";
    m_app->MarkStatus();
    ReleaseAnswers();
    std::wstring text;
    std::string why = Watch(*m_app, &text);
    if (!why.empty())
        return why;
    if (!m_app->WaitThreadsAtMost(idle, 30000))
        return "a worker is still running";
    const std::string state = EmulatorState();
    if (state.find(std::string("message ") + DEMO_EMAIL + " " + FRIEND_ID + " " + ToUtf8(message))
        == std::string::npos)
        return "the message did not arrive";
    if (state.find(std::string("status ") + DEMO_EMAIL + " " + ToUtf8(status)) == std::string::npos)
        return "the status did not arrive";
    return m_app->ListRows() == g_serverNames ? std::string() : "the list is not the server's";
}

// Save in the settings dialog while a login waits for its answer: the login
// ends, and the credentials still log in afterwards.
std::string Matrix::SaveRacingLogin()
{
    std::string why = EnsureLoggedIn(false);
    if (!why.empty())
        return "set-up: " + why;
    const int idle = IdleThreads();
    m_app->Command(IDM_SETTINGS);
    HWND dialog = m_app->WaitDialog(SETTINGS_TITLE);
    if (!dialog)
        return "no settings dialog";
    HoldAnswers(LOGIN_HOST_ADDRESS, 1);
    m_app->MarkStatus();
    m_app->Command(IDM_CONNECT);
    if (!WaitHeld(1))
        return "no login went out";
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_BAR_SAVE, 0), 0);
    if (!m_app->WaitWindowGone(dialog))
        return "the settings dialog stayed open";
    ReleaseAnswers();
    std::wstring text;
    why = Watch(*m_app, &text);
    if (!why.empty())
        return why;
    if (!m_app->WaitThreadsAtMost(idle, 30000))
        return "a worker is still running";
    if (m_app->StatusText() != TEXT_LOGGED_IN)
        return ToUtf8(m_app->StatusText());
    m_loggedIn = true;
    if ((why = EnsureLoggedIn(false)).empty() && (why = EnsureLoggedIn(true)).empty())
        return std::string();
    return "after Save: " + why;
}

std::string Matrix::ExitWhileFiveWorkersRun()
{
    HoldAnswers(DATA_HOST_ADDRESS, 5);
    for (int i = 0; i < 5; ++i)
        m_app->Command(IDM_REFRESH);
    if (!WaitHeld(5))
        return "not all five requests went out";
    m_app->Command(IDM_EXIT);
    DWORD code = 12345;
    const bool ended = m_app->WaitExit(FINAL_WITHIN_MS, &code);
    ReleaseAnswers();
    if (!ended)
        return "still running 10 s after \"Выход\"";
    return code == 0 ? std::string() : "exit code " + std::to_string(code);
}

void PrintTable(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows)
{
    std::string line = "|";
    for (const std::string& h : header)
        line += " " + h + " |";
    printf("%s\n|", line.c_str());
    for (size_t i = 0; i < header.size(); ++i)
        printf("---|");
    printf("\n");
    for (const std::vector<std::string>& row : rows) {
        line = "|";
        for (const std::string& cell : row)
            line += " " + cell + " |";
        printf("%s\n", line.c_str());
    }
    fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: faults_driver EXE [FAULT...]\n");
        return 2;
    }
    DirectSession session;
    std::vector<std::string> names;
    if (!StartWinsock() || !ResetEmulator() || !LoginDirect(DEMO_EMAIL, DEMO_PASSWORD, &session)
        || !FetchFriendNames(session, "friends", &names)) {
        fprintf(stderr, "faults_driver: the emulator does not answer; run inside tools/sandbox.sh\n");
        return 2;
    }
    for (const std::string& name : names)
        g_serverNames.push_back(FromCp1251(name));
    SortLikeListBox(g_serverNames);

    Matrix matrix(argv[1]);
    std::vector<std::vector<std::string>> table;
    for (const FaultRow& row : FAULTS) {
        bool chosen = argc == 2;
        for (int i = 2; i < argc; ++i)
            chosen = chosen || RowName(row) == argv[i] || strcmp(row.name, argv[i]) == 0;
        if (!chosen)
            continue;
        std::vector<std::string> line = {RowName(row)};
        for (const std::string& cell : matrix.Run(row)) {
            g_failed = g_failed || cell != "pass";
            line.push_back(cell);
        }
        table.push_back(line);
    }
    std::vector<std::string> header = {"fault"};
    for (const char* name : WORKER_NAMES)
        header.push_back(name);
    PrintTable(header, table);

    printf("\n");
    std::vector<std::vector<std::string>> load;
    for (int i = 0; i < Matrix::LOAD_CASES; ++i) {
        const std::string cell = matrix.LoadCase(i);
        g_failed = g_failed || cell != "pass";
        load.push_back({Matrix::LoadName(i), cell});
    }
    PrintTable({"load case", "result"}, load);
    matrix.Stop();
    return g_failed ? 1 : 0;
}
