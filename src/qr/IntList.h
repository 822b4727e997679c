#pragma once

#include <string_view>
#include <vector>

namespace sorvane::qr {

// Splits text at each delimiter and reads every piece as a decimal integer ("-7" is −7;
// a piece that is not a number reads as 0). The empty text gives no entries.
std::vector<int> parseIntList(std::string_view text, std::string_view delimiter);

} // namespace sorvane::qr
