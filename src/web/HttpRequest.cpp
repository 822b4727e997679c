#include "web/HttpRequest.h"

#include "web/Curl.h"
#include "web/Limits.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <utility>
#include <vector>

namespace sorvane::web {

namespace {

bool isToken(std::string_view s)
{
    constexpr std::string_view extra = "!#$%&'*+-.^_`|~";
    return !s.empty() && std::all_of(s.begin(), s.end(), [&](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || extra.find(c) != std::string_view::npos;
    });
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// The sum of the parts, or nothing when one of them sets no limit.
std::optional<long> limitOf(std::initializer_list<long> parts)
{
    long total = 0;
    for (long part : parts) {
        if (part <= 0)
            return std::nullopt;
        total += std::min(part, 1L << 40);
    }
    return total;
}

} // namespace

struct HttpRequest::State
{
    detail::EasyHandle easy;
    CookieStore cookies;
    std::chrono::milliseconds connectTimeout = kConnectTimeout;
    std::chrono::milliseconds requestTimeout = kRequestTimeout;
    detail::ProxyMode proxyMode = detail::ProxyMode::FromEnvironment;
    std::string proxy;
    std::string noProxy;
    std::function<void(int)> onReadyStateChange;

    // The current request and its reply.
    int readyState = Uninitialized;
    std::string method;
    std::string url;
    std::vector<std::pair<std::string, std::string>> headers;
    std::optional<std::pair<std::string, std::string>> serverLogin;
    std::optional<std::pair<std::string, std::string>> proxyLogin;
    detail::TransferReply reply;
    std::string error;

