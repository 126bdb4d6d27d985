#include "api/friend_model.h"

#include <cstring>

namespace {

const char* const kActs[FRIEND_LIST_KIND_COUNT] = {
    "friends",
    "friends_online",
    "friends_mutual",
    "friends_new",
};

}  // namespace

FriendModel& g_friendModel = *new FriendModel();

bool FriendListKindFromAct(const char* act, FriendListKind* kind)
{
    if (!act)
        return false;
    for (int i = 0; i < FRIEND_LIST_KIND_COUNT; ++i) {
        if (std::strcmp(act, kActs[i]) == 0) {
            *kind = static_cast<FriendListKind>(i);
            return true;
        }
    }
    return false;
}

const char* FriendListAct(FriendListKind kind)
{
    if (static_cast<int>(kind) < 0 || static_cast<int>(kind) >= FRIEND_LIST_KIND_COUNT)
        return "";
    return kActs[kind];
}

FriendModel::FriendModel()
    : currentList(AllFriends)
{
}

json::Element FriendModel::ReplaceList(FriendListKind kind, const json::Element& document)
{
    if (static_cast<int>(kind) < 0 || static_cast<int>(kind) >= FRIEND_LIST_KIND_COUNT)
        return json::Element();
    // The old document leaves the lock whole: freeing thousands of members
    // must not hold up the message dialog.
    json::Element old = document;
    {
        std::lock_guard<std::mutex> guard(lock);
        slots[kind].swap(old);
        currentList = kind;
    }
    return old;
}

FriendListCopy FriendModel::CopyCurrentList() const
{
    std::lock_guard<std::mutex> guard(lock);
    FriendListCopy copy = {currentList, slots[currentList]};
    return copy;
}

json::Element FriendModel::CopyList(FriendListKind kind) const
{
    if (static_cast<int>(kind) < 0 || static_cast<int>(kind) >= FRIEND_LIST_KIND_COUNT)
        return json::Element();
    std::lock_guard<std::mutex> guard(lock);
    return slots[kind];
}

int FriendModel::CurrentList() const
{
    std::lock_guard<std::mutex> guard(lock);
    return currentList;
}
