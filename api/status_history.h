// The status texts this run has set successfully. Nothing is written to any
// file. Any thread may call these. No windows.h.
#pragma once

#include <string>
#include <vector>

// The status text set last with success, zero-terminated and cut to fit
// size wide characters; false (buffer untouched) when none was set yet.
bool GetLastStatusText(wchar_t* buffer, int size);

// Notes a status that was set: it becomes the last one, an equal older
// entry is dropped.
void RememberStatus(const std::wstring& text);

// Every status kept, most recent first, no two equal.
std::vector<std::wstring> StatusHistory();
