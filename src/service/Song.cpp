#include "service/Song.h"

namespace sorvane::service {

SongRecord songRecordOf(const Song &song)
{
    return { song.picture, song.albumTitle, song.picture, song.artist, song.url, song.title };
}

FavouriteRow favouriteRowOf(const Song &song)
{
    return { song.title, song.artist, song.url, song.picture, song.sid, song.ssid, song.kbps, song.album };
}

Song songFromFavouriteRow(std::span<const text::GbString> columns)
{
    const auto column = [&](std::size_t i) { return i < columns.size() ? columns[i] : text::GbString(); };
    Song s;
    s.title = column(0);
    s.artist = column(1);
    s.url = column(2);
    s.picture = column(3);
    s.sid = column(4);
    s.ssid = column(5);
    s.kbps = column(6);
    s.album = column(7);
    return s;
}

bool hasAlbumPage(std::string_view albumLink)
{
    return text::contains(albumLink, "subject");
}

text::GbString songCaption(std::string_view title, std::string_view artist)
{
    text::GbString caption(title);
    caption += " - ";
    caption += artist;
    return caption;
}

text::GbString kbpsLabel(std::string_view kbps)
{
    text::GbString label(kbps);
    label += "Kbps";
    return label;
}

} // namespace sorvane::service
