#include "web/Download.h"

#include "web/Curl.h"
#include "web/Limits.h"

namespace sorvane::web {

std::optional<std::string> download(std::string_view url)
{
    if (!detail::isWebUrl(url))
        return std::nullopt;
    const detail::EasyHandle easy(curl_easy_init());
    detail::TransferSpec spec;
    spec.url = url;
    spec.http10 = true;
    spec.headers = { "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)", "Accept: */*" };
    spec.maxBodyBytes = kMaxDownloadBytes;
    spec.connectTimeout = kConnectTimeout;
    spec.totalTimeout = kRequestTimeout;
    detail::TransferReply reply = detail::perform(easy.get(), spec);
    if (!reply.complete || reply.status < 200 || reply.status > 299)
        return std::nullopt;
    return std::move(reply.body);
}

} // namespace sorvane::web
