// The friend lists kept from the last fetch of each kind: written by the
// friend-list worker, read by the message dialog. No windows.h.
#pragma once

#include <mutex>

#include "json/elements.h"

enum FriendListKind {
    AllFriends = 0,     // "friends"
    OnlineFriends = 1,  // "friends_online"
    MutualFriends = 2,  // "friends_mutual"
    NewFriends = 3      // "friends_new"
};

enum { FRIEND_LIST_KIND_COUNT = 4 };

// The kind whose act text equals act exactly; false for any other text.
bool FriendListKindFromAct(const char* act, FriendListKind* kind);

// The act text of a kind ("friends" ... "friends_new").
const char* FriendListAct(FriendListKind kind);

// What the message dialog reads: the kind the list box shows and the member
// document of that kind, taken together under the model's lock.
struct FriendListCopy {
    int currentList;
    json::Element document;
};

struct FriendModel {
    // The "to" value of every friend-list request.
    static constexpr int MaxFriends = 2500;

    FriendModel();

    // Replaces the slot of kind and makes it the current list, as one step.
    // Gives back the document it held, for the caller to release when it
    // suits (null for a kind out of range).
    json::Element ReplaceList(FriendListKind kind, const json::Element& document);

    // currentList and its slot as one consistent pair.
    FriendListCopy CopyCurrentList() const;

    // One slot (JSON null until a fetch of that kind succeeded).
    json::Element CopyList(FriendListKind kind) const;
    int CurrentList() const;

private:
    mutable std::mutex lock;
    json::Element slots[FRIEND_LIST_KIND_COUNT];
    int currentList;
};

// The one model of the run. Made on first use of the program and never
// destroyed: a worker may still be writing it while the program exits.
extern FriendModel& g_friendModel;
