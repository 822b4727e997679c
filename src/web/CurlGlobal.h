// Process-wide libcurl set-up.
#pragma once

namespace sorvane::web {

// Runs curl_global_init on construction and curl_global_cleanup on destruction. main()
// creates exactly one, before any thread starts and before the first request; it must
// outlive every HttpRequest and download. A program that forgets it still works (libcurl
// then initialises itself on the first request, which is not thread-safe), but the
// libraries libcurl uses are then never cleaned up.
class CurlGlobal
{
public:
    CurlGlobal();
    ~CurlGlobal();
    CurlGlobal(const CurlGlobal &) = delete;
    CurlGlobal &operator=(const CurlGlobal &) = delete;

    // False when libcurl could not be initialised; every request then fails.
    bool ok() const { return m_ok; }

private:
    bool m_ok;
};

} // namespace sorvane::web
