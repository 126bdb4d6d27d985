// The JSON reader and the document elements.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "json/elements.h"
#include "json/reader.h"

namespace {

json::Element Parse(const std::string& text)
{
    std::istringstream stream(text);
    json::Element element;
    json::Reader::Read(element, stream);
    return element;
}

std::string ParseString(const std::string& text)
{
    const json::Element element = Parse(text);
    return json_cast<const json::String&>(element).Value();
}

double ParseNumber(const std::string& text)
{
    const json::Element element = Parse(text);
    return json_cast<const json::Number&>(element).Value();
}

std::string Nested(char open, char close, int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += open == '{' ? std::string("{\"a\":") : std::string(1, open);
    text += "1";
    for (int i = 0; i < depth; ++i)
        text += close;
    return text;
}

TEST(JsonStrings, UndoesEachEscape)
{
    const struct {
        const char* text;
        std::string value;
    } cases[] = {
        {"\"\\\"\"", "\""}, {"\"\\\\\"", "\\"}, {"\"\\/\"", "/"}, {"\"\\b\"", "\b"}, {"\"\\f\"", "\f"},
        {"\"\\n\"", "\n"}, {"\"\\r\"", "\r"}, {"\"\\t\"", "\t"}, {"\"a\\tb\\nc\"", "a\tb\nc"},
        {"\"\\\\n\"", "\\n"},  // an escaped backslash followed by a plain n
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, ParseString(c.text)) << c.text;
}

TEST(JsonStrings, KeepsRawBytes)
{
    // Windows-1251 "Пётр", a byte 0x98 and an embedded zero, as they come.
    const std::string raw = std::string("\xCF\xB8\xF2\xF0 \x98") + '\0' + "x";
    EXPECT_EQ(raw, ParseString("\"" + raw + "\""));
    EXPECT_EQ("", ParseString("\"\""));
}

TEST(JsonStrings, DecodesUnicodeEscapesIntoWindows1251)
{
    const struct {
        const char* text;
        std::string value;
    } cases[] = {
        {"\"\\u0410\\u043d\\u043D\\u0430\"", "\xC0\xED\xED\xE0"},  // Анна, hex digits in any case
        {"\"\\u0041b\\u002F\"", "Ab/"}, {"\"\\u0401\\u0451\\u2116\\u20AC\"", "\xA8\xB8\xB9\x88"},  // Ё ё № €
        {"\"\\u00e9\\u4e2d\"", "??"},   // é and a CJK letter: not in the page
        {"\"\\uD83D\\uDE00!\"", "?!"},  // a surrogate pair is one character
        {"\"\\u0000\"", std::string(1, '\0')}, {"\"\xC0\\u0431\"", "\xC0\xE1"},  // raw bytes beside escapes
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, ParseString(c.text)) << c.text;
}

TEST(JsonStrings, RefusesOtherEscapesWithScanException)
{
    const char* const cases[] = {
        "\"\\u\"",
        "\"\\u041\"",
        "\"\\u04G0\"",
        "\"\\uD83D\"",  // a high surrogate alone
        "\"\\uD83Dx\"",
        "\"\\uD83D\\u0041\"",  // followed by no low one
        "\"\\uDE00\"",         // a low surrogate alone
        "\"\\uDE00\\uD83D\"",
        "\"\\U0041\"",
        "\"\\a\"",
        "\"\\x41\"",
        "\"\\'\"",
        "\"\\0\"",
        "\"\\ \"",
        "\"ok\\",
        "\"abc",
    };
    for (const char* text : cases)
        EXPECT_THROW(Parse(text), json::ScanException) << text;
}

TEST(JsonNumbers, ReadsTheGrammar)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"0", 0},
        {"-0", -0.0},
        {"7", 7},
        {"123456", 123456},
        {"-45", -45},
        {"-45.5", -45.5},
        {"0.25", 0.25},
        {"1e3", 1000},
        {"1E+3", 1000},
        {"2.5e-3", 0.0025},
        {"-1.25E2", -125},
        {"1e308", 1e308},
        {"4294967296", 4294967296.0},
        {"1e-400", 0},
        {"123456789012345678901234567890", 1.2345678901234568e29},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(c.value, ParseNumber(c.text)) << c.text;
    EXPECT_TRUE(std::signbit(ParseNumber("-0")));
}

TEST(JsonNumbers, RefusesBadFormsWithScanException)
{
    const char* const cases[] = {
        "01",
        "-01",
        "-",
        "-a",
        "1.",
        ".5",
        "1e",
        "1e+",
        "1E-",
        "1.e5",
        "+1",
        "1.2.3",
        "0x10",
        "1e999",
        "-1e999",
        "1e+400",
        "12abc",
        "1-2",
        "Infinity",
        "NaN",
        "-Infinity",
    };
    for (const char* text : cases)
        EXPECT_THROW(Parse(text), json::ScanException) << text;
}

