// The program's HTTP client: one request at a time, synchronous, on libcurl.
//
// Use: open() → optional headers and cookies → send() → read the reply (status(),
// responseText(), headers, cookie operations). A later open() starts a new request and
// discards the previous reply and request headers; the cookie store, time-outs and proxy
// setting stay with the object.
//
// Rules every request follows (see web/Limits.h): only http:// and https:// addresses,
// for redirects too (anything else fails before a connection is made); TLS verified
// against the system's CAs; at most kMaxRedirects redirects; HTTP/1.1; a body over
// kMaxReplyBytes is a failure and is never held whole in memory.
//
// Errors: nothing throws. A transport failure (bad address, no connection, time-out, TLS
// error, too many redirects, reply over the limit) leaves status() 0 and every reply
// reader empty; errorText() says what happened. A reply with an error status is a reply:
// status() gives its status and responseText() its body.
//
// Threads: an object may be used from any thread, but from one thread at a time; send()
// blocks the calling thread until the reply is complete or the request failed. Distinct
// objects may run on distinct threads once a CurlGlobal exists (see web/CurlGlobal.h).
// Program texts (URLs, header values, the results) are GB18030 bytes, sent as they are.
#pragma once

#include "text/Encoding.h"
#include "web/CookieStore.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane::web {

class HttpRequest
{
public:
    // Request states as readyState() reports them.
    enum ReadyState : int { Uninitialized = 0, Opened = 1, Completed = 4 };
    // How setProxy() chooses the proxy.
    enum class ProxySetting : int { FromEnvironment = 0, Direct = 1, Named = 2 };
    // Whom setCredentials() answers.
    enum class CredentialsFor : int { Server = 0, Proxy = 1 };

    HttpRequest();
    ~HttpRequest();
    HttpRequest(const HttpRequest &) = delete;
    HttpRequest &operator=(const HttpRequest &) = delete;

    // Starts a new request (discarding the last reply, its request headers and
    // credentials). False, with nothing to send, when `url` is not an absolute http or
    // https address or `method` is not a plain token; send() then fails with status 0.
    bool open(std::string_view url) { return open("GET", url); }
    bool open(std::string_view method, std::string_view url);

    // Adds a request header, replacing one of the same name (any case) set since open().
    // An empty value removes it. False before open() or when the name is not a token or
    // the value holds a line break or NUL.
    bool setRequestHeader(std::string_view name, std::string_view value);
    // Accept "*/*", Accept-Language "zh_cn", Referer `referer`, Content-Type
    // "application/x-www-form-urlencoded", in that order.
    void setDefaultHeaders(std::string_view referer);
    bool setRange(std::string_view range) { return setRequestHeader("Range", range); }
    bool setCookieHeader(std::string_view cookie) { return setRequestHeader("Cookie", cookie); }
    // Server or proxy login for the current request (cleared by open()).
    void setCredentials(
        std::string_view user, std::string_view password, CredentialsFor target = CredentialsFor::Server);
    // Proxy for this object's requests: the http_proxy/https_proxy/no_proxy environment
    // (what a new object uses), none, or `server` ("host:port") except for the hosts of
    // `bypass` (separated by ";" or ",").
    void setProxy(ProxySetting setting = ProxySetting::Named, std::string_view server = {},
        std::string_view bypass = {});
    // Lowers the time-outs of this object's requests (milliseconds; 0 or less means no
    // limit of its own, so the default stays). Resolve + connect bounds connection set-up;
    // the sum of all four bounds the whole request. Never raises kConnectTimeout or
    // kRequestTimeout.
    void setTimeouts(long resolveMs, long connectMs, long sendMs, long receiveMs);

    // Sends the request and waits for the whole reply. True when a reply arrived (any
    // status), false on a transport failure or without a successful open().
    bool send();
    bool send(std::string_view body);
    // True once send() has finished (a synchronous request never needs to wait).
    bool waitForResponse(int seconds = 100) const;
    // Forgets the current request and its reply.
    void abort();
    int readyState() const;
    // Called with the new state on each change of readyState(), on the calling thread.
    void setOnReadyStateChange(std::function<void(int)> handler);

    // The reply. All empty (status 0) until a reply arrived.
    long status() const;
    text::GbString statusText() const;
    // The body decoded from the charset= its Content-Type declares (UTF-8 when none or
    // unknown) into GB18030. The same text on every call.
    text::GbString responseText() const;
    // The body's bytes as they came.
    const std::string &responseBody() const;
    // The first header of that name (any case), without the name, colon and leading blanks.
    text::GbString getResponseHeader(std::string_view name) const;
    // The reply's header lines, each followed by CR LF; no status line.
    text::GbString getAllResponseHeaders() const;
    // The address of the request: as opened, or where the redirects ended once a reply came.
    text::GbString url() const;
    // Why the last request failed, for logs; empty after a reply.
    std::string errorText() const;

    // Cookie value from the reply's Set-Cookie headers (see cookieFromHeaders).
    text::GbString getCookie(std::string_view name) const;
    // The reply's Set-Cookie lines (see setCookieLines).
    text::GbString cookieLines() const;
    // Merges the reply's cookies into the store (see CookieStore::merge) and returns it.
    text::GbString updateCookies();
    // Sends the store as the Cookie header of the current request.
    bool sendCookies();
    const text::GbString &cookieStore() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
    bool doSend(std::optional<std::string> body);
    void setReadyState(int state);
};

} // namespace sorvane::web
