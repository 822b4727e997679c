#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace sorvane::platform {

class MprisRootAdaptor;
class MprisPlayerAdaptor;

enum class PlaybackStatus { Playing, Paused, Stopped };

// What desktop media widgets show of the current song.
struct TrackMetadata
{
    QString title;
    QString artist;
    QString album;
    QString artUrl; // http, https or file address of the cover; others are not passed on
    qint64 lengthUs = 0; // 0 or less: unknown
};

// The program as an MPRIS 2 media player on the session bus, so that media keys and
// the desktop's player widgets can drive it: bus name org.mpris.MediaPlayer2.sorvane,
// object /org/mpris/MediaPlayer2, interfaces org.mpris.MediaPlayer2 and
// org.mpris.MediaPlayer2.Player.
//
// The service holds no playback logic. The program feeds it the state through the
// setters (each change goes out as org.freedesktop.DBus.Properties.PropertiesChanged)
// and acts on the *Requested signals as it would on its own buttons. Use from the GUI
// thread; remote calls arrive there as queued slots.
class MprisService : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *busName = "org.mpris.MediaPlayer2.sorvane";
    static constexpr const char *objectPath = "/org/mpris/MediaPlayer2";

    explicit MprisService(QObject *parent = nullptr);
    ~MprisService() override; // leaves the bus

    // Exports the object and takes the bus name. Returns false, and leaves nothing
    // behind on the bus, when the bus is not connected, the name belongs to another
    // process or this service is already registered. The setters work either way.
    bool registerOn(const QDBusConnection &bus = QDBusConnection::sessionBus());
    void unregister();
    bool isRegistered() const { return m_registered; }

    void setPlaybackStatus(PlaybackStatus status);
    // A new song: every call gets a fresh mpris:trackid.
    void setMetadata(const TrackMetadata &track);
    // The current song's length became known: updates mpris:length, same track id.
    void setLength(qint64 lengthUs);
    void setVolume(double volume); // clamped to 0..1
    // Called whenever a client reads Position; returns microseconds.
    void setPositionProvider(std::function<qint64()> provider);

    PlaybackStatus playbackStatus() const { return m_status; }
    QVariantMap metadata() const { return m_metadata; }
    double volume() const { return m_volume; }
    qint64 position() const;

Q_SIGNALS:
    void raiseRequested();
    void quitRequested();
    void nextRequested();
    void pauseRequested();
    void playRequested();
    void playPauseRequested();
    // A client set Volume; already clamped to 0..1. The program moves its volume
    // control and reports the result back through setVolume().
    void volumeRequested(double volume);

private:
    void notifyPlayerChanged(const QString &property, const QVariant &value);

    MprisRootAdaptor *m_root;
    MprisPlayerAdaptor *m_player;
    QDBusConnection m_bus;
    bool m_registered = false;
    PlaybackStatus m_status = PlaybackStatus::Stopped;
    QVariantMap m_metadata;
    double m_volume = 1.0;
    quint64 m_trackNumber = 0;
    std::function<qint64()> m_positionProvider;
};

} // namespace sorvane::platform
