// The program's audio engine: one long-lived player on libmpv that plays one song
// address at a time.
//
// Ownership and threads
//   A MediaPlayer owns one mpv_handle and destroys it (stopping playback) in its
//   destructor. It is neither copyable nor movable. Every member function must be called
//   on the thread that created the player (the GUI thread); the class is not
//   thread-safe. The only code that runs on another thread is the wakeup callback (see
//   setWakeupCallback).
//
// Events
//   libmpv reports progress as events. The player keeps its own record of the song's
//   state from those events; every getter first drains the pending events
//   (processEvents), so the answers are current whether or not the owner drains events
//   itself in between.
//
// Failures
//   Nothing throws and nothing is shown. When libmpv could not be started, or before the
//   first open, or when an mpv call fails, operations return the empty value of their
//   type (empty text, 0, false) and writes do nothing. Media-information getters then
//   return their default texts and bitrate() returns "0 kbit/sec".
//
// Texts are GB18030 (text::GbString); metadata from the stream is converted from UTF-8.
#pragma once

#include "text/Encoding.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct mpv_handle;
struct mpv_event;

namespace sorvane::playback {

// Play-state codes, numbered as the Windows Media Player play-state enumeration that
// the program's playback tick understands. The codes this player reports:
//   0 undefined       nothing has been opened yet, or libmpv could not be started
//   1 stopped         the song has played to its end (after the buffered audio has been
//                     heard), or stop() was called
//   2 paused          pause() was called while a song was loading or playing
//   3 playing         audio is playing
//   6 buffering       the song is loaded and waits for data before it starts, or
//                     playback waits for the network cache to refill
//   8 media ended     the last of the song has been decoded and the buffered audio is
//                     still being played out (well under a second)
//   9 transitioning   open() was called and the address is being connected and read
//   10 ready          the last open failed: refused address, HTTP error, unreachable
//                     server, time-out, unreadable or unsupported data, a playlist, or
//                     loading/buffering took longer than Options::stallTimeoutSeconds
// The codes 4, 5, 7 and 11 (scanning forward/backward, waiting, reconnecting) are never
// reported. After open() the state reaches 1 or 10 once the song is over or has failed,
// and stays there until the next open(), play() or stop().
namespace playstate {
inline constexpr int undefined = 0;
inline constexpr int stopped = 1;
inline constexpr int paused = 2;
inline constexpr int playing = 3;
inline constexpr int buffering = 6;
inline constexpr int mediaEnded = 8;
inline constexpr int transitioning = 9;
inline constexpr int ready = 10;
} // namespace playstate

class MediaPlayer
{
public:
    struct Options
    {
        // Extra mpv options, "name=value" items separated by commas (an item without
        // "=" sets the flag option to "yes"). They are applied after the player's own
        // settings, so they can override them; tests use "ao=null". A rejected item is
        // reported on stderr and skipped.
        std::string mpvOptions = mpvOptionsFromEnvironment();
        // How long a stalled connection may take before the open or the song fails.
        double networkTimeoutSeconds = 10.0;
        // How long a song may stay loading or buffering (not paused) before it counts
        // as failed, for servers that keep the connection open but send too little.
        double stallTimeoutSeconds = 30.0;
    };

    // The value of SORVANE_MPV_OPTIONS, or "" when it is not set.
    static std::string mpvOptionsFromEnvironment();

    MediaPlayer();
    explicit MediaPlayer(Options options);
    ~MediaPlayer();
    MediaPlayer(const MediaPlayer &) = delete;
    MediaPlayer &operator=(const MediaPlayer &) = delete;

    // False when libmpv could not be created or initialised; the player then reports
    // state 0 and empty values for ever.
    bool isAvailable() const { return handle_ != nullptr; }

    // There is no control hosting on this platform.
    bool initHost() { return false; }

    // Stops whatever plays and starts playing `url` at once (unpaused). Only http and
    // https addresses of printable ASCII are accepted; anything else (other schemes, a
    // bare path, spaces or control bytes) stops the current song and counts as a failed
    // open, state 10, at once. A reply that turns out to be a playlist is refused too.
    // Until the new song is loaded, position, duration and tags read as empty; they
    // never describe the previous song.
    void open(std::string_view url);
    // Like open(), for a local file given by its absolute path. For tests and the
    // demo only: never pass an address or path taken from a network reply.
    void openLocalFile(std::string_view absolutePath);