TEST(JsonLiterals, ReadsAndRefuses)
{
    EXPECT_TRUE(json_cast<json::Boolean>(Parse("true")).Value());
    EXPECT_FALSE(json_cast<json::Boolean>(Parse(" false ")).Value());
    EXPECT_TRUE(Parse("null").IsNull());
    EXPECT_EQ(json::NullType, Parse("null").Type());
    const char* const bad[] = {"tru", "nul", "nulL", "truex", "falsey", "True", "NULL", "x", "'a'"};
    for (const char* text : bad)
        EXPECT_THROW(Parse(text), json::ScanException) << text;
}

TEST(JsonStructure, ReadsArraysAndObjects)
{
    const json::Element doc
        = Parse(" { \"a\" : [ 1 , \"two\" , [ ] , { } , null , true ] ,\n\t\"b\":{\"c\":-2}\r\n} ");
    const json::Object& root = json_cast<const json::Object&>(doc);
    ASSERT_EQ(2u, root.Size());
    const json::Array& a = json_cast<const json::Array&>(root["a"]);
    ASSERT_EQ(6u, a.Size());
    EXPECT_EQ(1, json_cast<const json::Number&>(a[0]).Value());
    EXPECT_EQ("two", json_cast<const json::String&>(a[1]).Value());
    EXPECT_TRUE(json_cast<const json::Array&>(a[2]).Empty());
    EXPECT_TRUE(json_cast<const json::Object&>(a[3]).Empty());
    EXPECT_TRUE(a[4].IsNull());
    EXPECT_TRUE(json_cast<const json::Boolean&>(a[5]).Value());
    EXPECT_EQ(-2, json_cast<const json::Number&>(doc["b"]["c"]).Value());

    // Members keep the order of the text; lookup does not depend on it.
    const json::Element orderDoc = Parse("{\"z\":1,\"a\":2,\"m\":3}");
    const json::Object& order = json_cast<const json::Object&>(orderDoc);
    std::string names;
    for (const json::Object::Member& member : order)
        names += member.name;
    EXPECT_EQ("zam", names);
    EXPECT_EQ(2, json_cast<const json::Number&>(order["a"]).Value());
    EXPECT_TRUE(order.Find("b") == order.End());
    EXPECT_EQ("m", order.Find("m")->name);
}

TEST(JsonStructure, RefusesBadGrammarWithParseException)
{
    const char* const cases[] = {
        "",
        "   ",
        "]",
        "}",
        ",",
        ":",
        "[",
        "[1",
        "[1,",
        "[1,]",
        "[,1]",
        "[1 2]",
        "[1:2]",
        "{",
        "{\"a\"",
        "{\"a\":",
        "{\"a\" 1}",
        "{\"a\":1,}",
        "{1:2}",
        "{a:1}",
        "{\"a\":1 \"b\":2}",
        "{\"a\":1]",
        "[1}",
        "{\"a\":1,\"a\":2}",
        "{\"members\":[], \"members\":[[1,\"x\"]]}",
    };
    for (const char* text : cases)
        EXPECT_THROW(Parse(text), json::ParseException) << text;
}

TEST(JsonStructure, LimitsNesting)
{
    EXPECT_NO_THROW(Parse(Nested('[', ']', json::Reader::MaxDepth)));
    EXPECT_NO_THROW(Parse(Nested('{', '}', json::Reader::MaxDepth)));
    EXPECT_THROW(Parse(Nested('[', ']', json::Reader::MaxDepth + 1)), json::ParseException);
    EXPECT_THROW(Parse(Nested('{', '}', json::Reader::MaxDepth + 1)), json::ParseException);
    // Far deeper than any stack would take by recursion, unterminated too.
    EXPECT_THROW(Parse(std::string(1000000, '[')), json::ParseException);
    EXPECT_THROW(Parse(Nested('[', ']', 200000)), json::ParseException);
}

TEST(JsonReader, ReadsOneValueAndStops)
{
    std::istringstream stream("[1] {\"a\":2} trailing");
    json::Element first, second;
    json::Reader::Read(first, stream);
    EXPECT_EQ(1u, json_cast<const json::Array&>(first).Size());
    json::Reader::Read(second, stream);
    EXPECT_EQ(2, json_cast<const json::Number&>(second["a"]).Value());
    std::string rest;
    std::getline(stream, rest);
    EXPECT_EQ(" trailing", rest);

    // A bad word right after a number or literal is part of it, not trailing text.
    EXPECT_THROW(Parse("1x"), json::ScanException);
    EXPECT_NO_THROW(Parse("{\"members\": [[1,\"A\"]]}, {\"x\":[2]}"));
}

TEST(JsonReader, LeavesTargetUnchangedOnError)
{
    json::Element element = Parse("[5]");
    std::istringstream bad("[1,2,");
    EXPECT_THROW(json::Reader::Read(element, bad), json::ParseException);
    EXPECT_EQ(5, json_cast<const json::Number&>(element[0]).Value());
}

