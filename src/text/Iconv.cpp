#include "text/Iconv.h"

#include <algorithm>
#include <cerrno>

namespace sorvane::text {

Iconv::Iconv(const char *to, const char *from)
{
    iconv_t cd = iconv_open(to, from);
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        m_cd = cd;
        m_owner.reset(cd);
    }
}

std::string Iconv::convert(std::string_view in, std::string_view replacement, UnitLength unitLength)
{
    std::string out;
    if (!m_cd)
        return out;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // reset shift state
    out.resize(in.size() * 2 + 16);
    char *src = const_cast<char *>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    while (srcLeft > 0) {
        char *dst = out.data() + used;
        size_t dstLeft = out.size() - used;
        size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2 + 16);
        } else {
            // EILSEQ (invalid or unmapped) or EINVAL (cut off at the end): replace one
            // source character, go on.
            out.resize(used);
            out.append(replacement);
            used = out.size();
            out.resize(used + srcLeft * 2 + 16);
            const std::size_t pos = in.size() - srcLeft;
            std::size_t skip = unitLength ? unitLength(in, pos) : 1;
            skip = std::min(std::max<std::size_t>(skip, 1), srcLeft);
            src += skip;
            srcLeft -= skip;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    // Flush any shift state.
    for (;;) {
        char *dst = out.data() + used;
        size_t dstLeft = out.size() - used;
        size_t r = iconv(m_cd, nullptr, nullptr, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (r != static_cast<size_t>(-1) || errno != E2BIG)
            break;
        out.resize(out.size() * 2 + 16);
    }
    out.resize(used);
    return out;
}

} // namespace sorvane::text
