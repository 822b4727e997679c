#include "service/Replies.h"

#include "service/Extract.h"
#include "service/JsonText.h"

namespace sorvane::service {

namespace {

text::GbString decoded(std::string_view reply, std::string_view key, std::string_view nextKey)
{
    return jsonUnescape(quotedValue(reply, key, nextKey));
}

} // namespace

text::GbString parseChannelName(std::string_view reply)
{
    return decoded(reply, "name", "cover");
}

Song parseSong(std::string_view reply)
{
    Song s;
    s.albumTitle = decoded(reply, "albumtitle", "url");
    s.title = decoded(reply, "title", "sid");
    s.artist = decoded(reply, "artist", "is_royal");
    s.url = decoded(reply, "url", "file_ext");
    s.picture = decoded(reply, "picture", "update_time");
    s.sid = decoded(reply, "sid", "sha256");
    s.ssid = decoded(reply, "ssid", "title");
    s.kbps = decoded(reply, "kbps", "available_formats");
    s.album = decoded(reply, "album", "ssid");
    return s;
}

text::GbString parseShareChannelId(std::string_view reply)
{
    return jsonUnescape(extractBetween(reply, "jpg\",\"id\":", ",\"name"));
}

text::GbString parseSimilarChannelId(std::string_view page)
{
    return extractBetween(page, "cid=", "&amp");
}

} // namespace sorvane::service