    void forgetRequest()
    {
        method.clear();
        url.clear();
        headers.clear();
        serverLogin.reset();
        proxyLogin.reset();
        reply = {};
        error.clear();
    }
};

HttpRequest::HttpRequest()
    : m_state(std::make_unique<State>())
{
}

HttpRequest::~HttpRequest() = default;

void HttpRequest::setReadyState(int state)
{
    if (m_state->readyState == state)
        return;
    m_state->readyState = state;
    if (m_state->onReadyStateChange)
        m_state->onReadyStateChange(state);
}

bool HttpRequest::open(std::string_view method, std::string_view url)
{
    m_state->forgetRequest();
    if (!isToken(method) || !detail::isWebUrl(url)) {
        m_state->error = "not an http or https request";
        setReadyState(Uninitialized);
        return false;
    }
    m_state->method = method;
    m_state->url = url;
    setReadyState(Opened);
    return true;
}

bool HttpRequest::setRequestHeader(std::string_view name, std::string_view value)
{
    if (m_state->readyState != Opened || !isToken(name)
        || value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        return false;
    auto &headers = m_state->headers;
    const auto same = std::find_if(headers.begin(), headers.end(),
        [&](const auto &header) { return equalsIgnoreCase(header.first, name); });
    if (value.empty()) {
        if (same != headers.end())
            headers.erase(same);
    } else if (same != headers.end()) {
        same->second = value;
    } else {
        headers.emplace_back(name, value);
    }
    return true;
}

void HttpRequest::setDefaultHeaders(std::string_view referer)
{
    setRequestHeader("Accept", "*/*");
    setRequestHeader("Accept-Language", "zh_cn");
    setRequestHeader("Referer", referer);
    setRequestHeader("Content-Type", "application/x-www-form-urlencoded");
}

void HttpRequest::setCredentials(std::string_view user, std::string_view password, CredentialsFor target)
{
    auto login = std::make_pair(std::string(user), std::string(password));
    if (target == CredentialsFor::Proxy)
        m_state->proxyLogin = std::move(login);
    else
        m_state->serverLogin = std::move(login);
}

void HttpRequest::setProxy(ProxySetting setting, std::string_view server, std::string_view bypass)
{
    switch (setting) {
    case ProxySetting::Direct:
        m_state->proxyMode = detail::ProxyMode::Direct;
        break;
    case ProxySetting::Named:
        m_state->proxyMode = detail::ProxyMode::Named;
        break;
    default:
        m_state->proxyMode = detail::ProxyMode::FromEnvironment;
        break;
    }
    m_state->proxy = server;
    m_state->noProxy = bypass;
    std::replace(m_state->noProxy.begin(), m_state->noProxy.end(), ';', ',');
}

void HttpRequest::setTimeouts(long resolveMs, long connectMs, long sendMs, long receiveMs)
{
    using std::chrono::milliseconds;
    m_state->connectTimeout = kConnectTimeout;
    m_state->requestTimeout = kRequestTimeout;
    if (const auto connect = limitOf({ resolveMs, connectMs }))
        m_state->connectTimeout = std::min(kConnectTimeout, milliseconds(*connect));
    if (const auto whole = limitOf({ resolveMs, connectMs, sendMs, receiveMs }))
        m_state->requestTimeout = std::min(kRequestTimeout, milliseconds(*whole));
}

bool HttpRequest::send()
{
    return doSend(std::nullopt);
}

bool HttpRequest::send(std::string_view body)
{
    return doSend(std::string(body));
}

bool HttpRequest::doSend(std::optional<std::string> body)
{
    State &s = *m_state;
    if (s.readyState != Opened) {
        if (s.error.empty())
            s.error = "send without an open request";
        return false;
    }
    if (!s.easy)
        s.easy.reset(curl_easy_init());

    detail::TransferSpec spec;
    spec.url = s.url;
    spec.method = s.method;
    spec.body = std::move(body);
    for (const auto &[name, value] : s.headers)
        spec.headers.push_back(name + ": " + value);
    spec.maxBodyBytes = kMaxReplyBytes;
    spec.connectTimeout = s.connectTimeout;
    spec.totalTimeout = s.requestTimeout;
    spec.proxyMode = s.proxyMode;
    spec.proxy = s.proxy;
    spec.noProxy = s.noProxy;
    spec.serverLogin = s.serverLogin;
    spec.proxyLogin = s.proxyLogin;

    s.reply = detail::perform(s.easy.get(), spec);
    s.error = s.reply.error;
    setReadyState(Completed);
    return s.reply.complete;
}

bool HttpRequest::waitForResponse(int) const
{
    return m_state->readyState == Completed;
}

void HttpRequest::abort()
{
    m_state->forgetRequest();
    setReadyState(Uninitialized);
}

int HttpRequest::readyState() const
{
    return m_state->readyState;
}

void HttpRequest::setOnReadyStateChange(std::function<void(int)> handler)
{
    m_state->onReadyStateChange = std::move(handler);
}

long HttpRequest::status() const
{
    return m_state->reply.status;
}

text::GbString HttpRequest::statusText() const
{
    return m_state->reply.statusText;
}

text::GbString HttpRequest::responseText() const
{
    return text::toGb(m_state->reply.body, detail::charsetOf(getResponseHeader("Content-Type")));
}

const std::string &HttpRequest::responseBody() const
{
    return m_state->reply.body;
}

text::GbString HttpRequest::getResponseHeader(std::string_view name) const
{
    for (const std::string &line : m_state->reply.headerLines) {
        const auto colon = line.find(':');
        if (colon == std::string::npos || !equalsIgnoreCase(std::string_view(line).substr(0, colon), name))
            continue;
        const auto value = line.find_first_not_of(" \t", colon + 1);
        return value == std::string::npos ? text::GbString() : line.substr(value);
    }
    return {};
}

text::GbString HttpRequest::getAllResponseHeaders() const
{
    text::GbString all;
    for (const std::string &line : m_state->reply.headerLines) {
        all += line;
        all += "\r\n";
    }
    return all;
}

text::GbString HttpRequest::url() const
{
    return m_state->reply.complete ? m_state->reply.effectiveUrl : m_state->url;
}

std::string HttpRequest::errorText() const
{
    return m_state->error;
}

text::GbString HttpRequest::getCookie(std::string_view name) const
{
    return cookieFromHeaders(getAllResponseHeaders(), name);
}

text::GbString HttpRequest::cookieLines() const
{
    return setCookieLines(getAllResponseHeaders());
}

text::GbString HttpRequest::updateCookies()
{
    m_state->cookies.merge(getAllResponseHeaders());
    return m_state->cookies.text();
}

bool HttpRequest::sendCookies()
{
    return setRequestHeader("Cookie", m_state->cookies.text());
}

const text::GbString &HttpRequest::cookieStore() const
{
    return m_state->cookies.text();
}

} // namespace sorvane::web
