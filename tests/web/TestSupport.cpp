#include "TestSupport.h"

#include "web/CurlGlobal.h"

#include <cctype>

namespace sorvane::web::test {

// As main() does in the program: libcurl is set up once for the whole run.
static const CurlGlobal curlGlobal;

std::string percentEncode(std::string_view bytes)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : bytes) {
        if (std::isalnum(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

} // namespace sorvane::web::test
