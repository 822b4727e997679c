// Decoding of JSON string escapes in values cut out of a reply.
#pragma once

#include "text/Encoding.h"

#include <string_view>

namespace sorvane::service {

// Decodes the escapes of a JSON string body (the text between its quotes) held as GB18030:
// \" \\ \/ \b \f \n \r \t and \uXXXX. A \uXXXX pair forming a UTF-16 surrogate pair gives
// one character; a lone surrogate gives U+FFFD. Every decoded character is written in
// GB18030. Characters are walked one GB18030 character at a time, so the second byte of a
// double-byte character is never taken for a backslash.
//
// Malformed escapes never fail: a backslash followed by anything else (or by \u without
// four hexadecimal digits) is kept as written, and a backslash at the very end stays.
text::GbString jsonUnescape(std::string_view value);

} // namespace sorvane::service
