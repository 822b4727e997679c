#include "playback/MediaPlayer.h"

#include <mpv/client.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

namespace sorvane::playback {

namespace {

// The player's own texts, UTF-8 here and converted where they are handed out.
namespace texts {
constexpr const char *unknownTitle = "未知标题";
constexpr const char *unknownAuthor = "未知作者";
constexpr const char *unknownRights = "未知版权";
constexpr const char *unknownType = "未知类型";
constexpr const char *audioType = "audio";
constexpr const char *stopped = "已停止";
constexpr const char *paused = "已暂停";
constexpr const char *playing = "正在播放";
constexpr const char *buffering = "正在缓冲";
constexpr const char *mediaEnded = "播放结束";
constexpr const char *connecting = "正在连接";
constexpr const char *ready = "就绪";
} // namespace texts

constexpr std::uint64_t kPausedForCacheReply = 1;
// Tags come from the stream; a title or artist longer than this is cut.
constexpr std::size_t kMaxTagBytes = 1024;
constexpr std::size_t kMaxAddressBytes = 8192;
// The buffered audio after the last decoded sample plays out in well under a second;
// if libmpv never reports going idle we call the song over after this.
constexpr std::chrono::seconds kMaxDrain { 3 };

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

std::vector<std::pair<std::string, std::string>> splitMpvOptions(std::string_view list)
{
    std::vector<std::pair<std::string, std::string>> items;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = trimmed(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view {} : list.substr(comma + 1);
        if (item.empty())
            continue;
        const std::size_t eq = item.find('=');
        if (eq == std::string_view::npos)
            items.emplace_back(std::string(item), "yes");
        else
            items.emplace_back(
                std::string(trimmed(item.substr(0, eq))), std::string(trimmed(item.substr(eq + 1))));
    }
    return items;
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Returns the address with its scheme in lower case, or "" when it is not a plain
// http(s) address. mpv reads many other schemes (file, fd, av, lavf, edl, memory, ...),
// and an address out of a reply must not reach any of them.
std::string checkedStreamAddress(std::string_view url)
{
    if (url.empty() || url.size() > kMaxAddressBytes)
        return {};
    for (const char c : url) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F)
            return {};
    }
    const std::size_t sep = url.find("://");
    if (sep == std::string_view::npos)
        return {};
    std::string scheme(url.substr(0, sep));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), lowerAscii);
    if (scheme != "http" && scheme != "https")
        return {};
    const std::string_view rest = url.substr(sep + 3);
    if (rest.empty() || rest.front() == '/' || rest.front() == '?' || rest.front() == '#')
        return {}; // no host
    return scheme + "://" + std::string(rest);
}

