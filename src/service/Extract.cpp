#include "service/Extract.h"

#include "service/Texts.h"

namespace sorvane::service {

namespace {

std::string withQuotes(std::string_view marker)
{
    const std::string_view placeholder = texts::quotePlaceholder();
    std::string out;
    out.reserve(marker.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text::find(marker, placeholder, from);
        if (at == std::string_view::npos)
            break;
        out.append(marker.substr(from, at - from));
        out.push_back('"');
        from = at + placeholder.size();
    }
    out.append(marker.substr(from));
    return out;
}

} // namespace

text::GbString extractBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker)
{
    const std::string start = withQuotes(startMarker);
    const std::string end = withQuotes(endMarker);
    const std::size_t at = text::find(text, start);
    if (at == std::string_view::npos)
        return {};
    const std::size_t valueStart = at + start.size();
    const std::size_t valueEnd = text::find(text, end, valueStart);
    if (valueEnd == std::string_view::npos)
        return {};
    return text::GbString(text.substr(valueStart, valueEnd - valueStart));
}

text::GbString quotedValue(std::string_view reply, std::string_view key, std::string_view nextKey)
{
    std::string start;
    start.reserve(key.size() + 4);
    start.append("\"").append(key).append("\":\"");
    std::string end;
    end.reserve(nextKey.size() + 3);
    end.append("\",\"").append(nextKey);
    return extractBetween(reply, start, end);
}

} // namespace sorvane::service
