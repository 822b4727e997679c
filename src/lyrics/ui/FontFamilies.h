// Font names as the program's settings and layouts give them (Windows names such as
// "微软雅黑") resolved to families installed on this machine.
//
// None of the Chinese Windows faces exists on a Linux desktop, and Qt silently swaps an
// unknown family for its default one, which may have no Chinese glyphs. So every name
// goes through a fixed table of stand-ins first, and callers that need a line drawn in
// any case end their search with cjkSansFamily().
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace sorvane::lyrics {

// The families to try for one font name, best first: the name itself, then its
// stand-ins ("微软雅黑" and "黑体" → a CJK sans, "楷体" → a kai face or else a CJK serif,
// "宋体" → a CJK serif, "Tahoma" → a Latin sans). Not filtered by what is installed.
QStringList familyCandidates(const QString &name);

// The first installed family among familyCandidates(name); empty when none is.
QString installedFamily(const QString &name);

// The system's sans-serif family for Simplified Chinese; never empty while any font is
// installed.
QString cjkSansFamily();

// A font of `pixelSize` pixels for a control, family from `name` as above, falling back to
// cjkSansFamily().
QFont uiFont(const QString &name, int pixelSize);

} // namespace sorvane::lyrics
