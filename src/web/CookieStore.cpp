#include "web/CookieStore.h"

#include "web/ScriptHost.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace sorvane::web {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kSetCookie = "Set-Cookie: ";

// CR, LF, ";" and "=" never occur inside a GB18030 character, so plain byte searches for
// them are exact. Other markers need character boundaries.

bool hasControl(std::string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// Finds a marker only where a character begins, like text::find, but remembers how far
// it has walked, so a scan that only moves forward walks the text once in all.
class ForwardSearch
{
public:
    explicit ForwardSearch(std::string_view text)
        : m_text(text)
    {
    }

    std::size_t find(std::string_view needle, std::size_t from)
    {
        for (std::size_t searchFrom = from;;) {
            const std::size_t candidate = m_text.find(needle, searchFrom);
            if (candidate == std::string_view::npos)
                return candidate;
            if (candidate < m_boundary)
                m_boundary = 0; // a search behind the last one: walk again from the start
            while (m_boundary < candidate)
                m_boundary += text::charLength(m_text, m_boundary);
            if (m_boundary == candidate)
                return candidate;
            searchFrom = m_boundary;
        }
    }

private:
    std::string_view m_text;
    std::size_t m_boundary = 0;
};

// The store taken apart for one merge, so that each cookie is found by a hash lookup
// instead of a scan of the store: a reply with thousands of cookies stays linear.
class Entries
{
public:
    explicit Entries(std::string_view store)
    {
        std::size_t at = 0;
        while (at < store.size()) {
            const std::size_t semicolon = store.find(';', at);
            const std::size_t stop = semicolon == std::string_view::npos ? store.size() : semicolon;
            add(std::string(store.substr(at, stop - at)), semicolon != std::string_view::npos);
            at = stop + 1;
        }
    }

    struct Entry
    {
        std::string text; // "name=value", without its ";"
        bool terminated;
        bool live = true;
    };

    // The first entry that starts with `name` and "=", or null. Valid until append().
    Entry *find(const std::string &name)
    {
        const auto it = m_byName.find(name);
        if (it == m_byName.end())
            return nullptr;
        for (const std::size_t index : it->second)
            if (m_entries[index].live)
                return &m_entries[index];
        return nullptr;
    }

    void append(std::string entry) { add(std::move(entry), true); }

    std::string join() const
    {
        std::string out;
        for (const Entry &e : m_entries) {
            if (!e.live)
                continue;
            out += e.text;
            if (e.terminated)
                out += ';';
        }
        return out;
    }

private:
    void add(std::string entry, bool terminated)
    {
        const std::size_t equals = entry.find('=');
        if (equals != std::string::npos && equals > 0)
            m_byName[entry.substr(0, equals)].push_back(m_entries.size());
        m_entries.push_back(Entry { std::move(entry), terminated });
    }

    std::vector<Entry> m_entries;
    std::unordered_map<std::string, std::vector<std::size_t>> m_byName;
};

} // namespace

void CookieStore::merge(std::string_view headers)
{
    Entries entries(m_text);
    ForwardSearch search(headers);
    std::size_t pos = 0;
    for (;;) {
        // The value part of the next "Set-Cookie: " header, up to its CR LF.
        const std::size_t at = search.find(kSetCookie, pos);
        if (at == std::string_view::npos)
            break;
        const std::size_t valueAt = at + kSetCookie.size();
        const std::size_t end = headers.find(kCrLf, valueAt);
        if (end == std::string_view::npos)
            break;
        pos = end;
        const std::string_view line = headers.substr(valueAt, end - valueAt);

        const std::size_t equals = line.find('=');
        const std::string_view name
            = equals == std::string_view::npos ? std::string_view() : line.substr(0, equals);
        if (name.empty())
            break;
        const std::size_t semicolon = line.find(';', equals);
        std::string_view fresh = line.substr(equals + 1,
            semicolon == std::string_view::npos ? std::string_view::npos : semicolon - equals - 1);
        if (semicolon != std::string_view::npos && text::contains(line, "deleted; expires="))
            fresh = {};
        if (name.find(';') != std::string_view::npos || hasControl(name) || hasControl(fresh))
            continue;

        const std::string key(name);
        Entries::Entry *old = entries.find(key);
        const bool hasOld = old && old->text.size() > key.size() + 1; // a value after "name="
        if (!fresh.empty() && hasOld)
            old->text = key + "=" + std::string(fresh);
        else if (!fresh.empty())
            entries.append(key + "=" + std::string(fresh));
        else if (hasOld)
            old->live = false;
    }
    m_text = entries.join();
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
        const std::size_t crlf = headers.find(kCrLf, at);
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
