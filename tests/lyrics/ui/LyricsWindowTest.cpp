#include "lyrics/ui/LyricsWindow.h"
#include "lyrics/ui/DesktopLyrics.h"
#include "lyrics/ui/LyricsRenderer.h"

#include <QGuiApplication>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace sorvane::lyrics {
namespace {

// The region of every pixel with alpha above 0, one pixel at a time: slow and plain.
QRegion pixelByPixel(const QImage &image)
{
    QRegion region;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                region += QRect(x, y, 1, 1);
    return region;
}

// '.' is a fully transparent pixel (with colour, in a format that keeps it), '1' a nearly
// transparent one, '#' an opaque one.
QImage picture(const std::vector<std::string> &rows)
{
    QImage image(int(rows.empty() ? 0 : rows[0].size()), int(rows.size()), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const char c = rows[size_t(y)][size_t(x)];
            image.setPixel(x, y,
                c == '#'       ? qRgba(200, 30, 30, 255)
                    : c == '1' ? qRgba(9, 9, 9, 1)
                               : qRgba(255, 255, 0, 0));
        }
    return image;
}

TEST(LyricsWindow, VisibleRegionHoldsExactlyThePixelsWithAlpha)
{
    LyricsRenderer renderer;
    renderer.setText(QStringLiteral("芳草碧连天 Sorvane"), 40);
    const struct
    {
        const char *name;
        QImage image;
    } cases[] = {
        { "null image", QImage() },
        { "blank", picture({ "....", "...." }) },
        { "full", picture({ "##", "##" }) },
        { "corners", picture({ "#..#", "....", "#..#" }) },
        { "faint pixels count", picture({ "1.1", ".1." }) },
        { "bands grow, split and close", picture({ ".##.#", ".##.#", "#..#.", "....#", ".##.#", ".##.#" }) },
        { "a run up to the right edge", picture({ "..###", "..###", "#####" }) },
        { "a rendered line", renderer.render(QSize(420, 90)) },
    };
    for (const auto &c : cases) {
        EXPECT_TRUE(LyricsWindow::visibleRegion(c.image).xored(pixelByPixel(c.image)).isEmpty()) << c.name;
    }
}

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t *x11Connection()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The window's shape of `kind` as the X server holds it.
QRegion serverShape(xcb_connection_t *connection, xcb_window_t window, xcb_shape_kind_t kind)
{
    Reply<xcb_shape_get_rectangles_reply_t> reply(xcb_shape_get_rectangles_reply(
        connection, xcb_shape_get_rectangles(connection, window, kind), nullptr));
    if (!reply)
        return QRegion(-100, -100, 1, 1);
    QRegion region;
    const xcb_rectangle_t *rects = xcb_shape_get_rectangles_rectangles(reply.get());
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(reply.get()); ++i)
        region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    return region;
}

// The window's pixels as the X server holds them (what a compositor reads), or a null
// image when the window has no 32-bit visual.
QImage serverPixels(xcb_connection_t *connection, xcb_window_t window, QSize size)
{
    Reply<xcb_get_image_reply_t> reply(xcb_get_image_reply(connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, uint16_t(size.width()),
            uint16_t(size.height()), ~0u),
        nullptr));
    if (!reply || reply->depth != 32
        || xcb_get_image_data_length(reply.get()) != size.width() * size.height() * 4)
        return {};
    return QImage(xcb_get_image_data(reply.get()), size.width(), size.height(), size.width() * 4,
        QImage::Format_ARGB32_Premultiplied)
        .copy();
}

text::GbString gb(const char8_t *utf8)
{
    return text::utf8ToGb(reinterpret_cast<const char *>(utf8));
}

// Stands in for a compositing manager: owns the selection _NET_WM_CM_S0 while it lives.
class CompositorSelection
{
public:
    explicit CompositorSelection(xcb_connection_t *connection)
        : m_connection(connection)
    {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        m_window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
            XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        Reply<xcb_intern_atom_reply_t> atom(
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, 13, "_NET_WM_CM_S0"), nullptr));
        m_atom = atom ? atom->atom : XCB_NONE;
        xcb_set_selection_owner(connection, m_window, m_atom, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
    ~CompositorSelection()
    {
        xcb_destroy_window(m_connection, m_window); // gives up the selection
        xcb_flush(m_connection);
    }

private:
    xcb_connection_t *m_connection;
    xcb_window_t m_window;
    xcb_atom_t m_atom;
};

