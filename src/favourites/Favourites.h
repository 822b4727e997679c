// The favourites list: its columns as the program's form defines them and its file name.
#pragma once

#include "favourites/ListModel.h"

#include <vector>

namespace sorvane::favourites {

// Column indices of the favourites list. Columns from kSongUrl on have width 0.
enum FavouriteColumn : std::size_t {
    kTitleColumn = 0, // songTitle
    kArtistColumn, // songArtist
    kSongUrlColumn, // songUrl, the audio address
    kCoverUrlColumn, // coverUrl
    kSidColumn, // songSid
    kSsidColumn, // songSsid
    kKbpsColumn, // songKbps
    kAlbumLinkColumn, // albumLink, the album path that identifies a favourite
    kFavouriteColumnCount
};

// The list file in the data directory.
inline constexpr const char *kFavouritesFileName = "scgq.ini";

// The columns before any list file is read: "歌曲名称" and "歌手名称" at 90 pixels (the
// artist column is shown centred), then "1" to "6" at width 0.
std::vector<ListColumn> favouriteColumns();

} // namespace sorvane::favourites
