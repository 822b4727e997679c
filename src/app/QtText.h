// Conversions between program texts (GB18030) and Qt's strings.
#pragma once

#include "text/Encoding.h"

#include <QString>

namespace sorvane::app {

inline QString toQt(std::string_view gb)
{
    return QString::fromStdU16String(text::gbToUtf16(gb));
}

inline text::GbString toGb(const QString &s)
{
    return text::utf16ToGb(s.toStdU16String());
}

// For literals in this source, which is UTF-8.
inline text::GbString gbLiteral(const char8_t *utf8)
{
    return text::utf8ToGb(reinterpret_cast<const char *>(utf8));
}

} // namespace sorvane::app
