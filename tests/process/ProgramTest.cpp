// The real sorvane executable as a listener runs it: started as a process against the
// station on loopback, playing real audio through libmpv (silent output), driven from
// outside through MPRIS, the X server and a second start.

#include "ProgramHarness.h"

#include "station/Station.h"

#include <QDBusConnection>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <mutex>

using namespace sorvane;
using namespace sorvane::process_test;
using Clock = std::chrono::steady_clock;

namespace {

// Bounds of the waits; a healthy run meets each one in a fraction of it.
constexpr int kStartMs = 15000;
constexpr int kSongMs = 10000;
constexpr int kExitMs = 15000;
constexpr int kWindowMs = 5000;

const QString settingsFile = QStringLiteral("gcsz.ini");
const QString favouritesFile = QStringLiteral("scgq.ini");

station::Catalogue demoCatalogue()
{
    std::string error;
    auto catalogue = station::Catalogue::load(station::demoCatalogueDir(), error);
    if (!catalogue)
        throw std::runtime_error(error);
    return std::move(*catalogue);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(CommandLine, HelpAndVersionPrintWithoutADisplay)
{
    ensureApplication();
    const struct
    {
        const char *argument;
        const char *printed;
    } cases[] = {
        { "--help", "--demo" },
        { "-h", "--version" },
        { "--version", "sorvane " SORVANE_VERSION },
    };
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        env.remove(QString::fromLatin1(name));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.argument);
        Program program(env, { QString::fromLatin1(c.argument) });
        ASSERT_TRUE(program.started());
        ASSERT_TRUE(program.waitForExit(kExitMs));
        EXPECT_TRUE(program.exitedNormally());
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_TRUE(program.standardOutput().contains(c.printed)) << program.standardOutput().constData();
    }
}

class ProgramTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ensureApplication();
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
        ASSERT_TRUE(x_.isOpen()) << "run under xvfb-run";
        ASSERT_TRUE(station_.start());
        ASSERT_TRUE(folders_.data.isValid() && folders_.runtime.isValid());
        // The program of the test before has left the bus.
        ASSERT_TRUE(waitUntil([&] { return !mpris_.isUp(); }, kExitMs));
    }

    std::unique_ptr<Program> start(const QStringList &arguments = {})
    {
        auto program = std::make_unique<Program>(
            programEnvironment(station_.baseUrl(), station_.musicBaseUrl(), folders_), arguments);
        EXPECT_TRUE(program->started());
        return program;
    }

    // Starts the program and waits until it answers on the bus.
    std::unique_ptr<Program> startServing(const QStringList &arguments = {})
    {
        auto program = start(arguments);
        const qint64 pid = program->pid();
        EXPECT_TRUE(waitUntil([&] { return mpris_.ownerPid() == pid; }, kStartMs));
        return program;
    }

    void quit(Program &program)
    {
        mpris_.call(QStringLiteral("Quit")); // the reply may not come before the process ends
        ASSERT_TRUE(program.waitForExit(kExitMs));
        EXPECT_TRUE(program.exitedNormally());
        EXPECT_EQ(program.exitCode(), 0);
    }

    // The song of the n-th playlist request (from 0) of the start-up channel -10, whose
    // rotation starts at song 10 modulo the catalogue's size.
    const station::Song &rotationSong(size_t n) const
    {
        const auto &songs = catalogue_.songs();
        return songs[(10 + n) % songs.size()];
    }

    bool waitForTitle(const std::string &title)
    {
        return waitUntil([&] { return mpris_.title() == QString::fromStdString(title); }, kSongMs);
    }

    // Real audio moves: the position passes `us` microseconds.
    bool waitForPositionPast(qint64 us)
    {
        return waitUntil([&] { return mpris_.positionUs() > us; }, kSongMs);
    }

    std::vector<Clock::time_point> playlistRequestTimes()
    {
        std::lock_guard lock(mutex_);
        return playlistTimes_;
    }

    std::mutex mutex_;
    std::vector<Clock::time_point> playlistTimes_;
    const station::Catalogue catalogue_ = demoCatalogue();
    station::Station station_ { catalogue_,
        { std::chrono::milliseconds(0), [this](const station::RequestRecord &r) {
             if (r.target.starts_with("/j/v2/playlist")) {
                 std::lock_guard lock(mutex_);
                 playlistTimes_.push_back(Clock::now());
             }
         } } };
    ProgramFolders folders_;
    MprisClient mpris_;
    XSession x_;
};

