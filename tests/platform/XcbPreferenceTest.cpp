#include "platform/XcbPreference.h"

#include <QByteArray>
#include <QtGlobal>
#include <gtest/gtest.h>

#include <optional>

using sorvane::platform::preferXcbPlatform;

namespace {

void setOrUnset(const char *name, const std::optional<QByteArray> &value)
{
    if (value)
        qputenv(name, *value);
    else
        qunsetenv(name);
}

struct Session
{
    const char *label;
    std::optional<QByteArray> wayland, display, platform;
    bool expectChanged;
    std::optional<QByteArray> expectPlatform;
};

} // namespace

TEST(PreferXcbPlatform, AsksForXcbOnlyUnderWaylandWithXWaylandAndNoUserChoice)
{
    const Session cases[] = {
        { "wayland with XWayland", "wayland-0", ":0", std::nullopt, true, "xcb" },
        { "empty platform counts as unset", "wayland-0", ":0", "", true, "xcb" },
        { "user choice wins", "wayland-0", ":0", "wayland", false, "wayland" },
        { "no XWayland", "wayland-0", std::nullopt, std::nullopt, false, std::nullopt },
        { "empty DISPLAY", "wayland-0", "", std::nullopt, false, std::nullopt },
        { "plain X11 session", std::nullopt, ":0", std::nullopt, false, std::nullopt },
        { "empty WAYLAND_DISPLAY", "", ":0", std::nullopt, false, std::nullopt },
    };
    const QByteArray saved[] = { qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"), qgetenv("QT_QPA_PLATFORM") };
    const bool wasSet[] = { qEnvironmentVariableIsSet("WAYLAND_DISPLAY"),
        qEnvironmentVariableIsSet("DISPLAY"), qEnvironmentVariableIsSet("QT_QPA_PLATFORM") };

    for (const Session &c : cases) {
        SCOPED_TRACE(c.label);
        setOrUnset("WAYLAND_DISPLAY", c.wayland);
        setOrUnset("DISPLAY", c.display);
        setOrUnset("QT_QPA_PLATFORM", c.platform);

        EXPECT_EQ(preferXcbPlatform(), c.expectChanged);
        if (c.expectPlatform)
            EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), *c.expectPlatform);
        else
            EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));
    }

    const char *names[] = { "WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM" };
    for (int i = 0; i < 3; ++i)
        setOrUnset(names[i], wasSet[i] ? std::optional(saved[i]) : std::nullopt);
}
