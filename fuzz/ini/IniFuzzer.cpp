// Feeds arbitrary bytes to the INI loader and checks what must hold for any input:
// saving is stable after one round, reads respect the value cap, and a key that was set
// reads back the same after the document is saved and loaded again.
#include "storage/IniFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using sorvane::storage::IniFile;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    IniFile doc = IniFile::parse(input);

    const std::string once = doc.serialize();
    check(IniFile::parse(once).serialize() == once);

    // Names taken from the input itself reach sections and keys that exist.
    const std::string_view name = input.substr(0, std::min<std::size_t>(input.size(), 8));
    for (const std::string_view section : {std::string_view("Rect"), name, std::string_view("0")}) {
        for (const std::string_view key : {std::string_view("Rows"), name, std::string_view("0")}) {
            const auto value = doc.value(section, key);
            check(!value || value->size() <= IniFile::kMaxValueBytes);
        }
    }

    const std::string_view value = input.substr(input.size() / 2);
    doc.set("Rect", "Rows", value);
    doc.set(name, "0", value);
    const IniFile again = IniFile::parse(doc.serialize());
    check(again.value("Rect", "Rows") == doc.value("Rect", "Rows"));
    return 0;
}
