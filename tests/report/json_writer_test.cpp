#include "report/json_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

namespace tarvel {
namespace {

std::string escaped(std::string_view text) {
    return c_json_writer::quoted(text);
}

TEST(JsonWriterEscapes, QuotesBackslashesAndNamedControlCharacters) {
    EXPECT_EQ(escaped(""), R"("")");
    EXPECT_EQ(escaped(R"(a"b\c)"), R"("a\"b\\c")");
    EXPECT_EQ(escaped("\n\r\t"), R"("\n\r\t")");
    EXPECT_EQ(escaped("/ stays"), R"("/ stays")");
}

TEST(JsonWriterEscapes, OtherControlCharactersAsUnicodeEscapes) {
    EXPECT_EQ(escaped(std::string("a\0b", 3)), R"("a\u0000b")");
    EXPECT_EQ(escaped("\x01\x08\x0c\x1f\x7f"), R"("\u0001\u0008\u000c\u001f\u007f")");
    EXPECT_EQ(escaped(" ~"), R"(" ~")");
}

TEST(JsonWriterEscapes, HtmlMarkupCharactersSoThatTheTextCanStandInAScriptElement) {
    EXPECT_EQ(escaped("</script>&"), R"("\u003c/script\u003e\u0026")");
}

TEST(JsonWriterEscapes, ValidUtf8IsKept) {
    for (const char* text : {"\xC3\xA9",           // U+00E9, two bytes
                             "\xE2\x82\xAC",       // U+20AC, three bytes
                             "\xED\x9F\xBF",       // U+D7FF, the last before the surrogates
                             "\xEF\xBF\xBF",       // U+FFFF
                             "\xF0\x9F\x98\x80",   // U+1F600, four bytes
                             "\xF4\x8F\xBF\xBF"})  // U+10FFFF, the last code point
    {
        EXPECT_EQ(escaped(std::string("x") + text + "y"), std::string("\"x") + text + "y\"")
            << text;
    }
}

TEST(JsonWriterEscapes, EveryByteOfInvalidUtf8BecomesAReplacementCharacter) {
    const std::string r = "\xEF\xBF\xBD";  // U+FFFD
    const struct {
        std::string text;
        std::string escaped;
    } cases[] = {
        {"\xFF", r},                          // never in UTF-8
        {"\x80", r},                          // a continuation byte alone
        {"\xC3", r},                          // a two-byte sequence cut off at the end
        {"\xC3x", r + "x"},                   // ... or by a plain character, which stays
        {"\xC0\xAF", r + r},                  // overlong form of "/"
        {"\xE0\x80\xAF", r + r + r},          // overlong three-byte form
        {"\xED\xA0\x80", r + r + r},          // a UTF-16 surrogate
        {"\xF4\x90\x80\x80", r + r + r + r},  // beyond U+10FFFF
        {"\xF5\x80\x80\x80", r + r + r + r},  // no lead byte above F4
        {"\xE2\x82", r + r},                  // three-byte sequence missing its last byte
        {"\xF0\x9F\x98 ", r + r + r + " "},   // four-byte sequence broken by a blank
        {"\xC3\xA9\xFF\xC3\xA9", "\xC3\xA9" + r + "\xC3\xA9"},  // valid around invalid
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escaped("a" + c.text + "<"), "\"a" + c.escaped + "\\u003c\"")
            << c.text.size() << " bytes";
    }
}

TEST(JsonWriter, CommasBetweenValuesAndMembersAtEveryLevel) {
    std::ostringstream out;
    c_json_writer json(out);
    json.begin_object();
    json.key("a").value(1);
    json.key("list").begin_array().value("x").value(true).null().begin_object().end_object();
    json.begin_array().end_array().value(false).end_array();
    json.key("q\"k").value(std::int64_t{-5});
    json.key("max").value(std::numeric_limits<std::uint64_t>::max());
    json.key("u32").value(std::uint32_t{4294967295u});
    json.key("raw").raw("[1,2]");
    json.end_object();
    EXPECT_EQ(out.str(), R"({"a":1,"list":["x",true,null,{},[],false],"q\"k":-5,)"
                         R"("max":18446744073709551615,"u32":4294967295,"raw":[1,2]})");
}

TEST(JsonWriter, OneDecimalRoundsAsTheTextReportAndNeverWritesNaN) {
    std::ostringstream out;
    c_json_writer json(out);
    json.begin_array();
    json.one_decimal(79.49).one_decimal(0).one_decimal(100).one_decimal(-2.26);
    json.one_decimal(std::nan("")).one_decimal(std::numeric_limits<double>::infinity());
    json.end_array();
    EXPECT_EQ(out.str(), "[79.5,0.0,100.0,-2.3,0.0,0.0]");
}

}  // namespace
}  // namespace tarvel
