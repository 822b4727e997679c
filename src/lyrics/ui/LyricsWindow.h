// The desktop lyrics window itself: a frameless, always-on-top tool window without a
// taskbar entry whose every pixel carries its own alpha. It shows one ready-made frame
// and takes mouse input only where that frame is not fully transparent: clicks on the
// rest fall through to whatever lies below.
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

    // Shows `frame` from the next paint on and limits the window's mouse input to the
    // frame's pixels whose alpha is above 0. The window keeps its full rectangle as its
    // visible shape: every paint covers all of it.
    void setFrame(const QImage &frame);
    const QImage &frame() const { return m_frame; }

    // Where the window takes mouse input, in window coordinates: visibleRegion(frame()).
    const QRegion &inputRegion() const { return m_inputRegion; }

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
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Hands inputRegion() to the native window, if there is one yet.
    void applyInputRegion();

    QImage m_frame;
    QRegion m_inputRegion;
    bool m_draggable = false;
    bool m_noClose = false;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

} // namespace sorvane::lyrics
