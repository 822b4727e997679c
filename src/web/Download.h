// Fetching a file (a cover picture, an album page) as bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorvane::web {

// GETs `url` with an HTTP/1.0 request line and the headers
// "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)" and "Accept: */*",
// following up to kMaxRedirects redirects, under the time-outs of web/Limits.h.
// Returns the body's bytes (possibly none, for an empty 2xx reply), or std::nullopt when
// anything fails: an address that is not http or https (nothing is sent), no connection,
// a time-out, a TLS error, a status outside 200–299, or a body over kMaxDownloadBytes
// (the transfer is cut off on the way, never held whole).
// Blocks the calling thread; each call uses its own connection, so calls from several
// threads may run at once once a CurlGlobal exists.
std::optional<std::string> download(std::string_view url);

} // namespace sorvane::web
