// The one job the program gave its script engine, done natively.
#pragma once

#include "text/Encoding.h"

#include <string_view>

namespace sorvane::web {

// The text of `t` between the first occurrence of `s` and the first occurrence of `e`
// after it; empty when either is missing. An empty `s` gives the text before the first
// `e`; an empty `e` gives the empty text. Markers are found only where a character
// begins, so results equal those of the same search over the characters of the text,
// and the bytes of the result are those of `t`. Thread-safe, never fails.
text::GbString scriptTextBetween(std::string_view t, std::string_view s, std::string_view e);

} // namespace sorvane::web
