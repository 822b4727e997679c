#include "service/Urls.h"

#include <algorithm>

namespace sorvane::service {

namespace {

std::string lower(std::string_view s)
{
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(),
        [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return r;
}

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
        || c == '_' || c == '~';
}

std::string join(std::initializer_list<std::string_view> parts)
{
    std::string out;
    std::size_t n = 0;
    for (const auto p : parts)
        n += p.size();
    out.reserve(n);
    for (const auto p : parts)
        out.append(p);
    return out;
}

} // namespace

std::optional<Origin> originOf(std::string_view url)
{
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos)
        return std::nullopt;
    Origin o;
    o.scheme = lower(url.substr(0, schemeEnd));
    if (o.scheme != "http" && o.scheme != "https")
        return std::nullopt;
    std::string_view authority = url.substr(schemeEnd + 3);
    authority = authority.substr(0, authority.find_first_of("/?#\\"));
    const std::size_t at = authority.rfind('@');
    std::string_view hostPort = at == std::string_view::npos ? authority : authority.substr(at + 1);
    std::string_view host = hostPort;
    std::string_view port;
    std::size_t colon;
    if (!hostPort.empty() && hostPort.front() == '[') {
        const std::size_t close = hostPort.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = hostPort.substr(0, close + 1);
        const std::string_view after = hostPort.substr(close + 1);
        if (!after.empty() && after.front() != ':')
            return std::nullopt;
        colon = after.empty() ? std::string_view::npos : close + 1;
    } else {
        colon = hostPort.find(':');
        host = hostPort.substr(0, colon);
    }
    if (colon != std::string_view::npos)
        port = hostPort.substr(colon + 1);
    if (host.empty() || !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    o.host = lower(host);
    o.port = port.empty() ? (o.scheme == "https" ? "443" : "80") : std::string(port);
    return o;
}

bool isWebAddress(std::string_view url)
{
    const bool printable
        = std::all_of(url.begin(), url.end(), [](unsigned char c) { return c > 0x20 && c < 0x7F; });
    return printable && originOf(url).has_value();
}

std::string encodeComponent(std::string_view value)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (const unsigned char c : value) {
        if (isUnreserved(c)) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0xF]);
        }
    }
    return out;
}

std::string channelInfoUrl(std::string_view serviceBase, std::string_view channelId)
{
    return join({ serviceBase, "/j/v2/channel_info?id=", encodeComponent(channelId) });
}

std::string playlistUrl(std::string_view serviceBase, std::string_view channelId)
{
    return join({ serviceBase, "/j/v2/playlist?channel=", encodeComponent(channelId),
        "&kbps=128&client=s%3Amainsite%7Cy%3A3.0&app_name=radio_website&version=100&type=n" });
}

std::string lyricUrl(std::string_view serviceBase, std::string_view sid, std::string_view ssid)
{
    return join({ serviceBase, "/j/v2/lyric?sid=", encodeComponent(sid), "&ssid=", encodeComponent(ssid) });
}

std::string songPageUrl(std::string_view serviceBase, std::string_view sid, std::string_view ssid)
{
    return join({ serviceBase, "/j/v2/song/", encodeComponent(sid), "g", encodeComponent(ssid), "/" });
}

std::string shareLink(std::string_view serviceBase, std::string_view shareChannelId, std::string_view sid)
{
    return join(
        { serviceBase, "/channel/", encodeComponent(shareChannelId), "?start=", encodeComponent(sid) });
}

std::optional<std::string> albumPageUrl(std::string_view musicBase, std::string_view albumLink)
{
    std::string url = join({ musicBase, albumLink });
    const auto base = originOf(musicBase);
    if (!base || !isWebAddress(url) || originOf(url) != base)
        return std::nullopt;
    return url;
}

} // namespace sorvane::service
