#include "transfer/web/http_connection.h"

#include "transfer/web/internet_exception.h"
#include "transfer/web/internet_session.h"

#include <iterator>

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
    m_hConnection = MakeInternetHandle(handle, session.GetSharedHandle());
}

std::unique_ptr<CHttpFile> CHttpConnection::OpenRequest(int verb, const char* objectName, const char* referer,
                                                        DWORD_PTR context, const char** acceptTypes,
                                                        const char* version, DWORD flags)
{
    if (context == 1)
        context = m_dwContext;
    const char* verbText = VerbText(verb);
    HINTERNET handle = HttpOpenRequestA(GetHandle(), verbText, objectName, version ? version : "HTTP/1.0", referer,
                                        acceptTypes, flags, context);
    if (handle == nullptr)
        throw CInternetException(GetLastError(), context);
    auto request = std::make_unique<CHttpFile>(MakeInternetHandle(handle, m_hConnection), verbText, objectName,
                                               m_strServerName, context);
    // Without a receive timeout the library would wait for a stalled server
    // forever, and so would whoever reads the response.
    request->SetReadTimeout(CInternetFile::kReceiveTimeoutMs);
    return request;
}
