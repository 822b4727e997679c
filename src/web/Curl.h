// One libcurl transfer under the program's rules: http and https only (redirects too),
// TLS verified against the system's CAs, bounded redirects, time-outs and sizes. Used by
// HttpRequest and download(); not part of the library's interface.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <curl/curl.h>

namespace sorvane::web::detail {

struct EasyDeleter
{
    void operator()(CURL *h) const { curl_easy_cleanup(h); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct SlistDeleter
{
    void operator()(curl_slist *l) const { curl_slist_free_all(l); }
};
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

// True for an absolute http:// or https:// address that libcurl can parse.
bool isWebUrl(std::string_view url);

// The character set a Content-Type value names in its "charset" parameter (any case,
// quoted or not); empty when it names none.
std::string charsetOf(std::string_view contentType);

enum class ProxyMode { FromEnvironment, Direct, Named };

struct TransferSpec
{
    std::string url;
    std::string method = "GET";
    std::optional<std::string> body;
    std::vector<std::string> headers; // whole "Name: value" lines
    bool http10 = false;
    std::size_t maxBodyBytes = 0;
    std::chrono::milliseconds connectTimeout { 0 };
    std::chrono::milliseconds totalTimeout { 0 };
    ProxyMode proxyMode = ProxyMode::FromEnvironment;
    std::string proxy;
    std::string noProxy;
    std::optional<std::pair<std::string, std::string>> serverLogin;
    std::optional<std::pair<std::string, std::string>> proxyLogin;
};

struct TransferReply
{
    bool complete = false; // a whole reply arrived (any status)
    long status = 0;
    std::string statusText; // reason phrase of the final reply
    std::vector<std::string> headerLines; // final reply's headers, no status line, no CR LF
    std::string body;
    std::string effectiveUrl; // after redirects
    std::string error; // why the transfer failed; empty when complete
};

// Runs the transfer on `easy` (reset first, so its connections are reused but no option
// of an earlier transfer leaks in). A failed transfer gives complete == false, status 0
// and no headers or body.
TransferReply perform(CURL *easy, const TransferSpec &spec);

} // namespace sorvane::web::detail
