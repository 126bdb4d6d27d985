// The friend-list request and the reading of its answer: the member text cut
// out of the body, wrapped into a member document, parsed and checked, and the
// display names taken out of it. No windows.h, so it builds natively too.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "json/elements.h"

enum {
    FRIEND_REQUEST_SIZE = 260,  // request buffer, terminating zero included
    FRIEND_NAME_SIZE = 260      // a display name passes through this, zero included
};

enum FriendRequestResult {
    FriendRequestComposed,
    FriendRequestTooLong,  // would not fit the buffer: nothing written to send
    FriendRequestBadValue  // a value holds a byte that has no place in a request line
};

// "GET /data?act=...&from=0&to=2500&id=...&sid=... HTTP/1.1" and the Host,
// User-Agent and Connection lines, zero-terminated in buffer (size bytes).
// On failure buffer holds an empty text.
FriendRequestResult ComposeFriendListRequest(
    const char* act, const char* memberId, const char* sessionId, char* buffer, std::size_t size);

enum FriendAnswer {
    FriendAnswerBody,     // a 2xx answer whose body is in Windows-1251 now
    FriendAnswerRefused,  // a sound answer whose status is not 2xx
    FriendAnswerBad       // no status line, no end of the header block, or a malformed body
};

// The body of a data answer: chunked framing undone, cut to its length, and
// converted from UTF-8 when its Content-Type says charset=utf-8.
FriendAnswer ReadFriendListBody(const std::string& response, std::string* body);

enum MemberCut {
    MemberTextFound,   // memberText runs from the first "[[" to the last "]"
    MemberListEmpty,   // no "[[", but an empty array "[]" outside any string
    MemberTextMissing  // no "[[", or no "]" after it: not a member list
};

MemberCut CutMemberText(const std::string& body, std::string* memberText);

// "{ \"members\": " + memberText + "}".
std::string WrapMemberText(const std::string& memberText);

// Reads the wrapped text; false, document untouched, when the text is not JSON.
bool ParseMemberDocument(const std::string& wrapped, json::Element* document);

// The display names of every member, in the members' order, each cut to
// FRIEND_NAME_SIZE - 1 bytes. False, names untouched, unless the document is
// an object whose "members" is an array of arrays, each with a string at 1.
bool ReadMemberNames(const json::Element& document, std::vector<std::string>* names);

// At most FRIEND_NAME_SIZE - 1 bytes of name.
std::string CutDisplayName(const std::string& name);
