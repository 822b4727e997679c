#include "qr/ByteMatrix.h"
#include "qr/MaskUtil.h"
#include "qr/MatrixBuilder.h"
#include "qr/QrCode.h"
#include "qr/QrTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace sorvane::qr {
namespace {

using test::report;
using test::reportOf;

// A matrix from rows of '#' (1), '.' (0) and ' ' (255).
字节矩阵类 matrixOf(const std::vector<std::string> &rows)
{
    字节矩阵类 m;
    m.init(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            m.setCell(static_cast<int>(x), static_cast<int>(y),
                rows[y][x] == '#' ? 1 : (rows[y][x] == '.' ? 0 : 255));
    return m;
}

int countCells(const 字节矩阵类 &m, std::uint8_t value)
{
    int n = 0;
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            n += m.cellAt(x, y) == value;
    return n;
}

// The function patterns, format and version information of a version, data cells empty.
字节矩阵类 functionPatterns(int version)
{
    const 矩阵应用类 builder;
    字节矩阵类 m;
    m.init(17 + 4 * version, 17 + 4 * version);
    builder.clearMatrix(m);
    builder.embedBasicPatterns(version, m);
    builder.embedTypeInfo(levelRegistry().M, 0, m);
    builder.embedVersionInfo(version, m);
    return m;
}

TEST(ByteMatrix, CellsSizesAndCopies)
{
    字节矩阵类 m;
    m.init(3, 2);
    EXPECT_EQ(m.width(), 3);
    EXPECT_EQ(m.height(), 2);
    m.setCell(2, 1, 7);
    EXPECT_EQ(m.cellAt(2, 1), 7);
    const MatrixData before = m.cellArray();
    EXPECT_EQ(before.bytes, (std::vector<std::vector<std::uint8_t>> { { 0, 0, 0 }, { 0, 0, 7 } }));
    EXPECT_TRUE(before.integers.empty() && before.texts.empty() && before.reals.empty());
    m.clear(255);
    EXPECT_EQ(countCells(m, 255), 6);
    EXPECT_EQ(before.bytes[1][2], 7); // the copy keeps its values
    m.clear();
    EXPECT_EQ(countCells(m, 0), 6);

    字节矩阵类 big;
    big.init(3, 3);
    big.clear(9);
    big.置字节矩阵({ { 1, 2 }, { 3, 4 } });
    EXPECT_EQ(big.cellArray().bytes,
        (std::vector<std::vector<std::uint8_t>> { { 1, 2, 9 }, { 3, 4, 9 }, { 9, 9, 9 } }));
}

TEST(ByteMatrix, Reports)
{
    字节矩阵类 m;
    m.init(3, 3);
    EXPECT_EQ(reportOf([&] { m.置字节矩阵({}); }), report("字节矩阵类", "置字节矩阵()", "不是矩阵"));
    EXPECT_EQ(reportOf([&] { m.置字节矩阵({ {} }); }), report("字节矩阵类", "置字节矩阵()", "不是矩阵"));
    // Caller errors on indexes and sizes are reported too, never memory faults.
    EXPECT_TRUE(reportOf([&] { m.置字节矩阵({ { 1, 2, 3, 4 } }); }));
    EXPECT_TRUE(reportOf([&] { m.cellAt(3, 0); }));
    EXPECT_TRUE(reportOf([&] { m.setCell(0, -1, 1); }));
    EXPECT_TRUE(reportOf([&] { m.init(0, 5); }));
}

TEST(MatrixBuilder, Version1Layout)
{
    const 字节矩阵类 m = functionPatterns(1);
    EXPECT_EQ(m.cellAt(8, 13), 1); // dark module
    for (int i = 8; i <= 12; ++i) {
        EXPECT_EQ(m.cellAt(i, 6), (i + 1) % 2) << i;
        EXPECT_EQ(m.cellAt(6, i), (i + 1) % 2) << i;
    }
    EXPECT_EQ(countCells(m, 255), 208); // 26 codewords, no alignment pattern, no version information
}

TEST(MatrixBuilder, Version2HasOneAlignmentPattern)
{
    const 字节矩阵类 m = functionPatterns(2);
    const char *pattern[5] = { "#####", "#...#", "#.#.#", "#...#", "#####" };
    for (int dy = 0; dy < 5; ++dy)
        for (int dx = 0; dx < 5; ++dx)
            EXPECT_EQ(m.cellAt(16 + dx, 16 + dy), pattern[dy][dx] == '#') << dx << "," << dy;
    EXPECT_EQ(countCells(m, 255), 359);
}

TEST(MatrixBuilder, Version7AlignmentAndVersionInformation)
{
    const 字节矩阵类 m = functionPatterns(7);
    for (const auto &[x, y] :
        { std::pair { 22, 6 }, { 6, 22 }, { 22, 22 }, { 38, 22 }, { 22, 38 }, { 38, 38 } }) {
        EXPECT_EQ(m.cellAt(x, y), 1) << x << "," << y; // centre
        EXPECT_EQ(m.cellAt(x - 1, y - 1), 0) << x << "," << y; // inner ring
        EXPECT_EQ(m.cellAt(x + 2, y + 2), 1) << x << "," << y; // outer ring
    }
    EXPECT_EQ(countCells(m, 255), 1568);
}

// The 18-bit version information word read from the lower-left block, whose first cell
// (0, height − 11) holds the word's lowest bit, and whether the upper-right block mirrors it.
int versionWord(const 字节矩阵类 &m, bool &mirrored)
{
    int word = 0;
    mirrored = true;
    const int h = m.height();
    for (int k = 17, i = 0; i < 6; ++i) {
        for (int j = 0; j < 3; ++j, --k) {
            word |= m.cellAt(i, h - 11 + j) << (17 - k);
            mirrored = mirrored && m.cellAt(h - 11 + j, i) == m.cellAt(i, h - 11 + j);
        }
    }
    return word;
}

int remainderGf2(int value, int generator)
{
    const int m = 矩阵应用类::findMsbSet(generator);
    while (矩阵应用类::findMsbSet(value) >= m)
        value ^= generator << (矩阵应用类::findMsbSet(value) - m);
    return value;
}

TEST(MatrixBuilder, VersionInformationOfVersions7To40)
{
    for (int version = 7; version <= 40; ++version) {
        bool mirrored = false;
        const int word = versionWord(functionPatterns(version), mirrored);
        EXPECT_TRUE(mirrored) << version;
        EXPECT_EQ(word >> 12, version);
        EXPECT_EQ(remainderGf2(word, 0x1F25), 0) << version; // a codeword of the (18, 6) code
        if (version == 7) {
            EXPECT_EQ(word, 0x07C94);
        }
        if (version == 40) {
            EXPECT_EQ(word, 0x28C69);
        }
    }
    EXPECT_EQ(矩阵应用类::bchCode(7, 0x1F25), 0xC94);
}

TEST(MatrixBuilder, FreeCellsHoldEveryCodewordOfEachVersion)
{
    // Remainder bits per version of ISO/IEC 18004.
    const int remainder[40] = { 0, 7, 7, 7, 7, 7, 0, 0, 0, 0, 0, 0, 0, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4,
        4, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0, 0, 0, 0 };
    for (int version = 1; version <= 40; ++version) {
        const int free = countCells(functionPatterns(version), 255);
        EXPECT_EQ(free,
            versionList()[static_cast<std::size_t>(version - 1)].totalCodewords() * 8
                + remainder[version - 1])
            << version;
    }
}

TEST(MatrixBuilder, FormatInformation)
{
    const 矩阵应用类 builder;
    EXPECT_EQ(矩阵应用类::findMsbSet(0), 0);
    EXPECT_EQ(矩阵应用类::findMsbSet(1), 1);
    EXPECT_EQ(矩阵应用类::findMsbSet(0x537), 11);
    EXPECT_EQ(unsignedShiftRight(-2, 1), 0x7FFFFFFF);

    位向量类 bits;
    builder.标记类型信息位(levelRegistry().M, 5, bits);
    EXPECT_EQ(bits.到字符串(), "1,0,0,0,0,0,0,1,1,0,0,1,1,1,0");

    // Every level and mask: a valid (15, 5) codeword after removing the mask, placed
    // twice; bit 14 goes to (8, 0) and (width − 1, 8).
    const LevelRegistry &levels = levelRegistry();
    for (const EcLevel *level : { &levels.L, &levels.M, &levels.Q, &levels.H }) {
        for (int mask = 0; mask < 8; ++mask) {
            位向量类 word;
            builder.标记类型信息位(*level, mask, word);
            int value = 0;
            for (int i = 0; i < 15; ++i)
                value = value << 1 | word.取位值(i);
            EXPECT_EQ((value ^ 0x5412) >> 10, level->bits() << 3 | mask);
            EXPECT_EQ(remainderGf2(value ^ 0x5412, 0x537), 0);

            字节矩阵类 m;
            m.init(21, 21);
            builder.clearMatrix(m);
            builder.embedTypeInfo(*level, mask, m);
            EXPECT_EQ(m.cellAt(8, 0), word.取位值(14));
            EXPECT_EQ(m.cellAt(20, 8), word.取位值(14));
            EXPECT_EQ(m.cellAt(0, 8), word.取位值(0));
            EXPECT_EQ(m.cellAt(8, 20), word.取位值(0));
            EXPECT_EQ(m.cellAt(8, 7), word.取位值(8)); // skips the timing row
        }
    }
}

TEST(MatrixBuilder, DataPlacement)
{
    const 矩阵应用类 builder;
    // Unmasked: the first bits fill the lower-right corner upward, right column first.
    字节矩阵类 m = functionPatterns(1);
    位向量类 bits;
    bits.appendBits(0b1011, 4);
    builder.插入数据信息位(bits, -1, m);
    EXPECT_EQ(m.cellAt(20, 20), 1);
    EXPECT_EQ(m.cellAt(19, 20), 0);
    EXPECT_EQ(m.cellAt(20, 19), 1);
    EXPECT_EQ(m.cellAt(19, 19), 1);
    EXPECT_EQ(countCells(m, 255), 0); // the rest is filled with 0
    EXPECT_EQ(countCells(m, 1), countCells(functionPatterns(1), 1) + 3);

    // Masked: mask 1 inverts even rows.
    m = functionPatterns(1);
    builder.插入数据信息位(bits, 1, m);
    EXPECT_EQ(m.cellAt(20, 20), 0);
    EXPECT_EQ(m.cellAt(20, 19), 1);
    EXPECT_EQ(m.cellAt(20, 18), 1); // a padding 0, inverted

    位向量类 tooMany;
    for (int i = 0; i < 209; ++i)
        tooMany.追加位(1);
    m = functionPatterns(1);
    EXPECT_EQ(reportOf([&] { builder.插入数据信息位(tooMany, 0, m); }),
        report("矩阵应用类", "插入数据信息位", "数据位未被全部填充，n：208；位向量大小：209"));
    EXPECT_EQ(reportOf([&] { builder.buildMatrix(bits, levelRegistry().L, 1, -1, m); }),
        report("矩阵应用类", "标记类型信息位", "掩图无效"));
}

TEST(MatrixBuilder, PatternsRefuseTakenCells)
{
    const 矩阵应用类 builder;
    字节矩阵类 m;
    m.init(21, 21);
    builder.clearMatrix(m);
    m.setCell(3, 4, 0);
    EXPECT_EQ(reportOf([&] { builder.插入位置探测图(0, 0, m); }),
        report("矩阵应用类", "插入位置探测图", "方位检测标识异常，当前位置有空值。当前行索引：4；列索引：5"));
    EXPECT_EQ(reportOf([&] { builder.插入方位调整标识(2, 2, m); }),
        report("矩阵应用类", "插入方位调整标识", "值为空"));
    m.setCell(5, 7, 1);
    EXPECT_EQ(reportOf([&] { builder.插入水平分割图(0, 7, m); }),
        report("矩阵应用类", "插入水平分割图", "矩阵当前操作位数据不为空。i：6；x：0；y：7"));
    m.setCell(7, 3, 1);
    EXPECT_EQ(reportOf([&] { builder.插入垂直分割图(7, 0, m); }),
        report("矩阵应用类", "插入垂直分割图", "矩阵当前操作位数据不为空。i：4；x：7；y：0"));
    m.setCell(8, 13, 0);
    EXPECT_EQ(reportOf([&] { builder.左下角插入黑点(m); }), report("矩阵应用类", "左下角插入黑点", "空值"));
    m.setCell(10, 6, 3);
    EXPECT_EQ(reportOf([&] { builder.插入定位基线(m); }), report("矩阵应用类", "插入定位基线", "无效值"));
}

TEST(MatrixBuilder, ParsedTables)
{
    const 矩阵应用类 builder;
    const auto &t = builder.tables();
    EXPECT_EQ(t.finderPattern.size(), 7u);
    EXPECT_EQ(t.finderPattern[2], (std::vector<int> { 1, 0, 1, 1, 1, 0, 1 }));
    EXPECT_EQ(tableRow(t.alignmentCentres, 1), (std::vector<int> { -1, -1, -1, -1, -1, -1, -1 }));
    EXPECT_EQ(tableRow(t.alignmentCentres, 2), (std::vector<int> { 6, 18, -1, -1, -1, -1, -1 }));
    EXPECT_EQ(tableRow(t.alignmentCentres, 40), (std::vector<int> { 6, 30, 58, 86, 114, 142, 170 }));
    EXPECT_TRUE(tableRow(t.alignmentCentres, 41).empty());
    EXPECT_EQ(t.formatInfoCoordinates[6], (std::vector<int> { 8, 7 }));
    EXPECT_EQ(parseTable("1.9,-1.9\r\n3", "\r\n", ",").integers,
        (std::vector<std::vector<int>> { { 1, -1 }, { 3, 0 } }));
}

TEST(Masks, Conditions)
{
    EXPECT_TRUE(掩码辅助类::取数据掩码位(0, 0, 0));
    EXPECT_FALSE(掩码辅助类::取数据掩码位(0, 1, 0));
    for (int x = 0; x < 6; ++x) {
        EXPECT_TRUE(掩码辅助类::取数据掩码位(1, x, 2));
        EXPECT_FALSE(掩码辅助类::取数据掩码位(1, x, 3));
        EXPECT_EQ(掩码辅助类::取数据掩码位(2, x, 1), x % 3 == 0);
        EXPECT_TRUE(掩码辅助类::取数据掩码位(5, x, 0));
        EXPECT_TRUE(掩码辅助类::取数据掩码位(5, 0, x));
    }
    EXPECT_TRUE(掩码辅助类::取数据掩码位(4, 3, 2)); // (1 + 1) AND 1 = 0
    EXPECT_FALSE(掩码辅助类::取数据掩码位(4, 3, 0));
    EXPECT_TRUE(掩码辅助类::取数据掩码位(3, 1, 2));
    EXPECT_TRUE(掩码辅助类::取数据掩码位(6, 1, 1)); // ((1 AND 1) + 1 mod 3) AND 1 = 0
    EXPECT_FALSE(掩码辅助类::取数据掩码位(6, 1, 5)); // (1 + 2) AND 1 = 1
    EXPECT_TRUE(掩码辅助类::取数据掩码位(7, 0, 0));
    EXPECT_FALSE(掩码辅助类::取数据掩码位(7, 1, 1));
    EXPECT_EQ(reportOf([] { 掩码辅助类::取数据掩码位(8, 0, 0); }),
        report("掩码辅助类", "取数据掩码位", "掩图无效。"));
}

TEST(Masks, PenaltyRules)
{
    EXPECT_EQ(掩码辅助类::penaltyRule1Lines(matrixOf({ "#######" }), true), 5);
    EXPECT_EQ(掩码辅助类::penaltyRule1Lines(matrixOf({ "####.##" }), true), 0);
    EXPECT_EQ(掩码辅助类::penaltyRule1Lines(matrixOf({ "......#" }), true), 4);
    // Runs do not continue into the next row.
    EXPECT_EQ(掩码辅助类::penaltyRule1Lines(matrixOf({ "...", "..." }), true), 0);
    EXPECT_EQ(掩码辅助类::penaltyRule1(matrixOf({ "#####", "....." })), 6);

    EXPECT_EQ(掩码辅助类::penaltyRule2(matrixOf({ "###", "###", "###" })), 12);
    EXPECT_EQ(掩码辅助类::penaltyRule2(matrixOf({ "#.#", ".#.", "#.#" })), 0);

    EXPECT_EQ(掩码辅助类::penaltyRule3(matrixOf({ "#.###.#...." })), 40);
    EXPECT_EQ(掩码辅助类::penaltyRule3(matrixOf({ "....#.###.#" })), 40);
    EXPECT_EQ(掩码辅助类::penaltyRule3(matrixOf({ "#.###.#..." })),
        0); // edge on the left, three light on the right
    EXPECT_EQ(
        掩码辅助类::penaltyRule3(matrixOf({ "#", ".", "#", "#", "#", ".", "#", ".", ".", ".", "." })), 40);

    // Rule 4 on 25 × 25 = 625 cells with a given number of dark ones.
    const std::pair<int, int> darkAndPenalty[]
        = { { 313, 0 }, { 343, 0 }, { 282, 0 }, { 280, 10 }, { 187, 40 }, { 250, 20 } };
    for (const auto &[dark, penalty] : darkAndPenalty) {
        字节矩阵类 m;
        m.init(25, 25);
        for (int i = 0; i < dark; ++i)
            m.setCell(i % 25, i / 25, 1);
        EXPECT_EQ(掩码辅助类::penaltyRule4(m), penalty) << dark;
    }
}

// The rules read cell by cell, as plainly as they are defined.
struct PlainPenalty
{
    const 字节矩阵类 &m;

    int rule1Lines(bool horizontal) const
    {
        int penalty = 0;
        int previous = -1;
        const int outer = horizontal ? m.height() : m.width();
        const int inner = horizontal ? m.width() : m.height();
        for (int i = 0; i < outer; ++i) {
            int count = 0;
            for (int j = 0; j < inner; ++j) {
                const int v = horizontal ? m.cellAt(j, i) : m.cellAt(i, j);
                if (v == previous) {
                    ++count;
                    if (count == 5)
                        penalty += 3;
                    else if (count > 5)
                        penalty += 1;
                } else {
                    count = 1;
                    previous = v;
                }
            }
        }
        return penalty;
    }
    int rule2() const
    {
        int penalty = 0;
        for (int y = 0; y + 1 < m.height(); ++y)
            for (int x = 0; x + 1 < m.width(); ++x) {
                const int v = m.cellAt(x, y);
                if (v == m.cellAt(x + 1, y) && v == m.cellAt(x, y + 1) && v == m.cellAt(x + 1, y + 1))
                    penalty += 3;
            }
        return penalty;
    }
    int rule3() const
    {
        const int pattern[7] = { 1, 0, 1, 1, 1, 0, 1 };
        int penalty = 0;
        for (int y = 0; y < m.height(); ++y) {
            for (int x = 0; x < m.width(); ++x) {
                for (const bool horizontal : { true, false }) {
                    const int length = horizontal ? m.width() : m.height();
                    const int at = horizontal ? x : y;
                    const auto cell = [&](int k) { return horizontal ? m.cellAt(k, y) : m.cellAt(x, k); };
                    if (at + 6 >= length)
                        continue;
                    bool run = true;
                    for (int k = 0; k < 7; ++k)
                        run = run && cell(at + k) == pattern[k];
                    if (!run)
                        continue;
                    bool after = at + 10 < length;
                    for (int k = 7; after && k <= 10; ++k)
                        after = cell(at + k) == 0;
                    bool before = at - 4 >= 0;
                    for (int k = 1; before && k <= 4; ++k)
                        before = cell(at - k) == 0;
                    if (after || before)
                        penalty += 40;
                }
            }
        }
        return penalty;
    }
    int rule4() const
    {
        int dark = 0;
        for (int y = 0; y < m.height(); ++y)
            for (int x = 0; x < m.width(); ++x)
                dark += m.cellAt(x, y) == 1;
        const int total = m.width() * m.height();
        return 10 * ((10 * std::abs(2 * dark - total)) / total);
    }
};

// Noise with long runs, blocks and finder-like runs (with light around them) painted in.
字节矩阵类 randomSymbolLike(int width, int height, std::mt19937 &random)
{
    字节矩阵类 m;
    m.init(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            m.setCell(x, y, random() & 1);
    const char *shapes[] = { "00001011101", "10111010000", "000010111010000", "1111111", "0000000000" };
    for (int n = 0; n < (width * height) / 20; ++n) {
        const std::string shape = shapes[random() % 5];
        const bool horizontal = random() & 1;
        const int length = static_cast<int>(shape.size());
        const int x0 = static_cast<int>(random() % static_cast<unsigned>(width));
        const int y0 = static_cast<int>(random() % static_cast<unsigned>(height));
        for (int k = 0; k < length; ++k) {
            const int x = horizontal ? x0 + k : x0;
            const int y = horizontal ? y0 : y0 + k;
            if (x < width && y < height)
                m.setCell(x, y, shape[static_cast<std::size_t>(k)] == '1');
        }
    }
    return m;
}

TEST(Masks, PenaltiesAgreeWithPlainCountingOnAnyMatrix)
{
    std::mt19937 random(2024);
    const std::pair<int, int> sizes[] = { { 1, 1 }, { 4, 4 }, { 11, 7 }, { 7, 11 }, { 21, 21 }, { 33, 33 },
        { 63, 64 }, { 64, 64 }, { 65, 65 }, { 100, 90 }, { 128, 128 }, { 129, 129 }, { 177, 177 },
        { 192, 190 }, { 193, 193 }, { 250, 3 } };
    for (const auto &[width, height] : sizes) {
        for (int round = 0; round < 3; ++round) {
            字节矩阵类 m = randomSymbolLike(width, height, random);
            if (round == 2 && width > 2)
                m.setCell(width / 2, height / 2, 255); // not a finished symbol: compared by value
            const PlainPenalty plain { m };
            const std::string where
                = std::to_string(width) + "x" + std::to_string(height) + "#" + std::to_string(round);
            EXPECT_EQ(掩码辅助类::penaltyRule1Lines(m, true), plain.rule1Lines(true)) << where;
            EXPECT_EQ(掩码辅助类::penaltyRule1Lines(m, false), plain.rule1Lines(false)) << where;
            EXPECT_EQ(掩码辅助类::penaltyRule2(m), plain.rule2()) << where;
            EXPECT_EQ(掩码辅助类::penaltyRule3(m), plain.rule3()) << where;
            EXPECT_EQ(掩码辅助类::penaltyRule4(m), plain.rule4()) << where;
            EXPECT_EQ(掩码辅助类::penaltyTotal(m),
                plain.rule1Lines(true) + plain.rule1Lines(false) + plain.rule2() + plain.rule3()
                    + plain.rule4())
                << where;
        }
    }
}

} // namespace
} // namespace sorvane::qr
