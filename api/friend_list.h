// The friend-list worker: fetches one list, keeps it in the model and fills
// the main window's list box.
#pragma once

#include <windows.h>

#include <string>

#include "api/list_ticket.h"

enum { FRIEND_ACT_SIZE = 260 };

// The list kinds a refresh asks the service for.
constexpr char ACT_FRIENDS_ONLINE[] = "friends_online";
constexpr char ACT_FRIENDS[] = "friends";
constexpr char ACT_FRIENDS_MUTUAL[] = "friends_mutual";

// What a refresh command hands its worker, made with new; the worker deletes it.
struct FriendListJob {
    // "friends", "friends_online", "friends_mutual" or "friends_new": a copy,
    // since the command reuses its buffer for the next refresh.
    char act[FRIEND_ACT_SIZE];
    unsigned long refresh;  // from TakeRefreshTicket, when the command ran
};

// A refresh command runs: every answer to an earlier refresh is no longer wanted.
unsigned long TakeRefreshTicket();

// A job for act with a fresh ticket; null when memory is short.
FriendListJob* NewFriendListJob(const char* act);

DWORD WINAPI FriendListThread(LPVOID job);

// What the worker does with the raw response of its exchange: the list box,
// the model and the status text, only when ticket still holds (see
// JudgeListAnswer). Runs on the worker thread (it sends to the main window's
// controls); kept apart so it can be driven without a network.
void ShowFriendListResponse(const ListTicket& ticket, const char* act, const std::string& response);
