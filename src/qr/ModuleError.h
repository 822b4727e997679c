// Error reporting of the QR code module.
//
// Every check of the module fails through reportModuleError(), which throws ModuleError.
// The exception carries where the failure happened (class, method) and what it was; its
// what() is the text of the error box the program shows ("异常来源：[...]\r\n方法名称：
// ...()\r\n异常信息：..."). The program catches it where a user action started the
// encoding, shows the box titled boxTitle() and goes on: nothing of the module's state
// needs undoing, because every encoding rewrites the record it works on.
//
// All texts are GB18030 like every program text; the *Utf8() forms are for output to a
// terminal or a toolkit that wants UTF-8.
#pragma once

#include "text/Encoding.h"

#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane::qr {

using text::GbString;

struct ModuleErrorInfo
{
    GbString source; // class-name text of the reporting object, or a literal class name
    GbString method; // Chinese method name, without parentheses
    GbString info; // the message proper

    bool operator==(const ModuleErrorInfo &) const = default;
};

ModuleErrorInfo makeModuleErrorInfo(GbString source, GbString method, GbString info);

class ModuleError : public std::exception
{
public:
    explicit ModuleError(ModuleErrorInfo info);

    const ModuleErrorInfo &info() const noexcept { return m_info; }

    // The box text, GB18030.
    const char *what() const noexcept override { return m_text.c_str(); }
    const GbString &boxText() const noexcept { return m_text; }
    std::string boxTextUtf8() const;

    // The title of the error box.
    static GbString boxTitle();
    static std::string boxTitleUtf8();

private:
    ModuleErrorInfo m_info;
    GbString m_text;
};

// Throws ModuleError. Without a record all three parts read "无".
[[noreturn]] void reportModuleError(std::optional<ModuleErrorInfo> info = std::nullopt);

// The module's own shorthand: the three parts are given in UTF-8 (texts of Texts.h,
// possibly followed by decimal numbers) and converted to GB18030 here.
[[noreturn]] void fail(std::string_view source, std::string_view method, std::string_view info);

// An array index or size outside what the array holds: a caller error inside the module.
[[noreturn]] void failIndex(std::string_view source, std::string_view method);

} // namespace sorvane::qr
