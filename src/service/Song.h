// The current song and the places it is copied to: the song record and a favourites row.
#pragma once

#include "text/Encoding.h"

#include <array>
#include <span>
#include <string_view>

namespace sorvane::service {

// One song as the program keeps it. All values are decoded GB18030 texts (no JSON escapes).
struct Song
{
    text::GbString title;
    text::GbString artist;
    text::GbString url; // audio address
    text::GbString picture; // cover picture address
    text::GbString sid;
    text::GbString ssid;
    text::GbString kbps;
    text::GbString album; // album path on the music site, such as "/subject/1234/"
    text::GbString albumTitle; // only in playlist songs; favourites do not keep it
    bool operator==(const Song &) const = default;
};

// The six fields kept of the last song taken from a playlist, in this order: cover
// address, album title, cover address, artist, audio address, title. Index 5 is the title
// the collect button's duplicate test reads, indexes 5 and 3 are what "copy song
// information" copies.
using SongRecord = std::array<text::GbString, 6>;
SongRecord songRecordOf(const Song &song);

// The eight columns of a favourites row: title, artist, audio address, cover address,
// sid, ssid, kbps, album path.
using FavouriteRow = std::array<text::GbString, 8>;
FavouriteRow favouriteRowOf(const Song &song);

// The song a favourites row stands for. Missing columns (a shorter row) read as empty
// texts; albumTitle is always empty.
Song songFromFavouriteRow(std::span<const text::GbString> columns);

// True when the album path names an album page (contains "subject"): only then the cover
// opens the page, the similar-songs button is shown and a favourite's lyrics are fetched.
bool hasAlbumPage(std::string_view albumLink);

// title + " - " + artist: the lyric label, the window caption and the desktop lyrics text
// when a song starts.
text::GbString songCaption(std::string_view title, std::string_view artist);

// kbps + "Kbps": the bit-rate label.
text::GbString kbpsLabel(std::string_view kbps);

} // namespace sorvane::service
