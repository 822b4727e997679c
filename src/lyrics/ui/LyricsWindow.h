// The desktop lyrics window itself: a frameless, always-on-top tool window without a
// taskbar entry whose every pixel carries its own alpha. It shows one ready-made frame
// and takes mouse input only where that frame is not fully transparent.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QWidget>

namespace sorvane::lyrics {

class LyricsWindow : public QWidget
{
    Q_OBJECT
public:
    explicit LyricsWindow(QWidget *parent = nullptr);

    // Shows `frame` from the next paint on and limits the window's shape (and so its
    // mouse input) to the frame's pixels whose alpha is above 0.
    void setFrame(const QImage &frame);
    const QImage &frame() const { return m_frame; }

    // A left press on a visible pixel drags the window.
    void setDraggable(bool on) { m_draggable = on; }
    bool draggable() const { return m_draggable; }

    // While set, close requests (the window manager's close, close()) are refused. The
    // end of the desktop session and the application's quitting lift it.
    void setNoClose(bool on) { m_noClose = on; }
    bool noClose() const { return m_noClose; }

    // The pixels of `frame` whose alpha is above 0.
    static QRegion visibleRegion(const QImage &frame);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QImage m_frame;
    bool m_draggable = false;
    bool m_noClose = false;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

} // namespace sorvane::lyrics
