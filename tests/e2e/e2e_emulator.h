// The driver's own line to the service emulator inside the sandbox: arming
// faults, reading the request log, and asking the data host directly so a
// test can compare the program's list with the server's answer.
#pragma once

#include <string>
#include <vector>

// The sandbox puts the login host on 127.0.0.2 and the data host on 127.0.0.3.
extern const char LOGIN_HOST_ADDRESS[];
extern const char DATA_HOST_ADDRESS[];

bool StartWinsock();

// One request on a fresh connection to port 80; the raw answer up to close.
bool HttpRequest(const char* address, const std::string& request, std::string* response);
// GET of a path; gives the status code, or -1 when nothing came back.
int HttpGet(const char* address, const std::string& path, std::string* body = NULL);

// Faults apply to the next count answers of the host they belong to.
bool ArmFault(const char* address, const std::string& name, int count = 1);
bool ResetEmulator();
bool EmulatorReachable();
// Both hosts give an HTTP answer to a GET of "/", whatever its status.
bool PeersAnswer();

// The next count answers of the host wait until ReleaseAnswers (or a reset),
// so that several can be let go at the same moment.
bool HoldAnswers(const char* address, int count);
bool ReleaseAnswers();
// A number from the emulator's state ("sessions", "held"); -1 when unknown.
int EmulatorStateValue(const std::string& name);
// The code the emulator drew for the picture csid and has not had tried
// yet; empty when there is none.
std::string PendingCaptchaCode(const std::string& csid);
// Waits until count answers are held back.
bool WaitHeld(int count, unsigned long timeoutMs = 15000);
// The next successful login hands out a session id of sidLength bytes and a
// member id of memberIdDigits digits (zero-padded).
bool SizeNextIds(int sidLength, int memberIdDigits);

// The emulator's log, one request line per request.
std::string EmulatorLogPath();
class EmulatorLog {
public:
    EmulatorLog();  // marks the current end
    void Mark();
    std::vector<std::string> LinesSinceMark() const;  // complete lines only
    // Request lines since the mark that hold the given text.
    std::vector<std::string> RequestsWith(const std::string& text) const;

private:
    size_t m_mark;
};

// Percent-decoding as an HTTP server does it for a query value ('+' is a space).
std::string DecodeQueryValue(const std::string& value);
// The value of one key in the query of a request line; false when absent.
bool QueryValue(const std::string& requestLine, const std::string& key, std::string* value);

// A session of the driver's own, for asking the data host directly.
struct DirectSession {
    std::string sid;
    std::string memberId;
};
bool LoginDirect(const std::string& email, const std::string& password, DirectSession* session);
// The display names (Windows-1251 bytes) of one friend list, as the data host gives them.
bool FetchFriendNames(const DirectSession& session, const std::string& act, std::vector<std::string>* names);
