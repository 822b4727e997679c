#include "lyrics/ui/LyricsWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <cmath>
#include <utility>
#include <vector>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <string>

namespace sorvane::lyrics {

namespace {

xcb_connection_t *x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Whether a compositing manager runs on any screen of the display: it owns the selection
// _NET_WM_CM_S<screen>.
bool compositorRunning(xcb_connection_t *connection)
{
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    for (int screen = 0; screen < screens; ++screen) {
        const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
        xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.c_str()), nullptr);
        if (!atom)
            continue;
        xcb_get_selection_owner_reply_t *owner = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
        const bool owned = owner && owner->owner != XCB_NONE;
        std::free(owner);
        std::free(atom);
        if (owned)
            return true;
    }
    return false;
}

// Replaces the shape of `kind` of `window` with `region`, given in device-independent
// pixels and scaled outwards to the window's `scale`. No rectangles at all is an empty
// shape: as input shape the window then takes no input anywhere, which is what a blank
// frame needs.
void setX11Shape(xcb_connection_t *connection, xcb_window_t window, xcb_shape_kind_t kind,
    const QRegion &region, qreal scale)
{
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(size_t(region.rectCount()));
    for (const QRect &r : region) {
        const int left = int(std::floor(r.x() * scale));
        const int top = int(std::floor(r.y() * scale));
        const int right = int(std::ceil((r.x() + r.width()) * scale));
        const int bottom = int(std::ceil((r.y() + r.height()) * scale));
        rects.push_back({ int16_t(left), int16_t(top), uint16_t(right - left), uint16_t(bottom - top) });
    }
    xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, kind, XCB_CLIP_ORDERING_UNSORTED, window, 0, 0,
        uint32_t(rects.size()), rects.data());
}

void setX11Shapes(xcb_connection_t *connection, xcb_window_t window, const QRegion &region, qreal scale)
{
    const xcb_query_extension_reply_t *shape = xcb_get_extension_data(connection, &xcb_shape_id);
    if (!shape || !shape->present)
        return;
    setX11Shape(connection, window, XCB_SHAPE_SK_INPUT, region, scale);
    // Without a compositor the X server shows a translucent window's clear pixels as
    // black, so the window is cut to its letters. A compositor blends the whole window
    // instead and may not clip it to such a shape, so there it keeps its full rectangle
    // and every paint covers all of it.
    if (compositorRunning(connection))
        xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, window, 0, 0, XCB_NONE);
    else
        setX11Shape(connection, window, XCB_SHAPE_SK_BOUNDING, region, scale);
    xcb_flush(connection);
}

} // namespace

LyricsWindow::LyricsWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("VelixLyricsWindow"));
    setWindowTitle(QStringLiteral("VelixLyricsWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_NoSystemBackground);
    // The lyrics never keep the program alive on their own.
    setAttribute(Qt::WA_QuitOnClose, false);
    // Like a logoff on Windows, the end of the session or of the program must be able to
    // close the window whatever the no-close flag says. Qt's quit() first asks every
    // window to close and gives up when a shown one refuses, so the flag is lifted as soon
    // as the application sees the request.
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        app->installEventFilter(this);
        connect(app, &QGuiApplication::commitDataRequest, this, [this] { m_noClose = false; });
    }
}

QRegion LyricsWindow::visibleRegion(const QImage &frame)
{
    if (frame.isNull())
        return {};
    const QImage argb = frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = argb.width();
    // Built straight in QRegion's own form (bands of equal rows, runs left to right, no
    // two touching) so that no union of thousands of rectangles is needed: a row whose
    // runs are those of the band above makes that band one row taller.
    std::vector<QRect> rects;
    std::vector<std::pair<int, int>> runs;
    std::vector<std::pair<int, int>> bandRuns;
    size_t bandStart = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        runs.clear();
        for (int x = 0; x < width;) {
            while (x < width && qAlpha(line[x]) == 0)
                ++x;
            if (x == width)
                break;
            const int start = x;
            while (x < width && qAlpha(line[x]) != 0)
                ++x;
            runs.emplace_back(start, x);
        }
        if (!runs.empty() && runs == bandRuns) {
            for (size_t i = bandStart; i < rects.size(); ++i)
                rects[i].setBottom(y);
            continue;
        }
        bandStart = rects.size();
        for (const auto &[start, end] : runs)
            rects.emplace_back(start, y, end - start, 1);
        bandRuns.swap(runs);
    }
    QRegion region;
    region.setRects(rects.data(), int(rects.size()));
    return region;
}

void LyricsWindow::setFrame(const QImage &frame)
{
    m_frame = frame;
    m_inputRegion = visibleRegion(frame);
    applyInputRegion();
    update();
}

void LyricsWindow::applyInputRegion()
{
    // Not winId(): that would create the native window, and this also runs while Qt is
    // still creating it.
    const WId id = internalWinId();
    QWindow *native = windowHandle();
    if (!id || !native)
        return;
    if (xcb_connection_t *connection = x11Connection()) {
        // Not QWidget::setMask: that clips every paint to the shape, so pixels outside
        // the shape of a new line would keep the letters of earlier lines, which a
        // compositor that does not clip translucent windows to their shape shows. The
        // input shape decides where clicks land; the bounding shape see setX11Shapes().
        setX11Shapes(connection, xcb_window_t(id), m_inputRegion, native->devicePixelRatio());
        return;
    }
    // Elsewhere QWindow's mask (not QWidget's, which clips painting) is the platform's
    // input region: Wayland's surface input region, nothing at all offscreen. An empty
    // mask would mean "no mask", so a blank frame gets a rectangle outside the window.
    native->setMask(m_inputRegion.isEmpty() ? QRegion(-1, -1, 1, 1) : m_inputRegion);
}

bool LyricsWindow::event(QEvent *event)
{
    const bool result = QWidget::event(event);
    // A new native window (shown the first time, or made again after a change of window
    // flags) starts without an input shape, which means input everywhere.
    if (event->type() == QEvent::WinIdChange || event->type() == QEvent::Show)
        applyInputRegion();
    return result;
}

bool LyricsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        m_noClose = false;
    return QWidget::eventFilter(watched, event);
}

void LyricsWindow::paintEvent(QPaintEvent *)
{
    // Every pixel is written, transparent ones too, so nothing of an earlier frame can
    // remain under any compositor.
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.drawImage(0, 0, m_frame);
}

void LyricsWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_draggable) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The window manager moves the window like a title bar drag where it can; otherwise
    // the window follows the mouse itself.
    if (QWindow *native = windowHandle(); native && native->startSystemMove()) {
        event->accept();
        return;
    }
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - pos();
    event->accept();
}

void LyricsWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void LyricsWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void LyricsWindow::closeEvent(QCloseEvent *event)
{
    if (m_noClose)
        event->ignore();
    else
        event->accept();
}

} // namespace sorvane::lyrics
