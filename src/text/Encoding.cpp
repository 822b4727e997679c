#include "text/Encoding.h"

#include "text/Iconv.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace sorvane::text {

namespace {

// U+FFFD in each target encoding.
constexpr std::string_view kReplacementGb = "\x84\x31\xA4\x37";
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";
constexpr std::string_view kReplacementUtf16le = "\xFD\xFF";

std::string convert(const char *to, const char *from, std::string_view in, std::string_view replacement,
                    Iconv::UnitLength unitLength)
{
    if (in.empty())
        return {};
    Iconv cv(to, from);
    return cv.convert(in, replacement, unitLength);
}

// Length of the well-formed UTF-8 sequence at `pos`, or 1.
std::size_t utf8Length(std::string_view s, std::size_t pos)
{
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = b(pos);
    std::size_t n = b0 >= 0xF0 && b0 <= 0xF4 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 && b0 < 0xE0 ? 2 : 1;
    if (n == 1 || pos + n > s.size())
        return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((b(pos + i) & 0xC0) != 0x80)
            return 1;
    return n;
}

// UTF-16LE: a surrogate pair is one character of four bytes, anything else two.
std::size_t utf16leLength(std::string_view s, std::size_t pos)
{
    if (pos + 1 >= s.size())
        return 1;
    const unsigned char hi = static_cast<unsigned char>(s[pos + 1]);
    if (hi >= 0xD8 && hi <= 0xDB && pos + 3 < s.size()) {
        const unsigned char hi2 = static_cast<unsigned char>(s[pos + 3]);
        if (hi2 >= 0xDC && hi2 <= 0xDF)
            return 4;
    }
    return 2;
}

std::string lower(std::string_view s)
{
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return std::tolower(c); });
    return r;
}

} // namespace

GbString utf8ToGb(std::string_view utf8)
{
    return convert("GB18030", "UTF-8", utf8, kReplacementGb, utf8Length);
}

std::string gbToUtf8(std::string_view gb)
{
    return convert("UTF-8", "GB18030", gb, kReplacementUtf8, charLength);
}

std::u16string gbToUtf16(std::string_view gb)
{
    const std::string bytes = convert("UTF-16LE", "GB18030", gb, kReplacementUtf16le, charLength);
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i])
                                       | (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return out;
}

GbString utf16ToGb(std::u16string_view utf16)
{
    std::string bytes;
    bytes.reserve(utf16.size() * 2);
    const auto isHigh = [](char16_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    const auto isLow = [](char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char16_t c = utf16[i];
        if (isHigh(c) && i + 1 < utf16.size() && isLow(utf16[i + 1])) {
            bytes.push_back(static_cast<char>(c & 0xFF));
            bytes.push_back(static_cast<char>(c >> 8));
            c = utf16[++i];
        } else if (isHigh(c) || isLow(c)) {
            c = 0xFFFD; // a lone surrogate is one invalid character
        }
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return convert("GB18030", "UTF-16LE", bytes, kReplacementGb, utf16leLength);
}

GbString toGb(std::string_view bytes, std::string_view charset)
{
    const std::string cs = lower(charset);
    if (cs.empty() || cs == "utf-8" || cs == "utf8")
        return utf8ToGb(bytes);
    if (cs == "gbk" || cs == "gb2312" || cs == "gb18030" || cs == "cp936" || cs == "x-gbk")
        return convert("GB18030", "GB18030", bytes, kReplacementGb, charLength);
    Iconv probe("GB18030", cs.c_str());
    if (!probe.valid())
        return utf8ToGb(bytes);
    return bytes.empty() ? GbString() : probe.convert(bytes, kReplacementGb);
}

std::size_t charLength(std::string_view text, std::size_t pos)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b0 = at(pos);
    if (b0 < 0x81 || b0 == 0xFF)
        return 1;
    if (pos + 1 >= text.size())
        return 1;
    const unsigned char b1 = at(pos + 1);
    if ((b1 >= 0x40 && b1 <= 0x7E) || (b1 >= 0x80 && b1 <= 0xFE))
        return 2;
    if (b1 >= 0x30 && b1 <= 0x39 && pos + 3 < text.size()) {
        const unsigned char b2 = at(pos + 2);
        const unsigned char b3 = at(pos + 3);
        if (b2 >= 0x81 && b2 <= 0xFE && b3 >= 0x30 && b3 <= 0x39)
            return 4;
    }
    return 1;
}

std::size_t find(std::string_view text, std::string_view needle, std::size_t from)
{
    if (from > text.size())
        return std::string_view::npos;
    std::size_t boundary = 0; // a character boundary, always <= the next candidate
    std::size_t searchFrom = from;
    for (;;) {
        const std::size_t candidate = text.find(needle, searchFrom);
        if (candidate == std::string_view::npos)
            return candidate;
        while (boundary < candidate)
            boundary += charLength(text, boundary);
        if (boundary == candidate)
            return candidate;
        // The match starts inside a character: look again from the next boundary.
        searchFrom = boundary;
        if (needle.empty() && searchFrom > text.size())
            return std::string_view::npos;
    }
}

void appendCodePoint(GbString &out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
        return;
    }
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        cp = 0xFFFD;
    char16_t units[2];
    std::size_t n = 0;
    if (cp >= 0x10000) {
        const char32_t v = cp - 0x10000;
        units[n++] = static_cast<char16_t>(0xD800 + (v >> 10));
        units[n++] = static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    } else {
        units[n++] = static_cast<char16_t>(cp);
    }
    out += utf16ToGb(std::u16string_view(units, n));
}

} // namespace sorvane::text