bool isAbsoluteLocalPath(std::string_view path)
{
    if (path.empty() || path.front() != '/' || path.size() > kMaxAddressBytes)
        return false;
    return std::none_of(path.begin(), path.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

// Cuts `s` to at most `max` bytes without splitting a UTF-8 sequence.
void truncateUtf8(std::string &s, std::size_t max)
{
    if (s.size() <= max)
        return;
    std::size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
        --end;
    s.resize(end);
}

// Reads a leading integer as a lenient text-to-number conversion does: blanks, an
// optional sign, then digits up to the first other character; nothing readable is 0.
int leadingInt(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9' && value < 100000000; ++i)
        value = value * 10 + (s[i] - '0');
    return static_cast<int>(negative ? -value : value);
}

std::string twoDigits(std::int64_t n)
{
    return (n <= 9 ? "0" : "") + std::to_string(n);
}

} // namespace

struct MediaPlayer::WakeupSlot
{
    std::mutex mutex;
    std::function<void()> callback;

    static void call(void *data)
    {
        auto *slot = static_cast<WakeupSlot *>(data);
        std::lock_guard lock(slot->mutex);
        if (slot->callback)
            slot->callback();
    }
};

void MediaPlayer::HandleDeleter::operator()(mpv_handle *handle) const
{
    mpv_terminate_destroy(handle);
}

std::string MediaPlayer::mpvOptionsFromEnvironment()
{
    const char *value = std::getenv("SORVANE_MPV_OPTIONS");
    return value ? value : "";
}

MediaPlayer::MediaPlayer()
    : MediaPlayer(Options {})
{
}

MediaPlayer::MediaPlayer(Options options)
    : wakeup_(std::make_unique<WakeupSlot>())
    , stallLimit_(std::chrono::duration_cast<std::chrono::steady_clock::duration>(
          std::chrono::duration<double>(std::max(options.stallTimeoutSeconds, 0.1))))
{
    mpv_handle *handle = mpv_create();
    if (!handle)
        return;
    handle_.reset(handle);

    char timeout[32];
    std::snprintf(timeout, sizeof timeout, "%.3f", std::max(options.networkTimeoutSeconds, 0.1));
    // No user configuration, scripts, key bindings, terminal or video: the player is an
    // audio engine behind our own window, and nothing from the outside may extend it.
    // access-references=no keeps a reply that is a playlist from leading mpv to other
    // addresses; tls-verify=yes checks https certificates against the system store.
    const std::pair<const char *, std::string> settings[] = {
        { "config", "no" },
        { "load-scripts", "no" },
        { "ytdl", "no" },
        { "osc", "no" },
        { "load-stats-overlay", "no" },
        { "load-osd-console", "no" },
        { "load-auto-profiles", "no" },
        { "input-default-bindings", "no" },
        { "input-vo-keyboard", "no" },
        { "input-terminal", "no" },
        { "terminal", "no" },
        { "vid", "no" },
        { "audio-display", "no" },
        { "autoload-files", "no" },
        { "access-references", "no" },
        { "idle", "yes" },
        { "keep-open", "no" },
        { "network-timeout", timeout },
        { "user-agent", "Sorvane/" SORVANE_VERSION },
        { "tls-verify", "yes" },
        { "demuxer-max-bytes", "32MiB" },
        { "demuxer-max-back-bytes", "8MiB" },
    };
    for (const auto &[name, value] : settings)
        mpv_set_option_string(handle, name, value.c_str());
    for (const auto &[name, value] : splitMpvOptions(options.mpvOptions)) {
        const int error = mpv_set_option_string(handle, name.c_str(), value.c_str());
        if (error < 0)
            std::fprintf(stderr, "sorvane: mpv option %s=%s ignored: %s\n", name.c_str(), value.c_str(),
                mpv_error_string(error));
    }
    if (mpv_initialize(handle) < 0) {
        handle_.reset();
        return;
    }
    mpv_observe_property(handle, kPausedForCacheReply, "paused-for-cache", MPV_FORMAT_FLAG);
    mpv_set_wakeup_callback(handle, &WakeupSlot::call, wakeup_.get());
}

MediaPlayer::~MediaPlayer()
{
    if (handle_)
        mpv_set_wakeup_callback(handle_.get(), nullptr, nullptr);
    handle_.reset();
}

void MediaPlayer::setWakeupCallback(std::function<void()> callback)
{
    std::lock_guard lock(wakeup_->mutex);
    std::swap(wakeup_->callback, callback);
    // the old callback is destroyed after the lock is released
}

void MediaPlayer::open(std::string_view url)
{
    if (!handle_)
        return;
    std::string address = checkedStreamAddress(url);
    if (address.empty()) {
        fail();
        return;
    }
    load(std::move(address));
}

void MediaPlayer::openLocalFile(std::string_view absolutePath)
{
    if (!handle_)
        return;
    if (!isAbsoluteLocalPath(absolutePath)) {
        fail();
        return;
    }
    load(std::string(absolutePath));
}

void MediaPlayer::load(std::string target)
{
    mpv_handle *h = handle_.get();
    processEvents(); // settle what the previous song left behind first
    paused_ = false;
    waitingForCache_ = false;
    bufferingCount_ = 0;
    mpv_set_property_string(h, "pause", "no");

    const char *command[] = { "loadfile", target.c_str(), "replace", nullptr };
    mpv_node result;
    if (mpv_command_ret(h, command, &result) < 0) {
        fail();
        return;
    }
    std::int64_t entry = -1;
    if (result.format == MPV_FORMAT_NODE_MAP) {
        const mpv_node_list *map = result.u.list;
        for (int i = 0; i < map->num; ++i) {
            if (std::string_view(map->keys[i]) == "playlist_entry_id"
                && map->values[i].format == MPV_FORMAT_INT64)
                entry = map->values[i].u.int64;
        }
    }
    mpv_free_node_contents(&result);
    if (entry < 0) {
        // "replace" leaves our entry as the only one in the playlist
        if (mpv_get_property(h, "playlist/0/id", MPV_FORMAT_INT64, &entry) < 0)
            entry = -1;
    }
    if (entry < 0) {
        fail();
        return;
    }
    entry_ = entry;
    lastTarget_ = std::move(target);
    phase_ = Phase::Loading;
    waitStart_ = std::chrono::steady_clock::now();
}

void MediaPlayer::fail()
{
    if (phase_ == Phase::Loading || phase_ == Phase::Loaded || phase_ == Phase::Playing
        || phase_ == Phase::Draining) {
        const char *command[] = { "stop", nullptr };
        mpv_command(handle_.get(), command);
    }
    phase_ = Phase::Failed;
    entry_ = -1;
    lastTarget_.clear();
    paused_ = false;
    // Let an owner that waits for wakeups notice the failure without its next poll.
    mpv_wakeup(handle_.get());
}

void MediaPlayer::processEvents()
{
    mpv_handle *h = handle_.get();
    if (!h)
        return;
    for (;;) {
        const mpv_event *event = mpv_wait_event(h, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handleEvent(*event);
    }

    const auto now = std::chrono::steady_clock::now();
    if (phase_ == Phase::Draining) {
        int idle = 0;
        if ((mpv_get_property(h, "idle-active", MPV_FORMAT_FLAG, &idle) >= 0 && idle)
            || now - drainStart_ > kMaxDrain)
            phase_ = Phase::Ended;
    }

    // A server that keeps the connection open but sends (almost) nothing would hold the
    // song in loading or buffering for ever, and the playback tick only moves on from
    // a finished or failed song.
    const bool waiting = !paused_
        && (phase_ == Phase::Loading || phase_ == Phase::Loaded
            || (phase_ == Phase::Playing && waitingForCache_));
    if (!waiting)
        waitStart_ = now;
    else if (now - waitStart_ > stallLimit_)
        fail();
}

void MediaPlayer::handleEvent(const mpv_event &event)
{
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        activeEntry_ = static_cast<const mpv_event_start_file *>(event.data)->playlist_entry_id;
        break;
    case MPV_EVENT_FILE_LOADED:
        if (activeEntry_ == entry_ && phase_ == Phase::Loading)
            phase_ = Phase::Loaded;
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (activeEntry_ == entry_ && (phase_ == Phase::Loading || phase_ == Phase::Loaded))
            phase_ = Phase::Playing;
        break;
    case MPV_EVENT_END_FILE: {
        const auto *end = static_cast<const mpv_event_end_file *>(event.data);
        if (end->playlist_entry_id == activeEntry_)
            activeEntry_ = -1;
        if (end->playlist_entry_id != entry_
            || !(phase_ == Phase::Loading || phase_ == Phase::Loaded || phase_ == Phase::Playing))
            break;
        switch (end->reason) {
        case MPV_END_FILE_REASON_EOF:
            phase_ = Phase::Draining;
            drainStart_ = std::chrono::steady_clock::now();
            break;
        case MPV_END_FILE_REASON_ERROR:
            phase_ = Phase::Failed;
            break;
        case MPV_END_FILE_REASON_REDIRECT:
            // The reply was a playlist; mpv would go on to play its entries.
            fail();
            break;
        default:
            phase_ = Phase::Stopped;
            break;
        }
        break;
    }
    case MPV_EVENT_PROPERTY_CHANGE:
        if (event.reply_userdata == kPausedForCacheReply) {
            const auto *property = static_cast<const mpv_event_property *>(event.data);
            const bool waiting = property->format == MPV_FORMAT_FLAG && *static_cast<int *>(property->data);
            if (waiting && !waitingForCache_ && phase_ == Phase::Playing)
                ++bufferingCount_;
            waitingForCache_ = waiting;
        }
        break;
    default:
        break;
    }
}

void MediaPlayer::play()
{
    if (!handle_)
        return;
    processEvents();
    switch (phase_) {
    case Phase::Loading:
    case Phase::Loaded:
    case Phase::Playing:
        if (mpv_set_property_string(handle_.get(), "pause", "no") >= 0)
            paused_ = false;
        break;
    case Phase::Ended:
    case Phase::Stopped:
    case Phase::Failed:
        if (!lastTarget_.empty())
            load(lastTarget_);
        break;
    case Phase::NotOpened:
    case Phase::Draining:
        break;
    }
}

void MediaPlayer::pause()
{
    if (!handle_)
        return;
    processEvents();
    if (phase_ == Phase::Loading || phase_ == Phase::Loaded || phase_ == Phase::Playing) {
        if (mpv_set_property_string(handle_.get(), "pause", "yes") >= 0)
            paused_ = true;
    }
}

void MediaPlayer::stop()
{
    if (!handle_ || phase_ == Phase::NotOpened)
        return;
    const char *command[] = { "stop", nullptr };
    mpv_command(handle_.get(), command);
    phase_ = Phase::Stopped;
    entry_ = -1;
    paused_ = false;
}

void MediaPlayer::setPlayCount(int count)
{
    if (!handle_ || phase_ == Phase::NotOpened || count < 1)
        return;
    const std::string loops = count == 1 ? "no" : std::to_string(count - 1);
    mpv_set_property_string(handle_.get(), "loop-file", loops.c_str());
}

void MediaPlayer::toggleMute()
{
    if (!handle_ || phase_ == Phase::NotOpened)
        return;
    int muted = 0;
    if (mpv_get_property(handle_.get(), "mute", MPV_FORMAT_FLAG, &muted) < 0)
        return;
    int flipped = muted ? 0 : 1;
    mpv_set_property(handle_.get(), "mute", MPV_FORMAT_FLAG, &flipped);
}

void MediaPlayer::setVolume(int volume)
{
    if (!handle_ || phase_ == Phase::NotOpened)
        return;
    double value = std::clamp(volume, 0, 100);
    mpv_set_property(handle_.get(), "volume", MPV_FORMAT_DOUBLE, &value);
}

int MediaPlayer::volume() const
{
    double value = 0;
    if (!handle_ || mpv_get_property(handle_.get(), "volume", MPV_FORMAT_DOUBLE, &value) < 0)
        return 0;
    return static_cast<int>(std::lround(value));
}

void MediaPlayer::setCurrentPosition(double seconds)
{
    processEvents();
    if (!songLoaded() || !std::isfinite(seconds))
        return;
    double target = std::max(seconds, 0.0);
    mpv_set_property(handle_.get(), "time-pos", MPV_FORMAT_DOUBLE, &target);
}

int MediaPlayer::playState()
{
    if (!handle_)
        return playstate::undefined;
    processEvents();
    switch (phase_) {
    case Phase::NotOpened:
        return playstate::undefined;
    case Phase::Loading:
        return paused_ ? playstate::paused : playstate::transitioning;
    case Phase::Loaded:
        return paused_ ? playstate::paused : playstate::buffering;
    case Phase::Playing:
        if (paused_)
            return playstate::paused;
        return waitingForCache_ ? playstate::buffering : playstate::playing;
    case Phase::Draining:
        return playstate::mediaEnded;
    case Phase::Ended:
    case Phase::Stopped:
        return playstate::stopped;
    case Phase::Failed:
        return playstate::ready;
    }
    return playstate::undefined;
}

text::GbString MediaPlayer::status()
{
    switch (playState()) {
    case playstate::stopped:
        return text::utf8ToGb(texts::stopped);
    case playstate::paused:
        return text::utf8ToGb(texts::paused);
    case playstate::playing:
        return text::utf8ToGb(texts::playing);
    case playstate::buffering:
        return text::utf8ToGb(texts::buffering);
    case playstate::mediaEnded:
        return text::utf8ToGb(texts::mediaEnded);
    case playstate::transitioning:
        return text::utf8ToGb(texts::connecting);
    case playstate::ready:
        return text::utf8ToGb(texts::ready);
    default:
        return {};
    }
}

double MediaPlayer::currentPosition()
{
    processEvents();
    double seconds = 0;
    if (!songLoaded() || mpv_get_property(handle_.get(), "time-pos", MPV_FORMAT_DOUBLE, &seconds) < 0)
        return 0;
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

double MediaPlayer::duration()
{
    processEvents();
    double seconds = 0;
    if (!songLoaded() || mpv_get_property(handle_.get(), "duration", MPV_FORMAT_DOUBLE, &seconds) < 0)
        return 0;
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

std::string MediaPlayer::tag(const char *key)
{
    processEvents();
    if (!songLoaded())
        return {};
    const std::string name = std::string("metadata/by-key/") + key;
    char *value = nullptr;
    if (mpv_get_property(handle_.get(), name.c_str(), MPV_FORMAT_STRING, &value) < 0 || !value)
        return {};
    std::string utf8(value);
    mpv_free(value);
    truncateUtf8(utf8, kMaxTagBytes);
    return utf8;
}

text::GbString MediaPlayer::tagOr(const char *key, const text::GbString &fallback)
{
    const std::string value = tag(key);
    return value.empty() ? fallback : text::utf8ToGb(value);
}

text::GbString MediaPlayer::title()
{
    return tagOr("title", text::utf8ToGb(texts::unknownTitle));
}

text::GbString MediaPlayer::author()
{
    return tagOr("artist", text::utf8ToGb(texts::unknownAuthor));
}

text::GbString MediaPlayer::rightsText()
{
    return tagOr("copyright", text::utf8ToGb(texts::unknownRights));
}

text::GbString MediaPlayer::mediaType()
{
    processEvents();
    return text::utf8ToGb(songLoaded() ? texts::audioType : texts::unknownType);
}

text::GbString MediaPlayer::bitrate()
{
    processEvents();
    double bitsPerSecond = 0;
    if (!songLoaded()
        || mpv_get_property(handle_.get(), "audio-bitrate", MPV_FORMAT_DOUBLE, &bitsPerSecond) < 0)
        bitsPerSecond = 0;
    return bitrateText(bitsPerSecond);
}

text::GbString MediaPlayer::bufferingCount()
{
    processEvents();
    if (!handle_ || phase_ == Phase::NotOpened)
        return {};
    return std::to_string(bufferingCount_);
}

text::GbString MediaPlayer::bufferingProgress()
{
    processEvents();
    if (!handle_ || phase_ == Phase::NotOpened)
        return {};
    std::int64_t percent = 0;
    if (!songLoaded()
        || mpv_get_property(handle_.get(), "cache-buffering-state", MPV_FORMAT_INT64, &percent) < 0)
        percent = 0;
    return std::to_string(std::clamp<std::int64_t>(percent, 0, 100));
}

text::GbString MediaPlayer::formatTime(std::int64_t seconds)
{
    const std::int64_t n = std::max<std::int64_t>(seconds, 0);
    return twoDigits(n / 60) + ":" + twoDigits(n % 60);
}

int MediaPlayer::parseTime(std::string_view text)
{
    std::size_t end = 0;
    for (int chars = 0; chars < 5 && end < text.size(); ++chars)
        end += text::charLength(text, end);
    // ':' never occurs inside a multi-byte GB18030 character, so a byte search is safe
    const std::string_view head = text.substr(0, end);
    const std::size_t colon = head.find(':');
    if (colon == std::string_view::npos)
        return 0;
    const std::string_view rest = head.substr(colon + 1);
    return leadingInt(head.substr(0, colon)) * 60 + leadingInt(rest.substr(0, rest.find(':')));
}

text::GbString MediaPlayer::bitrateText(double bitsPerSecond)
{
    std::int64_t kbits = 0;
    if (bitsPerSecond > 0 && bitsPerSecond < 1e15)
        kbits = static_cast<std::int64_t>(bitsPerSecond) / 1000;
    return std::to_string(kbits) + " kbit/sec";
}

} // namespace sorvane::playback
