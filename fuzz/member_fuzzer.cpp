// The friend-list answer as the worker reads it: cut, wrap, JSON reader and
// name extraction; also the reader alone on the raw input.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "api/member_text.h"
#include "json/reader.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    ReadWholeInput(body);

    std::string memberText;
    if (CutMemberText(body, &memberText) != MemberTextFound)
        return 0;
    json::Element document;
    if (!ParseMemberDocument(WrapMemberText(memberText), &document))
        return 0;
    std::vector<std::string> names;
    if (ReadMemberNames(document, &names)) {
        for (const std::string& name : names) {
            if (name.size() >= FRIEND_NAME_SIZE)
                __builtin_trap();
        }
    }
    return 0;
}
