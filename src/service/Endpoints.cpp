#include "service/Endpoints.h"

#include "service/Urls.h"

#include <cstdlib>

namespace sorvane::service {

namespace {

void overrideFrom(std::string &base, const char *value)
{
    if (!value)
        return;
    std::string candidate(value);
    while (!candidate.empty() && candidate.back() == '/')
        candidate.pop_back();
    if (isWebAddress(candidate))
        base = std::move(candidate);
}

Endpoints &current()
{
    static Endpoints e = Endpoints::fromEnvironment();
    return e;
}

} // namespace

Endpoints Endpoints::fromEnvironment(const std::function<const char *(const char *)> &lookup)
{
    const auto get
        = [&](const char *name) -> const char * { return lookup ? lookup(name) : std::getenv(name); };
    Endpoints e;
    overrideFrom(e.serviceBase, get("SORVANE_SERVICE_BASE"));
    overrideFrom(e.musicBase, get("SORVANE_MUSIC_BASE"));
    return e;
}

const Endpoints &endpoints()
{
    return current();
}

void setEndpoints(Endpoints e)
{
    current() = std::move(e);
}

} // namespace sorvane::service
