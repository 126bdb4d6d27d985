#include "api/status_history.h"

#include <algorithm>
#include <mutex>

namespace {

const std::size_t MAX_STATUSES_KEPT = 50;

struct Statuses {
    std::mutex lock;
    std::vector<std::wstring> texts;  // most recent first
};

// Never destroyed: a worker may still record while the program exits.
Statuses& TheStatuses()
{
    static Statuses* statuses = new Statuses();
    return *statuses;
}

}  // namespace

bool GetLastStatusText(wchar_t* buffer, int size)
{
    Statuses& s = TheStatuses();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.texts.empty() || !buffer || size <= 0)
        return false;
    const std::wstring& last = s.texts.front();
    const std::size_t length = std::min(last.size(), static_cast<std::size_t>(size - 1));
    std::copy(last.begin(), last.begin() + length, buffer);
    buffer[length] = L'\0';
    return true;
}

void RememberStatus(const std::wstring& text)
{
    Statuses& s = TheStatuses();
    std::lock_guard<std::mutex> guard(s.lock);
    s.texts.erase(std::remove(s.texts.begin(), s.texts.end(), text), s.texts.end());
    s.texts.insert(s.texts.begin(), text);
    if (s.texts.size() > MAX_STATUSES_KEPT)
        s.texts.pop_back();
}

std::vector<std::wstring> StatusHistory()
{
    Statuses& s = TheStatuses();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.texts;
}
