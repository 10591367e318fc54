#pragma once

#include "framework/stdio_file.h"
#include "transfer/web/http_connection.h"
#include "transfer/web/internet_handle.h"
#include "transfer/web/url_parts.h"

#include <memory>

// One session of the HTTP client library: the agent, the proxy choice and
// the context value of everything opened through it.
class CInternetSession {
public:
    // Opens the session; with no agent the agent is the application name.
    // Raises CInternetException when the library gives no session.
    explicit CInternetSession(const char* agent = nullptr, DWORD_PTR context = 1,
                              DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG, const char* proxyName = nullptr,
                              const char* proxyBypass = nullptr, DWORD flags = 0);
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;
    virtual ~CInternetSession();

    // Opens an address: a file: address, in UTF-8, as a local text file
    // found by its UTF-16 name (LocalFileName), anything else
    // through the library, as an HTTP, FTP or gopher stream. An HTTP stream
    // signs in to the proxy and follows the server's redirects as
    // CHttpFile::SendRequest does, and is the reply that is no redirect.
    std::unique_ptr<CStdioFile> OpenURL(const char* url, DWORD_PTR context = 1,
                                        DWORD flags = INTERNET_FLAG_TRANSFER_ASCII, const char* headers = nullptr,
                                        DWORD headersLength = 0);

    std::unique_ptr<CHttpConnection> GetHttpConnection(const char* serverName,
                                                       INTERNET_PORT port = INTERNET_INVALID_PORT_NUMBER,
                                                       const char* userName = nullptr,
                                                       const char* password = nullptr);

    HINTERNET GetHandle() const { return RawHandle(m_hSession); }
    const SharedInternetHandle& GetSharedHandle() const { return m_hSession; }

    // The context value for an object made through the session: the
    // session's own in place of 1.
    DWORD_PTR ResolveContext(DWORD_PTR context) const { return context == 1 ? m_dwContext : context; }

private:
    std::unique_ptr<CStdioFile> OpenLocalFile(const std::wstring& path) const;
    // The stream of handle, opened for url (split into parts when split).
    std::unique_ptr<CStdioFile> MakeStream(HINTERNET handle, bool split, const UrlParts& parts,
                                           const std::string& url, DWORD_PTR context) const;

    SharedInternetHandle m_hSession;
    DWORD_PTR m_dwContext;
};
