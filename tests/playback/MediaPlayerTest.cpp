// Plays real audio through libmpv (audio output "null", which runs in real time) from
// an HTTP server on the loopback interface, so the songs are kept short.
#include "playback/MediaPlayer.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using sorvane::playback::MediaPlayer;
namespace playstate = sorvane::playback::playstate;
using sorvane::text::utf8ToGb;

namespace {

constexpr int kSampleRate = 44100;

void putLe(std::string &out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putChunk(std::string &out, const char *id, const std::string &body)
{
    out += id;
    putLe(out, static_cast<std::uint32_t>(body.size()), 4);
    out += body;
    if (body.size() % 2)
        out += '\0';
}

// A mono 16-bit PCM WAV of a 440 Hz tone; title and artist go into a LIST/INFO chunk.
std::string makeWav(double seconds, const std::string &title = {}, const std::string &artist = {})
{
    std::string fmt;
    putLe(fmt, 1, 2); // PCM
    putLe(fmt, 1, 2); // mono
    putLe(fmt, kSampleRate, 4);
    putLe(fmt, kSampleRate * 2, 4);
    putLe(fmt, 2, 2);
    putLe(fmt, 16, 2);

    std::string info = "INFO";
    if (!title.empty())
        putChunk(info, "INAM", title + '\0');
    if (!artist.empty())
        putChunk(info, "IART", artist + '\0');

    std::string pcm;
    const int samples = static_cast<int>(seconds * kSampleRate);
    for (int i = 0; i < samples; ++i) {
        const double v = 8000 * std::sin(2 * M_PI * 440.0 * i / kSampleRate);
        putLe(pcm, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)), 2);
    }

    std::string body = "WAVE";
    putChunk(body, "fmt ", fmt);
    if (info.size() > 4)
        putChunk(body, "LIST", info);
    putChunk(body, "data", pcm);
    std::string wav;
    putChunk(wav, "RIFF", body);
    return wav;
}

constexpr double kShortSeconds = 1.2;
constexpr double kTitledSeconds = 2.0;

// Serves the test songs on 127.0.0.1 and counts the requests per path.
class SongServer
{
public:
    SongServer()
    {
        std::filesystem::create_directories(localSong_.parent_path());
        std::ofstream(localSong_, std::ios::binary) << makeWav(kShortSeconds);
        serve("/short.wav", makeWav(kShortSeconds), "audio/wav");
        serve("/titled.wav", makeWav(kTitledSeconds, "雨", "林"), "audio/wav");
        serve("/noise.bin", std::string(64 * 1024, '\x5A'), "audio/mpeg");
        serve("/list.m3u", "", "audio/x-mpegurl"); // body needs the port, filled in below
        server_.Get("/stall.wav", [this](const httplib::Request &request, httplib::Response &response) {
            count(request.path);
            // Keeps the connection alive with a byte now and then, never enough to play.
            response.set_chunked_content_provider("audio/wav", [this](std::size_t, httplib::DataSink &sink) {
                std::this_thread::sleep_for(50ms);
                return !stopping_ && sink.is_writable() && sink.write("R", 1);
            });
        });
        redirect("/moved.wav", [this] { return url("/short.wav"); });
        redirect("/moved-local.wav", [this] { return "file://" + localSong_.string(); });
        server_.set_error_handler(
            [this](const httplib::Request &request, httplib::Response &) { count(request.path); });
        port_ = server_.bind_to_any_port("127.0.0.1");
        files_["/list.m3u"] = "#EXTM3U\n" + url("/from-list.wav") + "\n";
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }

    ~SongServer()
    {
        stopping_ = true;
        server_.stop();
        thread_.join();
        std::filesystem::remove_all(localSong_.parent_path());
    }

    // A song on disk, to show that a reply cannot lead the player to local files.
    const std::filesystem::path &localSong() const { return localSong_; }

    std::string url(const std::string &path) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

    int hits(const std::string &path)
    {
        std::lock_guard lock(mutex_);
        return hits_[path];
    }

private:
    void serve(const std::string &path, std::string body, std::string type)
    {
        files_[path] = std::move(body);
        server_.Get(path, [this, path, type](const httplib::Request &request, httplib::Response &response) {
            count(request.path);
            response.set_content(files_.at(path), type.c_str());
        });
    }

    void redirect(const std::string &path, std::function<std::string()> target)
    {
        server_.Get(path, [this, target](const httplib::Request &request, httplib::Response &response) {
            count(request.path);
            response.set_redirect(target());
        });
    }

    void count(const std::string &path)
    {
        std::lock_guard lock(mutex_);
        ++hits_[path];
    }

