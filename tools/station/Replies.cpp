#include "station/Replies.h"

#include <map>

namespace sorvane::station {

namespace {

// Every channel of the player's list; the service's names lack the list's "MHz" suffix.
const std::map<std::string, std::string, std::less<>> &channelNames()
{
    static const std::map<std::string, std::string, std::less<>> names {
        { "-10", "豆瓣精选" },
        { "1", "华语" },
        { "2", "欧美" },
        { "3", "70s" },
        { "4", "80s" },
        { "5", "90s" },
        { "6", "粤语" },
        { "17", "日语" },
        { "18", "韩语" },
        { "61", "新歌" },
        { "194", "流行" },
        { "7", "摇滚" },
        { "8", "民谣" },
        { "9", "轻音乐" },
        { "10", "电影原声" },
        { "13", "爵士" },
        { "27", "古典" },
        { "28", "动漫" },
        { "187", "世界音乐" },
        { "188", "布鲁斯" },
        { "189", "拉丁" },
        { "153", "工作学习" },
        { "151", "户外" },
        { "152", "休息" },
        { "154", "亢奋" },
        { "155", "舒缓" },
        { "77", "Easy" },
        { "32", "咖啡" },
        { "257", "运动" },
    };
    return names;
}

std::string channelCoverUrl(std::string_view id, std::string_view base)
{
    return std::string(base) + "/cover/channel/" + std::string(id) + ".jpg";
}

// The service writes line breaks of lyric files as CR LF.
std::string withCrLf(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            out += "\r\n";
        else
            out.push_back(c);
    }
    if (!out.empty() && out.back() != '\n')
        out += "\r\n";
    return out;
}

} // namespace

std::string jsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '/':
            out += "\\/";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                static constexpr char hex[] = "0123456789abcdef";
                out += "\\u00";
                out.push_back(hex[c >> 4]);
                out.push_back(hex[c & 15]);
            } else {
                out.push_back(ch);
            }
        }
    }
    return out + "\"";
}

std::string htmlEscape(std::string_view utf8)
{
    std::string out;
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::optional<std::string> channelName(std::string_view id)
{
    const auto &names = channelNames();
    if (auto it = names.find(id); it != names.end())
        return it->second;
    return std::nullopt;
}

std::string audioUrl(const Song &song, std::string_view base)
{
    return std::string(base) + "/audio/" + song.sid + "." + song.audioExt;
}

std::string coverUrl(const Song &song, std::string_view base)
{
    if (song.cover.empty())
        return {};
    return std::string(base) + "/cover/" + song.sid + "." + song.coverExt;
}

std::string contentTypeOf(std::string_view ext)
{
    static const std::map<std::string, std::string, std::less<>> types {
        { "mp3", "audio/mpeg" },
        { "ogg", "audio/ogg" },
        { "wav", "audio/wav" },
        { "m4a", "audio/mp4" },
        { "png", "image/png" },
        { "jpg", "image/jpeg" },
        { "jpeg", "image/jpeg" },
        { "bmp", "image/bmp" },
        { "gif", "image/gif" },
    };
    if (auto it = types.find(ext); it != types.end())
        return it->second;
    return "application/octet-stream";
}

std::string channelInfoReply(std::string_view channelId, std::string_view base)
{
    const auto name = channelName(channelId);
    if (!name)
        return R"({"status":false,"msg":"channel not found"})";
    return R"({"status":true,"data":{"res":{"name":)" + jsonString(*name) + R"(,"cover":)"
        + jsonString(channelCoverUrl(channelId, base)) + R"(,"id":)" + std::string(channelId) + R"(,"intro":)"
        + jsonString(*name + " MHz") + "}}}";
}

std::string playlistReply(std::span<const Song *const> songs, std::string_view base)
{
    std::string out = R"({"r":0,"is_show_quick_start":0,"song":[)";
    for (size_t i = 0; i < songs.size(); ++i) {
        const Song &s = *songs[i];
        if (i > 0)
            out += ",";
        // Keep this order: every value is read up to the key written after it.
        out += R"({"albumtitle":)" + jsonString(s.albumTitle);
        out += R"(,"url":)" + jsonString(audioUrl(s, base));
        out += R"(,"file_ext":)" + jsonString(s.audioExt);
        out += R"(,"album":)" + jsonString(s.albumPath);
        out += R"(,"ssid":)" + jsonString(s.ssid);
        out += R"(,"title":)" + jsonString(s.title);
        out += R"(,"sid":)" + jsonString(s.sid);
        out += R"(,"sha256":)" + jsonString(s.sha256);
        out += R"(,"status":0)";
        out += R"(,"picture":)" + jsonString(coverUrl(s, base));
        out += R"(,"update_time":)" + std::to_string(1500000000 + std::stoll(s.sid) % 100000000);
        out += R"(,"artist":)" + jsonString(s.artist);
        out += R"(,"is_royal":false)";
        out += R"(,"kbps":)" + jsonString(s.kbps);
        out += R"(,"available_formats":{)" + jsonString(s.kbps) + ":" + std::to_string(s.audio.size() / 1024)
            + "}";
        out += R"(,"length":)" + std::to_string(s.lengthSeconds) + "}";
    }
    return out + "]}";
}

std::string lyricReply(const Song &song)
{
    const std::string lyric = song.lyric ? withCrLf(*song.lyric) : std::string(kNoLyricText);
    return R"({"lyric":)" + jsonString(lyric) + R"(,"name":)" + jsonString(song.title) + R"(,"sid":)"
        + jsonString(song.sid) + "}";
}

std::string songPageReply(const Song &song, std::string_view base)
{
    const std::string name = channelName(song.channel).value_or(song.artist);
    return R"({"sid":)" + jsonString(song.sid) + R"(,"ssid":)" + jsonString(song.ssid) + R"(,"title":)"
        + jsonString(song.title) + R"(,"artist":)" + jsonString(song.artist) + R"(,"albumtitle":)"
        + jsonString(song.albumTitle) + R"(,"url":)" + jsonString(audioUrl(song, base))
        + R"(,"related_channel":{"cover":)" + jsonString(channelCoverUrl(song.channel, base)) + R"(,"id":)"
        + song.channel + R"(,"name":)" + jsonString(name) + "}}";
}

std::string albumPage(std::span<const Song *const> songs, std::string_view base)
{
    const Song &first = *songs.front();
    std::string out = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head><meta charset=\"utf-8\"><title>"
        + htmlEscape(first.albumTitle) + "</title></head>\n<body>\n<h1>" + htmlEscape(first.albumTitle)
        + "</h1>\n<p>表演者: " + htmlEscape(first.artist) + "</p>\n<ol>\n";
    for (const Song *s : songs)
        out += "<li>" + htmlEscape(s->title) + "</li>\n";
    out += "</ol>\n<p><a href=\"" + std::string(base) + "/?cid=" + first.channel
        + "&amp;context=subject:" + first.sid + "\">收听相似歌曲</a></p>\n</body>\n</html>\n";
    return out;
}

std::string channelPage(std::string_view channelId, const Song *start)
{
    const std::string name = channelName(channelId).value_or(std::string(channelId));
    std::string out = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head><meta charset=\"utf-8\"><title>"
        + htmlEscape(name) + " MHz</title></head>\n<body>\n<h1>" + htmlEscape(name) + " MHz</h1>\n";
    if (start)
        out += "<p>" + htmlEscape(start->title) + " - " + htmlEscape(start->artist) + "</p>\n";
    return out + "</body>\n</html>\n";
}

} // namespace sorvane::station