TEST(JsonReader, ReadsIntoObjectAndArray)
{
    json::Object object;
    std::istringstream objectText("{\"ok\":1}");
    json::Reader::Read(object, objectText);
    EXPECT_EQ(1, json_cast<const json::Number&>(object["ok"]).Value());

    json::Array array;
    std::istringstream arrayText("[1,2,3]");
    json::Reader::Read(array, arrayText);
    EXPECT_EQ(3u, array.Size());

    std::istringstream notObject("[1]");
    EXPECT_THROW(json::Reader::Read(object, notObject), json::ParseException);
    std::istringstream notArray("{}");
    EXPECT_THROW(json::Reader::Read(array, notArray), json::ParseException);
}

TEST(JsonLookup, ThrowsPlainExceptionForMissingMemberIndexAndCast)
{
    const json::Element doc = Parse("{\"members\":[[1,\"A\"]],\"ok\":1}");
    const json::Object& root = json_cast<const json::Object&>(doc);
    const json::Array& members = json_cast<const json::Array&>(root["members"]);

    // Each is json::Exception itself, neither of the text exceptions.
    auto expectPlain = [](auto action, const char* what) {
        try {
            action();
            ADD_FAILURE() << what << " did not throw";
        } catch (const json::ScanException&) {
            ADD_FAILURE() << what << " threw ScanException";
        } catch (const json::ParseException&) {
            ADD_FAILURE() << what << " threw ParseException";
        } catch (const json::Exception&) {
        }
    };
    expectPlain([&] { (void)root["missing"]; }, "missing member");
    expectPlain([&] { (void)members[1]; }, "index past the end");
    expectPlain([&] { (void)json_cast<const json::Array&>(members[0])[2]; }, "short member");
    expectPlain([&] { (void)json_cast<const json::String&>(root["ok"]); }, "number as string");
    expectPlain([&] { (void)json_cast<const json::Object&>(root["members"]); }, "array as object");
    const json::Element null;
    expectPlain([&] { (void)json_cast<const json::Number&>(null); }, "null as number");
    expectPlain([&] { (void)doc[0]; }, "object indexed");
    expectPlain([&] { (void)doc["members"]["x"]; }, "array looked up by name");

    EXPECT_NO_THROW(json_cast<const json::Null&>(null));
    EXPECT_EQ(1, json_cast<json::Number>(root["ok"]).Value());  // a copy
}

TEST(JsonExceptions, FormOneHierarchy)
{
    try {
        Parse("\"\\uDC00\"");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(nullptr, dynamic_cast<const json::Exception*>(&e));
        EXPECT_NE(nullptr, dynamic_cast<const json::ScanException*>(&e));
        EXPECT_EQ(nullptr, dynamic_cast<const json::ParseException*>(&e));
    }
    try {
        Parse("[1,]");
        FAIL();
    } catch (const json::Exception& e) {
        const auto* parse = dynamic_cast<const json::ParseException*>(&e);
        ASSERT_NE(nullptr, parse);
        EXPECT_EQ(3u, parse->Offset());
    }
}

TEST(JsonElements, CopiesShareOneValue)
{
    json::Element doc = Parse("{\"members\":[[1,\"A\"],[2,\"B\"]]}");
    const json::Element copy = doc;
    EXPECT_EQ(&json_cast<const json::Object&>(doc), &json_cast<const json::Object&>(copy));

    // A copy of a part keeps that part alive after the whole is gone.
    const json::Element members = doc["members"];
    const json::Array* shared = &json_cast<const json::Array&>(members);
    doc = json::Element();
    EXPECT_TRUE(doc.IsNull());
    EXPECT_EQ(shared, &json_cast<const json::Array&>(members));
    EXPECT_EQ("B", json_cast<const json::String&>(members[1][1]).Value());
    EXPECT_EQ(&json_cast<const json::Object&>(copy)["members"], &copy["members"]);
}

TEST(JsonElements, SeveralThreadsReadOneDocument)
{
    std::string text = "{\"members\":[";
    const int count = 2000;
    double expected = 0;
    for (int i = 0; i < count; ++i) {
        text += (i ? ",[" : "[") + std::to_string(i) + ",\"n" + std::to_string(i) + "\"]";
        expected += i;
    }
    text += "]}";
    const json::Element doc = Parse(text);

    const int threads = 6;
    std::vector<double> sums(threads, 0);
    std::vector<size_t> lengths(threads, 0);
    std::vector<std::thread> readers;
    for (int t = 0; t < threads; ++t) {
        readers.emplace_back([&, t] {
            for (int round = 0; round < 5; ++round) {
                const json::Element mine = doc;  // copies race with each other
                const json::Array& members = json_cast<const json::Array&>(mine["members"]);
                for (size_t i = 0; i < members.Size(); ++i) {
                    const json::Element member = members[i];
                    if (round == 0) {
                        sums[t] += json_cast<const json::Number&>(member[0]).Value();
                        lengths[t] += json_cast<const json::String&>(member[1]).Value().size();
                    }
                }
            }
        });
    }
    for (std::thread& reader : readers)
        reader.join();
    for (int t = 0; t < threads; ++t) {
        EXPECT_EQ(expected, sums[t]);
        EXPECT_EQ(lengths[0], lengths[t]);
    }
}

}  // namespace
