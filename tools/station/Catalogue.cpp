#include "station/Catalogue.h"

#include <openssl/evp.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <system_error>

namespace sorvane::station {

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMaxFileBytes = 64u << 20;

std::string sha256Hex(const std::string &bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr);
    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out.push_back(hex[digest[i] >> 4]);
        out.push_back(hex[digest[i] & 15]);
    }
    return out;
}

std::string trim(std::string_view s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

bool allOf(std::string_view s, size_t maxLength, const std::function<bool(char)> &ok)
{
    return !s.empty() && s.size() <= maxLength && std::all_of(s.begin(), s.end(), ok);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isInteger(std::string_view s)
{
    if (!s.empty() && s[0] == '-')
        s.remove_prefix(1);
    return allOf(s, 9, isDigit);
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t n;
        char32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= s.size())
            return false;
        for (size_t k = 1; k <= n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        static constexpr char32_t minimum[] = { 0, 0x80, 0x800, 0x10000 };
        if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

std::string extensionOf(const std::string &name)
{
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size())
        return {};
    std::string ext = name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

// Reads a file named in the catalogue; the name may not leave the folder.
bool readNamedFile(const fs::path &dir, const std::string &name, std::string &bytes, std::string &reason)
{
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos
        || name.find('\0') != std::string::npos) {
        reason = "file name \"" + name + "\" must be a plain name in the catalogue folder";
        return false;
    }
    const fs::path path = dir / name;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        reason = "no file \"" + name + "\"";
        return false;
    }
    const auto size = fs::file_size(path, ec);
    if (ec || size > kMaxFileBytes) {
        reason = "file \"" + name + "\" is too large or unreadable";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes.assign(static_cast<size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) {
        reason = "cannot read \"" + name + "\"";
        return false;
    }
    return true;
}

} // namespace

Catalogue::Catalogue(std::vector<Song> songs)
    : m_songs(std::move(songs))
{
    for (auto &song : m_songs) {
        if (song.albumPath.empty())
            song.albumPath = "/subject/" + song.sid + "/";
        song.sha256 = sha256Hex(song.audio);
    }
}

std::optional<Catalogue> Catalogue::load(const fs::path &dir, std::string &error)
{
    const fs::path file = dir / "catalogue.ini";
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = file.string() + ": cannot open";
        return std::nullopt;
    }

    struct Entry
    {
        std::map<std::string, std::string> values;
        int line = 0;
    };
    std::vector<Entry> entries;
    static const std::set<std::string> known { "sid", "ssid", "title", "artist", "audio", "album",
        "album_path", "channel", "cover", "lyric", "kbps", "length" };
    int lineNo = 0;
    auto fail = [&](int line, const std::string &reason) {
        error = file.string() + ":" + std::to_string(line) + ": " + reason;
        return std::nullopt;
    };
    for (std::string raw; std::getline(in, raw);) {
        ++lineNo;
        if (lineNo == 1 && raw.rfind("\xEF\xBB\xBF", 0) == 0)
            raw.erase(0, 3); // a BOM left by an editor
        const std::string line = trim(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        if (!isUtf8(line))
            return fail(lineNo, "not UTF-8");
        if (line == "[song]") {
            entries.push_back({ {}, lineNo });
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            return fail(lineNo, "expected \"key = value\" or \"[song]\"");
        if (entries.empty())
            return fail(lineNo, "a \"[song]\" line must come first");
        const std::string key = trim(std::string_view(line).substr(0, eq));
        if (!known.count(key))
            return fail(lineNo, "unknown key \"" + key + "\"");
        if (!entries.back().values.emplace(key, trim(std::string_view(line).substr(eq + 1))).second)
            return fail(lineNo, "\"" + key + "\" given twice");
    }

    std::vector<Song> songs;
    std::set<std::string> sids;
    for (const auto &entry : entries) {
        const auto &v = entry.values;
        auto get = [&](const char *key) {
            auto it = v.find(key);
            return it == v.end() ? std::string() : it->second;
        };
        for (const char *key : { "sid", "ssid", "title", "artist", "audio" })
            if (get(key).empty())
                return fail(entry.line, std::string("song lacks \"") + key + "\"");
        Song song;
        song.sid = get("sid");
        song.ssid = get("ssid");
        if (!allOf(song.sid, 12, isDigit))
            return fail(entry.line, "sid must be 1-12 digits");
        if (!sids.insert(song.sid).second)
            return fail(entry.line, "sid " + song.sid + " appears twice");
        if (!allOf(song.ssid, 16, [](char c) { return isDigit(c) || (c >= 'a' && c <= 'z'); }))
            return fail(entry.line, "ssid must be 1-16 lower-case letters or digits");
        song.title = get("title");
        song.artist = get("artist");
        song.albumTitle = get("album");
        song.albumPath = get("album_path");
        if (v.count("channel")) {
            song.channel = get("channel");
            if (!isInteger(song.channel))
                return fail(entry.line, "channel must be an integer");
        }
        if (v.count("kbps")) {
            song.kbps = get("kbps");
            if (!allOf(song.kbps, 5, isDigit))
                return fail(entry.line, "kbps must be digits");
        }
        if (v.count("length")) {
            const std::string length = get("length");
            if (!allOf(length, 6, isDigit))
                return fail(entry.line, "length must be whole seconds");
            song.lengthSeconds = std::stoi(length);
        }
        std::string reason;
        if (!readNamedFile(dir, get("audio"), song.audio, reason))
            return fail(entry.line, reason);
        song.audioExt = extensionOf(get("audio"));
        if (v.count("cover")) {
            if (!readNamedFile(dir, get("cover"), song.cover, reason))
                return fail(entry.line, reason);
            song.coverExt = extensionOf(get("cover"));
        }
        if (v.count("lyric")) {
            std::string text;
            if (!readNamedFile(dir, get("lyric"), text, reason))
                return fail(entry.line, reason);
            if (!isUtf8(text))
                return fail(entry.line, "lyric file \"" + get("lyric") + "\" is not UTF-8");
            song.lyric = std::move(text);
        }
        songs.push_back(std::move(song));
    }
    if (songs.empty()) {
        error = file.string() + ": no songs";
        return std::nullopt;
    }
    return Catalogue(std::move(songs));
}

const Song *Catalogue::findSid(std::string_view sid) const
{
    for (const auto &song : m_songs)
        if (song.sid == sid)
            return &song;
    return nullptr;
}

std::vector<const Song *> Catalogue::albumSongs(std::string_view albumPath) const
{
    std::vector<const Song *> out;
    for (const auto &song : m_songs)
        if (song.albumPath == albumPath)
            out.push_back(&song);
    return out;
}

fs::path demoCatalogueDir()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path beside = exe.parent_path().parent_path() / "share" / "sorvane" / "demo";
        if (fs::is_regular_file(beside / "catalogue.ini", ec))
            return beside;
    }
    return SORVANE_STATION_DEMO_DIR;
}

fs::path shortCatalogueDir()
{
    return SORVANE_STATION_SHORT_DIR;
}

} // namespace sorvane::station
