#include "storage/IniFile.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

using sorvane::storage::IniFile;
using sorvane::storage::parseWholeNumber;
using sorvane::text::utf8ToGb;

namespace {

// A literal with its NUL bytes.
template <std::size_t N> std::string bytes(const char (&s)[N])
{
    return std::string(s, N - 1);
}

// 乚 is 81 5D and so ends in ']'; 乺 is 81 72 ('r') and 丷 is 81 52 ('R').
const std::string kFixture = "stray=before any section\n"
                             "[Rect]\r\n"
                             "Rows = 12 \r\n"
                             "cols=8\r\n"
                             "empty=\r\n"
                             "dup=first\r\n"
                             "dup=second\r\n"
                             "noequals\r\n"
                             "eq=a=b\r\n"
                             "  [ Setting ]  trailing\n"
                             "Visible=\t"
    + utf8ToGb("真")
    + "\t\n"
      "[RECT]\n"
      "Extra=in the second Rect\n"
      "["
    + utf8ToGb("乚") + "]\r\n" + utf8ToGb("乺")
    + "=r-key\r\n"
      "[unterminated\r\n"
      "k=v";

struct Lookup
{
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

void PrintTo(const Lookup &c, std::ostream *os)
{
    *os << ::testing::PrintToString(c.section) << "/" << ::testing::PrintToString(c.key);
}

class IniLookup : public ::testing::TestWithParam<Lookup>
{
};

TEST_P(IniLookup, FollowsProfileRules)
{
    const IniFile doc = IniFile::parse(kFixture);
    const Lookup &c = GetParam();
    EXPECT_EQ(doc.value(c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniLookup,
    ::testing::Values(Lookup { "Rect", "Rows", "12" }, // blanks around key and value dropped
        Lookup { "rect", "COLS", "8" }, // letter case ignored
        Lookup { "Rect", "empty", "" }, // present but empty is not missing
        Lookup { "Rect", "dup", "first" }, // first key counts
        Lookup { "Rect", "Extra", std::nullopt }, // only the first [Rect] is searched
        Lookup { "Rect", "noequals", std::nullopt }, // not a key line
        Lookup { "Rect", "eq", "a=b" }, // value runs to the line end
        Lookup { "Rect", "stray", std::nullopt }, // keys before any section are never found
        Lookup { "Setting", "visible", utf8ToGb("真") }, // header with blanks, tabs trimmed
        Lookup { utf8ToGb("乚"), utf8ToGb("乺"), "r-key" },
        Lookup { utf8ToGb("乚"), utf8ToGb("丷"), std::nullopt }, // trail bytes are not folded
        Lookup { utf8ToGb("乚"), "k", "v" }, // "[unterminated" is no header
        Lookup { "Missing", "Rows", std::nullopt }));

TEST(IniFile, MissingKeyGivesTheFallback)
{
    const IniFile doc = IniFile::parse(kFixture);
    EXPECT_EQ(doc.get("Rect", "nothing", "dflt"), "dflt");
    EXPECT_EQ(doc.get("Rect", "empty", "dflt"), "");
    EXPECT_TRUE(doc.hasSection("SETTING"));
    EXPECT_FALSE(doc.hasSection("unterminated"));
}

TEST(IniFile, LongValuesAreCutAtACharacterBoundary)
{
    const std::string zhong = utf8ToGb("中");
    std::string chinese = "ab";
    for (int i = 0; i < 6000; ++i)
        chinese += zhong;
    const std::string exact(IniFile::kMaxValueBytes, 'x');

    const IniFile doc = IniFile::parse(
        "[S]\nlong=" + std::string(20000, 'a') + "\nzh=" + chinese + "\nexact=" + exact + "\n");
    EXPECT_EQ(doc.get("S", "long"), std::string(IniFile::kMaxValueBytes, 'a'));
    EXPECT_EQ(doc.get("S", "exact"), exact);
    // 2 + 2 * 5118 = 10238: one more character would cross the limit.
    EXPECT_EQ(doc.get("S", "zh"), chinese.substr(0, 10238));
}

TEST(IniFile, WritesInPlaceAppendsKeysToTheirSectionAndSectionsToTheEnd)
{
    IniFile doc = IniFile::parse("; comment\n[A]\n  x = 1\ny=2\n\n[B]\nz=3");
    doc.set("a", "X", "9");
    doc.set("A", "new", "5");
    doc.set("C", "k", "v");
    doc.set("B", "w", " spaced ");
    doc.set("c", "K", "v2");

    EXPECT_EQ(doc.serialize(),
        "; comment\r\n"
        "[A]\r\n"
        "x=9\r\n"
        "y=2\r\n"
        "new=5\r\n"
        "\r\n"
        "[B]\r\n"
        "z=3\r\n"
        "w= spaced \r\n"
        "[C]\r\n"
        "k=v2\r\n");
    EXPECT_EQ(doc.get("B", "w"), "spaced");
    EXPECT_EQ(doc.get("A", "x"), "9");
}

TEST(IniFile, ATextWithLineBreaksCannotAddKeysOrSections)
{
    IniFile doc;
    doc.set("Rect", "Rows", "1");
    doc.set("0", "0", "x\r\n[Rect]\r\nRows=99999\nCols=3");
    const IniFile again = IniFile::parse(doc.serialize());
    EXPECT_EQ(again.get("Rect", "Rows"), "1");
    EXPECT_FALSE(again.value("Rect", "Cols"));
    EXPECT_EQ(again.get("0", "0"), "x  [Rect]  Rows=99999 Cols=3");
    EXPECT_EQ(doc.get("0", "0"), again.get("0", "0"));
}

TEST(IniFile, MalformedAndBinaryInputLoadsAndSavesStably)
{
    const std::string inputs[] = {
        "",
        "\n\n\n",
        "\r",
        "[",
        "]]]=[[[",
        "=",
        "[]\n=empty key\n",
        bytes("[A]\0\nk\0=v\0\n"),
        "[\x81]\nk=v\n", // 81 5D is one character: no header
        "[A]\nk=\x81\n", // cut-off lead byte at a line end
        bytes("\xFF\xFE[\0"
              "A]\r\r\n\x81\x30\x8B"),
        "[A]\r\nk=v\r\n[a]\r\nk=w\r\n",
    };
    for (const std::string &input : inputs) {
        SCOPED_TRACE(::testing::PrintToString(input));
        const std::string once = IniFile::parse(input).serialize();
        EXPECT_EQ(IniFile::parse(once).serialize(), once);
    }
    EXPECT_EQ(IniFile::parse(inputs[7]).get("A", bytes("k\0")), bytes("v\0"));
    EXPECT_FALSE(IniFile::parse(inputs[8]).hasSection("\x81"));
    EXPECT_EQ(IniFile::parse(inputs[11]).get("A", "k"), "v");
}

TEST(IniFile, WholeNumbers)
{
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    const std::pair<const char *, std::int64_t> cases[] = {
        { "12", 12 },
        { "-7", -7 },
        { "+5", 5 },
        { "3.7", 3 },
        { "12abc", 12 },
        { "abc", 0 },
        { "", 0 },
        { "-", 0 },
        { " 42", 42 },
        { "-0", 0 },
        { "99999999999999999999", kMax },
        { "-99999999999999999999", kMin },
        { "9223372036854775807", kMax },
        { "-9223372036854775808", kMin },
    };
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(parseWholeNumber(input), expected) << input;
}

} // namespace
