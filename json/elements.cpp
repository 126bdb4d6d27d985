#include "json/elements.h"

#include <algorithm>

namespace json {

namespace {

// What a null Element stands for. Constant-initialised and trivially
// destructible, so it is usable at any time, also during shutdown.
constexpr Null kNull;

}  // namespace

const char* TypeName(ElementType type)
{
    switch (type) {
    case NullType: return "null";
    case BooleanType: return "boolean";
    case NumberType: return "number";
    case StringType: return "string";
    case ArrayType: return "array";
    case ObjectType: return "object";
    }
    return "unknown";
}

const Node& Element::NodeOfType(ElementType type) const
{
    const ElementType actual = Type();
    if (actual != type)
        throw Exception(std::string("bad cast: expected ") + TypeName(type) + ", found " + TypeName(actual));
    if (!node_)
        return kNull;
    return *node_;
}

const Element& Element::operator[](const std::string& name) const&
{
    return static_cast<const Object&>(NodeOfType(ObjectType))[name];
}

const Element& Element::operator[](std::size_t index) const&
{
    return static_cast<const Array&>(NodeOfType(ArrayType))[index];
}

const Element& Array::operator[](std::size_t index) const
{
    if (index >= elements_.size())
        throw Exception("array index " + std::to_string(index) + " out of range (size "
            + std::to_string(elements_.size()) + ")");
    return elements_[index];
}

Object::Object(std::vector<Member> members)
    : Node(ObjectType)
    , members_(std::move(members))
    , byName_(members_.size())
{
    for (std::size_t i = 0; i < byName_.size(); ++i)
        byName_[i] = i;
    // Stable: of two equal names the earlier member comes first.
    std::stable_sort(byName_.begin(), byName_.end(),
        [this](std::size_t a, std::size_t b) { return members_[a].name < members_[b].name; });
}

Object::const_iterator Object::Find(const std::string& name) const
{
    auto it = std::lower_bound(byName_.begin(), byName_.end(), name,
        [this](std::size_t position, const std::string& wanted) { return members_[position].name < wanted; });
    if (it == byName_.end() || members_[*it].name != name)
        return members_.end();
    return members_.begin() + static_cast<std::ptrdiff_t>(*it);
}

const Element& Object::operator[](const std::string& name) const
{
    const_iterator it = Find(name);
    if (it == members_.end())
        throw Exception("object has no member named \"" + name + "\"");
    return it->element;
}

const Object::Member* Object::FindDuplicate() const
{
    for (std::size_t i = 1; i < byName_.size(); ++i) {
        if (members_[byName_[i]].name == members_[byName_[i - 1]].name)
            return &members_[byName_[i]];
    }
    return nullptr;
}

}  // namespace json
