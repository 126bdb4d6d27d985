#include "json/reader.h"

#include <charconv>
#include <cmath>
#include <streambuf>

#include "json/cp1251.h"

namespace json {

namespace {

typedef std::char_traits<char> Traits;

// Recursive descent straight over the stream buffer: one character at a
// time through sgetc/sbumpc, which stay inline while the buffer has data.
class Parser {
public:
    explicit Parser(std::streambuf* buffer)
        : m_buffer(buffer)
        , m_offset(0)
    {
    }

    Element ReadValue(int depth)
    {
        SkipWhiteSpace();
        const int c = Peek();
        switch (c) {
        case '{': return ReadObject(depth + 1);
        case '[': return ReadArray(depth + 1);
        case '"': return Element(std::make_shared<const String>(ReadString()));
        case 't': ReadLiteral("true"); return Element(std::make_shared<const Boolean>(true));
        case 'f': ReadLiteral("false"); return Element(std::make_shared<const Boolean>(false));
        case 'n': ReadLiteral("null"); return Element();
        case ']':
        case '}':
        case ',':
        case ':':
            throw ParseException(
                std::string("unexpected '") + static_cast<char>(c) + "' where a value was due", m_offset);
        default:
            if (c == '-' || (c >= '0' && c <= '9'))
                return Element(std::make_shared<const Number>(ReadNumber()));
            if (c == Traits::eof())
                throw ParseException("text ends where a value was due", m_offset);
            throw ScanException("unexpected character where a value was due", m_offset);
        }
    }

private:
    int Peek() { return m_buffer->sgetc(); }

    int Take()
    {
        const int c = m_buffer->sbumpc();
        if (c != Traits::eof())
            ++m_offset;
        return c;
    }

    void SkipWhiteSpace()
    {
        for (;;) {
            const int c = Peek();
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
                return;
            Take();
        }
    }

    // Takes the structural character that must come next.
    void Expect(char wanted, const char* what)
    {
        SkipWhiteSpace();
        const int c = Peek();
        if (c == Traits::eof())
            throw ParseException(std::string("text ends where ") + what + " was due", m_offset);
        if (c != wanted)
            throw ParseException(std::string("expected ") + what, m_offset);
        Take();
    }

    void CheckDepth(int depth)
    {
        if (depth > Reader::MaxDepth)
            throw ParseException("arrays and objects nested too deeply", m_offset);
    }

    Element ReadArray(int depth)
    {
        CheckDepth(depth);
        Take();  // '['
        std::vector<Element> elements;
        SkipWhiteSpace();
        if (Peek() == ']') {
            Take();
            return Element(std::make_shared<const Array>(std::move(elements)));
        }
        for (;;) {
            elements.push_back(ReadValue(depth));
            SkipWhiteSpace();
            const int c = Peek();
            if (c == ',') {
                Take();
                continue;
            }
            if (c == ']') {
                Take();
                break;
            }
            if (c == Traits::eof())
                throw ParseException("text ends inside an array", m_offset);
            throw ParseException("expected ',' or ']' in an array", m_offset);
        }
        return Element(std::make_shared<const Array>(std::move(elements)));
    }

    Element ReadObject(int depth)
    {
        CheckDepth(depth);
        const std::size_t start = m_offset;
        Take();  // '{'
        std::vector<Object::Member> members;
        SkipWhiteSpace();
        if (Peek() == '}') {
            Take();
            return Element(std::make_shared<const Object>(std::move(members)));
        }
        for (;;) {
            SkipWhiteSpace();
            const int c = Peek();
            if (c == Traits::eof())
                throw ParseException("text ends where a member name was due", m_offset);
            if (c != '"')
                throw ParseException("expected a member name in quotes", m_offset);
            Object::Member member;
            member.name = ReadString();
            Expect(':', "':' after a member name");
            member.element = ReadValue(depth);
            members.push_back(std::move(member));
            SkipWhiteSpace();
            const int next = Peek();
            if (next == ',') {
                Take();
                continue;
            }
            if (next == '}') {
                Take();
                break;
            }
            if (next == Traits::eof())
                throw ParseException("text ends inside an object", m_offset);
            throw ParseException("expected ',' or '}' in an object", m_offset);
        }
        auto object = std::make_shared<const Object>(std::move(members));
        if (object->FindDuplicate())
            throw ParseException("member \"" + object->FindDuplicate()->name + "\" given twice", start);
        return Element(std::move(object));
    }

    std::string ReadString()
    {
        Take();  // opening quote
        std::string value;
        for (;;) {
            const int c = Take();
            if (c == Traits::eof())
                throw ScanException("text ends inside a string", m_offset);
            if (c == '"')
                return value;
            if (c != '\\') {
                value.push_back(static_cast<char>(c));
                continue;
            }
            const int escaped = Take();
            switch (escaped) {
            case '"': value.push_back('"'); break;
            case '\\': value.push_back('\\'); break;
            case '/': value.push_back('/'); break;
            case 'b': value.push_back('\b'); break;
            case 'f': value.push_back('\f'); break;
            case 'n': value.push_back('\n'); break;
            case 'r': value.push_back('\r'); break;
            case 't': value.push_back('\t'); break;
            case 'u': value.push_back(ReadUnicodeEscape()); break;
            default:
                if (escaped == Traits::eof())
                    throw ScanException("text ends inside a string", m_offset);
                throw ScanException(
                    std::string("unsupported escape \\") + static_cast<char>(escaped), m_offset - 1);
            }
        }
    }