// Without a compositor the X server draws a translucent window's clear pixels black, so
// the window is cut to its letters: bounding and input shape both follow the line.
TEST(LyricsWindow, X11WithoutCompositorTheWindowIsCutToItsLetters)
{
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        GTEST_SKIP() << "needs the xcb platform, not " << QGuiApplication::platformName().toStdString();

    DesktopLyrics lyrics;
    ASSERT_TRUE(lyrics.create(600, 150));
    auto *w = qobject_cast<LyricsWindow *>(lyrics.handle());
    lyrics.setText(gb(u8"芳草碧连天晚风拂柳笛声残"), 0);
    lyrics.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    const xcb_window_t window = xcb_window_t(w->winId());
    for (const char8_t *line : { u8"芳草碧连天晚风拂柳笛声残", u8"歌" }) {
        lyrics.setText(gb(line), 0);
        const QRegion drawn = LyricsWindow::visibleRegion(w->frame());
        ASSERT_FALSE(drawn.isEmpty());
        EXPECT_TRUE(serverShape(connection, window, XCB_SHAPE_SK_INPUT).xored(drawn).isEmpty());
        EXPECT_TRUE(serverShape(connection, window, XCB_SHAPE_SK_BOUNDING).xored(drawn).isEmpty());
    }
}

// A compositor blends the window's pixels over the desktop wherever the window's bounding
// shape reaches, so the whole window must hold the current frame and nothing older; clicks
// go where the input shape says.
TEST(LyricsWindow, X11InputShapeFollowsTheLineWhileTheWholeWindowIsRepainted)
{
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        GTEST_SKIP() << "needs the xcb platform, not " << QGuiApplication::platformName().toStdString();
    const CompositorSelection compositor(connection);

    DesktopLyrics lyrics;
    ASSERT_TRUE(lyrics.create(600, 150));
    auto *w = qobject_cast<LyricsWindow *>(lyrics.handle());
    lyrics.setText(gb(u8"芳草碧连天晚风拂柳笛声残"), 0);
    const QImage first = w->frame();
    lyrics.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));

    auto window = [&] { return xcb_window_t(w->winId()); };
    auto frameNow = [&] { return w->frame().convertToFormat(QImage::Format_ARGB32_Premultiplied); };
    auto expectServerHoldsTheFrame = [&](const char *step) {
        const QRegion drawn = LyricsWindow::visibleRegion(w->frame());
        EXPECT_TRUE(serverShape(connection, window(), XCB_SHAPE_SK_INPUT).xored(drawn).isEmpty()) << step;
        EXPECT_EQ(serverShape(connection, window(), XCB_SHAPE_SK_BOUNDING), QRegion(w->rect())) << step;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return serverPixels(connection, window(), w->size()) == frameNow();
        })) << step
            << ": a pixel of the window is not the frame's";
    };
    ASSERT_FALSE(serverPixels(connection, window(), w->size()).isNull())
        << "no 32-bit visual: nothing to compare";
    expectServerHoldsTheFrame("shown with a line set while hidden");

    lyrics.setText(gb(u8"歌"), 0);
    const QRegion second = LyricsWindow::visibleRegion(w->frame());
    const QRegion onlyFirst = LyricsWindow::visibleRegion(first).subtracted(second);
    ASSERT_FALSE(onlyFirst.isEmpty());
    expectServerHoldsTheFrame("second line");
    EXPECT_FALSE(serverShape(connection, window(), XCB_SHAPE_SK_INPUT).intersects(onlyFirst))
        << "letters of the first line still catch the mouse";

    lyrics.setText(text::GbString(), 0);
    EXPECT_TRUE(serverShape(connection, window(), XCB_SHAPE_SK_INPUT).isEmpty())
        << "a blank line takes no clicks";
    expectServerHoldsTheFrame("blank line");

    // Qt replaces a widget's native window when it must change its kind of surface, and
    // the new X window starts without an input shape.
    lyrics.setText(gb(u8"歌"), 0);
    const xcb_window_t before = window();
    w->hide();
    w->windowHandle()->destroy();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_NE(window(), before);
    expectServerHoldsTheFrame("native window made again");
}

} // namespace
} // namespace sorvane::lyrics
