#include "service/Extract.h"

#include <gtest/gtest.h>

using namespace sorvane;
using service::extractBetween;
using service::quotedValue;

namespace {

const std::string kXiao = "\x87\x5B"; // 嘯: its second byte is '['
const std::string kCheng = "\x81\x5C"; // 乗: its second byte is '\'
const std::string kQuote = text::utf8ToGb("#引号");

struct Case
{
    const char *name;
    std::string text, start, end, expected;
};

class ExtractBetween : public testing::TestWithParam<Case>
{
};

TEST_P(ExtractBetween, CutsFirstStartToNextEnd)
{
    const Case &c = GetParam();
    EXPECT_EQ(extractBetween(c.text, c.start, c.end), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Markers, ExtractBetween,
    testing::Values(Case { "Plain", "a<b>c<d>", "<", ">", "b" }, Case { "NoStart", "abc>", "<", ">", "" },
        Case { "NoEndAfterStart", "x>y<z", "<", ">", "" }, // an end marker before the start does not count
        Case { "EmptyValue", "a<>b", "<", ">", "" }, Case { "CaseSensitive", "<A>", "<a", ">", "" },
        Case {
            "PlaceholderIsQuote", "{\"n\":\"v\"}", kQuote + "n" + kQuote + ":" + kQuote, kQuote + "}", "v" },
        Case { "StartNotInsideCharacter", kXiao + "a[b]", "[", "]", "b" },
        Case { "EndNotInsideCharacter", "[" + kXiao + "x]", "[", "]", kXiao + "x" },
        Case { "OnlyInsideCharacter", kXiao + "a]", "[", "]", "" },
        Case { "BackslashOfCharacterIsNoEscape", "<" + kCheng + "\">", "<", "\\\"", "" },
        Case { "EscapesStayRaw", "<AC\\/DC>", "<", ">", "AC\\/DC" }),
    [](const auto &info) { return info.param.name; });

TEST(QuotedValue, ReadsUpToTheNextKey)
{
    EXPECT_EQ(quotedValue(R"({"name":"A","cover":"c.jpg"})", "name", "cover"), "A");
    EXPECT_EQ(quotedValue(R"({"name":"A","id":"1"})", "name", "cover"), "");
    EXPECT_EQ(
        quotedValue(R"({"ssid":"s1","sid":"7","sha256":"x"})", "sid", "sha256"), "7"); // not inside "ssid"
    // A value may hold escaped quotes and commas; only the quote before the next key ends it.
    EXPECT_EQ(quotedValue(R"({"title":"a\",\"b","sid":"1"})", "title", "sid"), R"(a\",\"b)");
}

} // namespace
