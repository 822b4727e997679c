#include "app/Trace.h"

#include "app/MainWindow.h"
#include "playback/MediaPlayer.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <memory>

namespace sorvane::app {

void tracePlaying(playback::MediaPlayer &player, MainWindow &window)
{
    if (qgetenv("SORVANE_TRACE") != "1")
        return;
    // GUI thread only. Reset on every song start: the previous song may still have been
    // playing when the next one was opened, so the drop out of playing can go unseen.
    auto reported = std::make_shared<bool>(false);
    auto check = [&player, reported] {
        if (*reported || player.playState() != playback::playstate::playing)
            return;
        *reported = true;
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::fprintf(stderr, "sorvane-trace %.6f playing\n", std::chrono::duration<double>(now).count());
    };
    QObject::connect(&window, &MainWindow::songStarted, &window, [reported, check] {
        *reported = false;
        check();
    });
    // The callback runs on a libmpv thread: it only queues the check for the GUI thread.
    // qApp outlives the player, whose destructor removes the callback.
    player.setWakeupCallback([check] { QMetaObject::invokeMethod(qApp, check, Qt::QueuedConnection); });
}

} // namespace sorvane::app
