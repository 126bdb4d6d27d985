// JSON document elements: read-only values of a parsed document.
//
// An Element is a handle to one immutable value (null, boolean, number,
// string, array or object). Copying it copies a reference, never the value,
// and once a document is parsed any number of threads may copy and read it.
// Values are reached with json_cast<const T&>(element); a cast to the wrong
// type, a missing object member and an array index past the end throw
// json::Exception.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace json {

// Missing member, index out of range, bad cast.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

// Bad text at the character level: unknown escape, broken number or literal,
// unterminated string. offset is the byte offset in the stream read.
class ScanException : public Exception {
public:
    ScanException(const std::string& message, std::size_t offset)
        : Exception(message)
        , m_offset(offset)
    {
    }
    std::size_t Offset() const { return m_offset; }

private:
    std::size_t m_offset;
};

// Bad text at the grammar level: a token where another was due, early end,
// nesting too deep, a member name given twice.
class ParseException : public Exception {
public:
    ParseException(const std::string& message, std::size_t offset)
        : Exception(message)
        , m_offset(offset)
    {
    }
    std::size_t Offset() const { return m_offset; }

private:
    std::size_t m_offset;
};

enum ElementType { NullType, BooleanType, NumberType, StringType, ArrayType, ObjectType };

const char* TypeName(ElementType type);

// Common part of every value. Values are made by the reader and never change.
class Node {
public:
    ElementType Type() const { return m_type; }

protected:
    constexpr explicit Node(ElementType type)
        : m_type(type)
    {
    }

private:
    ElementType m_type;
};

class Element {
public:
    Element() { }  // JSON null

    ElementType Type() const { return m_node ? m_node->Type() : NullType; }
    bool IsNull() const { return Type() == NullType; }

    // Shortcuts for json_cast<const Object&>(e)[name] and
    // json_cast<const Array&>(e)[index]; they throw as those do. Not on a
    // temporary: the answer would outlive the value it points into.
    const Element& operator[](const std::string& name) const&;
    const Element& operator[](std::size_t index) const&;
    const Element& operator[](const std::string& name) const&& = delete;
    const Element& operator[](std::size_t index) const&& = delete;

    // The value itself; throws Exception when it is not of that type.
    const Node& NodeOfType(ElementType type) const;

    void swap(Element& other) { m_node.swap(other.m_node); }

    // Made by the reader; also lets a program build a value of its own.
    explicit Element(std::shared_ptr<const Node> node)
        : m_node(std::move(node))
    {
    }

private:
    std::shared_ptr<const Node> m_node;
};

class Null : public Node {
public:
    constexpr Null()
        : Node(NullType)
    {
    }
};

class Boolean : public Node {
public:
    explicit Boolean(bool value = false)
        : Node(BooleanType)
        , m_value(value)
    {
    }
    bool Value() const { return m_value; }
    operator bool() const { return m_value; }

private:
    bool m_value;
};

class Number : public Node {
public:
    explicit Number(double value = 0)
        : Node(NumberType)
        , m_value(value)
    {
    }
    double Value() const { return m_value; }
    operator double() const { return m_value; }

private:
    double m_value;
};

// The raw bytes between the quotes, escapes undone.
class String : public Node {
public:
    explicit String(std::string value = std::string())
        : Node(StringType)
        , m_value(std::move(value))
    {
    }
    const std::string& Value() const { return m_value; }
    operator const std::string&() const { return m_value; }

private:
    std::string m_value;
};

class Array : public Node {
public:
    typedef std::vector<Element>::const_iterator const_iterator;

    Array()
        : Node(ArrayType)
    {
    }
    explicit Array(std::vector<Element> elements)
        : Node(ArrayType)
        , m_elements(std::move(elements))
    {
    }

    std::size_t Size() const { return m_elements.size(); }
    bool Empty() const { return m_elements.empty(); }
    // Throws Exception past the end.
    const Element& operator[](std::size_t index) const;

    const_iterator Begin() const { return m_elements.begin(); }
    const_iterator End() const { return m_elements.end(); }
    const_iterator begin() const { return m_elements.begin(); }
    const_iterator end() const { return m_elements.end(); }

private:
    std::vector<Element> m_elements;
};

class Object : public Node {
public:
    struct Member {
        std::string name;
        Element element;
    };
    typedef std::vector<Member>::const_iterator const_iterator;

    Object()
        : Node(ObjectType)
    {
    }
    // Members keep their order; names are looked up through a sorted index.
    explicit Object(std::vector<Member> members);

    std::size_t Size() const { return m_members.size(); }
    bool Empty() const { return m_members.empty(); }
    // Throws Exception when no member has that name.
    const Element& operator[](const std::string& name) const;
    // End() when no member has that name.
    const_iterator Find(const std::string& name) const;
    // The second of two members sharing a name, or null when names are unique.
    const Member* FindDuplicate() const;

    const_iterator Begin() const { return m_members.begin(); }
    const_iterator End() const { return m_members.end(); }
    const_iterator begin() const { return m_members.begin(); }
    const_iterator end() const { return m_members.end(); }

private:
    std::vector<Member> m_members;
    std::vector<std::size_t> m_byName;  // positions in m_members, ordered by name
};

template <typename T> struct TypeOf;
template <> struct TypeOf<Null> {
    static const ElementType value = NullType;
};
template <> struct TypeOf<Boolean> {
    static const ElementType value = BooleanType;
};
template <> struct TypeOf<Number> {
    static const ElementType value = NumberType;
};
template <> struct TypeOf<String> {
    static const ElementType value = StringType;
};
template <> struct TypeOf<Array> {
    static const ElementType value = ArrayType;
};
template <> struct TypeOf<Object> {
    static const ElementType value = ObjectType;
};

// json_cast<const Array&>(element): the value as that type, read-only.
// json_cast<Array>(element) gives a copy. Throws Exception on a wrong type.
template <typename CastT> CastT json_cast(const Element& element)
{
    typedef typename std::remove_reference<CastT>::type Referred;
    static_assert(!std::is_reference<CastT>::value || std::is_const<Referred>::value,
        "documents are read-only: use json_cast<const T&>");
    typedef typename std::remove_cv<Referred>::type T;
    return static_cast<const T&>(element.NodeOfType(TypeOf<T>::value));
}

// A reference into a temporary element would dangle: hold the element first.
template <typename CastT>
typename std::enable_if<std::is_reference<CastT>::value, CastT>::type json_cast(const Element&& element)
    = delete;

}  // namespace json

// Callable unqualified, as json_cast<const json::Object&>(e), from any namespace.
using json::json_cast;
