#include "service/JsonText.h"

#include <gtest/gtest.h>

using sorvane::service::jsonUnescape;

namespace {

const std::string kReplacement = "\x84\x31\xA4\x37"; // U+FFFD in GB18030

struct Case
{
    const char *name;
    std::string raw, expected;
};

class JsonUnescape : public testing::TestWithParam<Case>
{
};

TEST_P(JsonUnescape, Decodes)
{
    EXPECT_EQ(jsonUnescape(GetParam().raw), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Escapes, JsonUnescape,
    testing::Values(Case { "Slash", "AC\\/DC", "AC/DC" },
        Case { "Address", "https:\\/\\/host\\/a.mp3", "https://host/a.mp3" },
        Case { "QuoteAndBackslash", "\\\"q\\\" a\\\\b", "\"q\" a\\b" },
        Case { "EscapedBackslashBeforeN", "a\\\\n", "a\\n" },
        Case { "Controls", "a\\r\\nb\\tc\\b\\f", "a\r\nb\tc\b\f" },
        Case { "BmpCharacter", "\\u6211\\u4EEC", "\xCE\xD2\xC3\xC7" }, // 我们
        Case { "SurrogatePair", "\\ud83d\\ude00!", "\x94\x39\xFC\x36!" },
        Case { "LoneHighSurrogate", "\\ud83dx", kReplacement + "x" },
        Case { "LoneLowSurrogate", "\\ude00", kReplacement },
        Case { "UnknownEscapeKept", "\\x\\q", "\\x\\q" },
        Case { "ShortUnicodeKept", "\\u12g4\\u12", "\\u12g4\\u12" },
        Case { "TrailingBackslashKept", "a\\", "a\\" },
        // 乗 ends in a backslash byte: it must not escape the letter after it.
        Case { "BackslashByteOfCharacter", "\x81\x5Cn\x81\x5C/", "\x81\x5Cn\x81\x5C/" },
        Case { "PlainGbUnchanged", "\xD6\xD0\xCE\xC4", "\xD6\xD0\xCE\xC4" }),
    [](const auto &info) { return info.param.name; });

} // namespace
