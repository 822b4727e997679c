#include "qr/ModuleError.h"

#include "qr/Texts.h"

#include <utility>

namespace sorvane::qr {

ModuleErrorInfo makeModuleErrorInfo(GbString source, GbString method, GbString info)
{
    return ModuleErrorInfo { std::move(source), std::move(method), std::move(info) };
}

ModuleError::ModuleError(ModuleErrorInfo info)
    : m_info(std::move(info))
{
    m_text = text::utf8ToGb(texts::kBoxSource) + m_info.source + text::utf8ToGb(texts::kBoxMethod)
        + m_info.method + text::utf8ToGb(texts::kBoxInfo) + m_info.info;
}

std::string ModuleError::boxTextUtf8() const
{
    return text::gbToUtf8(m_text);
}

GbString ModuleError::boxTitle()
{
    return text::utf8ToGb(texts::kBoxTitle);
}

std::string ModuleError::boxTitleUtf8()
{
    return std::string(texts::kBoxTitle);
}

void reportModuleError(std::optional<ModuleErrorInfo> info)
{
    if (!info) {
        const GbString none = text::utf8ToGb(texts::kNone);
        info = makeModuleErrorInfo(none, none, none);
    }
    throw ModuleError(std::move(*info));
}

void fail(std::string_view source, std::string_view method, std::string_view info)
{
    reportModuleError(
        makeModuleErrorInfo(text::utf8ToGb(source), text::utf8ToGb(method), text::utf8ToGb(info)));
}

void failIndex(std::string_view source, std::string_view method)
{
    fail(source, method, texts::kIndexOutOfRange);
}

} // namespace sorvane::qr
