#pragma once
// Reply bodies of the station, written as the service writes them: UTF-8 JSON with
// every "/" escaped as "\/", keys in the service's order. The client cuts values out
// between a key and the key after it, so the order of keys here is part of the
// protocol, not style.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "station/Catalogue.h"

namespace sorvane::station {

// The whole reply of the lyric request for a song the service does not know.
inline constexpr std::string_view kNoLyricReply = "没有匹配到歌词.";
// The lyric field of a known song without lyrics.
inline constexpr std::string_view kNoLyricText = "暂无歌词";

// A JSON string literal (quotes included).
std::string jsonString(std::string_view utf8);
std::string htmlEscape(std::string_view utf8);

// Name of a channel of the player's channel list, or nothing for an unknown id.
std::optional<std::string> channelName(std::string_view id);

std::string audioUrl(const Song &song, std::string_view base);
// Empty when the song has no cover.
std::string coverUrl(const Song &song, std::string_view base);
std::string contentTypeOf(std::string_view extension);

// {"status":true,"data":{"res":{"name":…,"cover":…,…}}}; an unknown id gets
// {"status":false,…} without a name.
std::string channelInfoReply(std::string_view channelId, std::string_view base);
// {"r":0,…,"song":[{"albumtitle":…,"url":…,"file_ext":…,"album":…,"ssid":…,"title":…,
// "sid":…,"sha256":…,"status":0,"picture":…,"update_time":…,"artist":…,"is_royal":false,
// "kbps":…,"available_formats":{…},"length":…},…]}
std::string playlistReply(std::span<const Song *const> songs, std::string_view base);
// {"lyric":"[ti:…]\r\n[00:00.25]…\r\n…","name":…,"sid":…}: every lyric line, the last one
// too, ends with the escaped line break; a song without lyrics gets kNoLyricText.
std::string lyricReply(const Song &song);
// The song's record with its related channel, {…,"related_channel":{"cover":"….jpg",
// "id":<channel>,"name":…}}.
std::string songPageReply(const Song &song, std::string_view base);
// HTML album page of the music site holding "cid=<channel>&amp;"; songs must not be empty.
std::string albumPage(std::span<const Song *const> songs, std::string_view base);
// HTML page a shared link opens.
std::string channelPage(std::string_view channelId, const Song *start);

} // namespace sorvane::station
