// The limits every web transfer of the program runs under. No caller sets time-outs, so
// these are the ones in force; HttpRequest::setTimeouts can only lower them.
#pragma once

#include <chrono>
#include <cstddef>

namespace sorvane::web {

// Name resolution plus TCP and TLS connection set-up.
inline constexpr std::chrono::milliseconds kConnectTimeout { 5000 };
// The whole request, from the start of resolution to the last byte of the body.
inline constexpr std::chrono::milliseconds kRequestTimeout { 15000 };

// Redirects followed per request; one more is a failed request.
inline constexpr long kMaxRedirects = 5;

// Largest body an HttpRequest reply may carry (a service reply is a few KiB).
inline constexpr std::size_t kMaxReplyBytes = std::size_t { 8 } << 20;
// Largest body a download may carry (a cover picture or an album page).
inline constexpr std::size_t kMaxDownloadBytes = std::size_t { 16 } << 20;
// Largest total size of the header lines of one reply.
inline constexpr std::size_t kMaxHeaderBytes = std::size_t { 256 } << 10;

} // namespace sorvane::web
