// Drawing of the desktop lyrics line: one line of text as outlined, gradient-filled
// letters with a drop shadow on a transparent (or tinted) ground, with an optional
// highlighted left part. The renderer only holds the look and the text and paints into
// any QPainter, so the window and the tests share one drawing path.
//
// Layers, bottom to top: background, shadow, outline, fill, highlight outline,
// highlight fill. The fill covers the inner half of the 1-pixel outline.
#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class QPainter;

namespace sorvane::lyrics {

// A colour as the colour pickers and the settings file give it: 0x00BBGGRR.
using ColorRef = std::uint32_t;
// A colour with its alpha: 0xAARRGGBB.
using Argb = std::uint32_t;

// How the letters (or their highlighted part) are filled.
enum FillMode : int {
    SolidFill = 0, // first colour
    TwoColourGradient = 1, // first colour at the top of the text, second at the bottom
    MirroredGradient = 2, // first → second (middle) → first
};

// Alpha 255 when `alphaUsed` is false or alpha ≥ 256, 0 when alpha < 0; red, green and
// blue from the low, second and third byte of `colour`.
Argb toArgb(ColorRef colour, int alpha, bool alphaUsed);

// Tried in this order after the name a caller asks for; the system's CJK sans comes last
// so that a line is always drawn.
inline constexpr char16_t kFallbackFontList[] = u";微软雅黑;楷体;黑体;宋体;Tahoma";

// The first font of the ';'-separated `list` whose family (or one of its stand-ins, see
// FontFamilies.h) is installed, then the system's CJK sans. None when pixelSize ≤ 0.
std::optional<QFont> createFontFromList(
    const QString &list, int pixelSize, bool bold, bool italic, bool underline);

// The brush for `mode` over the text rectangle `r`; modes other than 1 and 2 fill solid.
QBrush createBrush(int mode, const std::array<QColor, 2> &colours, const QRectF &r);

class LyricsRenderer
{
public:
    // The built-in look: 50-pixel bold font, no background, black shadow of alpha 150
    // two pixels down and right, yellow-green to green text with a black outline,
    // orange to yellow highlight with a black outline.
    LyricsRenderer();

    // `name` first, then kFallbackFontList.
    void setFont(
        const QString &name, int pixelSize, bool bold = false, bool italic = false, bool underline = false);
    // No background unless alpha > 0.
    void setBackground(ColorRef colour, int alpha);
    // No shadow unless alpha ≥ 1 and offset ≥ 1; a negative offset counts as 0.
    void setShadow(ColorRef colour, int alpha, int offset);
    // Both colours opaque; no outline when `outline` is empty.
    void setTextColours(ColorRef colour1, ColorRef colour2, std::optional<ColorRef> outline, int fillMode);
    void setHighlightColours(
        ColorRef colour1, ColorRef colour2, std::optional<ColorRef> outline, int fillMode);
    // The percentage is clamped to 0–100.
    void setText(const QString &text, int highlightPercent = 0);

    const QString &text() const { return m_text; }
    int highlightPercent() const { return m_highlightPercent; }
    const std::optional<QFont> &font() const { return m_font; }
    int shadowOffset() const { return m_shadowOffset; }
    bool hasShadow() const { return m_shadow.has_value(); }

    // Where the text lies in an area of `size`: its measured box, centred both ways.
    // Empty when there is no font.
    QRectF textRect(QSizeF size) const;

    // Paints the whole area of `size` onto `painter` (which should start transparent).
    void paint(QPainter &painter, QSize size) const;
    // A fresh transparent image of `size` with paint() applied.
    QImage render(QSize size) const;

private:
    struct Fill
    {
        std::array<QColor, 2> colours;
        int mode = SolidFill;
        std::optional<QColor> outline;
    };
    static Fill makeFill(ColorRef colour1, ColorRef colour2, std::optional<ColorRef> outline, int mode);

    QString m_text;
    int m_highlightPercent = 0;
    Fill m_textFill;
    Fill m_highlightFill;
    std::optional<QColor> m_shadow;
    int m_shadowOffset = 0;
    std::optional<QColor> m_background;
    std::optional<QFont> m_font;
};

} // namespace sorvane::lyrics
