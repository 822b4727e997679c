#include "platform/GlobalHotKey.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using sorvane::platform::GlobalHotKey;
using sorvane::platform::homeKeySym;

// Off X11 there is nothing to grab: registration must say 0, not crash on a missing
// connection. Forked, so that this program's other tests keep running without Qt's
// GUI threads.
TEST(GlobalHotKeyOffX11, RegistrationGivesZero)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        int exitCode = 0;
        {
            GlobalHotKey beforeApp;
            exitCode |= beforeApp.registerHotKey(homeKeySym) != 0 ? 1 : 0;
            qputenv("QT_QPA_PLATFORM", "offscreen");
            int argc = 1;
            char name[] = "offscreen";
            char *argv[] = { name, nullptr };
            QGuiApplication app(argc, argv);
            GlobalHotKey hotKey;
            exitCode |= hotKey.registerHotKey(homeKeySym) != 0 ? 2 : 0;
            hotKey.unregisterHotKey(1);
        }
        ::_exit(exitCode);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: registered without an application, 2: registered offscreen";
}
