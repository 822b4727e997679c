#include "web/Curl.h"

#include "web/Limits.h"

#include <algorithm>
#include <cctype>

namespace sorvane::web::detail {

namespace {

struct UrlDeleter
{
    void operator()(CURLU *u) const { curl_url_cleanup(u); }
};

struct CharDeleter
{
    void operator()(char *p) const { curl_free(p); }
};

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// What libcurl hands to the callbacks of one transfer.
struct Sink
{
    std::size_t maxBody = 0;
    std::string body;
    bool bodyTooBig = false;
    std::string statusLine;
    std::vector<std::string> headers;
    std::size_t headerBytes = 0;
    bool headersTooBig = false;
};

std::size_t onBody(char *data, std::size_t size, std::size_t count, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const std::size_t len = size * count;
    if (len > sink->maxBody - sink->body.size()) {
        // Stop receiving now rather than holding a huge reply in memory.
        sink->bodyTooBig = true;
        return 0;
    }
    sink->body.append(data, len);
    return len;
}

std::size_t onHeader(char *data, std::size_t size, std::size_t count, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const std::size_t len = size * count;
    std::string_view line(data, len);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    if (line.starts_with("HTTP/")) {
        // A new reply begins (after a redirect or an interim 1xx): only the last one counts.
        sink->statusLine = line;
        sink->headers.clear();
        sink->headerBytes = 0;
        return len;
    }
    if (line.empty())
        return len;
    sink->headerBytes += line.size() + 2;
    if (sink->headerBytes > kMaxHeaderBytes) {
        sink->headersTooBig = true;
        return 0;
    }
    sink->headers.emplace_back(line);
    return len;
}

std::string reasonPhrase(std::string_view statusLine)
{
    const auto afterVersion = statusLine.find(' ');
    if (afterVersion == std::string_view::npos)
        return {};
    const auto afterCode = statusLine.find(' ', afterVersion + 1);
    if (afterCode == std::string_view::npos)
        return {};
    return std::string(statusLine.substr(afterCode + 1));
}

} // namespace

bool isWebUrl(std::string_view url)
{
    if (url.empty() || url.find('\0') != std::string_view::npos)
        return false;
    std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (!parsed)
        return false;
    const std::string text(url);
    if (curl_url_set(parsed.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK)
        return false;
    char *rawScheme = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_SCHEME, &rawScheme, 0) != CURLUE_OK)
        return false;
    const std::unique_ptr<char, CharDeleter> scheme(rawScheme);
    return equalsIgnoreCase(scheme.get(), "http") || equalsIgnoreCase(scheme.get(), "https");
}

std::string charsetOf(std::string_view contentType)
{
    std::string_view rest = contentType;
    while (!rest.empty()) {
        const auto semicolon = rest.find(';');
        const std::string_view param = trim(rest.substr(0, semicolon));
        rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
        const auto equals = param.find('=');
        if (equals == std::string_view::npos || !equalsIgnoreCase(trim(param.substr(0, equals)), "charset"))
            continue;
        std::string_view value = trim(param.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return std::string(trim(value));
    }
    return {};
}

TransferReply perform(CURL *easy, const TransferSpec &spec)
{
    TransferReply reply;
    if (!easy) {
        reply.error = "libcurl could not be started";
        return reply;
    }
    // Checked here as well as by libcurl's protocol list, so that a file:// or ftp://
    // address never reaches the transfer code at all.
    if (!isWebUrl(spec.url)) {
        reply.error = "not an http or https address";
        return reply;
    }
    curl_easy_reset(easy);

    HeaderList headers;
    for (const std::string &line : spec.headers) {
        curl_slist *head = curl_slist_append(headers.get(), line.c_str());
        if (!head) {
            reply.error = "out of memory";
            return reply;
        }
        (void)headers.release();
        headers.reset(head);
    }

    Sink sink;
    sink.maxBody = spec.maxBodyBytes;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    // The options that keep a transfer safe must all take, or nothing is sent.
    bool ok = curl_easy_setopt(easy, CURLOPT_URL, spec.url.c_str()) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(spec.connectTimeout.count()))
            == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(spec.totalTimeout.count()))
            == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_HEADERDATA, &sink) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer) == CURLE_OK
        // The program reads Set-Cookie lines by their exact spelling, which HTTP/2 would
        // lower-case; HTTP/1.1 is also what the original client component speaks.
        && curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
               spec.http10 ? long(CURL_HTTP_VERSION_1_0) : long(CURL_HTTP_VERSION_1_1))
            == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK;

    // Fail at once when the announced length is over the limit (the write callback still
    // guards replies that announce none); a HEAD reply announces a body it never sends.
    if (ok && spec.method != "HEAD")
        ok = curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(spec.maxBodyBytes))
            == CURLE_OK;
    if (ok && spec.body) {
        ok = curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(spec.body->size()))
                == CURLE_OK
            && curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, spec.body->c_str()) == CURLE_OK;
        if (ok && spec.method != "POST")
            ok = curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, spec.method.c_str()) == CURLE_OK;
    } else if (ok && spec.method == "HEAD") {
        ok = curl_easy_setopt(easy, CURLOPT_NOBODY, 1L) == CURLE_OK;
    } else if (ok && spec.method != "GET") {
        ok = curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, spec.method.c_str()) == CURLE_OK;
    }

    if (ok && spec.proxyMode == ProxyMode::Direct) {
        ok = curl_easy_setopt(easy, CURLOPT_PROXY, "") == CURLE_OK;
    } else if (ok && spec.proxyMode == ProxyMode::Named) {
        ok = curl_easy_setopt(easy, CURLOPT_PROXY, spec.proxy.c_str()) == CURLE_OK
            && curl_easy_setopt(easy, CURLOPT_NOPROXY, spec.noProxy.c_str()) == CURLE_OK;
    }
    if (ok && spec.serverLogin) {
        ok = curl_easy_setopt(easy, CURLOPT_USERNAME, spec.serverLogin->first.c_str()) == CURLE_OK
            && curl_easy_setopt(easy, CURLOPT_PASSWORD, spec.serverLogin->second.c_str()) == CURLE_OK
            && curl_easy_setopt(easy, CURLOPT_HTTPAUTH, CURLAUTH_ANY) == CURLE_OK;
    }
    if (ok && spec.proxyLogin) {
        ok = curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, spec.proxyLogin->first.c_str()) == CURLE_OK
            && curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, spec.proxyLogin->second.c_str()) == CURLE_OK
            && curl_easy_setopt(easy, CURLOPT_PROXYAUTH, CURLAUTH_ANY) == CURLE_OK;
    }
    if (!ok) {
        reply.error = "libcurl refused an option";
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
        return reply;
    }

    const CURLcode rc = curl_easy_perform(easy);
    // The buffer and the sink die with this frame; the handle lives on.
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);

    if (rc != CURLE_OK) {
        if (sink.bodyTooBig || rc == CURLE_FILESIZE_EXCEEDED)
            reply.error = "reply body over the size limit";
        else if (sink.headersTooBig)
            reply.error = "reply headers over the size limit";
        else
            reply.error = errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc);
        return reply;
    }
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    if (status <= 0) {
        reply.error = "no HTTP reply";
        return reply;
    }
    char *effective = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        reply.effectiveUrl = effective;
    reply.complete = true;
    reply.status = status;
    reply.statusText = reasonPhrase(sink.statusLine);
    reply.headerLines = std::move(sink.headers);
    reply.body = std::move(sink.body);
    return reply;
}

} // namespace sorvane::web::detail
