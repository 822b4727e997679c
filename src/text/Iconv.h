// RAII owner of one iconv conversion descriptor.
#pragma once

#include <iconv.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace sorvane::text {

class Iconv
{
public:
    // Opens a converter from `from` to `to` (iconv names). valid() is false when the
    // pair is unknown to the system.
    Iconv(const char *to, const char *from);

    bool valid() const { return m_cd != nullptr; }

    // Tells how many input bytes to skip at a position where conversion failed: the
    // length of the source character there, or 1 for a byte that starts none.
    using UnitLength = std::size_t (*)(std::string_view in, std::size_t pos);

    // Converts `in`. Each input character that cannot be converted (invalid, cut off or
    // unmapped) is skipped as `unitLength` says and `replacement` (already in the
    // target encoding) is written instead.
    std::string convert(std::string_view in, std::string_view replacement, UnitLength unitLength = nullptr);

private:
    struct Closer
    {
        void operator()(void *cd) const { iconv_close(static_cast<iconv_t>(cd)); }
    };
    std::unique_ptr<void, Closer> m_owner;
    iconv_t m_cd = nullptr;
};

} // namespace sorvane::text
