#pragma once

#include "transfer/web/http_file.h"
#include "transfer/web/internet_connection.h"

#include <memory>

// A connection to an HTTP server, on which requests are opened.
class CHttpConnection : public CInternetConnection {
public:
    enum Verb { HTTP_VERB_POST, HTTP_VERB_GET, HTTP_VERB_HEAD, HTTP_VERB_PUT, HTTP_VERB_LINK, HTTP_VERB_DELETE,
                HTTP_VERB_UNLINK };

    // Connects through the session; raises CInternetException when the
    // library gives no connection handle.
    CHttpConnection(const CInternetSession& session, const char* serverName, INTERNET_PORT port,
                    const char* userName, const char* password, DWORD_PTR context);

    // Opens a request for objectName with the verb numbered verb (another
    // number gives an empty verb) and version "HTTP/1.0" unless one is
    // given. Raises CInternetException when the library refuses the
    // request. The request follows redirects itself (CHttpFile::SendRequest).
    std::unique_ptr<CHttpFile> OpenRequest(int verb, const char* objectName, const char* referer = nullptr,
                                           DWORD_PTR context = 1, const char** acceptTypes = nullptr,
                                           const char* version = nullptr,
                                           DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);

private:
    SharedInternetHandle m_hSession;
};
