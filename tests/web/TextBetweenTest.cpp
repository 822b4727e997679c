#include "web/TextBetween.h"
#include "TestSupport.h"
#include "web/ScriptHost.h"

#include <gtest/gtest.h>

#include <optional>

namespace sorvane::web {
namespace {

using test::gb;

constexpr long kUntouched = 99;

struct BetweenCase
{
    const char *name;
    std::string text;
    std::string left;
    std::optional<std::string> right;
    long start;
    bool ignoreCase;
    long extraBefore;
    long extraAfter;
    std::string expected;
    long expectedEnd;
};

TEST(TextBetween, CutsByTheRules)
{
    // 乗 ends in the byte '\', so "\=" occurs across its second byte and the '=' after it.
    const std::string trap = gb(u8"乗") + "=1;\\=2;";
    const std::string foldTrap = "\x81\x61=1;"; // a double-byte character whose second byte is 'a'
    const BetweenCase cases[] = {
        { "right marker missing after left", "a=1;b=2", "b=", ";", 1, false, 0, 0, "", -1 },
        { "value and end position", "xa=1;y", "a=", ";", 1, false, 0, 0, "1", 5 },
        { "no right marker runs to the end", "k=v", "k=", std::nullopt, 1, false, 0, 0, "v", 5 },
        { "empty right marker is a marker", "k=v", "k=", "", 1, false, 0, 0, "", 3 },
        { "left marker missing leaves end alone", "abc", "x=", ";", 1, false, 0, 0, "", kUntouched },
        { "start position skips an earlier match", "a=1;a=2;", "a=", ";", 4, false, 0, 0, "2", 8 },
        { "start below 1 searches from the beginning", "a=1;", "a=", ";", -5, false, 0, 0, "1", 4 },
        { "start past the end finds nothing", "a=1;", "a=", ";", 6, false, 0, 0, "", kUntouched },
        { "case matters by default", "Name=Bob;", "name=", ";", 1, false, 0, 0, "", kUntouched },
        { "ignore case", "Name=Bob;", "name=", ";", 1, true, 0, 0, "Bob", 9 },
        { "ignore case applies to the right marker", "<A>x</A>", "<a>", "</a>", 1, true, 0, 0, "x", 5 },
        { "extras widen the cut", "xa=1;y", "a=", ";", 1, false, 2, 1, "a=1;", 5 },
        { "extras are cut to the text", "a=1;", "a=", ";", 1, false, 10, 10, "a=1;", 4 },
        { "huge extras do not overflow", "a=1;", "a=", ";", 1, false, 1L << 62, 1L << 62, "a=1;", 4 },
        { "negative extras narrow to nothing", "a=1;", "a=", ";", 1, false, -5, 0, "", 4 },
        { "no match inside a double-byte character", trap, "\\=", ";", 1, false, 0, 0, "2", 9 },
        { "case folding leaves double-byte characters alone", foldTrap, "\x81\x41=", ";", 1, true, 0, 0, "",
            kUntouched },
        { "a double-byte character matches itself", foldTrap, "\x81\x61=", ";", 1, true, 0, 0, "1", 5 },
    };
    for (const BetweenCase &c : cases) {
        SCOPED_TRACE(c.name);
        long end = kUntouched;
        const std::optional<std::string_view> right
            = c.right ? std::optional<std::string_view>(*c.right) : std::nullopt;
        EXPECT_EQ(
            textBetween(c.text, c.left, right, c.start, c.ignoreCase, &end, c.extraBefore, c.extraAfter),
            c.expected);
        EXPECT_EQ(end, c.expectedEnd);
    }
}

TEST(ScriptTextBetween, FirstStartMarkerToFirstEndMarkerAfterIt)
{
    struct Case
    {
        std::string t, s, e, expected;
    };
    const Case cases[] = {
        { "Set-Cookie: bid=abc; path=/", "Set-Cookie: bid=", ";", "abc" },
        { "Set-Cookie: bid=abc; path=/", "uid=", ";", "" },
        { "a;b=1", "b=", ";", "" }, // the end marker only occurs before the start marker
        { "a;b", "", ";", "a" }, // empty start marker: text before the first end marker
        { "a=1;", "a=", "", "" }, // empty end marker is found at once
        { "a=;", "a=", ";", "" }, // markers side by side
        { "x=1;x=2;", "x=", ";", "1" }, // the first occurrence wins
        { gb(u8"乗") + "=1;\\=2;", "\\=", ";", "2" }, // never inside a double-byte character
        { "t=" + gb(u8"中文") + ";", "t=", ";", gb(u8"中文") },
    };
    for (const Case &c : cases)
        EXPECT_EQ(scriptTextBetween(c.t, c.s, c.e), c.expected) << c.t << " / " << c.s << " / " << c.e;
}

} // namespace
} // namespace sorvane::web
