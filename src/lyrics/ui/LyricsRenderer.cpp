#include "lyrics/ui/LyricsRenderer.h"

#include "lyrics/ui/FontFamilies.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>

namespace sorvane::lyrics {

namespace {

QColor argbColour(Argb argb)
{
    return QColor::fromRgba(argb);
}

QColor opaque(ColorRef colour)
{
    return argbColour(toArgb(colour, 0, false));
}

QFont makeFont(const QString &family, int pixelSize, bool bold, bool italic, bool underline)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

void strokeOutline(QPainter &painter, const QPainterPath &path, const QColor &colour)
{
    QPen pen(colour, 1.0);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::FlatCap);
    painter.strokePath(path, pen);
}

} // namespace

Argb toArgb(ColorRef colour, int alpha, bool alphaUsed)
{
    Argb a = 255;
    if (alphaUsed && alpha < 256)
        a = alpha < 0 ? 0 : static_cast<Argb>(alpha);
    const Argb red = colour & 0xFF;
    const Argb green = (colour >> 8) & 0xFF;
    const Argb blue = (colour >> 16) & 0xFF;
    return a << 24 | red << 16 | green << 8 | blue;
}

std::optional<QFont> createFontFromList(
    const QString &list, int pixelSize, bool bold, bool italic, bool underline)
{
    if (pixelSize <= 0)
        return std::nullopt;
    for (const QString &name : list.split(u';', Qt::SkipEmptyParts)) {
        const QString family = installedFamily(name);
        if (!family.isEmpty())
            return makeFont(family, pixelSize, bold, italic, underline);
    }
    const QString last = cjkSansFamily();
    if (last.isEmpty())
        return std::nullopt;
    return makeFont(last, pixelSize, bold, italic, underline);
}

QBrush createBrush(int mode, const std::array<QColor, 2> &colours, const QRectF &r)
{
    if (mode != TwoColourGradient && mode != MirroredGradient)
        return QBrush(colours[0]);
    const qreal span = mode == TwoColourGradient ? r.height() : r.height() / 2;
    QLinearGradient gradient(r.x(), r.y(), r.x(), r.y() + span);
    gradient.setColorAt(0, colours[0]);
    gradient.setColorAt(1, colours[1]);
    // Beyond the span the gradient runs back, so the mirrored mode returns to the first
    // colour at the bottom of the text.
    gradient.setSpread(QGradient::ReflectSpread);
    return QBrush(gradient);
}

LyricsRenderer::LyricsRenderer()
{
    setFont(QString(), 50, true);
    setBackground(0, 0);
    setShadow(0, 150, 2);
    setTextColours(65251, 45363, 0, TwoColourGradient);
    setHighlightColours(1344510, 65535, 0, TwoColourGradient);
}

void LyricsRenderer::setFont(const QString &name, int pixelSize, bool bold, bool italic, bool underline)
{
    m_font = createFontFromList(
        name + QString::fromUtf16(kFallbackFontList), pixelSize, bold, italic, underline);
}

void LyricsRenderer::setBackground(ColorRef colour, int alpha)
{
    m_background.reset();
    if (alpha > 0)
        m_background = argbColour(toArgb(colour, alpha, true));
}

void LyricsRenderer::setShadow(ColorRef colour, int alpha, int offset)
{
    m_shadow.reset();
    m_shadowOffset = std::max(offset, 0);
    if (alpha >= 1 && m_shadowOffset >= 1)
        m_shadow = argbColour(toArgb(colour, alpha, true));
}

LyricsRenderer::Fill LyricsRenderer::makeFill(
    ColorRef colour1, ColorRef colour2, std::optional<ColorRef> outline, int mode)
{
    Fill fill;
    fill.colours = { opaque(colour1), opaque(colour2) };
    fill.mode = mode;
    if (outline)
        fill.outline = opaque(*outline);
    return fill;
}

void LyricsRenderer::setTextColours(
    ColorRef colour1, ColorRef colour2, std::optional<ColorRef> outline, int fillMode)
{
    m_textFill = makeFill(colour1, colour2, outline, fillMode);
}

void LyricsRenderer::setHighlightColours(
    ColorRef colour1, ColorRef colour2, std::optional<ColorRef> outline, int fillMode)
{
    m_highlightFill = makeFill(colour1, colour2, outline, fillMode);
}

void LyricsRenderer::setText(const QString &text, int highlightPercent)
{
    m_text = text;
    m_highlightPercent = std::clamp(highlightPercent, 0, 100);
}

QRectF LyricsRenderer::textRect(QSizeF size) const
{
    if (!m_font)
        return {};
    const QFontMetricsF metrics(*m_font);
    const qreal w = metrics.horizontalAdvance(m_text);
    const qreal h = metrics.height();
    return QRectF((size.width() - w) / 2, (size.height() - h) / 2, w, h);
}

void LyricsRenderer::paint(QPainter &painter, QSize size) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (m_background)
        painter.fillRect(QRectF(0, 0, size.width(), size.height()), *m_background);
    if (!m_font || m_text.isEmpty())
        return;

    const QRectF r = textRect(size);
    const QPointF baseline(r.x(), r.y() + QFontMetricsF(*m_font).ascent());

    if (m_shadow) {
        QPainterPath shadow;
        shadow.addText(baseline + QPointF(m_shadowOffset, m_shadowOffset), *m_font, m_text);
        painter.fillPath(shadow, *m_shadow);
    }

    QPainterPath path;
    path.addText(baseline, *m_font, m_text);
    if (m_textFill.outline)
        strokeOutline(painter, path, *m_textFill.outline);
    painter.fillPath(path, createBrush(m_textFill.mode, m_textFill.colours, r));

    if (m_highlightPercent > 0) {
        painter.save();
        if (m_highlightPercent < 100)
            painter.setClipRect(QRectF(r.x(), r.y(), r.width() * m_highlightPercent / 100.0, r.height()));
        if (m_highlightFill.outline)
            strokeOutline(painter, path, *m_highlightFill.outline);
        // The highlight gradient spans the whole text, not only the clipped part.
        painter.fillPath(path, createBrush(m_highlightFill.mode, m_highlightFill.colours, r));
        painter.restore();
    }
}

QImage LyricsRenderer::render(QSize size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!image.isNull()) {
        QPainter painter(&image);
        paint(painter, size);
    }
    return image;
}

} // namespace sorvane::lyrics
