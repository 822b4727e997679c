#pragma once

#include <QGuiApplication>
#include <QTest>

namespace sorvane::platform::test {

// The one QGuiApplication of the test program, on the X server xvfb-run provides.
inline QGuiApplication &guiApp()
{
    static int argc = 1;
    static char name[] = "platform_gui_tests";
    static char *argv[] = { name, nullptr };
    static QGuiApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

// Processes events until `done` holds or five seconds pass; returns `done()`.
template <typename Predicate> bool processEventsUntil(Predicate done)
{
    return QTest::qWaitFor(done, 5000);
}

} // namespace sorvane::platform::test
