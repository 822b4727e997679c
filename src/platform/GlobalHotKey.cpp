#include "platform/GlobalHotKey.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <optional>
#include <xcb/xcb.h>

namespace sorvane::platform {

namespace {

constexpr quint32 numLockKeySym = 0xff7f; // XK_Num_Lock

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t *x11Connection()
{
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

QList<xcb_window_t> rootWindows(xcb_connection_t *conn)
{
    QList<xcb_window_t> roots;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(conn)); it.rem; xcb_screen_next(&it))
        roots.append(it.data->root);
    return roots;
}

class KeyboardMapping
{
public:
    explicit KeyboardMapping(xcb_connection_t *conn)
    {
        const xcb_setup_t *setup = xcb_get_setup(conn);
        m_minKeycode = setup->min_keycode;
        const auto count = quint8(setup->max_keycode - setup->min_keycode + 1);
        m_reply.reset(xcb_get_keyboard_mapping_reply(
            conn, xcb_get_keyboard_mapping(conn, setup->min_keycode, count), nullptr));
    }

    // The first keycode that produces keySym, unshifted keys first.
    std::optional<quint8> keycodeOf(quint32 keySym) const
    {
        if (!m_reply)
            return std::nullopt;
        const int perKeycode = m_reply->keysyms_per_keycode;
        const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(m_reply.get());
        const int total = xcb_get_keyboard_mapping_keysyms_length(m_reply.get());
        if (perKeycode == 0)
            return std::nullopt;
        for (int column = 0; column < perKeycode; ++column) {
            for (int i = column; i < total; i += perKeycode) {
                if (syms[i] == keySym)
                    return quint8(m_minKeycode + i / perKeycode);
            }
        }
        return std::nullopt;
    }

private:
    quint8 m_minKeycode = 0;
    XcbReply<xcb_get_keyboard_mapping_reply_t> m_reply;
};

// NumLock is not a fixed modifier bit: it is whichever of Mod1..Mod5 the Num_Lock key
// is mapped to (Mod2 on most systems). 0 when the keyboard has no NumLock.
quint16 numLockMask(xcb_connection_t *conn, const KeyboardMapping &keyboard)
{
    const std::optional<quint8> numLock = keyboard.keycodeOf(numLockKeySym);
    if (!numLock)
        return 0;
    XcbReply<xcb_get_modifier_mapping_reply_t> reply(
        xcb_get_modifier_mapping_reply(conn, xcb_get_modifier_mapping(conn), nullptr));
    if (!reply)
        return 0;
    const int perModifier = reply->keycodes_per_modifier;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(reply.get());
    for (int i = 0; i < 8 * perModifier; ++i) {
        if (codes[i] == *numLock)
            return quint16(1u << (i / perModifier));
    }
    return 0;
}

quint16 toX11Modifiers(Qt::KeyboardModifiers modifiers)
{
    quint16 mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

} // namespace

GlobalHotKey::GlobalHotKey(QObject *parent)
    : QObject(parent)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installNativeEventFilter(this);
}

GlobalHotKey::~GlobalHotKey()
{
    for (const Grab &grab : std::as_const(m_grabs))
        ungrab(grab);
}

int GlobalHotKey::registerHotKey(quint32 keySym, Qt::KeyboardModifiers modifiers)
{
    xcb_connection_t *conn = x11Connection();
    if (!conn)
        return 0;
    const KeyboardMapping keyboard(conn);
    const std::optional<quint8> keycode = keyboard.keycodeOf(keySym);
    if (!keycode)
        return 0;

    Grab grab { 0, *keycode, toX11Modifiers(modifiers),
        quint16(XCB_MOD_MASK_LOCK | numLockMask(conn, keyboard)), {} };
    // The server would let us grab the same keys twice, and the first unregister would
    // then silently disarm the second registration.
    for (const Grab &other : std::as_const(m_grabs)) {
        if (other.keycode == grab.keycode && other.modifiers == grab.modifiers)
            return 0;
    }
    const quint16 num = grab.lockMask & ~XCB_MOD_MASK_LOCK;
    grab.variants = { grab.modifiers, quint16(grab.modifiers | XCB_MOD_MASK_LOCK) };
    if (num)
        grab.variants << quint16(grab.modifiers | num) << quint16(grab.modifiers | num | XCB_MOD_MASK_LOCK);

    // Checked requests: a grab another client holds comes back to us here as BadAccess
    // instead of landing in Qt's event queue as a stray error.
    QList<xcb_void_cookie_t> cookies;
    for (const xcb_window_t root : rootWindows(conn)) {
        for (const quint16 mods : std::as_const(grab.variants))
            cookies.append(xcb_grab_key_checked(
                conn, 1, root, mods, grab.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool failed = false;
    for (const xcb_void_cookie_t cookie : std::as_const(cookies))
        failed |= XcbReply<xcb_generic_error_t>(xcb_request_check(conn, cookie)) != nullptr;
    if (failed) {
        // Ungrabbing only ever releases this client's own grabs, so the other client's
        // stay untouched.
        ungrab(grab);
        return 0;
    }
    grab.id = ++m_lastId;
    m_grabs.append(grab);
    return grab.id;
}

void GlobalHotKey::unregisterHotKey(int id)
{
    for (qsizetype i = 0; i < m_grabs.size(); ++i) {
        if (m_grabs[i].id == id) {
            ungrab(m_grabs.takeAt(i));
            return;
        }
    }
}

void GlobalHotKey::ungrab(const Grab &grab)
{
    xcb_connection_t *conn = x11Connection();
    if (!conn || grab.variants.isEmpty())
        return;
    // Checked, and waited for: once this returns the server has released the key, so
    // another client may grab it right away.
    QList<xcb_void_cookie_t> cookies;
    for (const xcb_window_t root : rootWindows(conn)) {
        for (const quint16 modifiers : grab.variants)
            cookies.append(xcb_ungrab_key_checked(conn, grab.keycode, root, modifiers));
    }
    for (const xcb_void_cookie_t cookie : std::as_const(cookies))
        XcbReply<xcb_generic_error_t>(xcb_request_check(conn, cookie));
}

bool GlobalHotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_grabs.isEmpty() || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Press and release share one layout.
    const auto *key = static_cast<const xcb_key_press_event_t *>(message);
    for (const Grab &grab : std::as_const(m_grabs)) {
        // Only the eight modifier bits count; pointer buttons and the XKB group do not.
        if (key->detail != grab.keycode || (key->state & 0xff & ~grab.lockMask) != grab.modifiers)
            continue;
        if (type == XCB_KEY_PRESS)
            Q_EMIT activated(grab.id);
        return true;
    }
    return false;
}

} // namespace sorvane::platform
