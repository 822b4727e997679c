#include "qr/Encoder.h"
#include "qr/MaskUtil.h"
#include "qr/MatrixBuilder.h"
#include "qr/QrTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace sorvane::qr {
namespace {

using test::gb;
using test::report;
using test::reportOf;

const LevelRegistry &levels()
{
    return levelRegistry();
}

std::vector<int> bytesOf(const 位向量类 &bits)
{
    return std::vector<int>(bits.bytes().begin(), bits.bytes().begin() + bits.sizeInBytes());
}

std::string bitText(const 位向量类 &bits)
{
    std::string s;
    for (int i = 0; i < bits.size(); ++i)
        s += bits.取位值(i) ? '1' : '0';
    return s;
}

// The codewords of a finished symbol, read back from its matrix in placement order with
// the data mask removed.
std::vector<int> readCodewords(const 二维码类 &record)
{
    const int size = record.matrixWidth();
    const 矩阵应用类 builder;
    字节矩阵类 function;
    function.init(size, size);
    builder.clearMatrix(function);
    builder.embedBasicPatterns(record.version(), function);
    builder.embedTypeInfo(record.ecLevel(), record.maskPattern(), function);
    builder.embedVersionInfo(record.version(), function);

    std::vector<int> codewords;
    int bitCount = 0;
    int current = 0;
    for (int right = size - 1, upward = 1; right > 0; right -= 2, upward ^= 1) {
        if (right == 6)
            right = 5;
        for (int step = 0; step < size; ++step) {
            const int y = upward ? size - 1 - step : step;
            for (int x = right; x >= right - 1; --x) {
                if (function.cellAt(x, y) != 255)
                    continue;
                const int bit = record.矩阵取值(x, y) ^ 掩码辅助类::取数据掩码位(record.maskPattern(), x, y);
                current = current << 1 | bit;
                if (++bitCount % 8 == 0) {
                    codewords.push_back(current);
                    current = 0;
                }
            }
        }
    }
    codewords.resize(static_cast<std::size_t>(record.totalBytes()));
    return codewords;
}

TEST(Encoder, SelectMode)
{
    const 编码类 encoder;
    const std::pair<std::string, const char *> cases[] = {
        { "0123", "数字" },
        { "AB-12", "字母数字" },
        { "ab", "字节" },
        { "", "字节" },
        { "A{", "字节" },
        { "{A", "字节" },
        { "HTTP://X.CN/A", "字母数字" },
        { "12 34", "字母数字" },
        { gb("A中"), "字节" },
    };
    for (const auto &[content, mode] : cases)
        EXPECT_EQ(encoder.selectMode(content).name(), gb(mode)) << content;
}

TEST(Encoder, Segments)
{
    const 编码类 encoder;
    位向量类 numeric;
    encoder.appendNumeric("01234567", numeric);
    EXPECT_EQ(bitText(numeric),
        "0000001100"
        "0101011001"
        "1000011"); // 12, 345, 67

    位向量类 alphanumeric;
    encoder.追加字母数字字节("AC-42", alphanumeric);
    EXPECT_EQ(bitText(alphanumeric),
        "00111001110"
        "11100111001"
        "000010"); // 462, 1849, 2

    位向量类 utf8;
    encoder.appendBytesUtf8(gb("中"), utf8);
    EXPECT_EQ(bytesOf(utf8), (std::vector<int> { 0xE4, 0xB8, 0xAD }));

    位向量类 supplementary; // a four-byte GB18030 character
    encoder.appendBytesUtf8(gb("😀"), supplementary);
    EXPECT_EQ(bytesOf(supplementary), (std::vector<int> { 0xF0, 0x9F, 0x98, 0x80 }));

    EXPECT_EQ(reportOf([&] { encoder.追加字母数字字节("AB c", alphanumeric); }),
        report("编码类", "追加字母数字字节", "无效值"));
}

TEST(Encoder, IsoWorkedExample)
{
    二维码类 record;
    编码类().编码("01234567", levels().M, record);
    EXPECT_EQ(record.version(), 1);
    EXPECT_EQ(record.matrixWidth(), 21);
    EXPECT_EQ(record.mode().name(), gb("数字"));
    EXPECT_EQ(record.ecLevel().name(), "M");
    EXPECT_EQ(record.totalBytes(), 26);
    EXPECT_EQ(record.dataBytes(), 16);
    EXPECT_EQ(record.ecBytes(), 10);
    EXPECT_EQ(record.rsBlocks(), 1);
    EXPECT_TRUE(record.isValid());
    EXPECT_EQ(readCodewords(record),
        (std::vector<int> { 16, 32, 12, 86, 97, 128, 236, 17, 236, 17, 236, 17, 236, 17, 236, 17, 165, 36,
            212, 193, 237, 54, 199, 135, 44, 85 }));
}

TEST(Encoder, ChineseTextIsByteModeUtf8)
{
    二维码类 record;
    编码类().编码(gb("中"), levels().L, record);
    EXPECT_EQ(record.mode().name(), gb("字节"));
    const std::vector<int> codewords = readCodewords(record);
    // 0100, count 00000011, E4 B8 AD, terminator 0000, then pad codewords
    EXPECT_EQ(std::vector<int>(codewords.begin(), codewords.begin() + 7),
        (std::vector<int> { 0x40, 0x3E, 0x4B, 0x8A, 0xD0, 236, 17 }));
}

TEST(Encoder, MaskTieGoesToTheLowerMask)
{
    // Contents whose lowest penalty is shared by two masks (31: masks 0 and 3; 119: 1 and
    // 3; 294: 1 and 7).
    const 编码类 encoder;
    const 矩阵应用类 builder;
    for (const auto &[content, expectedMask] : { std::pair { "31", 0 }, { "119", 1 }, { "294", 1 } }) {
        二维码类 record;
        encoder.编码(content, levels().L, record);
        位向量类 finalBits;
        for (int c : readCodewords(record))
            finalBits.appendBits(c, 8);
        字节矩阵类 m;
        m.init(record.matrixWidth(), record.matrixWidth());
        std::vector<int> penalties;
        for (int mask = 0; mask < 8; ++mask) {
            builder.buildMatrix(finalBits, record.ecLevel(), record.version(), mask, m);
            penalties.push_back(encoder.maskPenalty(m));
        }
        const int lowest = *std::min_element(penalties.begin(), penalties.end());
        EXPECT_EQ(std::count(penalties.begin(), penalties.end(), lowest), 2) << content;
        EXPECT_EQ(penalties[static_cast<std::size_t>(expectedMask)], lowest) << content;
        EXPECT_EQ(record.maskPattern(), expectedMask) << content;
        EXPECT_EQ(encoder.pickMaskPattern(finalBits, record.ecLevel(), record.version(), m), expectedMask);
    }
}

TEST(Encoder, VersionChoice)
{
    const 编码类 encoder;
    const Mode &byteMode = modeObjects()[2];
    struct Case
    {
        int inputBytes;
        const EcLevel *level;
        int version, dataBytes;
    };
    const Case cases[] = {
        { 3, &levels().L, 1, 19 },
        { 16, &levels().L, 1, 19 },
        { 17, &levels().L, 2, 34 },
        { 229, &levels().L, 9, 232 },
        { 256, &levels().L, 10, 274 },
        { 2953, &levels().L, 40, 2956 },
        { 1273, &levels().H, 40, 1276 },
        { 59, &levels().Q, 5, 62 },
    };
    for (const Case &c : cases) {
        二维码类 record;
        encoder.初始化二维码(c.inputBytes, *c.level, byteMode, record);
        EXPECT_EQ(record.version(), c.version) << c.inputBytes;
        EXPECT_EQ(record.dataBytes(), c.dataBytes) << c.inputBytes;
        EXPECT_EQ(record.matrixWidth(), 17 + 4 * c.version);
    }
    二维码类 record;
    EXPECT_EQ(reportOf([&] { encoder.初始化二维码(2954, levels().L, byteMode, record); }),
        report("编码类", "初始化二维码", ""));
}

TEST(Encoder, ContentTooLongForVersion40)
{
    二维码类 record;
    EXPECT_EQ(reportOf([&] { 编码类().编码(std::string(1274, 'a'), levels().H, record); }),
        report("编码类", "初始化二维码", ""));
    // 7088 digits take 2954 bytes; with the 3 bytes kept for header and terminator that
    // is one more than version 40 holds at L.
    EXPECT_EQ(reportOf([&] { 编码类().编码(std::string(7088, '7'), levels().L, record); }),
        report("编码类", "初始化二维码", ""));
    编码类().编码(std::string(7087, '7'), levels().L, record);
    EXPECT_EQ(record.version(), 40);
}

TEST(Encoder, ByteCountField)
{
    二维码类 record;
    编码类().编码(std::string(256, 'x'), levels().L, record);
    EXPECT_EQ(record.version(), 10);
    EXPECT_EQ(record.rsBlocks(), 4);
    // The first data block's codewords are every fourth of the interleaved stream.
    const std::vector<int> codewords = readCodewords(record);
    // 0100, 16 count bits 0000 0001 0000 0000, then 'x' (0111 1000) from the low nibble on
    EXPECT_EQ(codewords[0], 0x40);
    EXPECT_EQ(codewords[4], 0x10);
    EXPECT_EQ(codewords[8], 0x07);
    EXPECT_EQ(codewords[12], 0x87);
}

TEST(Encoder, LengthTerminatorAndPad)
{
    const 编码类 encoder;
    位向量类 header;
    encoder.追加长度信息(255, 9, modeObjects()[2], header);
    EXPECT_EQ(header.size(), 8);
    EXPECT_EQ(reportOf([&] { encoder.追加长度信息(256, 9, modeObjects()[2], header); }),
        report("编码类", "追加长度信息", "要添加信息过多"));

    struct Case
    {
        int bits, dataBytes;
        std::vector<int> tail;
    };
    const Case cases[] = {
        { 4, 4, { 0, 236, 17, 236 } }, // odd number of pads ends with 236
        { 4, 3, { 0, 236, 17 } }, { 22, 3, { 0, 0, 0 } }, // two terminator bits fill the capacity
        { 24, 3, { 0, 0, 0 } }, // no room for a terminator
    };
    for (const Case &c : cases) {
        位向量类 bits;
        for (int i = 0; i < c.bits; ++i)
            bits.追加位(0);
        encoder.结束数据位(c.dataBytes, bits);
        EXPECT_EQ(bits.size(), 8 * c.dataBytes);
        EXPECT_EQ(bytesOf(bits), c.tail) << c.bits;
    }
    位向量类 tooLong;
    tooLong.appendBits(0, 25);
    EXPECT_EQ(
        reportOf([&] { encoder.结束数据位(3, tooLong); }), report("编码类", "结束数据位", "数据无法填充"));
}

TEST(Encoder, BlocksAndInterleavingOfVersion5Q)
{
    const 编码类 encoder;
    const std::pair<int, int> expected[] = { { 15, 18 }, { 15, 18 }, { 16, 18 }, { 16, 18 } };
    for (int id = 0; id < 4; ++id) {
        int data = 0;
        int ec = 0;
        encoder.根据块ID取数据字节数和容错字节数(134, 62, 4, id, data, ec);
        EXPECT_EQ(std::pair(data, ec), expected[id]) << id;
    }
    int data = 0;
    int ec = 0;
    EXPECT_EQ(reportOf([&] { encoder.根据块ID取数据字节数和容错字节数(134, 62, 4, 4, data, ec); }),
        report("编码类", "根据块ID取数据字节数和容错字节数", "无效值"));

    位向量类 bits;
    for (int i = 0; i < 62; ++i)
        bits.appendBits(i, 8); // block 0: 0–14, block 1: 15–29, block 2: 30–45, block 3: 46–61
    位向量类 result;
    encoder.交错容错字节(bits, 134, 62, 4, result);
    const std::vector<int> stream = bytesOf(result);
    ASSERT_EQ(stream.size(), 134u);
    EXPECT_EQ(std::vector<int>(stream.begin(), stream.begin() + 5), (std::vector<int> { 0, 15, 30, 46, 1 }));
    EXPECT_EQ(std::vector<int>(stream.begin() + 56, stream.begin() + 62),
        (std::vector<int> { 14, 29, 44, 60, 45, 61 }));
    ByteBuffer block3;
    block3.setRange(bits.bytes(), 46, 16);
    const ByteBuffer ec3 = encoder.makeEcBytes(block3, 18);
    EXPECT_EQ(stream.back(), ec3.at(17));
    EXPECT_EQ(stream[62 + 3], ec3.at(0));

    位向量类 wrong;
    wrong.appendBits(0, 16);
    位向量类 out;
    EXPECT_EQ(reportOf([&] { encoder.交错容错字节(wrong, 134, 62, 4, out); }),
        report("编码类", "交错容错字节", "位数和数据字节数不匹配"));
}

TEST(Encoder, SplitCharacters)
{
    const 编码类 encoder;
    EXPECT_EQ(encoder.splitCharacters("a{bc"), (std::vector<GbString> { "a", "{b", "c" }));
    EXPECT_EQ(encoder.splitCharacters(gb("中") + "x"), (std::vector<GbString> { gb("中"), "x" }));
    EXPECT_EQ(encoder.splitCharacters("x\xB0"), (std::vector<GbString> { "x", "\xB0" }));
}

TEST(ByteBuffer, Operations)
{
    ByteBuffer b;
    EXPECT_TRUE(b.isEmpty());
    b.appendByte(300);
    EXPECT_EQ(b.size(), 1);
    EXPECT_EQ(b.at(0), 44);
    EXPECT_EQ(b.bytes().size(), 32u);
    b.initWithSize(2);
    b.set(1, 7);
    EXPECT_EQ(b.at(1), 7);
    EXPECT_TRUE(reportOf([&] { b.at(2); }));
    EXPECT_TRUE(reportOf([&] { b.setRange({ 1, 2, 3 }, 2, 2); }));
}

} // namespace
} // namespace sorvane::qr
