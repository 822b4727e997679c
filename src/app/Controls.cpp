#include "app/Controls.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>

namespace sorvane::app {

ClickLabel::ClickLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    // Handled here: an ignored press would travel on to the player panel and run its
    // closePanels too (which, for the channel label, closes the list just opened).
    event->accept();
    Q_EMIT pressed();
}

ShapeBox::ShapeBox(QWidget *parent, QColor fill)
    : QFrame(parent)
    , m_fill(fill)
{
}

void ShapeBox::setFill(const QColor &fill)
{
    m_fill = fill;
    update();
}

void ShapeBox::mousePressEvent(QMouseEvent *event)
{
    // Only a press on the box itself counts: presses on its children that they leave
    // unhandled (plain labels, the progress bars) reach it too.
    if (event->button() == Qt::LeftButton && !childAt(event->position().toPoint())) {
        event->accept();
        Q_EMIT pressed();
        return;
    }
    QFrame::mousePressEvent(event);
}

void ShapeBox::paintEvent(QPaintEvent *event)
{
    if (m_fill.isValid()) {
        QPainter p(this);
        p.fillRect(rect(), m_fill);
    }
    QFrame::paintEvent(event);
}

PictureBox::PictureBox(QWidget *parent)
    : QLabel(parent)
{
}

void PictureBox::setPictureBytes(const QByteArray &bytes)
{
    m_image = QImage::fromData(bytes);
    update();
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    event->accept(); // see ClickLabel
    Q_EMIT pressed();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), m_image);
}

PictureButton::PictureButton(const QString &iconName, const QString &toolTip, QWidget *parent)
    : QToolButton(parent)
{
    setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(iconName)));
    setAutoRaise(true);
    setToolTip(toolTip);
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; background: transparent; }"));
}

void PictureButton::resizeEvent(QResizeEvent *event)
{
    setIconSize(size());
    QToolButton::resizeEvent(event);
}

PlayingAnimation::PlayingAnimation(QWidget *parent)
    : QWidget(parent)
{
    m_timer.setInterval(150);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        ++m_frame;
        update();
    });
}

void PlayingAnimation::start()
{
    m_timer.start();
}

void PlayingAnimation::stop()
{
    m_timer.stop();
    m_frame = 0;
    update();
}

void PlayingAnimation::paintEvent(QPaintEvent *)
{
    static constexpr int kHeights[4][6] = {
        {3, 7, 11, 7, 4, 9}, {9, 4, 7, 11, 6, 3}, {6, 11, 4, 3, 9, 7}, {11, 6, 9, 4, 3, 7}};
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor green(26, 213, 152);
    const int barWidth = width() / 6;
    for (int i = 0; i < 4; ++i) {
        const int h = m_timer.isActive() ? kHeights[i][m_frame % 6] * height() / 12 : height() / 4;
        p.fillRect(QRect(2 + i * (barWidth + 1), height() - h - 2, barWidth, h), green);
    }
}

} // namespace sorvane::app
