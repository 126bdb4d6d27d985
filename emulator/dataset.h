// Accounts and friends the emulator serves: a built-in demo set and the
// optional data file that adds to it or replaces it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

enum class Presence { Offline, Online, Rotating };

struct Friend {
    std::int64_t id = 0;
    std::string name;  // Windows-1251 bytes, as sent
    Presence presence = Presence::Offline;
    bool mutual = false;  // in the friends_mutual list
    bool fresh = false;   // in the friends_new list
    bool closed = false;  // accepts no messages: add_message answers -3
};

struct Account {
    std::string email;     // Windows-1251, compared without regard to ASCII case
    std::string password;  // Windows-1251, compared exactly
    std::int64_t memberId = 0;
    std::vector<Friend> friends;
};

struct DataSet {
    std::vector<Account> accounts;

    const Account* FindByEmail(std::string_view email) const;
    const Account* FindById(std::int64_t memberId) const;
    // Adds the account, replacing one with the same e-mail.
    Account& Put(Account account);
};

// A friend marked Rotating is online in one minute of every three (which
// minute depends on the id), so the online list changes as time passes.
bool IsOnline(const Friend& f, std::int64_t minute);

// The demo account (about 30 friends), the bench accounts with 250, 2500
// and 10000 generated friends, and the empty account.
DataSet BuiltinDataSet();

// `count` friends with generated Russian names, ids from `firstId` on, in
// an order that is not alphabetical; the same seed gives the same list.
std::vector<Friend> GenerateFriends(std::size_t count, std::int64_t firstId, std::uint32_t seed);

// Applies a data file's text (UTF-8, format in emulator/README.md) to
// `data`. On a bad line returns false with "line N: why" in `error`.
bool ApplyDataText(std::string_view text, DataSet& data, std::string& error);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace emulator
