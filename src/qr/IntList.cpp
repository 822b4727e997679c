#include "qr/IntList.h"

#include <charconv>

namespace sorvane::qr {

std::vector<int> parseIntList(std::string_view text, std::string_view delimiter)
{
    std::vector<int> out;
    if (text.empty())
        return out;
    const auto toInt = [](std::string_view piece) {
        int value = 0;
        const char *first = piece.data();
        const char *last = piece.data() + piece.size();
        while (first != last && *first == ' ')
            ++first;
        if (first != last && *first == '+')
            ++first;
        std::from_chars(first, last, value);
        return value;
    };
    if (delimiter.empty()) {
        out.push_back(toInt(text));
        return out;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(delimiter, start);
        if (at == std::string_view::npos) {
            out.push_back(toInt(text.substr(start)));
            return out;
        }
        out.push_back(toInt(text.substr(start, at - start)));
        start = at + delimiter.size();
    }
}

} // namespace sorvane::qr
