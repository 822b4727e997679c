#include "web/ScriptHost.h"

namespace sorvane::web {

text::GbString scriptTextBetween(std::string_view t, std::string_view s, std::string_view e)
{
    const std::size_t i = text::find(t, s);
    if (i == std::string_view::npos)
        return {};
    const std::size_t k = i + s.size();
    const std::size_t j = text::find(t, e, k);
    if (j == std::string_view::npos)
        return {};
    return text::GbString(t.substr(k, j - k));
}

} // namespace sorvane::web
