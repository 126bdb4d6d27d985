// The friend-list request, the member cut and wrap, the names, the acts and
// the model.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "api/friend_model.h"
#include "api/member_text.h"

namespace {

const std::string kHead
    = "Host: api.socialnet.example\r\nUser-Agent: PPC Sorvinta\r\nConnection: Close\r\n\r\n";

enum Outcome { Listed, Empty, Missing, BadDocument };

// What the worker does between the body and the list box.
Outcome ReadBody(const std::string& body, std::vector<std::string>* names, std::string* wrapped = nullptr)
{
    std::string memberText;
    const MemberCut cut = CutMemberText(body, &memberText);
    if (cut == MemberListEmpty)
        return Empty;
    if (cut == MemberTextMissing)
        return Missing;
    const std::string text = WrapMemberText(memberText);
    if (wrapped)
        *wrapped = text;
    json::Element document;
    if (!ParseMemberDocument(text, &document) || !ReadMemberNames(document, names))
        return BadDocument;
    return Listed;
}

TEST(FriendsRequest, ComposesTheLinesInOrder)
{
    char buffer[FRIEND_REQUEST_SIZE];
    ASSERT_EQ(FriendRequestComposed,
        ComposeFriendListRequest(
            "friends_online", "12345", "0123456789abcdef0123456789abcdef", buffer, sizeof(buffer)));
    EXPECT_EQ("GET /data?act=friends_online&from=0&to=2500&id=12345"
              "&sid=0123456789abcdef0123456789abcdef HTTP/1.1\r\n"
            + kHead,
        std::string(buffer));
}

TEST(FriendsRequest, RefusesWhatDoesNotFit)
{
    // The fixed part with empty ids, and the room left for them.
    char buffer[FRIEND_REQUEST_SIZE];
    ASSERT_EQ(FriendRequestComposed, ComposeFriendListRequest("friends", "", "", buffer, sizeof(buffer)));
    const size_t fixed = std::strlen(buffer);
    const size_t room = FRIEND_REQUEST_SIZE - 1 - fixed;

    const std::string fits(room, 'a');
    ASSERT_EQ(FriendRequestComposed,
        ComposeFriendListRequest("friends", "1", fits.substr(1).c_str(), buffer, sizeof(buffer)));
    EXPECT_EQ(FRIEND_REQUEST_SIZE - 1, std::strlen(buffer));

    const std::string tooLong(room, 'a');
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(FriendRequestTooLong,
        ComposeFriendListRequest("friends", "1", tooLong.c_str(), buffer, sizeof(buffer)));
    EXPECT_EQ('\0', buffer[0]);  // nothing that could be sent

    const std::string huge(300, '7');
    EXPECT_EQ(FriendRequestTooLong,
        ComposeFriendListRequest("friends", huge.c_str(), "abc", buffer, sizeof(buffer)));
    EXPECT_EQ('\0', buffer[0]);
}

TEST(FriendsRequest, RefusesValuesThatWouldBreakTheRequestLine)
{
    const char* const bad[]
        = {"ab cd", "ab\r\nX-Evil: 1", "ab\ncd", "a&id=1", "a#b", "a?b", "a%20b", "\xC0\xC1", "a\x7f"};
    char buffer[FRIEND_REQUEST_SIZE];
    for (const char* value : bad) {
        EXPECT_EQ(
            FriendRequestBadValue, ComposeFriendListRequest("friends", "1", value, buffer, sizeof(buffer)))
            << value;
        EXPECT_EQ(
            FriendRequestBadValue, ComposeFriendListRequest("friends", value, "abc", buffer, sizeof(buffer)))
            << value;
        EXPECT_EQ('\0', buffer[0]);
    }
}

TEST(FriendsCut, TakesFromFirstDoubleBracketToLastBracket)
{
    const struct {
        const char* body;
        const char* memberText;
    } cases[] = {
        // exactly an array of member arrays: the whole body
        {"[[1,\"A\",0],[2,\"B\",1]]", "[[1,\"A\",0],[2,\"B\",1]]"},
        // an object with one member: the brace is cut off
        {"{\"ok\":1,\"members\":[[1,\"A\"]]}", "[[1,\"A\"]]"},
        // another array later in the same object: up to its last "]"
        {"{\"members\":[[1,\"A\"]],\"extra\":[7,8]}", "[[1,\"A\"]],\"extra\":[7,8]"},
        // white space and text around
        {"junk [[1,\"A\"]] junk", "[[1,\"A\"]]"},
    };
    for (const auto& c : cases) {
        std::string text = "untouched";
        EXPECT_EQ(MemberTextFound, CutMemberText(c.body, &text)) << c.body;
        EXPECT_EQ(c.memberText, text) << c.body;
    }
}

TEST(FriendsCut, TellsEmptyListsFromRefusals)
{
    const struct {
        const char* body;
        MemberCut cut;
    } cases[] = {
        {"{\"ok\":1,\"members\":[]}", MemberListEmpty}, {"{\"ok\":1,\"members\":[ \r\n ]}", MemberListEmpty},
        {"[]", MemberListEmpty}, {"{\"ok\":-1,\"error\":\"session\"}", MemberTextMissing},
        {"{\"ok\":-1,\"error\":\"[]\"}", MemberTextMissing},       // "[]" only in a string
        {"{\"ok\":-1,\"error\":\"a\\\"[]\"}", MemberTextMissing},  // after an escaped quote
        {"", MemberTextMissing}, {"<html>Service unavailable</html>", MemberTextMissing},
        {"[1,2]", MemberTextMissing}, {"{\"members\":[[1,\"A\"", MemberTextMissing},  // no "]" after "[["
        {"]] {\"members\":[[", MemberTextMissing},                                    // "]" only before it
        {"[[]", MemberTextFound},  // parse refuses it later
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_EQ(c.cut, CutMemberText(c.body, &text)) << c.body;
    }
}

TEST(FriendsWrap, PutsTheMemberTextUnderMembers)
{
    EXPECT_EQ("{ \"members\": [[1,\"A\"]]}", WrapMemberText("[[1,\"A\"]]"));
    EXPECT_EQ("{ \"members\": }", WrapMemberText(""));
}

TEST(FriendsNames, ReadsTheNamesOfEveryMember)
{
    const struct {
        const char* body;
        std::vector<std::string> names;
    } cases[] = {
        {"[[1,\"A\"],[2,\"B\"]]", {"A", "B"}},
        {"{\"ok\":1,\"members\":[[2,\"B\",1],[1,\"A\",0]]}", {"B", "A"}},
        // a later array in the same object: only "members" is read
        {"{\"members\":[[1,\"A\"]],\"extra\":[[9,\"Z\"]]}", {"A"}},
        // extra elements of any kind are ignored
        {"[[1,\"A\",0,{\"x\":[1]},null,\"more\"],[2,\"B\",true]]", {"A", "B"}},
        // equal names each stay
        {"[[1,\"Anna\"],[2,\"Anna\"],[3,\"Anna\"]]", {"Anna", "Anna", "Anna"}},
        // escapes undone, Windows-1251 bytes kept
        {"[[1,\"\xC8\xE2\xE0\xED \\\"\xC8.\\\"\"],[2,\"a\\/b\\tc\"]]",
            {"\xC8\xE2\xE0\xED \"\xC8.\"", "a/b\tc"}},
        // element 0 is not read here
        {"[[\"x\",\"A\"],[null,\"B\"]]", {"A", "B"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> names;
        EXPECT_EQ(Listed, ReadBody(c.body, &names)) << c.body;
        EXPECT_EQ(c.names, names) << c.body;
    }
}

TEST(FriendsNames, CutsLongNamesAt259Bytes)
{
    const std::string exact(259, '\xC0');
    const std::string longer = std::string(259, 'b') + "tail";
    std::vector<std::string> names;
    ASSERT_EQ(Listed, ReadBody("[[1,\"" + exact + "\"],[2,\"" + longer + "\"]]", &names));
    ASSERT_EQ(2u, names.size());
    EXPECT_EQ(exact, names[0]);
    EXPECT_EQ(std::string(259, 'b'), names[1]);
    EXPECT_EQ("", CutDisplayName(""));
    EXPECT_EQ(259u, CutDisplayName(std::string(10000, 'x')).size());
}

TEST(FriendsNames, RefusesDocumentsWithoutMembers)
{
    const char* const cases[] = {
        "[[1,\"A\"]",         // cut ends at the inner "]"
        "[[1,\"A\"],]",       // bad JSON
        "[[1,\"\\uD800\"]]",  // a lone surrogate
        "[[1,\"A\"],[2,\"B\"x]]",
        "[[1,\"A\"],2]",    // a member that is not an array
        "[[1,\"A\"],[2]]",  // a member without element 1
        "[[1,\"A\"],[]]",
        "[[1,\"A\"],[2,3]]",  // element 1 not a string
        "[[1,\"A\"],[2,null]]", "[[1,[\"A\"]]]",
        "{\"members\":{\"a\":\"[[1,\\\"A\\\"]]\"}}",  // "[[" only inside a string
    };
    for (const char* body : cases) {
        std::vector<std::string> names = {"kept"};
        EXPECT_EQ(BadDocument, ReadBody(body, &names)) << body;
        EXPECT_EQ(std::vector<std::string> {"kept"}, names) << body;
    }

    // A document whose "members" is missing or not an array.
    const char* const documents[]
        = {"{\"other\":[[1,\"A\"]]}", "{\"members\":{}}", "[[1,\"A\"]]", "\"members\""};
    for (const char* text : documents) {
        json::Element document;
        ASSERT_TRUE(ParseMemberDocument(text, &document)) << text;
        std::vector<std::string> names;
        EXPECT_FALSE(ReadMemberNames(document, &names)) << text;
    }
    std::vector<std::string> none;
    EXPECT_FALSE(ReadMemberNames(json::Element(), &none));
}

TEST(FriendsNames, ParseLeavesTheDocumentAloneOnBadText)
{
    json::Element document;
    ASSERT_TRUE(ParseMemberDocument("{ \"members\": [[1,\"A\"]]}", &document));
    EXPECT_FALSE(ParseMemberDocument("{ \"members\": [[1,\"A\"]", &document));
    EXPECT_FALSE(ParseMemberDocument("{ \"members\": [[1,\"\\u004\"]]}", &document));
    EXPECT_EQ(1u, json_cast<const json::Array&>(document["members"]).Size());
}

TEST(FriendsActs, MapToTheirSlots)
{
    const struct {
        const char* act;
        FriendListKind kind;
    } known[] = {
        {"friends", AllFriends},
        {"friends_online", OnlineFriends},
        {"friends_mutual", MutualFriends},
        {"friends_new", NewFriends},
    };
    for (const auto& c : known) {
        FriendListKind kind = c.kind == AllFriends ? NewFriends : AllFriends;
        EXPECT_TRUE(FriendListKindFromAct(c.act, &kind)) << c.act;
        EXPECT_EQ(c.kind, kind) << c.act;
        EXPECT_STREQ(c.act, FriendListAct(c.kind));
    }
    EXPECT_EQ(0, AllFriends);
    EXPECT_EQ(1, OnlineFriends);
    EXPECT_EQ(2, MutualFriends);
    EXPECT_EQ(3, NewFriends);

    const char* const unknown[]
        = {"", "Friends", "friends ", "friends_Online", "friend", "friends_online2", "add_message"};
    for (const char* act : unknown) {
        FriendListKind kind = MutualFriends;
        EXPECT_FALSE(FriendListKindFromAct(act, &kind)) << act;
        EXPECT_EQ(MutualFriends, kind);
    }
    FriendListKind kind = MutualFriends;
    EXPECT_FALSE(FriendListKindFromAct(nullptr, &kind));
}

json::Element Document(const std::string& memberText)
{
    json::Element document;
    EXPECT_TRUE(ParseMemberDocument(WrapMemberText(memberText), &document));
    return document;
}

std::string FirstName(const json::Element& document)
{
    std::vector<std::string> names;
    if (!ReadMemberNames(document, &names) || names.empty())
        return "";
    return names[0];
}

TEST(FriendsModel, StartsEmptyAndReplacesOneSlotWithCurrentList)
{
    FriendModel model;
    EXPECT_EQ(2500, FriendModel::MaxFriends);
    EXPECT_EQ(AllFriends, model.CurrentList());
    for (int kind = 0; kind < FRIEND_LIST_KIND_COUNT; ++kind)
        EXPECT_TRUE(model.CopyList(static_cast<FriendListKind>(kind)).IsNull());
    EXPECT_TRUE(model.CopyCurrentList().document.IsNull());

    const json::Element online = Document("[[1,\"Online\"]]");
    EXPECT_TRUE(model.ReplaceList(OnlineFriends, online).IsNull());  // what the empty slot held
    EXPECT_EQ(OnlineFriends, model.CurrentList());
    const FriendListCopy copy = model.CopyCurrentList();
    EXPECT_EQ(1, copy.currentList);
    EXPECT_EQ(&json_cast<const json::Object&>(online),
        &json_cast<const json::Object&>(copy.document));  // shared, not copied
    EXPECT_TRUE(model.CopyList(AllFriends).IsNull());

    model.ReplaceList(AllFriends, Document("[[2,\"All\"]]"));
    EXPECT_EQ(0, model.CopyCurrentList().currentList);
    EXPECT_EQ("All", FirstName(model.CopyCurrentList().document));
    EXPECT_EQ("Online", FirstName(model.CopyList(OnlineFriends)));

    // A fresh fetch of a kind replaces only that slot, and hands back the
    // document it held, for the worker to release after the fill.
    EXPECT_EQ("Online", FirstName(model.ReplaceList(OnlineFriends, Document("[[3,\"Online2\"]]"))));
    EXPECT_EQ("Online2", FirstName(model.CopyList(OnlineFriends)));
    EXPECT_EQ("All", FirstName(model.CopyList(AllFriends)));

    // A copy stays valid after its slot has been replaced.
    EXPECT_EQ("Online", FirstName(copy.document));
}

TEST(FriendsModel, ReaderAlwaysGetsTheSlotOfTheCurrentList)
{
    FriendModel model;
    const json::Element documents[2] = {Document("[[1,\"0\"]]"), Document("[[1,\"1\"]]")};
    std::atomic<bool> done(false);
    std::atomic<int> mismatches(0);
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) {
            const FriendListKind kind = i % 2 ? OnlineFriends : AllFriends;
            model.ReplaceList(kind, documents[kind]);
        }
        done = true;
    });
    int reads = 0;
    while (!done || reads < 100) {
        const FriendListCopy copy = model.CopyCurrentList();
        ++reads;
        if (copy.document.IsNull())
            continue;  // before the first replacement of slot 0
        if (FirstName(copy.document) != std::to_string(copy.currentList))
            ++mismatches;
    }
    writer.join();
    EXPECT_EQ(0, mismatches.load());
}

}  // namespace

