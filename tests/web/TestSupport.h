#pragma once

#include "text/Encoding.h"

#include <string>
#include <string_view>

namespace sorvane::web::test {

// A program text (GB18030) from a UTF-8 literal.
inline text::GbString gb(std::u8string_view utf8)
{
    return text::utf8ToGb(std::string_view(reinterpret_cast<const char *>(utf8.data()), utf8.size()));
}

// The bytes of a UTF-8 literal, unconverted.
inline std::string utf8(std::u8string_view s)
{
    return std::string(reinterpret_cast<const char *>(s.data()), s.size());
}

// Percent-encodes every byte outside [A-Za-z0-9], for query values.
std::string percentEncode(std::string_view bytes);

} // namespace sorvane::web::test
