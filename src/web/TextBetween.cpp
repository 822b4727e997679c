#include "web/TextBetween.h"

#include <algorithm>

namespace sorvane::web {

namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares `needle` with the text at `at` character by character, folding the case of
// single-byte characters only: the bytes of a double-byte character are never folded.
bool matchesIgnoringCase(std::string_view text, std::size_t at, std::string_view needle)
{
    if (text.size() - at < needle.size())
        return false;
    std::size_t i = 0;
    while (i < needle.size()) {
        const std::size_t len = text::charLength(needle, i);
        if (len == 1) {
            if (lowerAscii(text[at + i]) != lowerAscii(needle[i]))
                return false;
        } else if (text.compare(at + i, len, needle, i, len) != 0) {
            return false;
        }
        i += len;
    }
    return true;
}

} // namespace

std::size_t findText(std::string_view text, std::string_view needle, std::size_t from, bool ignoreCase)
{
    if (!ignoreCase)
        return text::find(text, needle, from);
    if (from > text.size())
        return std::string_view::npos;
    std::size_t at = 0;
    while (at < from)
        at += text::charLength(text, at);
    for (; at <= text.size(); at += text::charLength(text, at)) {
        if (matchesIgnoringCase(text, at, needle))
            return at;
        if (at == text.size())
            break;
    }
    return std::string_view::npos;
}

text::GbString textBetween(std::string_view text, std::string_view left,
    std::optional<std::string_view> right, long start, bool ignoreCase, long *endPos, long extraBefore,
    long extraAfter)
{
    const long length = static_cast<long>(text.size());
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    const std::size_t found = findText(text, left, from, ignoreCase);
    if (found == std::string_view::npos)
        return {};
    const long valueStart = static_cast<long>(found + left.size()) + 1; // V, 1-based
    long end;
    if (right) {
        const std::size_t rightAt
            = findText(text, *right, static_cast<std::size_t>(valueStart - 1), ignoreCase);
        end = rightAt == std::string_view::npos ? -1 : static_cast<long>(rightAt) + 1;
        if (endPos)
            *endPos = end;
        if (end == -1)
            return {};
    } else {
        end = length + static_cast<long>(left.size());
        if (endPos)
            *endPos = end;
    }
    // Extras beyond the text's size cut the same as the size itself, and cannot overflow.
    const long bound = length + static_cast<long>(left.size()) + 2;
    extraBefore = std::clamp(extraBefore, -bound, bound);
    extraAfter = std::clamp(extraAfter, -bound, bound);
    long first = valueStart - extraBefore; // 1-based
    long count = (end - valueStart) + extraBefore + extraAfter;
    if (first < 1) {
        count -= 1 - first;
        first = 1;
    }
    if (count <= 0 || first > length)
        return {};
    count = std::min(count, length - first + 1);
    return text::GbString(text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(count)));
}

} // namespace sorvane::web
