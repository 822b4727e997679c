#include "lyrics/ui/DesktopLyrics.h"

#include "lyrics/ui/LyricsWindow.h"

#include <QGuiApplication>
#include <QScreen>

namespace sorvane::lyrics {

DesktopLyrics::DesktopLyrics(QObject *parent)
    : QObject(parent)
{
}

DesktopLyrics::~DesktopLyrics()
{
    destroyWindow();
}

bool DesktopLyrics::create(std::optional<int> width, std::optional<int> height)
{
    if (exists())
        return false;
    QRect area(0, 0, 1024, 768);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    const int w = width.value_or(area.width());
    const int h = height.value_or(kDefaultHeight);
    if (w <= 0 || h <= 0)
        return false;

    m_window = new LyricsWindow;
    m_window->setGeometry(area.x() + (area.width() - w) / 2, area.y() + area.height() - h, w, h);
    m_drawingSize = QSize(w, h);
    m_window->setNoClose(m_noClose);
    setDraggable(true);
    redraw();
    return true;
}

bool DesktopLyrics::destroyWindow()
{
    if (!exists())
        return false;
    m_window->setNoClose(false);
    delete m_window.data();
    return true;
}

bool DesktopLyrics::exists() const
{
    return !m_window.isNull();
}

QWidget *DesktopLyrics::handle() const
{
    return m_window.data();
}

void DesktopLyrics::setFont(const QString &name, int pixelSize, bool bold, bool italic, bool underline)
{
    m_renderer.setFont(name, pixelSize, bold, italic, underline);
}

void DesktopLyrics::setBackground(ColorRef colour, int alpha, bool redrawNow)
{
    m_renderer.setBackground(colour, alpha);
    if (redrawNow && exists())
        redraw();
}

void DesktopLyrics::setShadow(ColorRef colour, int alpha, int offset, bool redrawNow)
{
    m_renderer.setShadow(colour, alpha, offset);
    if (redrawNow && exists())
        redraw();
}

void DesktopLyrics::setTextColours(
    ColorRef colour1, ColorRef colour2, std::optional<ColorRef> outline, int fillMode)
{
    m_renderer.setTextColours(colour1, colour2, outline, fillMode);
}

void DesktopLyrics::setHighlightColours(
    ColorRef colour1, ColorRef colour2, std::optional<ColorRef> outline, int fillMode)
{
    m_renderer.setHighlightColours(colour1, colour2, outline, fillMode);
}

void DesktopLyrics::show()
{
    if (exists())
        m_window->show();
}

void DesktopLyrics::hide()
{
    if (exists())
        m_window->hide();
}

bool DesktopLyrics::isShown() const
{
    return exists() && m_window->isVisible();
}

void DesktopLyrics::move(std::optional<int> x, std::optional<int> y, std::optional<int> width,
    std::optional<int> height, bool noRedraw)
{
    if (!exists())
        return;
    const QRect now = m_window->geometry();
    if (x || y)
        m_window->move(x.value_or(now.x()), y.value_or(now.y()));
    if (width || height)
        m_window->resize(width.value_or(now.width()), height.value_or(now.height()));
    if (!noRedraw)
        m_window->update();
}

int DesktopLyrics::width() const
{
    return exists() ? m_window->width() : 0;
}

int DesktopLyrics::height() const
{
    return exists() ? m_window->height() : 0;
}

int DesktopLyrics::top() const
{
    return exists() ? m_window->y() : 0;
}

int DesktopLyrics::left() const
{
    return exists() ? m_window->x() : 0;
}

void DesktopLyrics::setTopmost(bool on)
{
    if (!exists())
        return;
    // Changing window flags hides a shown window; show it again afterwards.
    const bool shown = m_window->isVisible();
    m_window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown)
        m_window->show();
}

void DesktopLyrics::setDraggable(bool on)
{
    m_draggable = on;
    if (exists())
        m_window->setDraggable(on);
}

void DesktopLyrics::setNoClose(bool on)
{
    m_noClose = on;
    if (exists())
        m_window->setNoClose(on);
}

void DesktopLyrics::forceClose()
{
    setNoClose(false);
    if (exists())
        m_window->close();
}

void DesktopLyrics::setText(const text::GbString &text, int highlightPercent)
{
    m_renderer.setText(QString::fromStdU16String(text::gbToUtf16(text)), highlightPercent);
    redraw();
}

void DesktopLyrics::redraw()
{
    if (!exists())
        return;
    m_window->setFrame(m_renderer.render(m_drawingSize));
}

} // namespace sorvane::lyrics
