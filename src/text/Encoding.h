// Conversions between the program's text (GB18030 byte strings) and UTF-8 / UTF-16,
// and character-wise walking of GB18030 text.
//
// Every text the program keeps, shows, stores or sends is a GB18030 byte string held
// in std::string. GB18030 gives every GBK character the same bytes, so files written
// by earlier versions of the program (GBK) read the same, and it also encodes every
// Unicode character.
//
// Invalid input never throws and never crashes: each byte that does not start a
// well-formed character of the source encoding, and each well-formed character the target
// encoding has no bytes for, becomes one U+FFFD (REPLACEMENT CHARACTER) in the output,
// and the conversion goes on after it. In GB18030 output U+FFFD is the four bytes
// 84 31 A4 37. Conversions are thread-safe (each call owns its converter).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sorvane::text {

// A program text: GB18030 bytes.
using GbString = std::string;

GbString utf8ToGb(std::string_view utf8);
std::string gbToUtf8(std::string_view gb);
std::u16string gbToUtf16(std::string_view gb);
GbString utf16ToGb(std::u16string_view utf16);

// Decodes bytes in the named character set (as a reply's "charset=" names it, any case,
// e.g. "utf-8", "GBK", "iso-8859-1") into GB18030. An empty or unknown name is taken as
// UTF-8. GBK and GB2312 are read as GB18030, their superset.
GbString toGb(std::string_view bytes, std::string_view charset);

// Length in bytes (1, 2 or 4) of the GB18030 character that starts at `pos`. A byte that
// does not start a valid multi-byte sequence, or a sequence cut off by the end of the
// text, counts as one byte, so walking always advances and never leaves the text.
// Requires pos < text.size().
std::size_t charLength(std::string_view text, std::size_t pos);

// Finds `needle` in `text` at or after byte offset `from`, trying only offsets where a
// character begins when walking from the start of the text. Returns the byte offset, or
// npos. An empty needle is found at the first character boundary at or after `from`
// (npos when `from` is past the end).
std::size_t find(std::string_view text, std::string_view needle, std::size_t from = 0);

inline bool contains(std::string_view text, std::string_view needle)
{
    return find(text, needle) != std::string_view::npos;
}

// Appends the GB18030 encoding of one Unicode code point (U+FFFD for surrogates and
// values above U+10FFFF).
void appendCodePoint(GbString &out, char32_t cp);

} // namespace sorvane::text
