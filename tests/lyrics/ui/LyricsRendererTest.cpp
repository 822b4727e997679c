#include "lyrics/ui/LyricsRenderer.h"
#include "lyrics/ui/FontFamilies.h"

#include <QFontDatabase>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace sorvane::lyrics {
namespace {

constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kYellow = 0x00FFFF;
constexpr ColorRef kBlue = 0xFF0000;
constexpr ColorRef kWhite = 0xFFFFFF;
constexpr ColorRef kBlack = 0x000000;
const QSize kArea(600, 150);
// A full block: ink from the top to the bottom of the glyph, so fills can be sampled.
const QString kBlock = QStringLiteral("\u2588");

QImage straight(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

QRect inkBounds(const QImage &image)
{
    const QImage img = straight(image);
    QRect box;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(img.pixel(x, y)) != 0)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

bool near(QRgb actual, QRgb expected, int tolerance = 3)
{
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance
        && std::abs(qGreen(actual) - qGreen(expected)) <= tolerance
        && std::abs(qBlue(actual) - qBlue(expected)) <= tolerance
        && std::abs(qAlpha(actual) - qAlpha(expected)) <= tolerance;
}

std::string describe(QRgb c)
{
    return QColor::fromRgba(c).name(QColor::HexArgb).toStdString();
}

// Letters filled with `colour1`/`colour2` in `mode`, no shadow, no outline, 100 px.
LyricsRenderer plainRenderer(int mode, ColorRef colour1 = kRed, ColorRef colour2 = kYellow)
{
    LyricsRenderer r;
    r.setFont(QStringLiteral("黑体"), 100);
    r.setShadow(kBlack, 0, 0);
    r.setTextColours(colour1, colour2, std::nullopt, mode);
    r.setHighlightColours(kBlue, kBlue, std::nullopt, SolidFill);
    return r;
}

TEST(ToArgb, AlphaRulesAndByteOrder)
{
    struct Case
    {
        ColorRef colour;
        int alpha;
        bool alphaUsed;
        Argb expected;
    };
    const Case cases[] = {
        { 0x0000FF, 300, true, 0xFFFF0000 }, // alpha above 255 → opaque red
        { 0xFF0000, -5, true, 0x000000FF }, // negative alpha → transparent blue
        { 0x00FF00, 128, true, 0x8000FF00 }, { 0x563412, 7, false, 0xFF123456 }, // alpha not used → opaque
        { 0x563412, 255, true, 0xFF123456 },
        { 0x7F0000FF, 256, true, 0xFFFF0000 }, // the COLORREF's top byte is ignored
    };
    for (const Case &c : cases) {
        EXPECT_EQ(toArgb(c.colour, c.alpha, c.alphaUsed), c.expected)
            << std::hex << c.colour << " alpha " << std::dec << c.alpha << " used " << c.alphaUsed;
    }
}

TEST(CreateBrush, ColoursAtTopMiddleAndBottomOfTheTextRectangle)
{
    struct Case
    {
        int mode;
        QRgb top, middle, bottom;
    };
    const QRgb red = qRgb(255, 0, 0), yellow = qRgb(255, 255, 0), orange = qRgb(255, 128, 0);
    const Case cases[] = {
        { SolidFill, red, red, red },
        { TwoColourGradient, red, orange, yellow },
        { MirroredGradient, red, yellow, red },
        { 5, red, red, red },
        { -1, red, red, red },
    };
    const QRectF r(20, 30, 200, 100);
    for (const Case &c : cases) {
        QImage image(240, 160, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.fillRect(r, createBrush(c.mode, { QColor(255, 0, 0), QColor(255, 255, 0) }, r));
        }
        const int x = 100;
        EXPECT_TRUE(near(image.pixel(x, 30), c.top))
            << "mode " << c.mode << " top " << describe(image.pixel(x, 30));
        EXPECT_TRUE(near(image.pixel(x, 80), c.middle))
            << "mode " << c.mode << " middle " << describe(image.pixel(x, 80));
        EXPECT_TRUE(near(image.pixel(x, 129), c.bottom))
            << "mode " << c.mode << " bottom " << describe(image.pixel(x, 129));
    }
}

// The colour a gradient of `mode` has at height `y`, measured against the text rectangle.
QRgb expectedFill(int mode, const QRectF &r, qreal y)
{
    qreal t = 0;
    if (mode == TwoColourGradient || mode == MirroredGradient) {
        const qreal span = mode == TwoColourGradient ? r.height() : r.height() / 2;
        t = std::fmod((y - r.y()) / span, 2.0);
        if (t > 1)
            t = 2 - t;
    }
    return qRgb(255, qRound(255 * t), 0);
}

TEST(LyricsRenderer, LettersTakeTheGradientOfTheTextRectangle)
{
    for (int mode : { SolidFill, TwoColourGradient, MirroredGradient }) {
        LyricsRenderer r = plainRenderer(mode);
        r.setText(kBlock);
        const QRectF rect = r.textRect(kArea);
        const QImage image = straight(r.render(kArea));
        const QRect ink = inkBounds(image);
        ASSERT_FALSE(ink.isEmpty());
        const int x = ink.center().x();
        for (int y : { ink.top() + 2, qRound(rect.center().y()), ink.bottom() - 2 }) {
            const QRgb actual = image.pixel(x, y);
            const QRgb expected = expectedFill(mode, rect, y + 0.5);
            EXPECT_TRUE(near(actual, expected)) << "mode " << mode << " y " << y << ": " << describe(actual)
                                                << " expected " << describe(expected);
        }
    }
}

TEST(LyricsRenderer, TextIsCentredInTheArea)
{
    LyricsRenderer r = plainRenderer(SolidFill);
    r.setText(kBlock);
    const QRectF rect = r.textRect(kArea);
    EXPECT_NEAR(rect.center().x(), kArea.width() / 2.0, 0.01);
    EXPECT_NEAR(rect.center().y(), kArea.height() / 2.0, 0.01);
    const QRect ink = inkBounds(r.render(kArea));
    EXPECT_NEAR(ink.center().x(), kArea.width() / 2.0, 4);
}

TEST(LyricsRenderer, ShadowLiesUnderTheLettersAtItsOffset)
{
    for (int offset : { 2, 6 }) {
        LyricsRenderer r = plainRenderer(SolidFill, kWhite, kWhite);
        r.setText(kBlock);
        const QRect letters = inkBounds(r.render(kArea));
        r.setShadow(kBlack, 150, offset);
        const QImage image = straight(r.render(kArea));
        const QRect withShadow = inkBounds(image);

        EXPECT_EQ(withShadow.topLeft(), letters.topLeft()) << "offset " << offset;
        EXPECT_EQ(withShadow.bottomRight(), letters.bottomRight() + QPoint(offset, offset))
            << "offset " << offset;
        // Beside the letters: the shadow alone, black at alpha 150.
        const QPoint beside(letters.right() + offset - 1, letters.center().y());
        EXPECT_TRUE(near(image.pixel(beside), qRgba(0, 0, 0, 150))) << describe(image.pixel(beside));
        // Inside the letters the fill covers the shadow.
        const QPoint inside(letters.right() - 2, letters.center().y());
        EXPECT_TRUE(near(image.pixel(inside), qRgb(255, 255, 255))) << describe(image.pixel(inside));
    }
}

TEST(LyricsRenderer, ShadowWithoutOffsetOrAlphaIsRemoved)
{
    struct Case
    {
        int alpha, offset;
    };
    LyricsRenderer plain = plainRenderer(SolidFill);
    plain.setText(kBlock);
    const QImage expected = plain.render(kArea);
    for (const Case c : { Case { 150, 0 }, Case { 0, 3 }, Case { 150, -4 } }) {
        LyricsRenderer r = plain;
        r.setShadow(kBlack, 200, 3);
        r.setShadow(kBlack, c.alpha, c.offset);
        EXPECT_FALSE(r.hasShadow()) << c.alpha << "/" << c.offset;
        EXPECT_GE(r.shadowOffset(), 0);
        EXPECT_EQ(r.render(kArea), expected) << c.alpha << "/" << c.offset;
    }
}

TEST(LyricsRenderer, OutlineShowsOnlyOutsideTheFill)
{
    LyricsRenderer r = plainRenderer(SolidFill, kWhite, kWhite);
    r.setText(kBlock);
    const QRect letters = inkBounds(r.render(kArea));
    auto darkPixels = [](const QImage &img) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += qAlpha(img.pixel(x, y)) >= 64 && qRed(img.pixel(x, y)) < 128;
        return n;
    };
    EXPECT_EQ(darkPixels(straight(r.render(kArea))), 0);

    r.setTextColours(kWhite, kWhite, kBlack, SolidFill);
    const QImage outlined = straight(r.render(kArea));
    EXPECT_GT(darkPixels(outlined), letters.height()); // at least the two sides
    EXPECT_EQ(outlined.pixel(letters.center()), qRgb(255, 255, 255));
}

TEST(LyricsRenderer, EmptyTextDrawsOnlyTheBackground)
{
    LyricsRenderer r;
    r.setText(QString());
    const QImage empty = straight(r.render(kArea));
    EXPECT_TRUE(inkBounds(empty).isEmpty());

    r.setBackground(kBlue, 100);
    const QImage tinted = straight(r.render(kArea));
    for (QPoint p : { QPoint(0, 0), QPoint(300, 75), QPoint(599, 149) })
        EXPECT_TRUE(near(tinted.pixel(p), qRgba(0, 0, 255, 100))) << describe(tinted.pixel(p));

    r.setBackground(kBlue, 0);
    EXPECT_TRUE(inkBounds(r.render(kArea)).isEmpty());
}

TEST(LyricsRenderer, HighlightCoversItsShareOfTheText)
{
    struct Case
    {
        int percent;
        int stored;
        bool leftHighlighted, rightHighlighted;
    };
    const Case cases[] = {
        { 150, 100, true, true },
        { -3, 0, false, false },
        { 50, 50, true, false },
    };
    for (const Case &c : cases) {
        LyricsRenderer r = plainRenderer(SolidFill); // red text, blue highlight
        r.setText(kBlock + kBlock, c.percent);
        EXPECT_EQ(r.highlightPercent(), c.stored);
        const QImage image = straight(r.render(kArea));
        const QRect ink = inkBounds(image);
        const QRgb left = image.pixel(ink.left() + 5, ink.center().y());
        const QRgb right = image.pixel(ink.right() - 5, ink.center().y());
        EXPECT_TRUE(near(left, c.leftHighlighted ? qRgb(0, 0, 255) : qRgb(255, 0, 0)))
            << c.percent << "% left " << describe(left);
        EXPECT_TRUE(near(right, c.rightHighlighted ? qRgb(0, 0, 255) : qRgb(255, 0, 0)))
            << c.percent << "% right " << describe(right);
    }
}

TEST(LyricsRenderer, FontFallsBackToAnInstalledFace)
{
    LyricsRenderer r;
    ASSERT_TRUE(r.font().has_value()); // the built-in 50-pixel bold font
    EXPECT_EQ(r.font()->pixelSize(), 50);
    EXPECT_TRUE(r.font()->bold());

    r.setFont(QStringLiteral("No Such Font 123"), 40, false, true, true);
    ASSERT_TRUE(r.font().has_value());
    EXPECT_EQ(r.font()->family(), installedFamily(QStringLiteral("微软雅黑")));
    EXPECT_TRUE(QFontDatabase::hasFamily(r.font()->family()));
    EXPECT_FALSE(r.font()->bold());
    EXPECT_TRUE(r.font()->italic());
    EXPECT_TRUE(r.font()->underline());

    for (const char16_t *name : { u"楷体", u"宋体", u"黑体", u"微软雅黑" }) {
        r.setFont(QString::fromUtf16(name), 30);
        ASSERT_TRUE(r.font().has_value());
        EXPECT_EQ(r.font()->family(), installedFamily(QString::fromUtf16(name)));
    }
}

TEST(LyricsRenderer, ChineseLineIsDrawnWithTheBuiltInLook)
{
    LyricsRenderer r;
    r.setText(QStringLiteral("欢迎进入Sorvane"));
    const QRect ink = inkBounds(r.render(QSize(1280, 150)));
    EXPECT_GT(ink.width(), 300);
    EXPECT_GT(ink.height(), 30);
}

TEST(LyricsRenderer, NoFontAtSizeZeroSoNoText)
{
    LyricsRenderer r;
    r.setFont(QStringLiteral("黑体"), 0);
    EXPECT_FALSE(r.font().has_value());
    r.setText(QStringLiteral("歌词"));
    EXPECT_TRUE(inkBounds(r.render(kArea)).isEmpty());
}

TEST(FontFamilies, WindowsNamesMapToInstalledFamilies)
{
    EXPECT_EQ(familyCandidates(QString()), QStringList());
    EXPECT_EQ(familyCandidates(QStringLiteral("Some Face")), QStringList { QStringLiteral("Some Face") });
    for (const char16_t *name : { u"微软雅黑", u"黑体", u"楷体", u"宋体", u"Tahoma", u"Microsoft YaHei" }) {
        const QStringList candidates = familyCandidates(QString::fromUtf16(name));
        EXPECT_EQ(candidates.front(), QString::fromUtf16(name));
        EXPECT_GT(candidates.size(), 1);
        EXPECT_FALSE(installedFamily(QString::fromUtf16(name)).isEmpty())
            << QString::fromUtf16(name).toStdString();
    }
    EXPECT_TRUE(installedFamily(QStringLiteral("No Such Font 123")).isEmpty());
    EXPECT_TRUE(QFontDatabase::hasFamily(cjkSansFamily()));
    EXPECT_TRUE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).contains(cjkSansFamily()));

    const QFont ui = uiFont(QStringLiteral("微软雅黑"), 14);
    EXPECT_EQ(ui.pixelSize(), 14);
    EXPECT_EQ(ui.family(), installedFamily(QStringLiteral("微软雅黑")));
}

} // namespace
} // namespace sorvane::lyrics
