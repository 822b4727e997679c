#include "platform/MprisService.h"

#include "GuiTestApp.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>

using sorvane::platform::MprisService;
using sorvane::platform::PlaybackStatus;
using sorvane::platform::TrackMetadata;
using sorvane::platform::test::guiApp;
using sorvane::platform::test::processEventsUntil;

namespace {

const QString service = QStringLiteral("org.mpris.MediaPlayer2.sorvane");
const QString path = QStringLiteral("/org/mpris/MediaPlayer2");
const QString rootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// Collects PropertiesChanged as a desktop widget would see it.
class ChangeRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QPair<QString, QVariantMap>> changes;

public Q_SLOTS:
    void onChanged(const QString &interface, const QVariantMap &changed, const QStringList &)
    {
        changes.append({ interface, changed });
    }
};

// The media-widget side: its own bus connection, driven from a thread of its own because
// its calls block until the service, which lives on this thread, has answered.
class Client
{
public:
    Client()
        : m_bus(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("mpris-test-client")))
    {
    }
    ~Client() { QDBusConnection::disconnectFromBus(QStringLiteral("mpris-test-client")); }

    QDBusConnection &bus() { return m_bus; }

    template <typename Work> auto run(Work work)
    {
        decltype(work()) result {};
        std::unique_ptr<QThread> thread(QThread::create([&] { result = work(); }));
        thread->start();
        EXPECT_TRUE(processEventsUntil([&] { return thread->isFinished(); }));
        thread->wait();
        return result;
    }

    QVariant property(const QString &interface, const QString &name)
    {
        return run([&] {
            QDBusInterface properties(service, path, propertiesInterface, m_bus);
            const QDBusReply<QDBusVariant> reply = properties.call(QStringLiteral("Get"), interface, name);
            return reply.isValid() ? reply.value().variant() : QVariant();
        });
    }

    QVariantMap metadata()
    {
        const QVariant raw = property(playerInterface, QStringLiteral("Metadata"));
        return qdbus_cast<QVariantMap>(raw.value<QDBusArgument>());
    }

    QString call(const QString &interface, const QString &method)
    {
        return run([&] {
            QDBusInterface object(service, path, interface, m_bus);
            const QDBusMessage reply = object.call(method);
            return reply.type() == QDBusMessage::ReplyMessage ? QString() : reply.errorMessage();
        });
    }

    bool setVolume(double volume)
    {
        return run([&] {
            QDBusInterface properties(service, path, propertiesInterface, m_bus);
            const QDBusMessage reply = properties.call(QStringLiteral("Set"), playerInterface,
                QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(volume)));
            return reply.type() == QDBusMessage::ReplyMessage;
        });
    }

private:
    QDBusConnection m_bus;
};

class MprisServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        guiApp();
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
        ASSERT_TRUE(m_service.registerOn());
    }

    MprisService m_service;
    Client m_client;
};

} // namespace

