// The program-wide state of the radio: the current channel, the current song and the
// lyric texts. All texts are GB18030 program texts.
#pragma once

#include "lyrics/LyricLookup.h"
#include "service/Song.h"
#include "text/Encoding.h"

#include <array>

namespace sorvane::app {

using text::GbString;

struct RadioState
{
    GbString channelId;
    GbString channelName;

    // The six fields of the last song taken from a playlist: picture, album title,
    // picture, artist, audio address, title. Playing a favourite leaves them alone.
    std::array<GbString, 6> songRecord;

    // The current song, from a playlist or from a favourites row.
    GbString songTitle;
    GbString songArtist;
    GbString songUrl;
    GbString coverUrl;
    GbString songSid;
    GbString songSsid;
    GbString songKbps;
    GbString albumLink;
    GbString playStatus; // "正在播放" from the first playlist song on

    void setCurrentSong(const service::Song &song)
    {
        songTitle = song.title;
        songArtist = song.artist;
        songUrl = song.url;
        coverUrl = song.picture;
        songSid = song.sid;
        songSsid = song.ssid;
        songKbps = song.kbps;
        albumLink = song.album;
    }

    service::Song currentSong() const
    {
        service::Song song;
        song.title = songTitle;
        song.artist = songArtist;
        song.url = songUrl;
        song.picture = coverUrl;
        song.sid = songSid;
        song.ssid = songSsid;
        song.kbps = songKbps;
        song.album = albumLink;
        return song;
    }

    // The last lyric reply and the lyric text cut from it.
    lyrics::LyricLookup lyrics;
    bool desktopLyricsShown = false;

    int hotKeyId = 0;
    int windowToggleState = 0;
};

} // namespace sorvane::app
