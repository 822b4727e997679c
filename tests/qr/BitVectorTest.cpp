#include "qr/BitVector.h"
#include "qr/QrTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace sorvane::qr {
namespace {

using test::report;
using test::reportOf;

std::vector<int> bitsOf(const 位向量类 &v)
{
    std::vector<int> bits;
    for (int i = 0; i < v.size(); ++i)
        bits.push_back(v.取位值(i));
    return bits;
}

TEST(BitVector, AppendBits)
{
    struct Case
    {
        int value, numBits, size, byte0, byte1;
    };
    const Case cases[] = {
        { 31, 5, 5, 248, 0 }, // 11111 → 1111 1000
        { 171 * 256 + 205, 16, 16, 171, 205 }, // whole bytes
        { 0x5A, 7, 7, 0xB4, 0 }, // low 7 bits 1011010
        { -1, 32, 32, 255, 255 }, // all 32 bits of a negative value
        { 5, 0, 0, 0, 0 }, // nothing
        { 5, 33, 0, 0, 0 }, // outside 0..32: nothing
        { 5, -1, 0, 0, 0 },
    };
    for (const Case &c : cases) {
        位向量类 v;
        v.appendBits(c.value, c.numBits);
        EXPECT_EQ(v.size(), c.size) << c.value << "/" << c.numBits;
        EXPECT_EQ(v.bytes()[0], c.byte0) << c.value << "/" << c.numBits;
        EXPECT_EQ(v.bytes()[1], c.byte1) << c.value << "/" << c.numBits;
    }
}

TEST(BitVector, MixedAppendsKeepBitOrder)
{
    位向量类 v;
    v.appendBits(1, 3); // 001
    v.appendBits(0xABC, 12); // 1010 1011 1100
    v.追加位(1);
    v.appendByte(0x0F); // at a byte boundary now
    EXPECT_EQ(v.size(), 24);
    EXPECT_EQ(v.bytes()[0], 0x35); // 0011 0101
    EXPECT_EQ(v.bytes()[1], 0x79); // 0111 1001
    EXPECT_EQ(v.bytes()[2], 0x0F);
    EXPECT_EQ(v.到字符串().substr(0, 9), "0,0,1,1,0");
}

TEST(BitVector, SizesAndStorageGrowth)
{
    位向量类 v;
    EXPECT_EQ(v.sizeInBytes(), 0);
    EXPECT_EQ(v.到字符串(), "");
    v.appendBits(5, 3);
    EXPECT_EQ(v.sizeInBytes(), 1);
    EXPECT_EQ(v.bytes().size(), 32u);
    v.appendBits(0, 6);
    EXPECT_EQ(v.sizeInBytes(), 2);

    位向量类 full;
    for (int i = 0; i < 256; ++i)
        full.追加位(i % 3 == 0);
    const std::vector<std::uint8_t> before = full.bytes();
    EXPECT_EQ(before.size(), 32u);
    full.追加位(1); // bit 257
    ASSERT_EQ(full.bytes().size(), 64u);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), full.bytes().begin()));
    EXPECT_EQ(full.取位值(256), 1);
    EXPECT_EQ(full.取位值(255), 255 % 3 == 0);

    full.clear();
    EXPECT_EQ(full.size(), 0);
    EXPECT_EQ(full.bytes(), std::vector<std::uint8_t>(32, 0));
}

TEST(BitVector, GetBitAndAppendBitReports)
{
    位向量类 v;
    v.appendBits(0b101, 3);
    EXPECT_EQ(v.取位值(2), 1);
    EXPECT_EQ(reportOf([&] { v.取位值(3); }), report("位向量类", "取位值", "索引超限"));
    EXPECT_EQ(reportOf([&] { v.取位值(-1); }), report("位向量类", "取位值", "索引超限"));
    EXPECT_EQ(reportOf([&] { v.追加位(2); }), report("位向量类", "追加位", "位数据只能是0或1"));
}

TEST(BitVectorSub, AppendVectorAtAnyAlignment)
{
    位向量类 other;
    other.appendBits(0x1ABCD, 17);
    for (int lead = 0; lead < 9; ++lead) {
        位向量子类 sub;
        位向量类 start;
        start.appendBits(0x1FF, lead);
        sub.setInner(start);
        sub.appendVector(other);
        std::vector<int> expected = bitsOf(start);
        const std::vector<int> tail = bitsOf(other);
        expected.insert(expected.end(), tail.begin(), tail.end());
        EXPECT_EQ(bitsOf(sub.inner()), expected) << lead;
    }
}

TEST(BitVectorSub, Xor)
{
    位向量类 a;
    a.appendBits(0x7FFF, 15);
    位向量类 b;
    b.appendBits(0x5412, 15);
    位向量子类 sub;
    sub.setInner(a);
    const 位向量类 result = sub.异或(b);
    EXPECT_EQ(result.size(), 15);
    EXPECT_EQ(result.bytes()[0], (0x7FFF ^ 0x5412) >> 7);
    EXPECT_EQ(result.bytes()[1], ((0x7FFF ^ 0x5412) << 1) & 0xFF);
    EXPECT_EQ(sub.inner().bytes(), result.bytes());

    位向量类 longer;
    longer.appendBits(0, 16);
    EXPECT_EQ(reportOf([&] { sub.异或(longer); }),
        report("位向量子类", "异或", "两个位向量长度不同，不能做异或运算。"));
}

} // namespace
} // namespace sorvane::qr
