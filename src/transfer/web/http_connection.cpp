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
    const bool secure = (flags & INTERNET_FLAG_SECURE) != 0;
    const bool defaultPort = m_nPort == (secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT) ||
                             m_nPort == INTERNET_INVALID_PORT_NUMBER;
    std::string url = std::string(secure ? "https://" : "http://") + m_strServerName +
                      (defaultPort ? "" : ":" + std::to_string(m_nPort)) +
                      (objectName != nullptr && objectName[0] == '/' ? "" : "/") + (objectName ? objectName : "");
    RequestSetup setup{m_hSession, std::move(url), version ? version : "HTTP/1.0",
                       flags | INTERNET_FLAG_NO_AUTO_REDIRECT};
    return std::make_unique<CHttpFile>(MakeInternetHandle(handle, m_hConnection), verbText, objectName,
                                       m_strServerName, context, std::move(setup));
}
