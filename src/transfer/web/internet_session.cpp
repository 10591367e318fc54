#include "transfer/web/internet_session.h"

#include "framework/app_name.h"
#include "framework/wide_text.h"
#include "transfer/web/internet_exception.h"
#include "transfer/web/url_parts.h"

#include <optional>

namespace {

// The stream kind a library handle stands for, by the scheme of the address
// when it could be split, else by the handle's own type.
enum class StreamKind { Http, Ftp, Gopher, None };

StreamKind KindOfScheme(INTERNET_SCHEME scheme)
{
    switch (scheme) {
    case INTERNET_SCHEME_HTTP:
    case INTERNET_SCHEME_HTTPS:
        return StreamKind::Http;
    case INTERNET_SCHEME_FTP:
        return StreamKind::Ftp;
    case INTERNET_SCHEME_GOPHER:
        return StreamKind::Gopher;
    default:
        return StreamKind::None;
    }
}

StreamKind KindOfHandle(HINTERNET handle)
{
    DWORD type = 0;
    DWORD size = sizeof type;
    if (!InternetQueryOptionA(handle, INTERNET_OPTION_HANDLE_TYPE, &type, &size))
        return StreamKind::None;
    switch (type) {
    case INTERNET_HANDLE_TYPE_HTTP_REQUEST:
        return StreamKind::Http;
    case INTERNET_HANDLE_TYPE_FTP_FILE:
        return StreamKind::Ftp;
    case INTERNET_HANDLE_TYPE_GOPHER_FILE:
        return StreamKind::Gopher;
    default:
        return StreamKind::None;
    }
}

// Gives every HTTP request the read time-out as the library creates it:
// the one place where it is set, for the page's requests that
// InternetOpenUrl makes and the requests opened on a connection alike, on
// every hop of a redirect. The time-out of a session would do on Windows,
// but Wine's library keeps none there, and a request without one waits for
// a stalled server without end. Set before the request is sent, it holds
// for its headers and its body alike.
void CALLBACK ApplyReceiveTimeout(HINTERNET, DWORD_PTR, DWORD status, void* information, DWORD length)
{
    if (status != INTERNET_STATUS_HANDLE_CREATED || information == nullptr || length < sizeof(HINTERNET))
        return;
    HINTERNET created = *static_cast<HINTERNET*>(information);
    if (KindOfHandle(created) != StreamKind::Http)
        return;
    DWORD timeout = CInternetFile::kReceiveTimeoutMs;
    InternetSetOptionA(created, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
}

}  // namespace

CInternetSession::CInternetSession(const char* agent, DWORD_PTR context, DWORD accessType, const char* proxyName,
                                   const char* proxyBypass, DWORD flags)
    : m_dwContext(context)
{
    const std::string agentText = agent != nullptr ? agent : WideToAnsi(AfxGetAppName());
    HINTERNET handle = InternetOpenA(agentText.c_str(), accessType, proxyName, proxyBypass, flags);
    if (handle == nullptr)
        throw CInternetException(GetLastError(), m_dwContext);
    m_hSession = MakeInternetHandle(handle, nullptr);
    InternetSetStatusCallbackA(handle, &ApplyReceiveTimeout);
}

CInternetSession::~CInternetSession() = default;

std::unique_ptr<CStdioFile> CInternetSession::OpenURL(const char* url, DWORD_PTR context, DWORD flags,
                                                      const char* headers, DWORD headersLength)
{
    context = ResolveContext(context);
    UrlParts parts;
    bool split = SplitUrl(url, parts);
    if (split && parts.scheme == INTERNET_SCHEME_FILE)
        return OpenLocalFile(LocalFileName(url));

    // The address goes to the library as typed, not in its canonical form;
    // the addresses of redirects as they were resolved. The program follows
    // redirects itself, by the same rules as every request (CHttpFile).
    std::string address = url;
    for (int hops = 0;; ++hops) {
        const DWORD start = GetTickCount();
        HINTERNET handle = InternetOpenUrlA(GetHandle(), address.c_str(), headers, headersLength,
                                            flags | INTERNET_FLAG_NO_AUTO_REDIRECT, context);
        if (handle == nullptr) {
            const DWORD error = GetLastError();
            throw CInternetException(
                ReceiveErrorCode(error, GetTickCount() - start, CInternetFile::kReceiveTimeoutMs), context, address);
        }
        std::unique_ptr<CStdioFile> stream = MakeStream(handle, split, parts, address, context);
        auto* http = dynamic_cast<CHttpFile*>(stream.get());
        if (http != nullptr)
            http->SignInToProxy();
        const std::optional<std::string> next = http != nullptr ? http->NextHop(hops) : std::nullopt;
        if (!next)
            return stream;
        address = *next;
        split = SplitUrl(address.c_str(), parts);
    }
}

std::unique_ptr<CStdioFile> CInternetSession::OpenLocalFile(const std::wstring& path) const
{
    auto file = std::make_unique<CStdioFile>();
    CFileException error;
    if (!file->Open(path.c_str(), CFile::modeRead, &error))
        throw error;
    return file;
}

std::unique_ptr<CStdioFile> CInternetSession::MakeStream(HINTERNET handle, bool split, const UrlParts& parts,
                                                         const std::string& url, DWORD_PTR context) const
{
    // Own the handle first, so that it is closed however this ends.
    SharedInternetHandle owner = MakeInternetHandle(handle, m_hSession);
    const std::string& host = parts.host;
    const std::string& path = parts.path;
    switch (split ? KindOfScheme(parts.scheme) : KindOfHandle(handle)) {
    case StreamKind::Http:
        return std::make_unique<CHttpFile>(std::move(owner), "GET", path, host, context,
                                           RequestSetup{m_hSession, url, "HTTP/1.1", 0});
    case StreamKind::Ftp:
        return std::make_unique<CInternetFile>(std::move(owner), path, host, context);
    case StreamKind::Gopher:
        return std::make_unique<CGopherFile>(std::move(owner), path, host, context);
    case StreamKind::None:
        break;
    }
    throw CInternetException(ERROR_INTERNET_UNRECOGNIZED_SCHEME, context);
}

std::unique_ptr<CHttpConnection> CInternetSession::GetHttpConnection(const char* serverName, INTERNET_PORT port,
                                                                     const char* userName, const char* password)
{
    return std::make_unique<CHttpConnection>(*this, serverName, port, userName, password, m_dwContext);
}
