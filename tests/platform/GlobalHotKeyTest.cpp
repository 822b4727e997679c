#include "platform/GlobalHotKey.h"

#include "GuiTestApp.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using sorvane::platform::GlobalHotKey;
using sorvane::platform::homeKeySym;
using sorvane::platform::test::guiApp;
using sorvane::platform::test::processEventsUntil;

namespace {

// A second X client: it types through XTest and competes for key grabs.
class OtherClient
{
public:
    OtherClient()
        : m_display(XOpenDisplay(nullptr))
    {
    }
    ~OtherClient()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool isOpen() const { return m_display != nullptr; }

    void tap(KeySym sym, KeySym heldModifier = NoSymbol)
    {
        if (heldModifier != NoSymbol)
            key(heldModifier, true);
        key(sym, true);
        key(sym, false);
        if (heldModifier != NoSymbol)
            key(heldModifier, false);
        XSync(m_display, False);
    }

    unsigned lockedModifiers()
    {
        XkbStateRec state {};
        XkbGetState(m_display, XkbUseCoreKbd, &state);
        return state.locked_mods;
    }

    // Tries to grab Home with the given modifier set; true unless the server refuses.
    bool grabHome(unsigned modifiers)
    {
        s_lastError = Success;
        const auto previous = XSetErrorHandler(&recordError);
        XGrabKey(m_display, keycode(XK_Home), modifiers, DefaultRootWindow(m_display), True, GrabModeAsync,
            GrabModeAsync);
        XSync(m_display, False);
        XSetErrorHandler(previous);
        return s_lastError == Success;
    }
    void ungrabHome(unsigned modifiers)
    {
        XUngrabKey(m_display, keycode(XK_Home), modifiers, DefaultRootWindow(m_display));
        XSync(m_display, False);
    }

private:
    KeyCode keycode(KeySym sym) { return XKeysymToKeycode(m_display, sym); }
    void key(KeySym sym, bool down) { XTestFakeKeyEvent(m_display, keycode(sym), down, CurrentTime); }

    static int recordError(Display *, XErrorEvent *error)
    {
        s_lastError = error->error_code;
        return 0;
    }
    static inline int s_lastError = Success;

    Display *m_display;
};

constexpr unsigned numLockMask = Mod2Mask; // where the default keymaps put Num_Lock

class GlobalHotKeyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        guiApp();
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        ASSERT_TRUE(m_other.isOpen());
    }

    OtherClient m_other;
};

} // namespace

TEST_F(GlobalHotKeyTest, HomeFiresWithLocksOnButNotWithAModifier)
{
    GlobalHotKey hotKey;
    const int id = hotKey.registerHotKey(homeKeySym);
    ASSERT_NE(id, 0);
    QSignalSpy spy(&hotKey, &GlobalHotKey::activated);

    struct Case
    {
        const char *label;
        KeySym lock; // toggled on before and off after the press
        unsigned lockBit;
        KeySym held;
        bool fires;
    };
    const Case cases[] = {
        { "plain Home", NoSymbol, 0, NoSymbol, true },
        { "NumLock on", XK_Num_Lock, numLockMask, NoSymbol, true },
        { "CapsLock on", XK_Caps_Lock, LockMask, NoSymbol, true },
        { "Shift+Home", NoSymbol, 0, XK_Shift_L, false },
        { "Control+Home", NoSymbol, 0, XK_Control_L, false },
        { "Shift+Home with NumLock on", XK_Num_Lock, numLockMask, XK_Shift_L, false },
    };
    int expected = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        if (c.lock != NoSymbol) {
            m_other.tap(c.lock);
            ASSERT_EQ(m_other.lockedModifiers() & c.lockBit, c.lockBit);
        }
        m_other.tap(XK_Home, c.held);
        if (c.lock != NoSymbol) {
            m_other.tap(c.lock);
            ASSERT_EQ(m_other.lockedModifiers() & c.lockBit, 0u);
        }
        // A plain Home afterwards: once its activation is in, anything the case's own
        // press caused has arrived before it.
        m_other.tap(XK_Home);
        expected += c.fires ? 2 : 1;
        EXPECT_TRUE(processEventsUntil([&] { return spy.count() >= expected; }));
        EXPECT_EQ(spy.count(), expected);
        expected = int(spy.count());
    }
    for (const QList<QVariant> &arguments : std::as_const(spy))
        EXPECT_EQ(arguments.at(0).toInt(), id);
}

TEST_F(GlobalHotKeyTest, KeyHeldByAnotherClientGivesZeroAndGrabsNothing)
{
    const unsigned heldVariants[] = { 0, LockMask, numLockMask, numLockMask | LockMask };
    for (const unsigned held : heldVariants) {
        SCOPED_TRACE(held);
        ASSERT_TRUE(m_other.grabHome(held));
        {
            GlobalHotKey hotKey;
            EXPECT_EQ(hotKey.registerHotKey(homeKeySym), 0);
            m_other.ungrabHome(held);
            // The failed registration rolled back the grabs it did get.
            for (const unsigned variant : heldVariants) {
                EXPECT_TRUE(m_other.grabHome(variant));
                m_other.ungrabHome(variant);
            }
        }
    }
}

TEST_F(GlobalHotKeyTest, UnregisterAndDestructionReleaseTheKey)
{
    const auto grabbedBySomeoneElse = [&] {
        const bool free = m_other.grabHome(0);
        if (free)
            m_other.ungrabHome(0);
        return !free;
    };
    {
        GlobalHotKey hotKey;
        const int first = hotKey.registerHotKey(homeKeySym);
        ASSERT_NE(first, 0);
        EXPECT_TRUE(grabbedBySomeoneElse());
        EXPECT_EQ(hotKey.registerHotKey(homeKeySym), 0) << "the same key twice";
        EXPECT_TRUE(grabbedBySomeoneElse()) << "a refused duplicate leaves the first grab alone";
        hotKey.unregisterHotKey(first);
        EXPECT_FALSE(grabbedBySomeoneElse());

        const int second = hotKey.registerHotKey(homeKeySym);
        EXPECT_NE(second, 0);
        EXPECT_NE(second, first);
        EXPECT_TRUE(grabbedBySomeoneElse());
    }
    EXPECT_FALSE(grabbedBySomeoneElse());
}

TEST_F(GlobalHotKeyTest, KeyWithModifiersFiresOnlyWithThem)
{
    GlobalHotKey hotKey;
    const int plain = hotKey.registerHotKey(XK_End);
    const int shifted = hotKey.registerHotKey(XK_End, Qt::ShiftModifier);
    ASSERT_NE(plain, 0);
    ASSERT_NE(shifted, 0);
    QSignalSpy spy(&hotKey, &GlobalHotKey::activated);

    m_other.tap(XK_End, XK_Shift_L);
    m_other.tap(XK_End);
    ASSERT_TRUE(processEventsUntil([&] { return spy.count() >= 2; }));
    EXPECT_EQ(spy.at(0).at(0).toInt(), shifted);
    EXPECT_EQ(spy.at(1).at(0).toInt(), plain);
}
