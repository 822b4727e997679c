#include "lyrics/LyricLookup.h"

#include <gtest/gtest.h>

using namespace sorvane;
using lyrics::findLyricLine;
using lyrics::LyricLookup;

namespace {

const std::string kXiao = "\x87\x5B"; // 嘯: its second byte is '['

// A lyric reply as the service sends it; "\r\n" in the lyric value is the JSON escape.
std::string reply()
{
    return R"({"lyric":"[ti:Song]\r\n[00:01.00]a\r\n[00:03.50]b\r\n[00:05.00]\r\n[00:10.00][01:20.00]x\r\n)"
           R"([00:12.00]AC\/DC \"live\"\r\n[00:20.00])"
        + kXiao + text::utf8ToGb("叫") + R"(\r\n[00:30.00]last \u6211","name":"Song","sid":"101"})";
}

struct Case
{
    const char *position;
    std::string expected;
};

class FindLyricLine : public testing::TestWithParam<Case>
{
};

TEST_P(FindLyricLine, FindsTheTaggedLine)
{
    EXPECT_EQ(findLyricLine(reply(), GetParam().position), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, FindLyricLine,
    testing::Values(Case { "00:01", "a" }, Case { "00:02", "" }, Case { "00:03", "b" },
        Case { "00:05", "" }, // a tag without text
        Case { "00:10", "x" }, // first of two tags
        Case { "01:20", "x" }, // second of two tags
        Case { "00:12", "AC/DC \"live\"" }, // decoded before it is shown
        Case { "00:20", kXiao + text::utf8ToGb("叫") },
        Case { "00:30", "last \xCE\xD2" }, // the last line, ended by the quote
        Case { "59:59", "" }, Case { "", "" }));

TEST(FindLyricLineRules, LaterMatchReplacesEarlierEvenWithNothing)
{
    EXPECT_EQ(findLyricLine(R"("[00:01.00]a\r\n[00:02.00]at 00:01 no tag\r\n")", "00:01"), "");
    EXPECT_EQ(findLyricLine(R"("[00:01.00]a\r\n[00:01.50]b\r\n")", "00:01"), "b");
}

TEST(FindLyricLineRules, LineNeedsItsSeparatorOrClosingQuote)
{
    EXPECT_EQ(findLyricLine(R"("[00:01.00]a[00:02.00]b\r\n")", "00:01"), ""); // a "[" before the end
    EXPECT_EQ(findLyricLine(R"("[00:01.00]a)", "00:01"), ""); // cut-off reply
    EXPECT_EQ(findLyricLine(R"("[00:01.00][ar:x]a\r\n")", "00:01"), ""); // not a time tag
    EXPECT_EQ(findLyricLine(R"("[00:01.00]say \"hi\"\r\n")", "00:01"), "say \"hi\""); // escaped quote
}

TEST(LyricLookup, TicksThroughTheLyrics)
{
    const LyricLookup lookup(reply());
    EXPECT_EQ(lookup.tick("00:00"), std::nullopt); // before the first tag the caption stays
    EXPECT_EQ(lookup.tick("00:01"), "a");
    EXPECT_EQ(lookup.tick("00:02"), std::nullopt); // 'a' stays
    EXPECT_EQ(lookup.tick("00:05"), std::nullopt);
    EXPECT_EQ(lookup.tick("00:10"), "x");
    EXPECT_EQ(lookup.tick("00:30"), "last \xCE\xD2");
}

TEST(LyricLookup, RepliesWithoutTimedLyrics)
{
    const std::string noLyrics = text::utf8ToGb("暂无歌词");
    const std::string notScrollable = text::utf8ToGb("当前歌词不支持滚动");
    struct Case
    {
        std::string reply;
        std::optional<std::string> shown;
    };
    for (const Case &c : {
             Case { "", std::nullopt }, Case { text::utf8ToGb("没有匹配到歌词."), std::nullopt },
             Case { "{\"lyric\":\"" + noLyrics + "\",\"name\":\"x\"}", noLyrics },
             Case { R"({"lyric":"just words\r\nmore","name":"x"})", notScrollable },
             Case { R"({"msg":"error"})", notScrollable },
             Case { "{\"lyric\":\"" + kXiao + "\",\"name\":\"x\"}",
                 notScrollable }, // the '[' byte of 嘯 is no tag
         }) {
        const LyricLookup lookup(c.reply);
        EXPECT_EQ(lookup.tick("00:01"), c.shown) << c.reply;
        EXPECT_EQ(lookup.tick("00:02"), c.shown) << "repeated on every tick";
    }
    EXPECT_EQ(LyricLookup().tick("00:01"), std::nullopt);
}

} // namespace
