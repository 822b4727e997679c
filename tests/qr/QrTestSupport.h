// Helpers shared by the QR and share tests.
#pragma once

#include "qr/ModuleError.h"
#include "text/Encoding.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace sorvane::qr {

// Test output shows the three parts readably.
inline void PrintTo(const ModuleErrorInfo &info, std::ostream *os)
{
    *os << "{" << text::gbToUtf8(info.source) << " | " << text::gbToUtf8(info.method) << " | "
        << text::gbToUtf8(info.info) << "}";
}

} // namespace sorvane::qr

namespace sorvane::qr::test {

// Program text (GB18030) from a UTF-8 literal.
inline text::GbString gb(std::string_view utf8)
{
    return text::utf8ToGb(utf8);
}

// The report an action raises, or nullopt when it finishes without one.
template <class F> std::optional<ModuleErrorInfo> reportOf(F &&action)
{
    try {
        action();
    } catch (const ModuleError &e) {
        return e.info();
    }
    return std::nullopt;
}

// The expected report, from UTF-8 texts.
inline ModuleErrorInfo report(std::string_view source, std::string_view method, std::string_view info)
{
    return ModuleErrorInfo { gb(source), gb(method), gb(info) };
}

} // namespace sorvane::qr::test
