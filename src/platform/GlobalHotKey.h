#pragma once

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>
#include <Qt>

namespace sorvane::platform {

// X keysym of the Home key (XK_Home), the program's hot key.
inline constexpr quint32 homeKeySym = 0xff50;

// System-wide hot keys through passive key grabs on the X root windows.
//
// Works on Qt's xcb platform only (under Wayland see preferXcbPlatform()); elsewhere
// every registration returns 0. Needs a QGuiApplication and must be used on its thread:
// the grabbed key presses arrive through Qt's native event filter and are consumed
// there, so the program's own windows do not see them as ordinary key presses.
class GlobalHotKey : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit GlobalHotKey(QObject *parent = nullptr);
    ~GlobalHotKey() override; // releases every grab still held

    // Grabs the key that produces keySym, pressed with exactly `modifiers` (Shift,
    // Control, Alt, Meta; Qt's keypad and group-switch flags are ignored). The key also
    // fires while NumLock or CapsLock is on; with any other modifier held it does not.
    // Returns a non-zero identifier, or 0 when the key cannot be grabbed: not on xcb, no
    // key of the keyboard produces keySym, or another X client already grabs the key
    // with one of those modifier sets (nothing stays grabbed then), or this object has
    // registered the same key and modifiers already.
    int registerHotKey(quint32 keySym, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Releases the grab of an identifier from registerHotKey(); unknown ones are ignored.
    // When it returns the X server has let the key go.
    void unregisterHotKey(int id);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    // A registered key was pressed; key repeat while it is held down fires again.
    void activated(int id);

private:
    struct Grab
    {
        int id;
        quint8 keycode;
        quint16 modifiers; // X modifier mask, without lock bits
        quint16 lockMask; // CapsLock and NumLock bits that were grabbed alongside
        QList<quint16> variants; // every modifier set grabbed on the root windows
    };

    void ungrab(const Grab &grab);

    QList<Grab> m_grabs;
    int m_lastId = 0;
};

} // namespace sorvane::platform