    // Four hex digits after "\u".
    char32_t ReadHexQuad()
    {
        const std::size_t start = m_offset;
        char32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const int c = Take();
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            if (digit < 0)
                throw ScanException("\\u needs four hex digits", start);
            value = value * 16 + char32_t(digit);
        }
        return value;
    }

    // The character of a \u escape (a surrogate pair taken whole) as its
    // Windows-1251 byte, '?' when the page has none.
    char ReadUnicodeEscape()
    {
        const std::size_t start = m_offset;
        char32_t cp = ReadHexQuad();
        if (cp >= 0xDC00 && cp <= 0xDFFF)
            throw ScanException("a low surrogate without its high one", start);
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (Take() != '\\' || Take() != 'u')
                throw ScanException("a high surrogate without its low one", start);
            const char32_t low = ReadHexQuad();
            if (low < 0xDC00 || low > 0xDFFF)
                throw ScanException("a high surrogate without its low one", start);
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        }
        unsigned char byte = '?';
        if (!CodePointToCp1251(cp, byte))
            byte = '?';
        return static_cast<char>(byte);
    }

    void ReadLiteral(const char* word)
    {
        const std::size_t start = m_offset;
        for (const char* p = word; *p; ++p) {
            if (Take() != static_cast<unsigned char>(*p))
                throw ScanException(std::string("bad literal, expected ") + word, start);
        }
        // "nullx" is one bad word, not null followed by garbage.
        const int c = Peek();
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            throw ScanException(std::string("bad literal, expected ") + word, start);
    }

    // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
    double ReadNumber()
    {
        const std::size_t start = m_offset;
        std::string text;
        if (Peek() == '-')
            text.push_back(static_cast<char>(Take()));
        if (!IsDigit(Peek()))
            throw ScanException("a number needs a digit after '-'", start);
        if (Peek() == '0') {
            text.push_back(static_cast<char>(Take()));
            if (IsDigit(Peek()))
                throw ScanException("a number must not start with 0 and another digit", start);
        } else {
            TakeDigits(text);
        }
        if (Peek() == '.') {
            text.push_back(static_cast<char>(Take()));
            if (!IsDigit(Peek()))
                throw ScanException("a number needs a digit after '.'", start);
            TakeDigits(text);
        }
        if (Peek() == 'e' || Peek() == 'E') {
            text.push_back(static_cast<char>(Take()));
            if (Peek() == '+' || Peek() == '-')
                text.push_back(static_cast<char>(Take()));
            if (!IsDigit(Peek()))
                throw ScanException("a number needs a digit in its exponent", start);
            TakeDigits(text);
        }
        const int after = Peek();
        if (after == '.' || after == '+' || after == '-' || after == 'e' || after == 'E'
            || (after >= 'a' && after <= 'z') || (after >= 'A' && after <= 'Z'))
            throw ScanException("bad character after a number", m_offset);

        double value = 0;
        const std::from_chars_result result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (result.ec == std::errc::result_out_of_range) {
            // Too small is read as zero; too large is refused rather than
            // turned into infinity.
            if (!IsTiny(text))
                throw ScanException("number too large", start);
            value = text[0] == '-' ? -0.0 : 0.0;
        } else if (result.ec != std::errc() || result.ptr != text.data() + text.size()
            || !std::isfinite(value)) {
            throw ScanException("number too large", start);
        }
        return value;
    }

    // Whether a number that does not fit a double lies below 1 in magnitude:
    // the decimal exponent of its first significant digit is below zero.
    static bool IsTiny(const std::string& text)
    {
        std::size_t i = text[0] == '-' ? 1 : 0;
        long long magnitude = 0;
        bool significant = false;
        bool fraction = false;
        for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
            if (text[i] == '.') {
                fraction = true;
            } else if (!significant && text[i] != '0') {
                significant = true;
                magnitude = fraction ? magnitude - 1 : 1;
            } else if (significant && !fraction) {
                ++magnitude;
            } else if (!significant && fraction) {
                --magnitude;
            }
        }
        long long exponent = 0;
        bool negative = false;
        if (i < text.size()) {
            ++i;
            if (text[i] == '+' || text[i] == '-')
                negative = text[i++] == '-';
            for (; i < text.size() && exponent < 1000000000LL; ++i)
                exponent = exponent * 10 + (text[i] - '0');
        }
        return magnitude + (negative ? -exponent : exponent) < 0;
    }

    static bool IsDigit(int c) { return c >= '0' && c <= '9'; }

    void TakeDigits(std::string& text)
    {
        while (IsDigit(Peek()))
            text.push_back(static_cast<char>(Take()));
    }

    std::streambuf* m_buffer;
    std::size_t m_offset;
};

Element ReadOne(std::istream& stream)
{
    std::streambuf* buffer = stream.rdbuf();
    if (!buffer)
        throw ParseException("no stream to read", 0);
    Parser parser(buffer);
    return parser.ReadValue(0);
}

}  // namespace

void Reader::Read(Element& element, std::istream& stream)
{
    element = ReadOne(stream);
}

void Reader::Read(Object& object, std::istream& stream)
{
    const Element element = ReadOne(stream);
    if (element.Type() != ObjectType)
        throw ParseException("the text is not an object", 0);
    object = json_cast<const Object&>(element);
}

void Reader::Read(Array& array, std::istream& stream)
{
    const Element element = ReadOne(stream);
    if (element.Type() != ArrayType)
        throw ParseException("the text is not an array", 0);
    array = json_cast<const Array&>(element);
}

}  // namespace json
