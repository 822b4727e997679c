// RAII owner of one iconv conversion descriptor.
#pragma once

#include <iconv.h>

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

    // Converts `in`. Each input byte that cannot be converted (invalid or cut off) is
    // skipped and `replacement` (already in the target encoding) is written instead.
    std::string convert(std::string_view in, std::string_view replacement);

private:
    struct Closer
    {
        void operator()(void *cd) const { iconv_close(static_cast<iconv_t>(cd)); }
    };
    std::unique_ptr<void, Closer> m_owner;
    iconv_t m_cd = nullptr;
};

} // namespace sorvane::text
