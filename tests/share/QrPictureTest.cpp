#include "share/QrPicture.h"
#include "qr/Encoder.h"
#include "qr/QrTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace sorvane::share {
namespace {

using qr::test::gb;
using qr::test::report;
using qr::test::reportOf;

// A share link of 60 characters: version 4 at level M.
const std::string kLink = "https://douban.fm/channel/153?start=1548867g8eb1c0f7e2ab9d04";

std::uint32_t u32(const Picture &p, std::size_t at)
{
    return p[at] | p[at + 1] << 8 | p[at + 2] << 16 | static_cast<std::uint32_t>(p[at + 3]) << 24;
}

std::uint16_t u16(const Picture &p, std::size_t at)
{
    return static_cast<std::uint16_t>(p[at] | p[at + 1] << 8);
}

TEST(QrPicture, BmpFileLayout)
{
    // A 21-module symbol in 10 × 10: rendered 25 × 25 with margin 2, of which the upper-left
    // 10 × 10 show: quiet zone, then the finder pattern from (2, 2) to (8, 8).
    const Picture p = 创建二维码("A", "L", 10, 10, 0x112233, 0x445566);
    const std::size_t rowBytes = 32; // 30 bytes of pixels, padded
    ASSERT_EQ(p.size(), 54 + 10 * rowBytes);
    EXPECT_EQ(p[0], 'B');
    EXPECT_EQ(p[1], 'M');
    EXPECT_EQ(u32(p, 2), p.size());
    EXPECT_EQ(u32(p, 6), 0u);
    EXPECT_EQ(u32(p, 10), 54u);
    EXPECT_EQ(u32(p, 14), 40u);
    EXPECT_EQ(u32(p, 18), 10u);
    EXPECT_EQ(u32(p, 22), 10u); // positive: bottom-up
    EXPECT_EQ(u16(p, 26), 1);
    EXPECT_EQ(u16(p, 28), 24);
    for (std::size_t at = 30; at < 54; ++at)
        EXPECT_EQ(p[at], 0) << at;

    const char *finder[7] = { "#######", "#.....#", "#.###.#", "#.###.#", "#.###.#", "#.....#", "#######" };
    for (int y = 0; y < 10; ++y) {
        const std::size_t row = 54 + rowBytes * static_cast<std::size_t>(9 - y);
        for (int x = 0; x < 10; ++x) {
            const bool dark = x >= 2 && x <= 8 && y >= 2 && y <= 8 && finder[y - 2][x - 2] == '#';
            const std::vector<int> bgr(
                p.begin() + static_cast<long>(row) + 3 * x, p.begin() + static_cast<long>(row) + 3 * x + 3);
            EXPECT_EQ(
                bgr, dark ? (std::vector<int> { 0x44, 0x55, 0x66 }) : (std::vector<int> { 0x11, 0x22, 0x33 }))
                << x << "," << y;
        }
        EXPECT_EQ(p[row + 30], 0);
        EXPECT_EQ(p[row + 31], 0);
    }
}

TEST(QrPicture, ScalingAndMargins)
{
    struct Case
    {
        std::string content;
        const char *level;
        int width, height;
        int modules, outputWidth, outputHeight, multiple, left, top;
    };
    const Case cases[] = {
        { kLink, "M", 144, 144, 33, 144, 144, 3, 22, 22 },
        { "A", "L", 100, 100, 21, 100, 100, 4, 8, 8 },
        { "A", "L", 10, 10, 21, 25, 25, 1, 2, 2 },
        { "A", "L", 300, 100, 21, 300, 100, 4, 108, 8 },
        { "A", "L", 25, 400, 21, 25, 400, 1, 2, 189 },
    };
    for (const Case &c : cases) {
        const qr::字节矩阵类 out = encodeToMatrix(c.content, levelFromText(c.level), c.width, c.height);
        const qr::二维码类 &record = qr::moduleQrCode();
        ASSERT_EQ(record.matrixWidth(), c.modules) << c.content;
        ASSERT_EQ(out.width(), c.outputWidth);
        ASSERT_EQ(out.height(), c.outputHeight);
        int mismatches = 0;
        for (int y = 0; y < out.height(); ++y) {
            for (int x = 0; x < out.width(); ++x) {
                const int mx = (x - c.left) / c.multiple;
                const int my = (y - c.top) / c.multiple;
                const bool inside = x >= c.left && y >= c.top && mx < c.modules && my < c.modules;
                const int expected = inside ? record.矩阵取值(mx, my) : 0;
                mismatches += out.cellAt(x, y) != expected;
            }
        }
        EXPECT_EQ(mismatches, 0) << c.content << " " << c.width << "x" << c.height;
    }
}

TEST(QrPicture, OmittedArgumentsAndLowerCaseLevels)
{
    const Picture l100 = 创建二维码("Sorvane", "L", 100, 100, 0xFFFFFF, 0);
    EXPECT_EQ(创建二维码("Sorvane", std::nullopt, std::nullopt, std::nullopt, 0xFFFFFF, 0), l100);
    EXPECT_EQ(创建二维码("Sorvane", "l", 0, -5, 0xFFFFFF, 0), l100);
    EXPECT_EQ(
        创建二维码("Sorvane", "q", 100, 100, 0xFFFFFF, 0), 创建二维码("Sorvane", "Q", 100, 100, 0xFFFFFF, 0));
    EXPECT_NE(创建二维码("Sorvane", "Q", 100, 100, 0xFFFFFF, 0), l100);

    创建二维码(kLink, "M", 144, 144, 0xFFFFFF, 0);
    EXPECT_EQ(qr::moduleQrCode().version(), 4);
    EXPECT_EQ(qr::moduleQrCode().ecLevel().name(), "M");
}

TEST(QrPicture, Reports)
{
    const auto create
        = [](std::string_view content, std::optional<std::string_view> level, std::int64_t side = 100) {
              return [=] { 创建二维码(content, level, side, 100, 0xFFFFFF, 0); };
          };
    const auto badLevel = report("二维码模块", "创建二维码()", "容错等级必须为L、M、Q、H四个之一。");
    for (const char *level : { "X", "", "LM", "m " })
        EXPECT_EQ(reportOf(create("A", level)), badLevel) << level;
    EXPECT_EQ(reportOf(create("A", gb("中"))), badLevel);

    const auto noContent = report("二维码模块", "编码()", "没有编码内容");
    const std::string fullWidthSpaces = gb("　 　");
    for (const std::string &content : { std::string(), std::string("   "), fullWidthSpaces })
        EXPECT_EQ(reportOf(create(content, "L")), noContent);
    EXPECT_FALSE(reportOf(create(gb(" 中 "), "L"))); // spaces around a character are content

    // A report leaves the last symbol in place.
    创建二维码(kLink, "M", 144, 144, 0xFFFFFF, 0);
    const qr::字节矩阵类 before = qr::moduleQrCode().matrix();
    EXPECT_EQ(reportOf(create(std::string(1274, 'a'), "H")), report("编码类", "初始化二维码", ""));
    EXPECT_EQ(qr::moduleQrCode().version(), 4);
    EXPECT_EQ(qr::moduleQrCode().ecLevel().name(), "M");
    EXPECT_EQ(qr::moduleQrCode().matrix().cellArray().bytes, before.cellArray().bytes);

    const auto tooLarge = reportOf(create("A", "L", 4097));
    ASSERT_TRUE(tooLarge);
    EXPECT_EQ(tooLarge->method, gb("创建二维码()"));
    EXPECT_FALSE(reportOf(create("A", "L", kMaxPictureSide)));
    EXPECT_TRUE(reportOf([] { renderMatrix(qr::moduleQrCode(), 10, kMaxPictureSide + 1); }));
    EXPECT_TRUE(reportOf([] { matrixToBitmap(qr::MatrixData {}, kMaxPictureSide + 1, 10, 0, 0); }));
}

} // namespace
} // namespace sorvane::share
