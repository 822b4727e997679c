#include "lyrics/LyricLookup.h"

#include "service/Extract.h"
#include "service/JsonText.h"

namespace sorvane::lyrics {

namespace {

struct Texts
{
    text::GbString noMatch = text::utf8ToGb("没有匹配到歌词.");
    text::GbString noLyrics = text::utf8ToGb("暂无歌词");
    text::GbString notScrollable = text::utf8ToGb("当前歌词不支持滚动");
};

const Texts &texts()
{
    static const Texts t;
    return t;
}

constexpr std::string_view kSeparator = "\\r\\n";

// text::charLength with the common double-byte case decided here: the lookup walks the
// whole reply on every tick, and most of a lyric's bytes are Chinese characters.
inline std::size_t step(std::string_view s, std::size_t i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x81)
        return 1;
    if (b0 != 0xFF && i + 1 < s.size()) {
        const auto b1 = static_cast<unsigned char>(s[i + 1]);
        if ((b1 >= 0x40 && b1 <= 0x7E) || (b1 >= 0x80 && b1 <= 0xFE))
            return 2;
    }
    return text::charLength(s, i);
}

// After a "[" at `open`: the offset just past the "]" closing a time tag made of digits,
// ':' and '.', or npos when no such tag stands there.
std::size_t afterTimeTag(std::string_view r, std::size_t open)
{
    std::size_t i = open + 1;
    while (i < r.size() && ((r[i] >= '0' && r[i] <= '9') || r[i] == ':' || r[i] == '.'))
        ++i;
    if (i == open + 1 || i >= r.size() || r[i] != ']')
        return std::string_view::npos;
    return i + 1;
}

// The raw line starting at `from`: up to the separator or the unescaped quote that closes
// the lyric value. A "[" or the end of the reply before either gives nothing.
std::string_view lineAt(std::string_view r, std::size_t from)
{
    std::size_t i = from;
    while (i < r.size()) {
        const char c = r[i];
        if (c == '"')
            return r.substr(from, i - from);
        if (c == '[')
            return {};
        if (c == '\\') {
            if (r.substr(i, kSeparator.size()) == kSeparator)
                return r.substr(from, i - from);
            if (i + 1 >= r.size())
                return {};
            i += 1 + step(r, i + 1); // an escaped character is part of the line
            continue;
        }
        i += step(r, i);
    }
    return {};
}

// The raw line of a piece whose last position match is followed by a "]" ending at
// `restStart`. Time tags directly after it belong to the same line.
std::string_view lineOfTag(std::string_view r, std::size_t restStart)
{
    std::size_t from = restStart;
    while (from < r.size() && r[from] == '[') {
        const std::size_t next = afterTimeTag(r, from);
        if (next == std::string_view::npos)
            break;
        from = next;
    }
    return lineAt(r, from);
}

} // namespace

text::GbString findLyricLine(std::string_view reply, std::string_view position)
{
    const std::string_view r = reply;
    const std::string_view p = position;
    if (p.empty() || text::contains(p, "["))
        return {};

    constexpr std::size_t npos = std::string_view::npos;
    std::string_view result;
    std::size_t matchEnd = npos; // end of the last match of p in the current piece
    std::size_t closeEnd = npos; // just past the last "]" after that match
    const auto finishPiece = [&] {
        if (matchEnd != npos)
            result = closeEnd == npos ? std::string_view() : lineOfTag(r, closeEnd);
        matchEnd = closeEnd = npos;
    };

    const char first = p.front();
    std::size_t i = 0;
    while (i < r.size()) {
        const char c = r[i];
        if (c == '[') {
            finishPiece();
        } else {
            if (c == first && r.compare(i, p.size(), p) == 0) {
                matchEnd = i + p.size();
                closeEnd = npos;
            }
            if (c == ']' && matchEnd != npos && i >= matchEnd)
                closeEnd = i + 1;
        }
        i += step(r, i);
    }
    finishPiece();
    return service::jsonUnescape(result);
}

LyricLookup::LyricLookup(text::GbString reply)
    : m_reply(std::move(reply))
    , m_lyricText(service::jsonUnescape(service::quotedValue(m_reply, "lyric", "name")))
    , m_hasBracket(text::contains(m_reply, "["))
{
}

std::optional<text::GbString> LyricLookup::tick(std::string_view position) const
{
    if (m_reply.empty() || m_reply == texts().noMatch)
        return std::nullopt;
    if (!m_hasBracket)
        return m_lyricText == texts().noLyrics ? texts().noLyrics : texts().notScrollable;
    text::GbString line = findLyricLine(m_reply, position);
    if (line.empty())
        return std::nullopt;
    return line;
}

} // namespace sorvane::lyrics
