#include "lyrics/ui/DesktopLyrics.h"
#include "lyrics/ui/LyricsWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace sorvane::lyrics {
namespace {

text::GbString gb(const char8_t *utf8)
{
    return text::utf8ToGb(reinterpret_cast<const char *>(utf8));
}

LyricsWindow *windowOf(const DesktopLyrics &lyrics)
{
    return qobject_cast<LyricsWindow *>(lyrics.handle());
}

// A window-local point on a fully opaque pixel of the window's current frame.
QPoint opaquePixel(const LyricsWindow &window)
{
    const QImage frame = window.frame().convertToFormat(QImage::Format_ARGB32);
    for (int y = frame.height() / 2; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (qAlpha(frame.pixel(x, y)) == 255)
                return { x, y };
    return { -1, -1 };
}

void sendMouse(QWidget *w, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

TEST(DesktopLyrics, CreatesAHiddenToolWindowAtTheBottomOfTheWorkArea)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    DesktopLyrics lyrics;
    EXPECT_FALSE(lyrics.exists());
    EXPECT_EQ(lyrics.handle(), nullptr);
    ASSERT_TRUE(lyrics.create());
    EXPECT_FALSE(lyrics.create()) << "a second window";

    QWidget *w = lyrics.handle();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->geometry(), QRect(area.x(), area.y() + area.height() - 150, area.width(), 150));
    EXPECT_EQ(lyrics.drawingSize(), QSize(area.width(), 150));
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->isWindow());
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w->windowType(), Qt::Tool);
    EXPECT_TRUE(w->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(windowOf(lyrics)->draggable());

    EXPECT_TRUE(lyrics.destroyWindow());
    EXPECT_FALSE(lyrics.exists());
    EXPECT_FALSE(lyrics.destroyWindow());

    ASSERT_TRUE(lyrics.create(400, 100));
    EXPECT_EQ(lyrics.handle()->geometry(),
        QRect(area.x() + (area.width() - 400) / 2, area.y() + area.height() - 100, 400, 100));
}

TEST(DesktopLyrics, TextRedrawsWhileHiddenAndShapesTheWindow)
{
    DesktopLyrics lyrics;
    ASSERT_TRUE(lyrics.create(800, 150));
    LyricsWindow *w = windowOf(lyrics);

    lyrics.setText(gb(u8"欢迎进入Sorvane"), 0);
    EXPECT_EQ(lyrics.renderer().text(), QStringLiteral("欢迎进入Sorvane"));
    const QPoint letter = opaquePixel(*w);
    ASSERT_NE(letter, QPoint(-1, -1)) << "drawn while hidden";
    EXPECT_TRUE(w->inputRegion().contains(letter));
    EXPECT_FALSE(w->inputRegion().contains(QPoint(0, 0)));
    EXPECT_FALSE(w->inputRegion().contains(QPoint(799, 149)));

    lyrics.show();
    EXPECT_TRUE(lyrics.isShown());
    lyrics.hide();
    EXPECT_FALSE(lyrics.isShown());
    EXPECT_EQ(opaquePixel(*w), letter) << "hiding keeps the line";

    lyrics.setText(text::GbString(), 0);
    EXPECT_TRUE(w->inputRegion().isEmpty()) << "nothing drawn, nothing to click";
}

TEST(DesktopLyrics, SettersChangeTheLookOnRedraw)
{
    DesktopLyrics lyrics;
    ASSERT_TRUE(lyrics.create(600, 150));
    lyrics.setText(gb(u8"歌"), 0);
    const QImage before = windowOf(lyrics)->frame();

    lyrics.setTextColours(0x0000FF, 0x0000FF, std::nullopt, SolidFill);
    lyrics.setFont(QStringLiteral("宋体"), 60, false, true);
    EXPECT_EQ(windowOf(lyrics)->frame(), before) << "no redraw of its own";
    lyrics.redraw();
    EXPECT_NE(windowOf(lyrics)->frame(), before);

    const QImage redrawn = windowOf(lyrics)->frame();
    lyrics.setBackground(0xFFFFFF, 80, true);
    EXPECT_NE(windowOf(lyrics)->frame(), redrawn) << "asked to redraw";
    EXPECT_TRUE(windowOf(lyrics)->inputRegion().contains(QPoint(0, 0)))
        << "a background can be grabbed everywhere";
}

TEST(DesktopLyrics, PressOnTheLettersDragsTheWindow)
{
    for (bool draggable : { true, false }) {
        DesktopLyrics lyrics;
        ASSERT_TRUE(lyrics.create(600, 150));
        lyrics.setDraggable(draggable);
        lyrics.setText(gb(u8"拖动"), 0);
        lyrics.show();
        QWidget *w = lyrics.handle();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        const QPoint start = w->pos();
        const QPoint letter = opaquePixel(*windowOf(lyrics));

        sendMouse(w, QEvent::MouseButtonPress, letter, Qt::LeftButton, Qt::LeftButton);
        sendMouse(w, QEvent::MouseMove, letter + QPoint(30, -20), Qt::NoButton, Qt::LeftButton);
        sendMouse(w, QEvent::MouseButtonRelease, letter + QPoint(30, -20), Qt::LeftButton, Qt::NoButton);

        EXPECT_EQ(w->pos(), draggable ? start + QPoint(30, -20) : start) << "draggable " << draggable;
        EXPECT_EQ(lyrics.left(), w->x());
        EXPECT_EQ(lyrics.top(), w->y());
    }
}

TEST(DesktopLyrics, CloseIsRefusedWhileNoCloseIsSet)
{
    DesktopLyrics lyrics;
    ASSERT_TRUE(lyrics.create(600, 150));
    lyrics.setNoClose(true);
    lyrics.show();
    QWidget *w = lyrics.handle();

    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());

    lyrics.setNoClose(false);
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->isVisible());

    lyrics.setNoClose(true);
    lyrics.show();
    lyrics.forceClose();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(lyrics.exists()) << "closing only hides the window";
}

// Qt's quit() asks every shown window to close first and gives up if one refuses; the
// lyrics window must never keep the program from ending.
TEST(DesktopLyrics, ShownNoCloseWindowDoesNotBlockQuitting)
{
    enum class Ending { Quit, LastMainWindowClosed };
    for (Ending ending : { Ending::Quit, Ending::LastMainWindowClosed }) {
        DesktopLyrics lyrics;
        ASSERT_TRUE(lyrics.create(600, 150));
        lyrics.setNoClose(true);
        lyrics.setText(gb(u8"再见"), 0);
        lyrics.show();
        QWidget mainWindow;
        mainWindow.show();

        if (ending == Ending::Quit)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        else
            QTimer::singleShot(0, &mainWindow, &QWidget::close);
        // Ends the loop without asking any window, should the quit be refused.
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); });
        EXPECT_EQ(QApplication::exec(), 0) << "ending " << int(ending);
        EXPECT_FALSE(lyrics.handle()->isVisible());
    }
}

} // namespace
} // namespace sorvane::lyrics
