#include "qr/IntList.h"
#include "qr/QrCode.h"
#include "qr/QrTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace sorvane::qr {
namespace {

using test::gb;
using test::report;
using test::reportOf;

const Version &version(int n)
{
    return versionList().at(static_cast<std::size_t>(n - 1));
}

TEST(ParseIntList, SplitsAtTheDelimiter)
{
    EXPECT_TRUE(parseIntList("", ",").empty());
    EXPECT_EQ(parseIntList("6,18", ","), (std::vector<int> { 6, 18 }));
    EXPECT_EQ(parseIntList("-1,0,42", ","), (std::vector<int> { -1, 0, 42 }));
    EXPECT_EQ(parseIntList("1\r\n2", "\r\n"), (std::vector<int> { 1, 2 }));
}

TEST(Modes, RegistryAndCharacterCountWidths)
{
    const auto &modes = modeObjects();
    EXPECT_EQ(modes[0].name(), gb("数字"));
    EXPECT_EQ(modes[1].name(), gb("字母数字"));
    EXPECT_EQ(modes[2].name(), gb("字节"));
    EXPECT_EQ(modes[0].bits(), 1);
    EXPECT_EQ(modes[1].bits(), 2);
    EXPECT_EQ(modes[2].bits(), 4);

    struct Case
    {
        int mode, version, width;
    };
    const Case cases[] = { { 2, 9, 8 }, { 2, 10, 16 }, { 2, 40, 16 }, { 0, 1, 10 }, { 0, 26, 12 },
        { 0, 27, 14 }, { 1, 9, 9 }, { 1, 10, 11 }, { 1, 27, 13 } };
    for (const Case &c : cases)
        EXPECT_EQ(modes[static_cast<std::size_t>(c.mode)].charCountBits(version(c.version)), c.width)
            << c.mode << " v" << c.version;

    二维码类 record;
    EXPECT_EQ(record.modeForBits(2).name(), gb("字母数字"));
    const Mode empty = record.modeForBits(8);
    EXPECT_EQ(empty.bits(), 0);
    EXPECT_TRUE(empty.name().empty());
}

TEST(Levels, RegistryByNameAndIndex)
{
    const LevelRegistry &levels = levelRegistry();
    const std::pair<const EcLevel *, std::tuple<int, int, const char *>> expected[]
        = { { &levels.L, { 1, 1, "L" } }, { &levels.M, { 2, 0, "M" } }, { &levels.Q, { 3, 3, "Q" } },
              { &levels.H, { 4, 2, "H" } } };
    二维码类 record;
    for (const auto &[level, fields] : expected) {
        const auto &[ordinal, bits, name] = fields;
        EXPECT_EQ(level->ordinal(), ordinal);
        EXPECT_EQ(level->bits(), bits);
        EXPECT_EQ(level->name(), name);
        EXPECT_EQ(record.取容错级别_按索引(ordinal).name(), name);
    }
    EXPECT_EQ(reportOf([&] { record.取容错级别_按索引(0); }),
        report("二维码类", "取容错级别_按索引", "索引异常。当前索引：0"));
    EXPECT_EQ(reportOf([&] { record.取容错级别_按索引(5); }),
        report("二维码类", "取容错级别_按索引", "索引异常。当前索引：5"));
}

TEST(Versions, Lookups)
{
    二维码类 record;
    EXPECT_EQ(record.取版本_通过版本号(40).dimension(), 177);
    EXPECT_EQ(record.取版本_通过维长度(21).number(), 1);
    EXPECT_EQ(record.取版本_通过维长度(177).number(), 40);
    EXPECT_EQ(version(1).dimension(), 21);
    EXPECT_EQ(reportOf([&] { record.取版本_通过版本号(0); }),
        report("二维码类", "取版本_通过版本号", "版本号不在0到40之间。当前版本号：0"));
    EXPECT_EQ(reportOf([&] { record.取版本_通过版本号(41); }),
        report("二维码类", "取版本_通过版本号", "版本号不在0到40之间。当前版本号：41"));
    EXPECT_EQ(reportOf([&] { record.取版本_通过维长度(22); }),
        report("二维码类", "取版本_通过维长度", "维长度不为4的位数加1。当前维数：22"));
    EXPECT_EQ(reportOf([&] { record.取版本_通过维长度(185); }),
        report("二维码类", "取版本_通过版本号", "版本号不在0到40之间。当前版本号：42"));
}

TEST(Versions, Version5AtQ)
{
    const EcBlockSet &q = version(5).blocksForLevel(levelRegistry().Q);
    EXPECT_EQ(q.ecCodewordsPerBlock(), 18);
    ASSERT_EQ(q.groups().size(), 2u);
    EXPECT_EQ(q.groups()[0].count(), 2);
    EXPECT_EQ(q.groups()[0].dataCodewords(), 15);
    EXPECT_EQ(q.groups()[1].count(), 2);
    EXPECT_EQ(q.groups()[1].dataCodewords(), 16);
    EXPECT_EQ(q.blockCount(), 4);
    EXPECT_EQ(q.totalEcCodewords(), 72);
    EXPECT_EQ(version(5).totalCodewords() - q.totalEcCodewords(), 62);
}

TEST(Versions, BlockTablesAddUpForEveryVersionAndLevel)
{
    // Total codewords of ISO/IEC 18004, version 1 first.
    const int totals[40] = { 26, 44, 70, 100, 134, 172, 196, 242, 292, 346, 404, 466, 532, 581, 655, 733, 815,
        901, 991, 1085, 1156, 1258, 1364, 1474, 1588, 1706, 1828, 1921, 2051, 2185, 2323, 2465, 2611, 2761,
        2876, 3034, 3196, 3362, 3532, 3706 };
    const LevelRegistry &levels = levelRegistry();
    ASSERT_EQ(versionList().size(), 40u);
    for (int n = 1; n <= 40; ++n) {
        const Version &v = version(n);
        EXPECT_EQ(v.number(), n);
        EXPECT_EQ(v.totalCodewords(), totals[n - 1]) << n;
        for (const EcLevel *level : { &levels.L, &levels.M, &levels.Q, &levels.H }) {
            const EcBlockSet &set = v.blocksForLevel(*level);
            int total = 0;
            int data = 0;
            for (const EcBlockGroup &g : set.groups()) {
                total += g.count() * (g.dataCodewords() + set.ecCodewordsPerBlock());
                data += g.count() * g.dataCodewords();
            }
            EXPECT_EQ(total, v.totalCodewords()) << n << level->name();
            EXPECT_EQ(v.totalCodewords() - set.totalEcCodewords(), data) << n << level->name();
            // Blocks of the second group hold one data codeword more, as interleaving expects.
            if (set.groups().size() == 2) {
                EXPECT_EQ(set.groups()[1].dataCodewords(), set.groups()[0].dataCodewords() + 1) << n;
            }
        }
    }
    // Data capacities of the largest symbol.
    EXPECT_EQ(3706 - version(40).blocksForLevel(levels.L).totalEcCodewords(), 2956);
    EXPECT_EQ(3706 - version(40).blocksForLevel(levels.M).totalEcCodewords(), 2334);
    EXPECT_EQ(3706 - version(40).blocksForLevel(levels.Q).totalEcCodewords(), 1666);
    EXPECT_EQ(3706 - version(40).blocksForLevel(levels.H).totalEcCodewords(), 1276);
}

TEST(Versions, AlignmentCentresFollowTheirSpacingRule)
{
    // From version 2 the centres run from 6 to dimension − 7; the inner ones are evenly
    // spaced by an even step, and the gap after 6 takes up the rest (version 32: step 26).
    std::vector<int> centres;
    version(1).alignmentCenters(centres);
    EXPECT_TRUE(centres.empty());
    for (int n = 2; n <= 40; ++n) {
        version(n).alignmentCenters(centres);
        const int count = n / 7 + 2;
        ASSERT_EQ(static_cast<int>(centres.size()), count) << n;
        const int last = 4 * n + 10;
        const int step = n == 32 ? 26 : (4 * n + 4 + 2 * count - 3) / (2 * count - 2) * 2;
        EXPECT_EQ(centres.front(), 6) << n;
        for (int i = 1; i < count; ++i)
            EXPECT_EQ(centres[static_cast<std::size_t>(i)], last - (count - 1 - i) * step) << n << " #" << i;
    }
}

TEST(QrCodeRecord, ValidityAndModuleValues)
{
    二维码类 record;
    EXPECT_FALSE(record.isValid());
    record.setVersion(1);
    record.setMatrixWidth(21);
    record.setMaskPattern(0);
    record.setTotalBytes(26);
    record.setDataBytes(16);
    record.setEcBytes(10);
    EXPECT_FALSE(record.isValid());
    record.setRsBlocks(1);
    EXPECT_TRUE(record.isValid()); // mode, level and matrix are not looked at
    record.reset();
    EXPECT_FALSE(record.isValid());
    EXPECT_EQ(record.version(), -1);

    EXPECT_TRUE(二维码类::isValidMaskPattern(0));
    EXPECT_TRUE(二维码类::isValidMaskPattern(7));
    EXPECT_FALSE(二维码类::isValidMaskPattern(-1));
    EXPECT_FALSE(二维码类::isValidMaskPattern(8));

    字节矩阵类 m;
    m.init(2, 2);
    m.setCell(1, 0, 1);
    m.setCell(0, 1, 255);
    record.setMatrix(m);
    EXPECT_EQ(record.矩阵取值(1, 0), 1);
    EXPECT_EQ(record.矩阵取值(0, 0), 0);
    EXPECT_EQ(
        reportOf([&] { record.矩阵取值(0, 1); }), report("二维码类", "矩阵取值", "值异常，当前值为：255"));
}

} // namespace
} // namespace sorvane::qr
