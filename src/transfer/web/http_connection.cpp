#include "transfer/web/http_connection.h"

#include "transfer/web/internet_exception.h"
#include "transfer/web/internet_session.h"

#include <iterator>
#include <string>

namespace {

constexpr const char* kVerbs[] = {"POST", "GET", "HEAD", "PUT", "LINK", "DELETE", "UNLINK"};

const char* VerbText(int verb)
{
    return verb >= 0 && verb < static_cast<int>(std::size(kVerbs)) ? kVerbs[verb] : "";
}

// The address of a request for objectName on server at port, the scheme's
// own port left out: what its redirects are resolved against.
std::string RequestUrl(bool secure, const std::string& server, INTERNET_PORT port, const char* objectName)
{
    const INTERNET_PORT schemePort = secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    const std::string object = objectName != nullptr ? objectName : "";
    return std::string(secure ? "https://" : "http://") + server +
           (port == schemePort || port == INTERNET_INVALID_PORT_NUMBER ? "" : ":" + std::to_string(port)) +
           (object.rfind('/', 0) == 0 ? "" : "/") + object;
}

}  // namespace

CHttpConnection::CHttpConnection(const CInternetSession& session, const char* serverName, INTERNET_PORT port,
                                 const char* userName, const char* password, DWORD_PTR context)
    : CInternetConnection(session, serverName, port, context)
{
    HINTERNET handle = InternetConnectA(session.GetHandle(), serverName, port, userName, password,
                                        INTERNET_SERVICE_HTTP, 0, m_dwContext);
    if (handle == nullptr)
        throw CInternetException(GetLastError(), m_dwContext);
    m_hSession = session.GetSharedHandle();
    m_hConnection = MakeInternetHandle(handle, m_hSession);
}

std::unique_ptr<CHttpFile> CHttpConnection::OpenRequest(int verb, const char* objectName, const char* referer,
                                                        DWORD_PTR context, const char** acceptTypes,
                                                        const char* version, DWORD flags)
{
    if (context == 1)
        context = m_dwContext;
    const char* verbText = VerbText(verb);
    // The program follows redirects itself, by the same rules everywhere.
    HINTERNET handle = HttpOpenRequestA(GetHandle(), verbText, objectName, version ? version : "HTTP/1.0", referer,
                                        acceptTypes, flags | INTERNET_FLAG_NO_AUTO_REDIRECT, context);
    if (handle == nullptr)
        throw CInternetException(GetLastError(), context);
    RequestSetup setup{m_hSession,
                       RequestUrl((flags & INTERNET_FLAG_SECURE) != 0, m_strServerName, m_nPort, objectName),
                       version ? version : "HTTP/1.0", flags | INTERNET_FLAG_NO_AUTO_REDIRECT};
    return std::make_unique<CHttpFile>(MakeInternetHandle(handle, m_hConnection), verbText, objectName,
                                       m_strServerName, context, std::move(setup));
}
