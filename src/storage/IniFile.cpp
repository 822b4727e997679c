#include "storage/IniFile.h"

#include "storage/AtomicFile.h"

#include <cstring>
#include <limits>

namespace sorvane::storage {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Blanks are below 0x30 and so never part of a multi-byte character: trimming by byte is
// safe for GB18030.
std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The profile functions compare names without regard to case. Folding only single-byte
// characters keeps the trail bytes of double-byte characters, which may be ASCII
// letters, from matching other characters.
std::string fold(std::string_view name)
{
    name = trim(name);
    std::string out(name);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t len = text::charLength(out, i);
        if (len == 1 && out[i] >= 'A' && out[i] <= 'Z')
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
        i += len;
    }
    return out;
}

// Offset of the single-byte character `c` at or after `from`, stepping by character.
std::size_t findChar(std::string_view s, char c, std::size_t from)
{
    for (std::size_t i = from; i < s.size();) {
        const std::size_t len = text::charLength(s, i);
        if (len == 1 && s[i] == c)
            return i;
        i += len;
    }
    return std::string_view::npos;
}

// Returns `s` itself when it holds no line break, else a copy in `buffer` with blanks
// in their place.
std::string_view withoutLineBreaks(std::string_view s, std::string &buffer)
{
    if (s.find_first_of("\r\n") == std::string_view::npos)
        return s;
    buffer.assign(s);
    for (char &c : buffer)
        if (c == '\r' || c == '\n')
            c = ' ';
    return buffer;
}

std::string_view capValue(std::string_view value)
{
    if (value.size() <= IniFile::kMaxValueBytes)
        return value;
    std::size_t end = 0;
    while (end < value.size()) {
        const std::size_t len = text::charLength(value, end);
        if (end + len > IniFile::kMaxValueBytes)
            break;
        end += len;
    }
    return value.substr(0, end);
}

bool isBlankLine(std::string_view line)
{
    return trim(line).empty();
}

} // namespace

IniFile IniFile::parse(std::string_view bytes)
{
    IniFile doc;
    while (!bytes.empty()) {
        // LF never occurs inside a GB18030 character, so a byte search finds line ends.
        const std::size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        doc.addLine(line);
    }
    return doc;
}

void IniFile::addLine(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;

    if (start < text.size() && text[start] == '[') {
        const std::size_t close = findChar(text, ']', start + 1);
        if (close != std::string_view::npos) {
            std::string name = fold(text.substr(start + 1, close - start - 1));
            m_sectionIndex.try_emplace(std::move(name), m_sections.size());
            m_sections.push_back(Section { std::string(text), {}, {} });
            return;
        }
    }

    Line line { std::string(text) };
    const std::size_t equals = findChar(text, '=', start);
    if (equals != std::string_view::npos)
        line.equals = equals;
    if (m_sections.empty()) {
        m_preamble.push_back(std::move(line));
        return;
    }
    Section &section = m_sections.back();
    if (equals != std::string_view::npos)
        section.keys.try_emplace(fold(text.substr(start, equals - start)), section.lines.size());
    section.lines.push_back(std::move(line));
}

Result<IniFile> IniFile::load(const std::filesystem::path &path)
{
    Result<std::string> bytes = readFile(path, kMaxFileBytes);
    if (!bytes)
        return bytes.error();
    return parse(bytes.value());
}

Result<IniFile> IniFile::loadForUpdate(const std::filesystem::path &path)
{
    Result<IniFile> existing = load(path);
    if (!existing
        && (existing.error().code == ErrorCode::NotFound || existing.error().code == ErrorCode::TooLarge))
        return IniFile();
    return existing;
}

std::string IniFile::serialize() const
{
    std::size_t size = 0;
    for (const Line &line : m_preamble)
        size += line.text.size() + 2;
    for (const Section &section : m_sections) {
        size += section.header.size() + 2;
        for (const Line &line : section.lines)
            size += line.text.size() + 2;
    }
    std::string out;
    out.reserve(size);
    const auto put = [&out](const std::string &text) {
        out += text;
        out += "\r\n";
    };
    for (const Line &line : m_preamble)
        put(line.text);
    for (const Section &section : m_sections) {
        put(section.header);
        for (const Line &line : section.lines)
            put(line.text);
    }
    return out;
}

Result<void> IniFile::save(const std::filesystem::path &path) const
{
    return writeFileAtomically(path, serialize());
}

const IniFile::Section *IniFile::findSection(std::string_view section) const
{
    const auto it = m_sectionIndex.find(fold(section));
    return it == m_sectionIndex.end() ? nullptr : &m_sections[it->second];
}

std::optional<GbString> IniFile::value(std::string_view section, std::string_view key) const
{
    const Section *s = findSection(section);
    if (!s)
        return std::nullopt;
    const auto it = s->keys.find(fold(key));
    if (it == s->keys.end())
        return std::nullopt;
    const Line &line = s->lines[it->second];
    return GbString(capValue(trim(std::string_view(line.text).substr(line.equals + 1))));
}

GbString IniFile::get(std::string_view section, std::string_view key, std::string_view fallback) const
{
    std::optional<GbString> v = value(section, key);
    return v ? std::move(*v) : GbString(fallback);
}

bool IniFile::hasSection(std::string_view section) const
{
    return findSection(section) != nullptr;
}

void IniFile::set(std::string_view sectionName, std::string_view keyName, std::string_view value)
{
    std::string sectionBuffer, keyBuffer, valueBuffer;
    const std::string_view cleanSection = withoutLineBreaks(trim(sectionName), sectionBuffer);
    const std::string_view cleanKey = withoutLineBreaks(trim(keyName), keyBuffer);
    const std::string_view cleanValue = withoutLineBreaks(value, valueBuffer);

    std::string foldedSection = fold(cleanSection);
    auto sit = m_sectionIndex.find(foldedSection);
    if (sit == m_sectionIndex.end()) {
        sit = m_sectionIndex.emplace(std::move(foldedSection), m_sections.size()).first;
        m_sections.push_back(Section { "[" + std::string(cleanSection) + "]", {}, {} });
    }
    Section &section = m_sections[sit->second];

    std::string foldedKey = fold(cleanKey);
    const auto kit = section.keys.find(foldedKey);
    if (kit != section.keys.end()) {
        // The key keeps the spelling it has in the file.
        Line &line = section.lines[kit->second];
        const std::string_view text = line.text;
        const std::string_view key = trim(text.substr(0, line.equals));
        if (key.size() == line.equals && text.substr(line.equals + 1) == cleanValue)
            return; // already "key=value": saving over the loaded file mostly lands here
        std::string replaced;
        replaced.reserve(key.size() + 1 + cleanValue.size());
        replaced.append(key).append("=").append(cleanValue);
        line.equals = key.size();
        line.text = std::move(replaced);
        return;
    }

    // After the section's last non-blank line, so blank lines that separate it from the
    // next section stay where they are. Only blank lines move, so no key index changes.
    std::size_t at = section.lines.size();
    while (at > 0 && isBlankLine(section.lines[at - 1].text))
        --at;
    Line line { std::string(cleanKey), cleanKey.size() };
    line.text.append("=").append(cleanValue);
    section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    section.keys.emplace(std::move(foldedKey), at);
}

std::int64_t parseWholeNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulates toward the negative bound, which holds one more value.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (n < (kMin + digit) / 10) {
            n = kMin;
            break;
        }
        n = n * 10 - digit;
    }
    if (negative)
        return n;
    return n == kMin ? std::numeric_limits<std::int64_t>::max() : -n;
}

} // namespace sorvane::storage
