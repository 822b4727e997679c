// Readers of the service's and the music site's replies. Each value is cut out with
// quotedValue/extractBetween (see Extract.h) and then JSON-decoded, so what the program
// shows, stores or uses as an address never holds an escape such as "\/" or "\u6211".
// A missing marker gives the empty text for that value; nothing here fails.
#pragma once

#include "service/Song.h"
#include "text/Encoding.h"

#include <string_view>

namespace sorvane::service {

// The channel's name in a channel-information reply: the value of "name" up to the key
// "cover". Empty when either is missing.
text::GbString parseChannelName(std::string_view reply);

// The first song of a playlist reply. Each value is searched from the start of the
// reply, so the first occurrence wins:
//   albumTitle "albumtitle" up to "url", title "title" up to "sid", artist "artist" up to
//   "is_royal", url "url" up to "file_ext", picture "picture" up to "update_time",
//   sid "sid" up to "sha256", ssid "ssid" up to "title", kbps "kbps" up to
//   "available_formats", album "album" up to "ssid".
// Addresses are decoded but not checked: pass url and picture through isWebAddress
// (Urls.h) before using them.
Song parseSong(std::string_view reply);

// The channel id in a song-page reply: the text between `jpg","id":` and `,"name`.
// Empty when either marker is missing.
text::GbString parseShareChannelId(std::string_view reply);

// The similar-songs channel id in an album page: the text between "cid=" and "&amp".
// The page must already be GB18030 (decode the downloaded bytes with text::toGb first).
// Empty when either marker is missing.
text::GbString parseSimilarChannelId(std::string_view page);

} // namespace sorvane::service
