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
    if (!m_node)
        return kNull;
    return *m_node;
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
    if (index >= m_elements.size())
        throw Exception("array index " + std::to_string(index) + " out of range (size "
            + std::to_string(m_elements.size()) + ")");
    return m_elements[index];
}

Object::Object(std::vector<Member> members)
    : Node(ObjectType)
    , m_members(std::move(members))
    , m_byName(m_members.size())
{
    for (std::size_t i = 0; i < m_byName.size(); ++i)
        m_byName[i] = i;
    // Stable: of two equal names the earlier member comes first.
    std::stable_sort(m_byName.begin(), m_byName.end(),
        [this](std::size_t a, std::size_t b) { return m_members[a].name < m_members[b].name; });
}

Object::const_iterator Object::Find(const std::string& name) const
{
    auto it = std::lower_bound(
        m_byName.begin(), m_byName.end(), name, [this](std::size_t position, const std::string& wanted) {
            return m_members[position].name < wanted;
        });
    if (it == m_byName.end() || m_members[*it].name != name)
        return m_members.end();
    return m_members.begin() + static_cast<std::ptrdiff_t>(*it);
}

const Element& Object::operator[](const std::string& name) const
{
    const_iterator it = Find(name);
    if (it == m_members.end())
        throw Exception("object has no member named \"" + name + "\"");
    return it->element;
}

const Object::Member* Object::FindDuplicate() const
{
    for (std::size_t i = 1; i < m_byName.size(); ++i) {
        if (m_members[m_byName[i]].name == m_members[m_byName[i - 1]].name)
            return &m_members[m_byName[i]];
    }
    return nullptr;
}

}  // namespace json
