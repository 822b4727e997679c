// Reading the service's replies: every value is the text between two fixed markers.
//
// The replies are JSON, but the program reads them without a JSON parser. All searches
// step one GB18030 character at a time, so a marker is found only where a character
// begins: a title holding a character whose second byte is '"', '[' or '\\' never
// breaks a search.
#pragma once

#include "text/Encoding.h"

#include <string_view>

namespace sorvane::service {

// Returns the text between the first occurrence of `startMarker` in `text` and the first
// occurrence of `endMarker` at or after the end of that start marker, raw: JSON escapes
// are left as they are (use jsonUnescape before showing or using the value).
//
// In both markers, every "#引号" (GB18030) stands for one double-quote character.
// Matching is exact and byte-wise, but only at character boundaries.
//
// Missing start marker, or no end marker after it: the empty text (an end marker that
// only occurs before the start marker does not count). A start marker immediately
// followed by the end marker also gives the empty text.
text::GbString extractBetween(
    std::string_view text, std::string_view startMarker, std::string_view endMarker);

// The raw quoted value of `key` in a reply, read up to the closing quote in front of the
// key `nextKey`: extractBetween(reply, "\"key\":\"", "\",\"nextKey"). Missing key or
// missing next key after it: the empty text.
text::GbString quotedValue(std::string_view reply, std::string_view key, std::string_view nextKey);

} // namespace sorvane::service
