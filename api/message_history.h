// What this run remembers of the messages sent: the list shown by
// "Сообщения", and the text of a failed send kept for its recipient, so the
// next message dialog for that friend starts with it. Nothing is written to
// any file. Any thread may call these. No windows.h.
#pragma once

#include <string>
#include <vector>

struct SentMessage {
    std::wstring recipient;
    std::wstring text;
    std::wstring outcome;  // empty while the send runs
};

// A new entry for a send about to start; gives its serial number.
int RecordMessageSend(const std::wstring& recipient, const std::wstring& text);
void RecordMessageOutcome(int serial, const std::wstring& outcome);
// Newest first.
std::vector<SentMessage> SentMessages();

// The first words of text: at most maxChars characters, cut at a space when
// there is one, with "..." when something was left out; line ends and runs of
// blanks become one space.
std::wstring FirstWords(const std::wstring& text, std::size_t maxChars);

// The unsent text of one recipient (empty when there is none), with the
// serial of the send that left it. Sends to one friend may end in any order:
// a failed send keeps its text unless a later send's draft is there, and a
// send that went out drops only the draft its dialog opened with.
void KeepDraft(int recipientId, const std::wstring& text, int serial);
// Drops the draft left by send serial (0: none); -1 drops any.
void DropDraft(int recipientId, int serial = -1);
std::wstring DraftFor(int recipientId, int* serial = nullptr);
