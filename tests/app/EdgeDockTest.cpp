#include "app/EdgeDock.h"

#include <gtest/gtest.h>

using sorvane::app::edgeDockStep;

namespace {

struct DockCase
{
    const char *what;
    QPoint window; // top-left; the window is 432 x 216 on a 1280 x 1024 screen
    QPoint mouse;
    QPoint expected;
};

class EdgeDock : public testing::TestWithParam<DockCase>
{
};

TEST_P(EdgeDock, OneTick)
{
    const auto &c = GetParam();
    const QRect window(c.window, QSize(432, 216));
    EXPECT_EQ(edgeDockStep(window, QSize(1280, 1024), c.mouse), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, EdgeDock,
    testing::Values(
        DockCase{"undocked window stays", {300, 300}, {0, 0}, {300, 300}},
        DockCase{"top-left corner goes to 0,1 and then docks left", {-10, -10}, {600, 600}, {-429, 1}},
        DockCase{"top-right corner docks at the top", {900, -10}, {100, 600}, {847, -213}},
        DockCase{"top: mouse leaves, window slides up", {100, -5}, {50, 500}, {100, -213}},
        DockCase{"top: mouse in the top rows within its width brings it back", {100, -213}, {200, 1}, {100, 0}},
        DockCase{"top: mouse in the top rows beside it does not", {100, -213}, {700, 1}, {100, -213}},
        DockCase{"left: mouse at the edge beside the strip reveals", {-429, 300}, {1, 400}, {0, 300}},
        DockCase{"left: mouse leaves, window slides left", {0, 300}, {500, 400}, {-429, 300}},
        DockCase{"right: mouse leaves, window slides right", {848, 300}, {100, 400}, {1277, 300}},
        DockCase{"right: mouse at the edge reveals", {1277, 300}, {1279, 400}, {848, 300}},
        DockCase{"docked-shown window stays while the mouse is on it", {0, 300}, {100, 400}, {0, 300}}));

} // namespace
