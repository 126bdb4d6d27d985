#include "api/message_history.h"

#include <map>
#include <mutex>

namespace {

// A run sends few messages; the oldest go once there are this many.
const std::size_t MAX_SENT_KEPT = 200;

struct History {
    std::mutex lock;
    std::vector<std::pair<int, SentMessage>> sent;  // oldest first
    int nextSerial = 1;
    std::map<int, std::pair<int, std::wstring>> drafts;  // recipient -> serial, text
};

// Never destroyed: a worker may still record while the program exits.
History& TheHistory()
{
    static History* history = new History();
    return *history;
}

}  // namespace

int RecordMessageSend(const std::wstring& recipient, const std::wstring& text)
{
    History& h = TheHistory();
    std::lock_guard<std::mutex> guard(h.lock);
    if (h.sent.size() >= MAX_SENT_KEPT)
        h.sent.erase(h.sent.begin());
    const int serial = h.nextSerial++;
    h.sent.push_back({serial, SentMessage {recipient, text, std::wstring()}});
    return serial;
}

void RecordMessageOutcome(int serial, const std::wstring& outcome)
{
    History& h = TheHistory();
    std::lock_guard<std::mutex> guard(h.lock);
    for (auto& entry : h.sent)
        if (entry.first == serial)
            entry.second.outcome = outcome;
}

std::vector<SentMessage> SentMessages()
{
    History& h = TheHistory();
    std::lock_guard<std::mutex> guard(h.lock);
    std::vector<SentMessage> newestFirst;
    newestFirst.reserve(h.sent.size());
    for (auto it = h.sent.rbegin(); it != h.sent.rend(); ++it)
        newestFirst.push_back(it->second);
    return newestFirst;
}

std::wstring FirstWords(const std::wstring& text, std::size_t maxChars)
{
    // One row of a list: line ends and runs of blanks become one space.
    std::wstring flat;
    for (const wchar_t c : text) {
        const bool blank = c == L' ' || c == L'\r' || c == L'\n' || c == L'\t';
        if (!blank)
            flat += c;
        else if (!flat.empty() && flat.back() != L' ')
            flat += L' ';
    }
    if (flat.size() <= maxChars)
        return flat;
    std::wstring cut = flat.substr(0, maxChars);
    const std::size_t space = cut.find_last_of(L' ');
    if (space != std::wstring::npos && space > 0)
        cut.erase(space);
    return cut + L"...";
}

void KeepDraft(int recipientId, const std::wstring& text, int serial)
{
    History& h = TheHistory();
    std::lock_guard<std::mutex> guard(h.lock);
    const auto it = h.drafts.find(recipientId);
    if (it == h.drafts.end() || it->second.first <= serial)
        h.drafts[recipientId] = {serial, text};
}

void DropDraft(int recipientId, int serial)
{
    History& h = TheHistory();
    std::lock_guard<std::mutex> guard(h.lock);
    const auto it = h.drafts.find(recipientId);
    if (it != h.drafts.end() && (serial == -1 || (serial != 0 && it->second.first == serial)))
        h.drafts.erase(it);
}

std::wstring DraftFor(int recipientId, int* serial)
{
    History& h = TheHistory();
    std::lock_guard<std::mutex> guard(h.lock);
    const auto it = h.drafts.find(recipientId);
    if (serial)
        *serial = it == h.drafts.end() ? 0 : it->second.first;
    return it == h.drafts.end() ? std::wstring() : it->second.second;
}
