#pragma once
// The songs a station plays, with their files held in memory.
//
// A catalogue folder holds a UTF-8 file "catalogue.ini" and the files it names.
// Blank lines and lines starting with # or ; are ignored; every "[song]" line starts
// a song, followed by "key = value" lines:
//
//   key         required  meaning
//   sid         yes       song id, 1-12 digits, unique in the catalogue
//   ssid        yes       second song id, 1-16 lower-case letters or digits
//   title       yes       song title
//   artist      yes       artist name
//   audio       yes       audio file name in the folder (its extension is the file_ext)
//   album       no        album title (default: empty)
//   album_path  no        path of the album page on the music site (default /subject/<sid>/)
//   channel     no        channel id the album page links to, an integer (default -10)
//   cover       no        cover picture file name (default: none, the reply's picture is empty)
//   lyric       no        LRC lyric file name (default: none, the lyric reply says "暂无歌词")
//   kbps        no        bit rate in the reply, digits (default 128)
//   length      no        length in whole seconds, digits (default 0)
//
// File names are plain names inside the folder (no "/", not "." or ".."), at most 64 MiB.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sorvane::station {

struct Song
{
    std::string sid;
    std::string ssid;
    std::string title;
    std::string artist;
    std::string albumTitle;
    std::string albumPath;
    std::string channel = "-10";
    std::string kbps = "128";
    int lengthSeconds = 0;

    std::string audio; // file bytes
    std::string audioExt = "mp3";
    std::string cover; // file bytes; empty when the song has no cover
    std::string coverExt = "png";
    std::optional<std::string> lyric; // LRC text (UTF-8, lines ended by "\n")

    std::string sha256; // hex digest of audio, filled by Catalogue
};

class Catalogue
{
public:
    // Takes songs made in code (tests); fills in each song's digest. The songs must
    // satisfy the rules above; an empty albumPath becomes /subject/<sid>/.
    explicit Catalogue(std::vector<Song> songs);

    // Reads DIR/catalogue.ini and every file it names. On failure returns nothing and
    // sets error to "<file>:<line>: <reason>" (or "<file>: <reason>").
    static std::optional<Catalogue> load(const std::filesystem::path &dir, std::string &error);

    const std::vector<Song> &songs() const { return m_songs; }
    // The song with this sid, or null.
    const Song *findSid(std::string_view sid) const;
    // The songs whose album page is this path, in catalogue order.
    std::vector<const Song *> albumSongs(std::string_view albumPath) const;

private:
    std::vector<Song> m_songs;
};

// Where the generated catalogues are. The demo catalogue is looked for beside the
// running program first (../share/sorvane/demo, so installed and build-tree programs
// both find theirs), then in the build tree this library was built in.
std::filesystem::path demoCatalogueDir();
// The catalogue of 3-second songs made for tests (build tree only).
std::filesystem::path shortCatalogueDir();

} // namespace sorvane::station