    const std::filesystem::path localSong_ = std::filesystem::temp_directory_path()
        / ("sorvane-playback-" + std::to_string(::getpid())) / "local.wav";
    httplib::Server server_;
    std::map<std::string, std::string> files_; // written before the server thread starts
    int port_ = 0;
    std::atomic<bool> stopping_ { false };
    std::mutex mutex_;
    std::map<std::string, int> hits_;
    std::thread thread_;
};

MediaPlayer::Options testOptions()
{
    MediaPlayer::Options options;
    if (options.mpvOptions.empty())
        options.mpvOptions = "ao=null"; // run by hand without the test environment
    return options;
}

template <class Condition> bool waitFor(Condition condition, std::chrono::milliseconds limit = 10s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

bool isOver(int state)
{
    return state == playstate::stopped || state == playstate::undefined || state == playstate::ready;
}

class MediaPlayerTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { server_ = new SongServer; }
    static void TearDownTestSuite()
    {
        delete server_;
        server_ = nullptr;
    }

    static std::string url(const std::string &path) { return server_->url(path); }

    static SongServer *server_;
    MediaPlayer player_ { testOptions() };
};

SongServer *MediaPlayerTest::server_ = nullptr;

TEST_F(MediaPlayerTest, PlaysASongToItsEnd)
{
    ASSERT_TRUE(player_.isAvailable());
    const auto opened = std::chrono::steady_clock::now();
    player_.open(url("/short.wav"));

    std::set<int> seen;
    ASSERT_TRUE(waitFor([&] {
        seen.insert(player_.playState());
        return seen.count(playstate::playing) > 0;
    }));
    EXPECT_EQ(player_.status(), utf8ToGb("正在播放"));
    EXPECT_NEAR(player_.duration(), kShortSeconds, 0.05);
    ASSERT_TRUE(waitFor([&] { return player_.currentPosition() > 0.2; }));
    EXPECT_TRUE(waitFor([&] { return player_.bitrate() == "705 kbit/sec"; })); // 44.1 kHz × 16 bit, mono
    EXPECT_EQ(player_.title(), utf8ToGb("未知标题"));
    EXPECT_EQ(player_.mediaType(), "audio");

    ASSERT_TRUE(waitFor([&] {
        seen.insert(player_.playState());
        return isOver(player_.playState());
    }));
    // Not before the last of the audio has been played out, which takes real time.
    EXPECT_GE(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - opened).count(), kShortSeconds);
    EXPECT_EQ(player_.playState(), playstate::stopped);
    EXPECT_EQ(player_.currentPosition(), 0);
    for (const int state : seen)
        EXPECT_TRUE(state == playstate::transitioning || state == playstate::buffering
            || state == playstate::playing || state == playstate::mediaEnded || state == playstate::stopped)
            << "unexpected state " << state;
}

TEST_F(MediaPlayerTest, PauseHoldsThePositionAndPlayResumes)
{
    player_.open(url("/titled.wav"));
    ASSERT_TRUE(waitFor(
        [&] { return player_.playState() == playstate::playing && player_.currentPosition() > 0.1; }));
    EXPECT_EQ(player_.title(), utf8ToGb("雨"));
    EXPECT_EQ(player_.author(), utf8ToGb("林"));

    player_.pause();
    EXPECT_EQ(player_.playState(), playstate::paused);
    const double held = player_.currentPosition();
    EXPECT_FALSE(waitFor([&] { return player_.currentPosition() > held + 0.1; }, 400ms));
    EXPECT_EQ(player_.playState(), playstate::paused);

    player_.play();
    EXPECT_EQ(player_.playState(), playstate::playing);
    EXPECT_TRUE(waitFor([&] { return player_.currentPosition() > held + 0.1; }));
}

TEST_F(MediaPlayerTest, OpenReplacesThePlayingSongAndUnpauses)
{
    player_.open(url("/titled.wav"));
    ASSERT_TRUE(waitFor([&] { return player_.playState() == playstate::playing; }));
    ASSERT_NEAR(player_.duration(), kTitledSeconds, 0.05);
    player_.pause();

    player_.open(url("/short.wav"));
    // The old song's length must never show up as the new one's.
    std::set<int> seen;
    ASSERT_TRUE(waitFor([&] {
        const double d = player_.duration();
        EXPECT_TRUE(d == 0 || std::abs(d - kShortSeconds) < 0.05) << d;
        seen.insert(player_.playState());
        return d > 0 && player_.playState() == playstate::playing;
    }));
    EXPECT_EQ(seen.count(playstate::paused), 0u);
    EXPECT_TRUE(waitFor([&] { return player_.currentPosition() > 0.1; }));
    EXPECT_EQ(player_.title(), utf8ToGb("未知标题"));

    player_.stop();
    EXPECT_EQ(player_.playState(), playstate::stopped);
    EXPECT_EQ(player_.duration(), 0);
}

