// The friend-list worker: fetches one list, keeps it in the model and fills
// the main window's list box.
#pragma once

#include <windows.h>

// act: "friends", "friends_online", "friends_mutual" or "friends_new"; the
// worker copies it at once, the caller reuses its buffer.
DWORD WINAPI FriendListThread(LPVOID act);