TEST_F(ProgramTest, MprisDrivesPlaybackAndQuitSavesBothFiles)
{
    auto program = startServing();
    // Nothing plays by itself.
    EXPECT_EQ(mpris_.playbackStatus(), QStringLiteral("Stopped"));
    EXPECT_TRUE(mpris_.title().isEmpty());

    for (size_t n = 0; n < 2; ++n) {
        const station::Song &song = rotationSong(n);
        SCOPED_TRACE(song.title);
        EXPECT_EQ(mpris_.call(QStringLiteral("Next")), QString());
        ASSERT_TRUE(waitForTitle(song.title)) << "title: " << mpris_.title().toStdString();
        EXPECT_EQ(mpris_.artists(), QStringList { QString::fromStdString(song.artist) });
        EXPECT_EQ(mpris_.playbackStatus(), QStringLiteral("Playing"));
        EXPECT_TRUE(waitForPositionPast(300'000));
    }

    EXPECT_EQ(mpris_.call(QStringLiteral("Pause")), QString());
    EXPECT_TRUE(waitUntil([&] { return mpris_.playbackStatus() == QStringLiteral("Paused"); }, kWindowMs));
    const qint64 pausedAt = mpris_.positionUs();
    QTest::qWait(600);
    EXPECT_LT(mpris_.positionUs() - pausedAt, 100'000) << "a paused song moved on";

    EXPECT_EQ(mpris_.call(QStringLiteral("Play")), QString());
    EXPECT_TRUE(waitUntil([&] { return mpris_.playbackStatus() == QStringLiteral("Playing"); }, kWindowMs));
    EXPECT_TRUE(waitForPositionPast(pausedAt + 300'000));
    // Play resumes the song; it does not fetch another.
    EXPECT_EQ(mpris_.title(), QString::fromStdString(rotationSong(1).title));

    quit(*program);
    EXPECT_FALSE(fileBytes(folders_.dataFile(settingsFile)).isEmpty());
    EXPECT_TRUE(QFile::exists(folders_.dataFile(favouritesFile)));
}

TEST_F(ProgramTest, DemoModePlaysFromItsOwnStationAndEndsIt)
{
    auto program = startServing({ QStringLiteral("--demo") });
    const std::vector<qint64> stations = childProcesses(program->pid(), QStringLiteral("sorvane-station"));
    ASSERT_EQ(stations.size(), 1U);

    EXPECT_EQ(mpris_.call(QStringLiteral("Next")), QString());
    // The demo station serves the same demo catalogue as ours, from its own rotation.
    EXPECT_TRUE(waitForTitle(rotationSong(0).title)) << mpris_.title().toStdString();
    EXPECT_TRUE(waitForPositionPast(300'000));
    EXPECT_EQ(station_.arrivals(), 0U) << "the configured service must not be asked in demo mode";

    quit(*program);
    EXPECT_TRUE(waitUntil([&] { return processEnded(stations.front()); }, kExitMs));
}

TEST_F(ProgramTest, SecondStartIsRefusedAndLeavesBothFilesAlone)
{
    // A first run leaves the program's own two files behind.
    quit(*startServing());
    const QString settings = folders_.dataFile(settingsFile);
    const QString favourites = folders_.dataFile(favouritesFile);
    ASSERT_TRUE(QFile::exists(settings) && QFile::exists(favourites));

    auto first = startServing();
    // Lines the program's writer would not reproduce: any rewrite shows.
    for (const QString &path : { settings, favourites }) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("; kept by the first instance\r\n");
    }
    const QByteArray settingsBefore = fileBytes(settings);
    const QByteArray favouritesBefore = fileBytes(favourites);

    auto second = start();
    const unsigned long box
        = x_.waitForViewableWindow(second->pid(), QRegularExpression(QStringLiteral("^Sorvane$")), kStartMs);
    ASSERT_NE(box, 0UL) << "no message box from the second instance";
    EXPECT_TRUE(second->isRunning()) << "the refusal must wait for its answer";

    // Answer the box with Return, as the listener would.
    for (int attempt = 0; attempt < 3 && second->isRunning(); ++attempt) {
        x_.focus(box);
        x_.pressKey(XK_Return);
        second->waitForExit(3000);
    }
    ASSERT_FALSE(second->isRunning());
    EXPECT_TRUE(second->exitedNormally());
    EXPECT_EQ(second->exitCode(), 0);

    EXPECT_EQ(fileBytes(settings), settingsBefore);
    EXPECT_EQ(fileBytes(favourites), favouritesBefore);
    EXPECT_TRUE(first->isRunning());
    EXPECT_EQ(mpris_.ownerPid(), first->pid());
    quit(*first);
}

TEST_F(ProgramTest, HomeKeyHidesAndShowsTheWindowInStepWithRaiseAndQuit)
{
    auto program = startServing();
    const unsigned long window = x_.waitForViewableWindow(
        program->pid(), QRegularExpression(QStringLiteral("^SorvaneV1\\.5")), kStartMs);
    ASSERT_NE(window, 0UL);

    // Shift+Home is not the hot key; the plain Home that follows is the first press.
    x_.pressKey(XK_Home, { XK_Shift_L });
    x_.pressKey(XK_Home);
    EXPECT_TRUE(waitUntil([&] { return !x_.isViewable(window); }, kWindowMs)) << "first press must hide";
    x_.pressKey(XK_Home);
    EXPECT_TRUE(waitUntil([&] { return x_.isViewable(window); }, kWindowMs)) << "second press must show";

    // A desktop media widget raises the hidden window; the next press hides it again.
    x_.pressKey(XK_Home);
    EXPECT_TRUE(waitUntil([&] { return !x_.isViewable(window); }, kWindowMs)) << "third press must hide";
    EXPECT_EQ(mpris_.call(QStringLiteral("Raise")), QString());
    EXPECT_TRUE(waitUntil([&] { return x_.isViewable(window); }, kWindowMs)) << "Raise must show";
    x_.pressKey(XK_Home);
    EXPECT_TRUE(waitUntil([&] { return !x_.isViewable(window); }, kWindowMs))
        << "a press after Raise must hide";

    // Hidden, the program still quits on request.
    quit(*program);
    EXPECT_TRUE(QFile::exists(folders_.dataFile(settingsFile)));
}

TEST_F(ProgramTest, ServiceDownKeepsRetryingWithGrowingWaitsAndPlaysOnceBack)
{
    station_.addFault({ "", station::FaultKind::Status, 500, -1 });
    auto program = startServing();
    EXPECT_EQ(mpris_.call(QStringLiteral("Next")), QString());

    // Rounds that give nothing playable: 0.5 s, 1 s, 2 s of waiting after the first tick.
    ASSERT_TRUE(waitUntil([&] { return playlistRequestTimes().size() >= 4; }, 20000))
        << playlistRequestTimes().size() << " playlist requests";
    const auto times = playlistRequestTimes();
    std::vector<double> gaps;
    for (size_t i = 1; i < 4; ++i)
        gaps.push_back(std::chrono::duration<double>(times[i] - times[i - 1]).count());
    EXPECT_GE(gaps[0], 0.4) << "the first retry must not hammer the service";
    EXPECT_GT(gaps[1], gaps[0] * 1.2) << gaps[0] << " s then " << gaps[1] << " s";
    EXPECT_GT(gaps[2], gaps[1] * 1.2) << gaps[1] << " s then " << gaps[2] << " s";
    EXPECT_TRUE(program->isRunning());
    EXPECT_TRUE(mpris_.title().isEmpty());
    EXPECT_EQ(mpris_.playbackStatus(), QStringLiteral("Stopped")) << "nothing plays while the service is down";

    // The service is back: the next round plays without the listener doing anything.
    station_.clearFaults();
    ASSERT_TRUE(waitUntil([&] { return !mpris_.title().isEmpty(); }, 20000));
    const QString title = mpris_.title();
    EXPECT_TRUE(std::any_of(catalogue_.songs().begin(), catalogue_.songs().end(),
        [&](const station::Song &s) { return QString::fromStdString(s.title) == title; }))
        << title.toStdString();
    EXPECT_EQ(mpris_.playbackStatus(), QStringLiteral("Playing"));
    EXPECT_TRUE(waitForPositionPast(300'000));
    quit(*program);
}

} // namespace
