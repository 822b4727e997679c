#include "text/Encoding.h"

#include <gtest/gtest.h>

using namespace sorvane::text;

namespace {

struct RoundTrip
{
    const char *utf8;
    const char *gb;
};

class EncodingRoundTrip : public testing::TestWithParam<RoundTrip>
{
};

TEST_P(EncodingRoundTrip, Utf8AndGb18030AreInverse)
{
    const auto &c = GetParam();
    EXPECT_EQ(utf8ToGb(c.utf8), c.gb);
    EXPECT_EQ(gbToUtf8(c.gb), c.utf8);
    EXPECT_EQ(utf16ToGb(gbToUtf16(c.gb)), c.gb);
}

INSTANTIATE_TEST_SUITE_P(Texts, EncodingRoundTrip,
    testing::Values(RoundTrip{"", ""},
                    RoundTrip{"AC/DC", "AC/DC"},
                    RoundTrip{"\xE4\xB8\xAD", "\xD6\xD0"},                          // 中
                    RoundTrip{"M\xC3\xB6tley Cr\xC3\xBC" "e", "M\x81\x30\x8B\x32tley Cr\xA8\xB9" "e"},
                    RoundTrip{"\xF0\x9F\x98\x80", "\x94\x39\xFC\x36"} // an emoji: four GB18030 bytes
                    ));

TEST(Encoding, InvalidBytesBecomeReplacementCharacter)
{
    EXPECT_EQ(gbToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(gbToUtf8("a\x81"), "a\xEF\xBF\xBD"); // cut-off lead byte
    EXPECT_EQ(utf8ToGb("x\xC3"), "x\x84\x31\xA4\x37");
    EXPECT_EQ(utf8ToGb("\xED\xA0\x80"), "\x84\x31\xA4\x37"); // an encoded surrogate is one bad character
    EXPECT_EQ(gbToUtf16("\xFF"), u"\uFFFD");
    // A character GB18030 has no bytes for is one replacement, whatever its length.
    EXPECT_EQ(utf8ToGb("a\xEE\xA0\xB2" "b"), "a\x84\x31\xA4\x37" "b");
    EXPECT_EQ(utf16ToGb(u"a\uE832b"), "a\x84\x31\xA4\x37" "b");
    EXPECT_EQ(utf16ToGb(u"a\xD800"), "a\x84\x31\xA4\x37");
}

TEST(Encoding, DeclaredCharsetIsHonoured)
{
    EXPECT_EQ(toGb("\xD6\xD0", "GBK"), "\xD6\xD0");
    EXPECT_EQ(toGb("\xE4\xB8\xAD", ""), "\xD6\xD0");
    EXPECT_EQ(toGb("\xE4\xB8\xAD", "Utf-8"), "\xD6\xD0");
    EXPECT_EQ(toGb("\xE4\xB8\xAD", "no-such-charset"), "\xD6\xD0");
    EXPECT_EQ(toGb("\xF6", "iso-8859-1"), "\x81\x30\x8B\x32"); // ö
}

TEST(Encoding, CharLength)
{
    const std::string_view t = "a\xD6\xD0\x81\x30\x8B\x32\xFF\x81";
    EXPECT_EQ(charLength(t, 0), 1u);
    EXPECT_EQ(charLength(t, 1), 2u);
    EXPECT_EQ(charLength(t, 3), 4u);
    EXPECT_EQ(charLength(t, 7), 1u); // 0xFF never starts a character
    EXPECT_EQ(charLength(t, 8), 1u); // lead byte at the end
    EXPECT_EQ(charLength("\x81\x30", 0), 1u); // four-byte form cut off
}

TEST(Encoding, FindStepsByCharacter)
{
    // 乕 = 81 5B ends in '[', 乗 = 81 5C ends in '\', 乚 = 81 5D ends in ']'.
    const std::string text = "\x81\x5B" "\x81\x5C" "\x81\x5D" "[x]";
    EXPECT_EQ(find(text, "["), 6u);
    EXPECT_EQ(find(text, "]"), 8u);
    EXPECT_EQ(find(text, "\\"), std::string_view::npos);
    EXPECT_EQ(find(text, "\x5B\x81"), std::string_view::npos);
    EXPECT_EQ(find(text, "\x81\x5D"), 4u);
    EXPECT_EQ(find(text, "x", 7), 7u);
    EXPECT_EQ(find(text, "[", 7), std::string_view::npos);
    EXPECT_EQ(find(text, "", 3), 4u);
    EXPECT_EQ(find(text, "a", 100), std::string_view::npos);
    EXPECT_TRUE(contains(text, "x]"));
}

TEST(Encoding, AppendCodePoint)
{
    GbString s;
    appendCodePoint(s, U'A');
    appendCodePoint(s, U'\u4E2D');
    appendCodePoint(s, U'\U0001F600');
    appendCodePoint(s, 0xD800);
    EXPECT_EQ(s, "A\xD6\xD0\x94\x39\xFC\x36\x84\x31\xA4\x37");
}

} // namespace
