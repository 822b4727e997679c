// Addresses of the service's requests, of the album pages and of the share link, and the
// checks an address from a reply must pass before it is used.
//
// Bases come from Endpoints (no trailing slash). Every id or other value that comes from
// a reply or from the favourites file is percent-encoded when it goes into an address
// (bytes other than letters, digits and "-._~" become %XX), so a value can never add a
// query pair, a fragment or a path step of its own. The ids the service sends (digits,
// letters, "-") pass unchanged.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvane::service {

// Scheme (lower case), host (lower case) and port (the scheme's default when absent) of
// an http or https address.
struct Origin
{
    std::string scheme;
    std::string host;
    std::string port;
    bool operator==(const Origin &) const = default;
};

// The origin of `url`, or nullopt when it is not "http://" or "https://" (any case)
// followed by a non-empty host. The host ends at the first '/', '?', '#' or '\\'; user
// information up to the last '@' is not part of it.
std::optional<Origin> originOf(std::string_view url);

// True when `url` is an http(s) address with a host made of printable ASCII only (no
// spaces, control characters or bytes above 0x7E). Song and cover addresses from a reply
// pass this before they go to the player or the downloader.
bool isWebAddress(std::string_view url);

// Percent-encodes every byte other than A-Z a-z 0-9 - . _ ~.
std::string encodeComponent(std::string_view value);

// base + "/j/v2/channel_info?id=" + channelId.
std::string channelInfoUrl(std::string_view serviceBase, std::string_view channelId);

// base + "/j/v2/playlist?channel=" + channelId + the fixed query
// "&kbps=128&client=s%3Amainsite%7Cy%3A3.0&app_name=radio_website&version=100&type=n".
std::string playlistUrl(std::string_view serviceBase, std::string_view channelId);

// base + "/j/v2/lyric?sid=" + sid + "&ssid=" + ssid.
std::string lyricUrl(std::string_view serviceBase, std::string_view sid, std::string_view ssid);

// base + "/j/v2/song/" + sid + "g" + ssid + "/".
std::string songPageUrl(std::string_view serviceBase, std::string_view sid, std::string_view ssid);

// base + "/channel/" + shareChannelId + "?start=" + sid. An empty channel id (reply
// without it) gives "/channel/?start=" + sid.
std::string shareLink(std::string_view serviceBase, std::string_view shareChannelId, std::string_view sid);

// musicBase followed by albumLink (a path on the music site, such as "/subject/1234/"),
// or nullopt when the joined address is not a web address (see isWebAddress) on the
// music site's own scheme, host and port: an album path like "@evil.example/subject/1"
// or ".evil.example/subject/1" gives nullopt, never an address on another host.
std::optional<std::string> albumPageUrl(std::string_view musicBase, std::string_view albumLink);

} // namespace sorvane::service
