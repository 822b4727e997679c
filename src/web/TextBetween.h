// Cutting a value out of a program text (GB18030) between two markers.
#pragma once

#include "text/Encoding.h"

#include <optional>
#include <string_view>

namespace sorvane::web {

// Finds `needle` in `text` at or after byte offset `from`, only where a character begins
// (a double-byte character is one step). With `ignoreCase`, ASCII letters match either
// case; other characters must match exactly. Returns the byte offset or npos.
std::size_t findText(std::string_view text, std::string_view needle, std::size_t from, bool ignoreCase);

// The text between `left` and `right` in `text`. Positions are 1-based byte positions.
//  - `left` is searched from position `start` (below 1: from the beginning); not found →
//    empty text, `*endPos` untouched.
//  - The value begins at V = position of `left` + its length.
//  - With a right marker: it is searched from V; its position goes to `*endPos`; not
//    found → empty text (and `*endPos` becomes -1). Without one (std::nullopt, which is
//    not the same as an empty marker), `*endPos` becomes length(text) + length(left) and
//    the value runs to the end of the text.
//  - The result starts `extraBefore` bytes before V and ends `extraAfter` bytes after the
//    right marker's position, always cut to the text.
// `endPos` may be null. Never fails or reads outside `text`.
text::GbString textBetween(std::string_view text, std::string_view left,
    std::optional<std::string_view> right = std::nullopt, long start = 1, bool ignoreCase = false,
    long *endPos = nullptr, long extraBefore = 0, long extraAfter = 0);

} // namespace sorvane::web
