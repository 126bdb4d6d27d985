// The friend-list worker: fetches one list, keeps it in the model and fills
// the main window's list box.
#pragma once

#include <windows.h>

#include <string>

// act: "friends", "friends_online", "friends_mutual" or "friends_new"; the
// worker copies it at once, the caller reuses its buffer.
DWORD WINAPI FriendListThread(LPVOID act);

// What the worker does with the raw response of its exchange: the list box,
// the model and the status text. Runs on the worker thread (it sends to the
// main window's controls); kept apart so it can be driven without a network.
void ShowFriendListResponse(const char* act, const std::string& response);
