// The cookies kept across replies, and the readers of a reply's Set-Cookie headers.
//
// Header texts here are what HttpRequest::getAllResponseHeaders gives: the header lines
// of one reply, each followed by CR LF, status line excluded.
#pragma once

#include "text/Encoding.h"

#include <string_view>

namespace sorvane::web {

// The store is one text of entries "name=value;" with nothing between them, in the
// order the cookies were first stored; a cookie with an empty value is never kept.
class CookieStore
{
public:
    CookieStore() = default;
    explicit CookieStore(text::GbString entries)
        : m_text(std::move(entries))
    {
    }

    const text::GbString &text() const { return m_text; }

    // Merges every "Set-Cookie: " header (that spelling, one blank after the colon) of
    // `headers`, in order, up to the first one that names no cookie:
    //  - a new cookie is appended;
    //  - a known cookie gets its new value in place;
    //  - "name=deleted; expires=..." (or an empty value) removes the cookie.
    // A cookie is known when an entry starts with its name and "=": "uid" never touches
    // the entry of "xuid". Cookies whose name holds ";" or whose name or value holds a
    // control character are skipped, since they would corrupt the store or the Cookie
    // header made from it.
    void merge(std::string_view headers);

private:
    text::GbString m_text;
};

// The value of cookie `name` in the first "Set-Cookie: name=" (or "Set-Cookie:name=")
// header of `headers`, up to the first ";" of that header line or to its end. Empty when
// there is none.
text::GbString cookieFromHeaders(std::string_view headers, std::string_view name);

// Every header line of `headers` that begins with "Set-Cookie:" (exact case), in order,
// each followed by CR LF; empty when there is none.
text::GbString setCookieLines(std::string_view headers);

} // namespace sorvane::web
