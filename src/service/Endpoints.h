// The two base addresses the program talks to: the radio service and the music site.
#pragma once

#include <functional>
#include <string>

namespace sorvane::service {

struct Endpoints
{
    // Base of every service request, without a trailing slash.
    std::string serviceBase = "https://douban.fm";
    // Base of the album pages, without a trailing slash.
    std::string musicBase = "https://music.douban.com";

    // Reads SORVANE_SERVICE_BASE and SORVANE_MUSIC_BASE through `lookup` (the process
    // environment by default). A variable that is unset, empty, or not an http(s) address
    // with a host leaves the default; trailing slashes are dropped.
    static Endpoints fromEnvironment(const std::function<const char *(const char *)> &lookup = {});
};

// The program's endpoints: read from the environment on the first call, then kept.
// Like the rest of the client this is used from the GUI thread only.
const Endpoints &endpoints();

// Replaces the program's endpoints (for tests that serve the service on loopback).
void setEndpoints(Endpoints e);

} // namespace sorvane::service
