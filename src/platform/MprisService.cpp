#include "platform/MprisService.h"

#include "platform/MprisAdaptors.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace sorvane::platform {

namespace {

const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

QString statusText(PlaybackStatus status)
{
    switch (status) {
    case PlaybackStatus::Playing:
        return QStringLiteral("Playing");
    case PlaybackStatus::Paused:
        return QStringLiteral("Paused");
    case PlaybackStatus::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap noTrack()
{
    return { { QStringLiteral("mpris:trackid"),
        QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"))) } };
}

// The cover address comes from the radio service. Desktop widgets fetch whatever we
// hand them, so only plain web and file addresses go out.
bool isSafeArtUrl(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    return url.isValid()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https")
            || scheme == QLatin1String("file"));
}

} // namespace

MprisRootAdaptor::MprisRootAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service)
    , m_service(service)
{
}

void MprisRootAdaptor::Raise()
{
    Q_EMIT m_service->raiseRequested();
}
void MprisRootAdaptor::Quit()
{
    Q_EMIT m_service->quitRequested();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service)
    , m_service(service)
{
}

QString MprisPlayerAdaptor::playbackStatus() const
{
    return statusText(m_service->playbackStatus());
}
QVariantMap MprisPlayerAdaptor::metadata() const
{
    return m_service->metadata();
}
double MprisPlayerAdaptor::volume() const
{
    return m_service->volume();
}
qlonglong MprisPlayerAdaptor::position() const
{
    return m_service->position();
}

void MprisPlayerAdaptor::setVolume(double volume)
{
    if (std::isnan(volume))
        return;
    Q_EMIT m_service->volumeRequested(std::clamp(volume, 0.0, 1.0));
}

void MprisPlayerAdaptor::Next()
{
    Q_EMIT m_service->nextRequested();
}
void MprisPlayerAdaptor::Pause()
{
    Q_EMIT m_service->pauseRequested();
}
void MprisPlayerAdaptor::PlayPause()
{
    Q_EMIT m_service->playPauseRequested();
}
void MprisPlayerAdaptor::Play()
{
    Q_EMIT m_service->playRequested();
}

MprisService::MprisService(QObject *parent)
    : QObject(parent)
    , m_root(new MprisRootAdaptor(this))
    , m_player(new MprisPlayerAdaptor(this))
    , m_bus(QString())
    , m_metadata(noTrack())
{
}

MprisService::~MprisService()
{
    unregister();
}

bool MprisService::registerOn(const QDBusConnection &bus)
{
    if (m_registered || !bus.isConnected())
        return false;
    QDBusConnection connection = bus;
    if (!connection.registerObject(QString::fromLatin1(objectPath), this, QDBusConnection::ExportAdaptors))
        return false;
    if (!connection.registerService(QString::fromLatin1(busName))) {
        connection.unregisterObject(QString::fromLatin1(objectPath));
        return false;
    }
    m_bus = connection;
    m_registered = true;
    return true;
}

void MprisService::unregister()
{
    if (!m_registered)
        return;
    m_bus.unregisterService(QString::fromLatin1(busName));
    m_bus.unregisterObject(QString::fromLatin1(objectPath));
    m_bus = QDBusConnection(QString());
    m_registered = false;
}

void MprisService::setPlaybackStatus(PlaybackStatus status)
{
    if (status == m_status)
        return;
    m_status = status;
    notifyPlayerChanged(QStringLiteral("PlaybackStatus"), statusText(status));
}

void MprisService::setMetadata(const TrackMetadata &track)
{
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"),
        QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/sorvane/track/%1").arg(++m_trackNumber))));
    map.insert(QStringLiteral("xesam:title"), track.title);
    if (!track.artist.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList { track.artist });
    if (!track.album.isEmpty())
        map.insert(QStringLiteral("xesam:album"), track.album);
    if (isSafeArtUrl(track.artUrl))
        map.insert(QStringLiteral("mpris:artUrl"), track.artUrl);
    if (track.lengthUs > 0)
        map.insert(QStringLiteral("mpris:length"), qlonglong(track.lengthUs));
    m_metadata = map;
    notifyPlayerChanged(QStringLiteral("Metadata"), m_metadata);
}

void MprisService::setLength(qint64 lengthUs)
{
    const QString key = QStringLiteral("mpris:length");
    if (lengthUs <= 0 || m_metadata.value(key).toLongLong() == lengthUs)
        return;
    m_metadata.insert(key, qlonglong(lengthUs));
    notifyPlayerChanged(QStringLiteral("Metadata"), m_metadata);
}

void MprisService::setVolume(double volume)
{
    if (std::isnan(volume))
        return;
    volume = std::clamp(volume, 0.0, 1.0);
    if (volume == m_volume)
        return;
    m_volume = volume;
    notifyPlayerChanged(QStringLiteral("Volume"), m_volume);
}

void MprisService::setPositionProvider(std::function<qint64()> provider)
{
    m_positionProvider = std::move(provider);
}

qint64 MprisService::position() const
{
    return m_positionProvider ? std::max<qint64>(0, m_positionProvider()) : 0;
}

void MprisService::notifyPlayerChanged(const QString &property, const QVariant &value)
{
    if (!m_registered)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(objectPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << playerInterface << QVariantMap { { property, value } } << QStringList();
    m_bus.send(signal);
}

} // namespace sorvane::platform
