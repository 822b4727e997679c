#include "lyrics/ui/LyricsWindow.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace sorvane::lyrics {

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
    QImage bits(argb.size(), QImage::Format_MonoLSB);
    // QBitmap's convention: index 1 (color1, black) is a set pixel.
    bits.setColor(0, qRgb(255, 255, 255));
    bits.setColor(1, qRgb(0, 0, 0));
    bits.fill(0);
    bool any = false;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        uchar *out = bits.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) != 0) {
                out[x >> 3] |= uchar(1u << (x & 7));
                any = true;
            }
        }
    }
    if (!any)
        return {};
    return QRegion(QBitmap::fromImage(bits));
}

void LyricsWindow::setFrame(const QImage &frame)
{
    m_frame = frame;
    QRegion shape = visibleRegion(frame);
    // An empty mask would mean "no mask" and make the whole window catch the mouse; a
    // rectangle outside the window leaves it with no input area at all.
    if (shape.isEmpty())
        shape = QRegion(-1, -1, 1, 1);
    setMask(shape);
    update();
}

bool LyricsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        m_noClose = false;
    return QWidget::eventFilter(watched, event);
}

void LyricsWindow::paintEvent(QPaintEvent *)
{
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