TEST_F(MprisServiceTest, AnnouncesItselfAndWhatItCanDo)
{
    EXPECT_TRUE(m_client.bus().interface()->isServiceRegistered(service).value());
    const struct
    {
        const QString &interface;
        const char *name;
        QVariant expected;
    } cases[] = {
        { rootInterface, "Identity", QStringLiteral("Sorvane") },
        { rootInterface, "DesktopEntry", QStringLiteral("sorvane") },
        { rootInterface, "CanQuit", true },
        { rootInterface, "CanRaise", true },
        { playerInterface, "PlaybackStatus", QStringLiteral("Stopped") },
        { playerInterface, "CanGoNext", true },
        { playerInterface, "CanPlay", true },
        { playerInterface, "CanPause", true },
        { playerInterface, "CanControl", true },
        { playerInterface, "CanSeek", false },
        { playerInterface, "CanGoPrevious", false },
        { playerInterface, "Volume", 1.0 },
        { playerInterface, "Position", qlonglong(0) },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(m_client.property(c.interface, QString::fromLatin1(c.name)), c.expected);
    }
    EXPECT_EQ(m_client.metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
        QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
}

TEST_F(MprisServiceTest, ShowsTheStateTheProgramFeedsIn)
{
    m_service.setMetadata({ QStringLiteral("晴天"), QStringLiteral("周杰伦"), QStringLiteral("叶惠美"),
        QStringLiteral("https://img.example/cover.jpg"), 269'000'000 });
    m_service.setPlaybackStatus(PlaybackStatus::Paused);
    m_service.setVolume(0.37);
    m_service.setPositionProvider([] { return qint64(61'900'000); });

    const QVariantMap meta = m_client.metadata();
    EXPECT_EQ(meta.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("晴天"));
    EXPECT_EQ(
        meta.value(QStringLiteral("xesam:artist")).toStringList(), QStringList { QStringLiteral("周杰伦") });
    EXPECT_EQ(meta.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("叶惠美"));
    EXPECT_EQ(meta.value(QStringLiteral("mpris:artUrl")).toString(),
        QStringLiteral("https://img.example/cover.jpg"));
    EXPECT_EQ(meta.value(QStringLiteral("mpris:length")).metaType().id(), QMetaType::LongLong);
    EXPECT_EQ(meta.value(QStringLiteral("mpris:length")).toLongLong(), 269'000'000);
    const QString firstTrack = meta.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
    EXPECT_TRUE(firstTrack.startsWith(QLatin1Char('/')));
    EXPECT_NE(firstTrack, QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));

    EXPECT_EQ(m_client.property(playerInterface, QStringLiteral("PlaybackStatus")), QStringLiteral("Paused"));
    EXPECT_EQ(m_client.property(playerInterface, QStringLiteral("Volume")), 0.37);
    EXPECT_EQ(m_client.property(playerInterface, QStringLiteral("Position")), qlonglong(61'900'000));

    // The next song: a fresh track id; what the service did not send is left out.
    m_service.setMetadata({ QStringLiteral("无题"), {}, {}, QStringLiteral("javascript:alert(1)"), 0 });
    const QVariantMap next = m_client.metadata();
    EXPECT_NE(next.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(), firstTrack);
    EXPECT_EQ(next.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("无题"));
    for (const char *absent : { "xesam:artist", "xesam:album", "mpris:artUrl", "mpris:length" })
        EXPECT_FALSE(next.contains(QString::fromLatin1(absent))) << absent;
}

TEST_F(MprisServiceTest, RemoteCallsBecomeRequests)
{
    const struct
    {
        const QString &interface;
        const char *method;
        void (MprisService::*signal)();
    } cases[] = {
        { rootInterface, "Raise", &MprisService::raiseRequested },
        { rootInterface, "Quit", &MprisService::quitRequested },
        { playerInterface, "Next", &MprisService::nextRequested },
        { playerInterface, "Pause", &MprisService::pauseRequested },
        { playerInterface, "Play", &MprisService::playRequested },
        { playerInterface, "PlayPause", &MprisService::playPauseRequested },
    };
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const auto &c : cases)
        spies.push_back(std::make_unique<QSignalSpy>(&m_service, c.signal));

    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].method);
        EXPECT_EQ(m_client.call(cases[i].interface, QString::fromLatin1(cases[i].method)), QString());
        for (size_t j = 0; j < spies.size(); ++j)
            EXPECT_EQ(spies[j]->count(), j == i ? 1 : 0) << cases[j].method;
        for (auto &spy : spies)
            spy->clear();
    }
    EXPECT_EQ(m_client.call(playerInterface, QStringLiteral("Previous")), QString());
    for (auto &spy : spies)
        EXPECT_EQ(spy->count(), 0);
}

