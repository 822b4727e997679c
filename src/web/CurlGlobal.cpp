#include "web/CurlGlobal.h"

#include <curl/curl.h>

namespace sorvane::web {

CurlGlobal::CurlGlobal()
    : m_ok(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK)
{
}

CurlGlobal::~CurlGlobal()
{
    if (m_ok)
        curl_global_cleanup();
}

} // namespace sorvane::web
