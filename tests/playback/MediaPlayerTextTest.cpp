#include "playback/MediaPlayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

using sorvane::playback::MediaPlayer;

namespace {

TEST(MediaPlayerText, FormatTime)
{
    const struct
    {
        std::int64_t seconds;
        const char *text;
    } cases[] = {
        { 0, "00:00" },
        { 9, "00:09" },
        { 10, "00:10" },
        { 59, "00:59" },
        { 60, "01:00" },
        { 61, "01:01" },
        { 600, "10:00" },
        { 3599, "59:59" },
        { 3600, "60:00" },
        { 6005, "100:05" },
        { -5, "00:00" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(MediaPlayer::formatTime(c.seconds), c.text) << c.seconds;
}

TEST(MediaPlayerText, ParseTime)
{
    const struct
    {
        const char *text;
        int seconds;
    } cases[] = {
        { "12:34", 754 },
        { "01:23.45", 83 }, // only the first five characters count
        { "1:2", 62 },
        { "100:05", 6000 }, // ... so the seconds piece is "0"
        { "00:59 | 04:00", 59 },
        { "1234", 0 }, // no ":"
        { "", 0 },
        { ":", 0 },
        { "ab:cd", 0 },
    };
    for (const auto &c : cases)
        EXPECT_EQ(MediaPlayer::parseTime(c.text), c.seconds) << c.text;
}

TEST(MediaPlayerText, BitrateDropsTheFraction)
{
    const struct
    {
        double bitsPerSecond;
        const char *text;
    } cases[] = {
        { 128000, "128 kbit/sec" },
        { 127999, "127 kbit/sec" },
        { 705600, "705 kbit/sec" },
        { 999, "0 kbit/sec" },
        { 0, "0 kbit/sec" },
        { -1000, "0 kbit/sec" },
        { std::nan(""), "0 kbit/sec" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(MediaPlayer::bitrateText(c.bitsPerSecond), c.text) << c.bitsPerSecond;
}

} // namespace
