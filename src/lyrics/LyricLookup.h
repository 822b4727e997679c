// Finding the lyric line for the playing position, and what the lyric label and the
// desktop lyrics window show on each playback tick.
//
// The lyric reply is kept as the service sent it (raw JSON). Its "lyric" value holds lines
// separated by the JSON escape \r\n (the four characters backslash, r, backslash, n), each
// line starting with one or more time tags such as [01:23.45]. Every search steps one
// GB18030 character at a time.
#pragma once

#include "text/Encoding.h"

#include <optional>
#include <string_view>

namespace sorvane::lyrics {

// The line tagged with `position` ("mm:ss") in a raw lyric reply, JSON-decoded; empty
// when no line is found.
//
// The reply is split at every "[". For each piece holding `position`, the line is the
// text after the last "]" that follows the last occurrence of `position`, up to the \r\n
// separator or up to the closing quote of the lyric value (so the last line counts too).
// When that "]" is directly followed by further time tags ("[00:10.00][01:20.00]x"), the
// line is the text after them, so a line is found at each of its tags. A piece without
// such an end (no "]" after the position, a "[" before the separator) gives the empty
// text. A later matching piece replaces an earlier result, even with the empty text.
// An empty position, or one holding "[", finds nothing.
text::GbString findLyricLine(std::string_view reply, std::string_view position);

// The lyrics of the current song and the decision of each playback tick.
class LyricLookup
{
public:
    // No lyrics (before the first lyric request, or after a failed one).
    LyricLookup() = default;

    // `reply` is the whole lyric reply as received; the lyric text is its "lyric" value
    // up to the key "name" (empty when either is missing).
    explicit LyricLookup(text::GbString reply);

    const text::GbString &reply() const { return m_reply; }
    // The decoded "lyric" value.
    const text::GbString &lyricText() const { return m_lyricText; }

    // What the lyric label and the desktop lyrics window (highlight 0) get at playing
    // position `position` ("mm:ss"), or nullopt when both keep what they show:
    //  - an empty reply, or the reply "没有匹配到歌词.": nullopt on every tick;
    //  - a reply without any "[": "暂无歌词" when that is the lyric text, otherwise
    //    "当前歌词不支持滚动", on every tick;
    //  - otherwise the line found for the position, or nullopt when none is found (the
    //    line shown last stays; before the first tag the title and artist stay).
    std::optional<text::GbString> tick(std::string_view position) const;

private:
    text::GbString m_reply;
    text::GbString m_lyricText;
    bool m_hasBracket = false;
};

} // namespace sorvane::lyrics
