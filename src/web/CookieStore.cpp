#include "web/CookieStore.h"

#include "web/ScriptHost.h"
#include "web/TextBetween.h"

#include <algorithm>
#include <optional>

namespace sorvane::web {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool hasControl(std::string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// Where the entry of cookie `name` lies in the store: [begin, end) covers "name=value;".
struct Entry
{
    std::size_t begin;
    std::size_t end;
    std::string_view value;
};

std::optional<Entry> findEntry(std::string_view store, std::string_view name)
{
    std::size_t at = 0;
    while (at < store.size()) {
        const std::size_t semicolon = text::find(store, ";", at);
        const std::size_t stop = semicolon == std::string_view::npos ? store.size() : semicolon;
        const std::string_view entry = store.substr(at, stop - at);
        if (entry.size() > name.size() && entry.starts_with(name) && entry[name.size()] == '=') {
            const std::size_t end = semicolon == std::string_view::npos ? store.size() : semicolon + 1;
            return Entry { at, end, entry.substr(name.size() + 1) };
        }
        at = stop + 1;
    }
    return std::nullopt;
}

} // namespace

void CookieStore::merge(std::string_view headers)
{
    long pos = 0;
    for (;;) {
        const text::GbString line = textBetween(headers, "Set-Cookie: ", kCrLf, pos, false, &pos);
        const std::size_t equals = text::find(line, "=");
        const std::string_view name = equals == std::string_view::npos
            ? std::string_view()
            : std::string_view(line).substr(0, equals);
        if (name.empty())
            break;

        const std::string nameEq = std::string(name) + "=";
        text::GbString fresh;
        if (text::find(line, ";", name.size()) == std::string_view::npos) {
            fresh = textBetween(line, nameEq);
        } else {
            fresh = textBetween(line, nameEq, ";");
            if (text::contains(line, "deleted; expires="))
                fresh.clear();
        }
        if (text::contains(name, ";") || hasControl(name) || hasControl(fresh))
            continue;

        const std::optional<Entry> old = findEntry(m_text, name);
        const bool hasOld = old && !old->value.empty();
        if (!fresh.empty() && hasOld)
            m_text.replace(old->begin, old->end - old->begin, nameEq + fresh + ";");
        else if (!fresh.empty())
            m_text += nameEq + fresh + ";";
        else if (hasOld)
            m_text.erase(old->begin, old->end - old->begin);
    }
}

text::GbString cookieFromHeaders(std::string_view headers, std::string_view name)
{
    // The value ends at the first ";" of its own header line; a cookie sent without
    // attributes has none, and its value then ends with the line rather than running on
    // to some ";" of a later header, or coming out empty for want of one.
    const std::string lines = std::string(headers) + std::string(kCrLf);
    const auto valueAfter = [&](const std::string &prefix) {
        return scriptTextBetween(scriptTextBetween(lines, prefix, kCrLf) + ";", "", ";");
    };
    const std::string nameEq = std::string(name) + "=";
    text::GbString value = valueAfter("Set-Cookie: " + nameEq);
    if (value.empty())
        value = valueAfter("Set-Cookie:" + nameEq); // the spelling without a blank
    return value;
}

text::GbString setCookieLines(std::string_view headers)
{
    text::GbString out;
    std::size_t at = 0;
    while (at < headers.size()) {
        const std::size_t crlf = text::find(headers, kCrLf, at);
        const std::size_t stop = crlf == std::string_view::npos ? headers.size() : crlf;
        const std::string_view line = headers.substr(at, stop - at);
        if (line.starts_with("Set-Cookie:")) {
            out += line;
            out += kCrLf;
        }
        at = crlf == std::string_view::npos ? headers.size() : crlf + kCrLf.size();
    }
    return out;
}

} // namespace sorvane::web
