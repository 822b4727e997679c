// The small control kinds the main window is made of: labels and boxes that report a
// left-button press, picture buttons with our own icons, and the playing animation.
// All labels show plain text only: titles and artists come from the network.
#pragma once

#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace sorvane::app {

// A label that reports a left-button press and never interprets markup.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);

Q_SIGNALS:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// A filled rectangle used as panel and as progress bar; reports a left-button press.
class ShapeBox : public QFrame
{
    Q_OBJECT
public:
    explicit ShapeBox(QWidget *parent = nullptr, QColor fill = QColor());
    void setFill(const QColor &fill);

Q_SIGNALS:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill;
};

// Shows a picture scaled into its box; reports a left-button press.
class PictureBox : public QLabel
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);
    // Shows the image encoded in `bytes` (any format Qt reads); no or bad bytes clear it.
    void setPictureBytes(const QByteArray &bytes);
    bool hasPicture() const { return !m_image.isNull(); }
    const QImage &image() const { return m_image; }

Q_SIGNALS:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};

// A flat button showing one of the program's icons.
class PictureButton : public QToolButton
{
    Q_OBJECT
public:
    PictureButton(const QString &iconName, const QString &toolTip, QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;
};

// Little equaliser bars that move while music plays.
class PlayingAnimation : public QWidget
{
    Q_OBJECT
public:
    explicit PlayingAnimation(QWidget *parent = nullptr);
    void start();
    void stop();
    bool isRunning() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer m_timer;
    int m_frame = 0;
};

} // namespace sorvane::app