    // Resumes after pause(). After the song has ended, been stopped or failed, plays
    // the last opened address again from the start.
    void play();
    // Holds the song where it is (state 2); ignored unless a song is loading or playing.
    void pause();
    // Ends the song (state 1).
    void stop();
    // How many times each song plays (1 = once); values below 1 are ignored.
    void setPlayCount(int count);
    void toggleMute();
    // 0–100; values outside are clamped.
    void setVolume(int volume);
    // The volume libmpv plays at, 0–100 rounded; 0 when libmpv is not available.
    int volume() const;
    // Seeks in the current song; ignored while nothing is loaded.
    void setCurrentPosition(double seconds);

    // A short description of the state ("正在播放", "已暂停", ...), empty for state 0.
    text::GbString status();
    int playState();
    // Seconds into the current song; 0 while nothing is loaded.
    double currentPosition();
    // Length of the current song in seconds; 0 until it is known.
    double duration();
    // Tag values of the current song, or "未知标题", "未知作者", "未知版权", "未知类型".
    text::GbString title();
    text::GbString author();
    text::GbString rightsText();
    text::GbString mediaType();
    // The audio bit rate, e.g. "128 kbit/sec".
    text::GbString bitrate();
    // How often playback had to wait for data since the last open, in decimal.
    text::GbString bufferingCount();
    // How full the cache is while playback waits for data, 0–100 in decimal.
    text::GbString bufferingProgress();

    // n seconds as "mm:ss"; minutes grow beyond two digits ("100:05"). Negative → "00:00".
    static text::GbString formatTime(std::int64_t seconds);
    // The first five characters of "m:s" as minutes × 60 + seconds ("01:23.45" → 83);
    // 0 without ":".
    static int parseTime(std::string_view text);
    // Bits per second as whole kbit/s: 127999 → "127 kbit/sec".
    static text::GbString bitrateText(double bitsPerSecond);

    // Drains libmpv's pending events into the player's state. Cheap when none wait.
    void processEvents();

    // `callback` is called whenever events are waiting, and after open() refused an
    // address. It runs on one of libmpv's threads or, from inside a player call, on the
    // owner thread, so it must only post a note to the owner thread (e.g. a queued
    // signal), which then calls processEvents() or a getter; it must not call the
    // player, block or throw. Pass an empty function to remove it. Set and cleared on
    // the owner thread; the destructor removes it before libmpv shuts down.
    void setWakeupCallback(std::function<void()> callback);

private:
    // Where the song of the last open stands.
    enum class Phase {
        NotOpened,
        Loading, // loadfile issued, the file is being opened
        Loaded, // the file is open, playback not yet started
        Playing, // playback started (may be paused or waiting for the cache)
        Draining, // decoded to the end, buffered audio still playing
        Ended, // played to the end
        Stopped, // stop() or playback cut off
        Failed, // refused or failed to open
    };

    struct HandleDeleter
    {
        void operator()(mpv_handle *handle) const;
    };
    struct WakeupSlot;

    void load(std::string target);
    void fail();
    void handleEvent(const mpv_event &event);
    bool songLoaded() const { return phase_ == Phase::Loaded || phase_ == Phase::Playing; }
    std::string tag(const char *key);
    text::GbString tagOr(const char *key, const text::GbString &fallback);

    // Declared before the handle so that it outlives it.
    std::unique_ptr<WakeupSlot> wakeup_;
    std::unique_ptr<mpv_handle, HandleDeleter> handle_;

    Phase phase_ = Phase::NotOpened;
    std::string lastTarget_; // what the last accepted open handed to mpv
    std::int64_t entry_ = -1; // mpv playlist entry of the last open
    std::int64_t activeEntry_ = -1; // entry mpv is working on, from start-file
    bool paused_ = false;
    bool waitingForCache_ = false;
    int bufferingCount_ = 0;
    std::chrono::steady_clock::duration stallLimit_;
    std::chrono::steady_clock::time_point drainStart_;
    std::chrono::steady_clock::time_point waitStart_;
};

} // namespace sorvane::playback
