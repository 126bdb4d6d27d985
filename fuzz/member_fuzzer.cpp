// The friend-list body as the worker reads it: the member text cut out, the
// wrap, the JSON reader and the names; also the reader alone on the raw input.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "api/member_text.h"
#include "fuzz/fuzz_checks.h"
#include "json/reader.h"

using fuzz::Check;

namespace {

void ReadWholeInput(const std::string& text)
{
    try {
        std::istringstream stream(text);
        json::Element element;
        json::Reader::Read(element, stream);
        // Walk what came out, as any reader of a document would.
        if (element.Type() == json::ObjectType) {
            for (const json::Object::Member& member : json_cast<const json::Object&>(element))
                (void)member.element.Type();
        }
    } catch (const json::Exception&) {
    }
}

// The cut runs from the first "[[" to the last "]" after it; without a "[["
// an empty list is an empty array outside any string.
void CheckCut(const std::string& body, MemberCut cut, const std::string& memberText)
{
    const std::size_t start = body.find("[[");
    switch (cut) {
    case MemberTextFound:
        Check(start != std::string::npos && memberText.compare(0, 2, "[[") == 0);
        Check(memberText.size() >= 3 && memberText.back() == ']');
        Check(body.compare(start, memberText.size(), memberText) == 0);
        Check(body.find(']', start + memberText.size()) == std::string::npos);
        break;
    case MemberListEmpty: Check(start == std::string::npos && body.find(']') != std::string::npos); break;
    case MemberTextMissing:
        Check(start == std::string::npos || body.find(']', start + 2) == std::string::npos);
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    ReadWholeInput(body);

    std::string memberText = "unchanged";
    const MemberCut cut = CutMemberText(body, &memberText);
    CheckCut(body, cut, memberText);
    if (cut != MemberTextFound) {
        Check(memberText == "unchanged");
        return 0;
    }
    const std::string wrapped = WrapMemberText(memberText);
    Check(wrapped == "{ \"members\": " + memberText + "}");
    json::Element document;
    if (!ParseMemberDocument(wrapped, &document))
        return 0;
    std::vector<std::string> names(1, "unchanged");
    if (!ReadMemberNames(document, &names)) {
        Check(names.size() == 1 && names[0] == "unchanged");
        return 0;
    }
    const json::Array& members
        = json_cast<const json::Array&>(json_cast<const json::Object&>(document)["members"]);
    Check(names.size() == members.Size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& full
            = json_cast<const json::String&>(json_cast<const json::Array&>(members[i])[1]).Value();
        Check(names[i].size() < FRIEND_NAME_SIZE && full.compare(0, names[i].size(), names[i]) == 0);
        Check(names[i].size() == full.size() || names[i].size() == FRIEND_NAME_SIZE - 1);
    }
    return 0;
}
