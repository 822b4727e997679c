// Reply headers come from any server: merging them into a store, looking cookies up and
// cutting values out must never fault, and the store must keep its "name=value;" shape.
#include "web/CookieStore.h"
#include "web/ScriptHost.h"
#include "web/TextBetween.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    // The first line, when there is one, is the earlier store and a marker.
    const std::size_t newline = input.find('\n');
    const std::string_view first
        = newline == std::string_view::npos ? std::string_view() : input.substr(0, newline);
    const std::string_view headers = newline == std::string_view::npos ? input : input.substr(newline + 1);

    sorvane::web::CookieStore store { std::string(first) };
    store.merge(headers);
    store.merge(headers);
    // From an empty store every entry ends with its ";".
    sorvane::web::CookieStore fresh;
    fresh.merge(headers);
    if (!fresh.text().empty() && fresh.text().back() != ';')
        std::abort();

    (void)sorvane::web::cookieFromHeaders(headers, first);
    (void)sorvane::web::setCookieLines(headers);
    (void)sorvane::web::scriptTextBetween(headers, first, ";");
    long end = 0;
    for (long start : { -3L, 0L, 1L, 7L, static_cast<long>(size) }) {
        (void)sorvane::web::textBetween(headers, first, std::string_view(";"), start, true, &end, 3, 5);
        (void)sorvane::web::textBetween(headers, first, std::nullopt, start, false, &end, -2, 9);
    }
    return 0;
}
