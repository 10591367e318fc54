#include "transfer/web/http_file.h"

#include "transfer/web/internet_exception.h"
#include "transfer/web/proxy_sign_in.h"
#include "transfer/web/redirect.h"

#include <cstring>
#include <utility>

namespace {

// The proxy of session as the library names it ("host:port", or one per
// scheme); empty when it names none.
std::string ProxyOf(const SharedInternetHandle& session)
{
    DWORD size = 0;
    InternetQueryOptionA(RawHandle(session), INTERNET_OPTION_PROXY, nullptr, &size);
    if (size < sizeof(INTERNET_PROXY_INFO))
        return {};
    std::vector<char> buffer(size);
    if (!InternetQueryOptionA(RawHandle(session), INTERNET_OPTION_PROXY, buffer.data(), &size))
        return {};
    const auto* info = reinterpret_cast<const INTERNET_PROXY_INFO*>(buffer.data());
    return info->lpszProxy != nullptr ? reinterpret_cast<const char*>(info->lpszProxy) : "";
}

}  // namespace

CHttpFile::CHttpFile(SharedInternetHandle request, std::string verb, std::string objectName, std::string serverName,
                     DWORD_PTR context, RequestSetup setup)
    : CInternetFile(std::move(request), std::move(objectName), std::move(serverName), context),
      m_strVerb(std::move(verb)),
      m_setup(std::move(setup))
{
}

bool CHttpFile::AddRequestHeaders(const char* headers, DWORD flags, int headersLength)
{
    if (headersLength == -1)
        headersLength = headers == nullptr ? 0 : static_cast<int>(std::strlen(headers));
    if (headers != nullptr)
        m_addedHeaders.emplace_back(std::string(headers, static_cast<std::size_t>(headersLength)), flags);
    return HttpAddRequestHeadersA(GetHandle(), headers, static_cast<DWORD>(headersLength), flags) != FALSE;
}

void CHttpFile::SendRequest(const char* headers, DWORD headersLength, void* optional, DWORD optionalLength)
{
    for (int hops = 0;; ++hops) {
        Send(headers, headersLength, optional, optionalLength);
        SignInToProxy(headers, headersLength, optional, optionalLength);
        const std::optional<std::string> next = NextHop(hops);
        if (!next)
            return;
        OpenAgain(*next);
    }
}

void CHttpFile::Send(const char* headers, DWORD headersLength, void* optional, DWORD optionalLength)
{
    const DWORD start = GetTickCount();
    if (!HttpSendRequestA(GetHandle(), headers, headersLength, optional, optionalLength))
        throw CInternetException(ReceiveError(start), GetContext(), m_setup.url);
}

void CHttpFile::SignInToProxy(const char* headers, DWORD headersLength, void* optional, DWORD optionalLength)
{
    for (;;) {
        DWORD status = 0;
        DWORD size = sizeof status;
        if (!HttpQueryInfoA(GetHandle(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
            status != HTTP_STATUS_PROXY_AUTH_REQ)
            return;
        DropBody();
        // Wine's dialog answers Cancel with 0, Windows' with ERROR_CANCELLED:
        // only a retry goes on.
        const DWORD answer = AskMainWindowToSignIn(GetHandle());
        if (answer != ERROR_INTERNET_FORCE_RETRY)
            throw CInternetException::ProxyWantsPassword(GetContext(), m_setup.url, ProxyOf(m_setup.session));
        Send(headers, headersLength, optional, optionalLength);
    }
}

void CHttpFile::DropBody()
{
    char buffer[4096];
    for (int piece = 0; piece < 16; ++piece) {
        DWORD read = 0;
        if (!InternetReadFile(GetHandle(), buffer, sizeof buffer, &read) || read == 0)
            return;
    }
}

std::optional<std::string> CHttpFile::NextHop(int hops) const
{
    DWORD status = 0;
    QueryInfoStatusCode(status);
    if (!IsRedirectStatus(static_cast<long>(status)))
        return std::nullopt;
    std::string location;
    QueryInfo(HTTP_QUERY_LOCATION, location);
    const std::optional<std::string> next = ResolveLocation(m_setup.url, location);
    if (!next) {
        std::string reason;
        QueryInfo(HTTP_QUERY_STATUS_TEXT, reason);
        const std::string code = std::to_string(status);
        throw CInternetException::NowhereToGo(GetContext(), m_setup.url, reason.empty() ? code : code + " " + reason);
    }
    if (hops >= kMaxRedirects)
        throw CInternetException::KeptRedirecting(GetContext(), m_setup.url, *next);
    return next;
}

void CHttpFile::OpenAgain(const std::string& url)
{
    const std::optional<WebTarget> target = TargetOf(url);
    if (!target)
        throw CInternetException(ERROR_INTERNET_INVALID_URL, GetContext(), url);
    // A connection of its own for every hop: the library pools the sockets
    // by server, so one to the same server costs nothing more.
    HINTERNET connection = InternetConnectA(RawHandle(m_setup.session), target->host.c_str(), target->port, nullptr,
                                            nullptr, INTERNET_SERVICE_HTTP, 0, GetContext());
    if (connection == nullptr)
        throw CInternetException(GetLastError(), GetContext(), url);
    SharedInternetHandle connectionOwner = MakeInternetHandle(connection, m_setup.session);
    const DWORD flags = (m_setup.flags & ~INTERNET_FLAG_SECURE) | (target->secure ? INTERNET_FLAG_SECURE : 0);
    HINTERNET request = HttpOpenRequestA(connection, m_strVerb.c_str(), target->object.c_str(),
                                         m_setup.version.c_str(), nullptr, nullptr, flags, GetContext());
    if (request == nullptr)
        throw CInternetException(GetLastError(), GetContext(), url);
    Reopened(MakeInternetHandle(request, std::move(connectionOwner)), target->object, target->host);
    m_setup.url = url;
    for (const auto& [text, how] : m_addedHeaders)
        HttpAddRequestHeadersA(GetHandle(), text.c_str(), static_cast<DWORD>(text.size()), how);
}

bool CHttpFile::QueryInfo(DWORD infoLevel, std::string& text, DWORD* index) const
{
    text.clear();
    // The first call only asks for the size of the value.
    DWORD size = 0;
    if (HttpQueryInfoA(GetHandle(), infoLevel, nullptr, &size, nullptr))
        return true;
    std::string buffer(size, '\0');
    if (size == 0 || !HttpQueryInfoA(GetHandle(), infoLevel, buffer.data(), &size, index))
        return false;
    buffer.resize(size < buffer.size() ? size : buffer.size());
    text = std::move(buffer);
    return true;
}

bool CHttpFile::QueryInfoStatusCode(DWORD& statusCode) const
{
    statusCode = 0;
    DWORD size = sizeof statusCode;
    return HttpQueryInfoA(GetHandle(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &statusCode, &size, nullptr) !=
           FALSE;
}