namespace {

TEST(ReadFriendListBody, DecodesChecksTheStatusAndConverts)
{
    const std::string list = "[[1,\"\xC0\xED\xED\xE0\"]]";
    const struct {
        std::string response;
        FriendAnswer answer;
        std::string body;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\n\r\n" + list, FriendAnswerBody, list},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: "
         "chunked\r\n\r\n5\r\n[[1,\"\r\n1\r\n\xC0\r\n6\r\n\xED\xED\xE0\"]]\r\n0\r\n\r\n",
            FriendAnswerBody, list},
        // A name in UTF-8, cut between the two bytes of one letter by a chunk boundary.
        {"HTTP/1.1 200 OK\r\nContent-Type: application/json; charset=utf-8\r\ntransfer-encoding: "
         "chunked\r\n\r\n"
         "6\r\n[[1,\"\xD0\r\n8\r\n\x90\xD0\xBD\xD0\xBD\xD0\xB0\"\r\n2\r\n]]\r\n0\r\n\r\n",
            FriendAnswerBody, list},
        {"HTTP/1.1 203 OK\r\nContent-Length: 12\r\n\r\n" + list + "garbage", FriendAnswerBody, list},
        {"HTTP/1.1 500 Internal Server Error\r\n\r\n" + list, FriendAnswerRefused, ""},
        {"HTTP/1.1 302 Found\r\nLocation: /\r\n\r\n" + list, FriendAnswerRefused, ""},
        {"HTTP/1.1 200 OK\r\nContent-Length: 40\r\n\r\n" + list, FriendAnswerBad, ""},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZ\r\n" + list, FriendAnswerBad, ""},
        {"200 OK\r\n\r\n" + list, FriendAnswerBad, ""},
        {"HTTP/1.1 200 OK\r\nX: 1\r\n", FriendAnswerBad, ""},
        {"", FriendAnswerBad, ""},
    };
    for (const auto& c : cases) {
        std::string body = "untouched";
        EXPECT_EQ(c.answer, ReadFriendListBody(c.response, &body)) << c.response;
        EXPECT_EQ(c.answer == FriendAnswerBody ? c.body : "untouched", body) << c.response;
    }
}

}  // namespace
