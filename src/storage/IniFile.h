// The program's INI ("profile") files: gcsz.ini and scgq.ini.
//
// An IniFile is an in-memory document: load or parse once, read and write any number of
// keys, save once. It keeps the rules of the Windows profile functions that the files
// were first written with:
//  - section and key names are found regardless of ASCII letter case; only single-byte
//    characters are folded, so the trail byte of a GBK character ('r' in 乺) never
//    matches another character;
//  - blanks before and after names and values are dropped when reading;
//  - a value comes back with at most kMaxValueBytes bytes, cut before a character that
//    would cross the limit;
//  - a missing section or key gives the caller's default;
//  - the first of several sections or keys with the same name is the one that counts;
//  - keys before the first section header and lines that are neither a header nor
//    "key=value" are never found but are kept when the file is saved again;
//  - writing replaces an existing key where it stands, adds a new key after the last
//    line of its section, and a new section at the end of the file.
//
// Bytes are GB18030 (GBK files read the same); headers and separators are searched
// character by character, so a ']' inside a GBK character (乚) does not end a section
// name. Files may use CRLF or LF line ends; a saved file uses CRLF throughout.
//
// Any input parses, however malformed or binary. Not thread-safe: one document belongs
// to one thread at a time.
#pragma once

#include "storage/Result.h"
#include "text/Encoding.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sorvane::storage {

using text::GbString;

class IniFile
{
public:
    // Longest value a read returns, as with a 10 240-byte buffer and its terminator.
    static constexpr std::size_t kMaxValueBytes = 10239;
    // Larger files are refused by load(): no real settings or list file comes near it.
    static constexpr std::uintmax_t kMaxFileBytes = 64u << 20;

    // An empty document: saving it gives an empty file.
    IniFile() = default;

    // Reads a document from file bytes. Never fails.
    static IniFile parse(std::string_view bytes);
    // Reads the file at `path` (errors of readFile(), limit kMaxFileBytes).
    static Result<IniFile> load(const std::filesystem::path &path);
    // The document a save updates in place: the file at `path`, or an empty document
    // when there is none or when it is over kMaxFileBytes (the reader refused it, so it
    // holds nothing worth keeping and is replaced). Other read errors are returned, so a
    // file that exists but cannot be read is never overwritten.
    static Result<IniFile> loadForUpdate(const std::filesystem::path &path);

    // The document as file bytes. Lines that were read and not set since come back byte
    // for byte apart from their line ends, which become CRLF (a last line without one
    // gains it); a key that was set becomes "key=value" with the key spelt as before.
    std::string serialize() const;
    // Writes serialize() to `path` with writeFileAtomically(): on failure the old file
    // stays complete.
    Result<void> save(const std::filesystem::path &path) const;

    // The trimmed, length-capped value of `key` in `section`, or nullopt when either is
    // missing (a present key with an empty value gives an empty text).
    std::optional<GbString> value(std::string_view section, std::string_view key) const;
    // value(), or `fallback` when the key is missing.
    GbString get(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
    bool hasSection(std::string_view section) const;

    // Sets `key` in `section`, creating either when missing. CR and LF in any of the three
    // become blanks, so a text can never add a line, a key or a section to the file. The
    // names are trimmed; a ']' in a section name or a '=' in a key ends the name when the
    // file is read again, so callers use names without them.
    void set(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line
    {
        std::string text; // as in the file, without its line end
        std::size_t equals = std::string::npos; // offset of '=' on a key line
    };
    struct Section
    {
        std::string header; // the header line as in the file
        std::vector<Line> lines; // the lines after the header
        std::unordered_map<std::string, std::size_t> keys; // folded key -> first line
    };

    void addLine(std::string_view text);
    const Section *findSection(std::string_view section) const;

    std::vector<Line> m_preamble; // lines before the first header
    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex; // folded name -> first section
};

// Reads a whole number the way the files' numbers are read: blanks, an optional sign and
// the digits that follow; a text that does not start with a number gives 0, and a number
// beyond the 64-bit range gives the nearest bound. "12abc" is 12, "3.7" is 3, "-0" is 0.
std::int64_t parseWholeNumber(std::string_view text);

} // namespace sorvane::storage