TEST_F(MprisServiceTest, VolumeFromAClientIsAskedForClampedAndShownOnlyOnceTheProgramSetsIt)
{
    QSignalSpy requests(&m_service, &MprisService::volumeRequested);
    const struct
    {
        double sent;
        double requested;
    } cases[] = { { 0.5, 0.5 }, { 1.7, 1.0 }, { -0.2, 0.0 } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sent);
        ASSERT_TRUE(m_client.setVolume(c.sent));
        ASSERT_EQ(requests.count(), 1);
        EXPECT_EQ(requests.takeFirst().at(0).toDouble(), c.requested);
    }
    EXPECT_EQ(m_client.property(playerInterface, QStringLiteral("Volume")), 1.0);
}

TEST_F(MprisServiceTest, EveryChangeIsAnnouncedOnce)
{
    ChangeRecorder recorder;
    ASSERT_TRUE(m_client.bus().connect(service, path, propertiesInterface,
        QStringLiteral("PropertiesChanged"), &recorder, SLOT(onChanged(QString, QVariantMap, QStringList))));

    m_service.setPlaybackStatus(PlaybackStatus::Playing);
    m_service.setPlaybackStatus(PlaybackStatus::Playing); // no change, no signal
    m_service.setVolume(0.5);
    m_service.setVolume(0.5);
    m_service.setMetadata({ QStringLiteral("晴天"), QStringLiteral("周杰伦"), {}, {}, 1 });
    m_service.setPlaybackStatus(PlaybackStatus::Paused);

    // Signals keep their order on the bus: once the last change is in, so is any
    // duplicate that should not have been sent.
    const QVariantMap last { { QStringLiteral("PlaybackStatus"), QStringLiteral("Paused") } };
    ASSERT_TRUE(processEventsUntil(
        [&] { return !recorder.changes.isEmpty() && recorder.changes.last().second == last; }));
    ASSERT_EQ(recorder.changes.size(), 4);
    for (const auto &change : std::as_const(recorder.changes))
        EXPECT_EQ(change.first, playerInterface);
    EXPECT_EQ(recorder.changes[0].second,
        (QVariantMap { { QStringLiteral("PlaybackStatus"), QStringLiteral("Playing") } }));
    EXPECT_EQ(recorder.changes[1].second, (QVariantMap { { QStringLiteral("Volume"), 0.5 } }));
    const QVariantMap meta
        = qdbus_cast<QVariantMap>(recorder.changes[2].second.value(QStringLiteral("Metadata")));
    EXPECT_EQ(meta.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("晴天"));
}

TEST(MprisServiceWithoutBus, RegistrationFailsQuietlyAndTheSettersStillWork)
{
    guiApp();
    const QDBusConnection none = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("mpris-no-bus"));
    MprisService mpris;
    EXPECT_FALSE(mpris.registerOn(none));
    mpris.setPlaybackStatus(PlaybackStatus::Playing);
    mpris.setMetadata({ QStringLiteral("晴天"), {}, {}, {}, 0 });
    mpris.setVolume(0.2);
    EXPECT_EQ(mpris.playbackStatus(), PlaybackStatus::Playing);
    EXPECT_EQ(mpris.volume(), 0.2);
    QDBusConnection::disconnectFromBus(QStringLiteral("mpris-no-bus"));
}

TEST(MprisServiceWithoutBus, NameHeldByAnotherConnectionRefusesTheSecond)
{
    guiApp();
    MprisService first;
    ASSERT_TRUE(first.registerOn());
    QDBusConnection other
        = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("mpris-other"));
    {
        MprisService second;
        EXPECT_FALSE(second.registerOn(other));
        EXPECT_FALSE(second.isRegistered());
    }
    // The refused one left the first one's name and object alone.
    EXPECT_TRUE(other.interface()->isServiceRegistered(service).value());
    first.unregister();
    EXPECT_TRUE(processEventsUntil([&] { return !other.interface()->isServiceRegistered(service).value(); }));
    QDBusConnection::disconnectFromBus(QStringLiteral("mpris-other"));
}

#include "MprisServiceTest.moc"
