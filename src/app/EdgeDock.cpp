#include "app/EdgeDock.h"

namespace sorvane::app {

QPoint edgeDockStep(const QRect &window, const QSize &screen, const QPoint &mouse)
{
    int L = window.left();
    int T = window.top();
    const int W = window.width();
    const int H = window.height();
    const int SW = screen.width();
    const int SH = screen.height();
    const int MX = mouse.x();
    const int MY = mouse.y();

    // Corners first: a window pushed into a top corner docks at the side edge.
    if (L < 0 && T < 0) {
        L = 0;
        T = 1;
    }
    if (L >= SW - W && T < 0) {
        L = SW - W - 1;
        T = 0;
    }
    // Top edge.
    if (T < 0 && L < MX && MX < L + W && MY <= 2)
        T = 0;
    if (T <= 0 && 0 < L && L < SW - W && (MX < L || MX > L + W || MY > T + H))
        T = 3 - H;
    // Left edge.
    if (L < 0 && T < MY && MY < T + H && MX <= 2)
        L = 0;
    if (L <= 0 && 0 < T && T < SH - H && (MY < T || MY > T + H || MX > W))
        L = 3 - W;
    // Right edge.
    if (MX > SW - 3 && T < MY && MY < T + H)
        L = SW - W;
    if (L >= SW - W && 0 < T && T < SH - H && (MY < T || MY > T + H || MX < SW - W))
        L = SW - 3;
    return {L, T};
}

} // namespace sorvane::app
