#include "service/JsonText.h"

#include <optional>

namespace sorvane::service {

namespace {

std::optional<char16_t> hexUnit(std::string_view s, std::size_t pos)
{
    if (pos + 4 > s.size())
        return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = pos; i < pos + 4; ++i) {
        const char c = s[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return static_cast<char16_t>(value);
}

char simpleEscape(char c)
{
    switch (c) {
    case '"':
    case '\\':
    case '/':
        return c;
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    default:
        return 0;
    }
}

} // namespace

text::GbString jsonUnescape(std::string_view value)
{
    text::GbString out;
    out.reserve(value.size());
    // Consecutive \u escapes are gathered and converted together, so a surrogate pair
    // split over two escapes becomes one character.
    std::u16string units;
    const auto flushUnits = [&] {
        if (!units.empty()) {
            out += text::utf16ToGb(units);
            units.clear();
        }
    };
    std::size_t i = 0;
    while (i < value.size()) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[i + 1];
            if (next == 'u') {
                if (const auto unit = hexUnit(value, i + 2)) {
                    units.push_back(*unit);
                    i += 6;
                    continue;
                }
            } else if (const char decoded = simpleEscape(next)) {
                flushUnits();
                out.push_back(decoded);
                i += 2;
                continue;
            }
        }
        flushUnits();
        const std::size_t n = text::charLength(value, i);
        out.append(value.substr(i, n));
        i += n;
    }
    flushUnits();
    return out;
}

} // namespace sorvane::service
