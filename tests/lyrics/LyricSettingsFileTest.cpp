#include "lyrics/LyricSettingsFile.h"

#include "../storage/TempDir.h"

#include <gtest/gtest.h>

using namespace sorvane::lyrics;
using sorvane::storage::ErrorCode;
using sorvane::storage::IniFile;
using sorvane::testing::readBytes;
using sorvane::testing::TempDir;
using sorvane::testing::writeBytes;
using sorvane::text::utf8ToGb;

namespace {

LyricSettings settingsFrom(const std::string &utf8Lines)
{
    return readLyricSettings(IniFile::parse(utf8ToGb("[GECI]\n" + utf8Lines)));
}

TEST(LyricSettingsFile, WritesTheNineKeysInOrderAndTheSameFileTwice)
{
    LyricSettings s;
    s.字体型号 = 2;
    s.字体大小 = 3;
    s.字体加粗 = true;
    s.字体倾斜 = true;
    s.颜色选择器1 = 255;
    s.颜色选择器2 = 16776960;
    s.颜色选择器3 = -2147483640;
    s.文字渐变 = 1;

    TempDir dir;
    const auto path = dir / kLyricSettingsFileName;
    ASSERT_TRUE(saveLyricSettingsFile(s, path));
    const std::string expected
        = utf8ToGb("[GECI]\r\n字体型号=2\r\n字体大小=3\r\n字体加粗=真\r\n字体选中=真\r\n"
                   "字体下划线=假\r\n文字颜色1=255\r\n文字颜色2=16776960\r\n"
                   "文字颜色3=-2147483640\r\n文字渐变=1\r\n");
    EXPECT_EQ(readBytes(path), expected);
    ASSERT_TRUE(saveLyricSettingsFile(s, path));
    EXPECT_EQ(readBytes(path), expected);

    const auto loaded = loadLyricSettingsFile(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.value(), s);
}

TEST(LyricSettingsFile, FontIndicesSelectNameAndSize)
{
    const LyricSettings s = settingsFrom("字体大小=3\n字体型号=2\n");
    EXPECT_EQ(fontNameForIndex(s.字体型号), utf8ToGb("微软雅黑"));
    EXPECT_EQ(fontSizeForIndex(s.字体大小), 50);
    EXPECT_EQ(fontNameForIndex(0), utf8ToGb("黑体"));
    EXPECT_EQ(fontSizeForIndex(5), 60);
    // An index that selects no item gives no name and size 0.
    EXPECT_EQ(fontNameForIndex(3), "");
    EXPECT_EQ(fontNameForIndex(-1), "");
    EXPECT_EQ(fontSizeForIndex(6), 0);
}

TEST(LyricSettingsFile, FlagsAreSetOnlyByExactlyTrue)
{
    const std::pair<const char *, bool> cases[] = {
        { "真", true },
        { "  真 ", true },
        { "假", false },
        { "1", false },
        { "true", false },
        { "真真", false },
        { "", false },
    };
    for (const auto &[value, checked] : cases) {
        const LyricSettings s = settingsFrom(
            std::string("字体加粗=") + value + "\n字体选中=" + value + "\n字体下划线=" + value + "\n");
        EXPECT_EQ(s.字体加粗, checked) << value;
        EXPECT_EQ(s.字体倾斜, checked) << value;
        EXPECT_EQ(s.字体下划线, checked) << value;
    }
    // The italic box is stored under "字体选中"; a key named after the box is not read.
    EXPECT_FALSE(settingsFrom("字体倾斜=真\n").字体倾斜);
}

TEST(LyricSettingsFile, NumbersAreTruncatedAndAnythingElseIsZero)
{
    const LyricSettings s = settingsFrom("字体型号=1.9\n字体大小=abc\n文字颜色1=255\n文字颜色2= 65280 \n"
                                         "文字颜色3=99999999999\n文字渐变=-1\n");
    EXPECT_EQ(s.字体型号, 1);
    EXPECT_EQ(s.字体大小, 0);
    EXPECT_EQ(s.颜色选择器1, 255); // COLORREF 0x0000FF: pure red
    EXPECT_EQ(s.颜色选择器2, 65280);
    EXPECT_EQ(s.颜色选择器3, 2147483647);
    EXPECT_EQ(s.文字渐变, -1);
    EXPECT_EQ(settingsFrom(""), LyricSettings {});
    EXPECT_EQ(readLyricSettings(IniFile::parse(utf8ToGb("[Other]\n字体型号=2\n"))), LyricSettings {});
}

TEST(LyricSettingsFile, SavingKeepsTheRestOfTheFileAndMissingFileIsReported)
{
    TempDir dir;
    const auto path = dir / kLyricSettingsFileName;
    const auto missing = loadLyricSettingsFile(path);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, ErrorCode::NotFound);

    writeBytes(path, utf8ToGb("[Other]\nkeep=1\n[geci]\n文字渐变=2\nextra=x\n"));
    LyricSettings s;
    s.文字渐变 = 1;
    ASSERT_TRUE(saveLyricSettingsFile(s, path));
    EXPECT_EQ(readBytes(path),
        utf8ToGb("[Other]\r\nkeep=1\r\n[geci]\r\n文字渐变=1\r\nextra=x\r\n"
                 "字体型号=0\r\n字体大小=0\r\n字体加粗=假\r\n字体选中=假\r\n字体下划线=假\r\n"
                 "文字颜色1=0\r\n文字颜色2=0\r\n文字颜色3=0\r\n"));
}

} // namespace