TEST_F(MediaPlayerTest, RefusesAddressesThatAreNotHttp)
{
    const char *addresses[] = {
        "ftp://127.0.0.1/short.wav",
        "file:///etc/passwd",
        "/etc/passwd",
        "av://lavfi:sine",
        "memory://RIFF",
        "edl://%3%abc",
        "ytdl://example",
        "http:short.wav",
        "http://",
        "http:///short.wav",
        "http://127.0.0.1/a b.wav",
        "http://127.0.0.1/\n.wav",
        "",
    };
    player_.open(url("/titled.wav"));
    ASSERT_TRUE(waitFor([&] { return player_.playState() == playstate::playing; }));
    for (const char *address : addresses) {
        player_.open(address);
        // at once, not only after libmpv has had a look
        EXPECT_EQ(player_.playState(), playstate::ready) << address;
    }
    EXPECT_EQ(player_.currentPosition(), 0);
    player_.play(); // nothing to resume: the refused address replaced the song
    EXPECT_EQ(player_.playState(), playstate::ready);
}

TEST_F(MediaPlayerTest, PlaysHttpAddressesInAnyCaseAndAfterRedirects)
{
    std::string upper = url("/short.wav");
    upper.replace(0, 4, "HTTP");
    for (const std::string &address : { upper, url("/moved.wav") }) {
        MediaPlayer player(testOptions());
        player.open(address);
        EXPECT_TRUE(waitFor([&] { return player.playState() == playstate::playing; })) << address;
    }
}

TEST_F(MediaPlayerTest, OpensLocalFilesOnlyByAbsolutePath)
{
    player_.openLocalFile(server_->localSong().string());
    EXPECT_TRUE(waitFor([&] { return player_.playState() == playstate::playing; }));
    player_.openLocalFile(server_->localSong().filename().string());
    EXPECT_EQ(player_.playState(), playstate::ready);
}

TEST_F(MediaPlayerTest, RepliesThatCannotBePlayedEndAsFailedOpens)
{
    for (const char *path : { "/missing.wav", "/noise.bin", "/list.m3u", "/moved-local.wav" }) {
        MediaPlayer player(testOptions());
        player.open(url(path));
        std::set<int> seen;
        EXPECT_TRUE(waitFor([&] {
            seen.insert(player.playState());
            return isOver(player.playState());
        })) << path;
        EXPECT_EQ(player.playState(), playstate::ready) << path;
        EXPECT_EQ(seen.count(playstate::playing), 0u) << path;
        EXPECT_GE(server_->hits(path), 1) << path;
    }
    // A playlist in a reply must not lead the player anywhere else.
    EXPECT_EQ(server_->hits("/from-list.wav"), 0);
}

TEST_F(MediaPlayerTest, AStalledServerEndsAsAFailedOpen)
{
    MediaPlayer::Options options = testOptions();
    options.stallTimeoutSeconds = 1;
    MediaPlayer player(options);
    player.open(url("/stall.wav"));
    const int first = player.playState();
    EXPECT_TRUE(first == playstate::transitioning || first == playstate::buffering) << first;
    EXPECT_TRUE(waitFor([&] { return player.playState() == playstate::ready; }));
}

TEST_F(MediaPlayerTest, WakeupCallbackFiresWithoutPolling)
{
    std::atomic<int> wakeups { 0 };
    player_.setWakeupCallback([&] { ++wakeups; });
    // A refused address never reaches libmpv, which therefore has nothing to report.
    player_.processEvents();
    wakeups = 0;
    player_.open("file:///etc/passwd");
    EXPECT_TRUE(waitFor([&] { return wakeups > 0; }));

    wakeups = 0;
    player_.open(url("/short.wav"));
    EXPECT_TRUE(waitFor([&] { return wakeups > 0; }));
    player_.setWakeupCallback({});
}

TEST_F(MediaPlayerTest, DoesNothingBeforeTheFirstOpen)
{
    player_.setVolume(50);
    player_.toggleMute();
    player_.pause();
    player_.play();
    player_.stop();
    player_.setCurrentPosition(10);
    EXPECT_EQ(player_.playState(), playstate::undefined);
    EXPECT_EQ(player_.status(), "");
    EXPECT_EQ(player_.currentPosition(), 0);
    EXPECT_EQ(player_.duration(), 0);
    EXPECT_EQ(player_.title(), utf8ToGb("未知标题"));
    EXPECT_EQ(player_.author(), utf8ToGb("未知作者"));
    EXPECT_EQ(player_.rightsText(), utf8ToGb("未知版权"));
    EXPECT_EQ(player_.mediaType(), utf8ToGb("未知类型"));
    EXPECT_EQ(player_.bitrate(), "0 kbit/sec");
    EXPECT_EQ(player_.bufferingCount(), "");
    EXPECT_FALSE(player_.initHost());
}

} // namespace
