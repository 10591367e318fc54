#pragma once

#include "transfer/web/internet_file.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// How a request is opened again for the address a redirect sends it on to.
struct RequestSetup {
    SharedInternetHandle session;  // of the connections to other servers
    std::string url;               // the address the request is for
    std::string version;
    DWORD flags = 0;
};

// An HTTP request and, once sent, its response.
class CHttpFile : public CInternetFile {
public:
    CHttpFile(SharedInternetHandle request, std::string verb, std::string objectName, std::string serverName,
              DWORD_PTR context, RequestSetup setup = {});

    // Adds request headers; headersLength -1 means up to the NUL. False when
    // the library refuses them (or the request has no handle). They go with
    // the request to every address it is redirected to.
    bool AddRequestHeaders(const char* headers, DWORD flags = HTTP_ADDREQ_FLAG_ADD_IF_NEW, int headersLength = -1);

    // Sends the request and follows the server's redirects (redirect.h),
    // each to a request opened anew, on a connection to the server it
    // names, signing in to the proxy on the way (SignInToProxy). Returns
    // once the reply is no redirect, which is then this file's response;
    // else raises CInternetException.
    void SendRequest(const char* headers = nullptr, DWORD headersLength = 0, void* optional = nullptr,
                     DWORD optionalLength = 0);

    // While the proxy answers that it wants a password (407), has the
    // system's own dialog ask the user for it on the main window's thread
    // (proxy_sign_in.h), and sends the request again (with headers) with what was typed. The
    // program keeps no password: the library holds it for the session.
    // Raises CInternetException naming the proxy when the user gives none.
    void SignInToProxy(const char* headers = nullptr, DWORD headersLength = 0, void* optional = nullptr,
                       DWORD optionalLength = 0);

    // The address the response, the hops-th redirect of its request, sends
    // the request on to; nothing when it is no redirect. Raises
    // CInternetException for a redirect that names no address, and for one
    // past the most a request follows.
    std::optional<std::string> NextHop(int hops) const;

    // A response header's value as text. False, with an empty text, when the
    // response has no such header or the query fails.
    bool QueryInfo(DWORD infoLevel, std::string& text, DWORD* index = nullptr) const;
    // The response's status code as the library reads it off the status
    // line; false, with 0, when it has none.
    bool QueryInfoStatusCode(DWORD& statusCode) const;

    const std::string& GetVerb() const { return m_strVerb; }
    const std::string& GetUrl() const { return m_setup.url; }

private:
    // Sends the request as it stands; raises CInternetException.
    void Send(const char* headers, DWORD headersLength, void* optional, DWORD optionalLength);
    // Reads and drops the body of a reply that is not wanted, up to a few
    // pages, so that the request can go again on the same connection.
    void DropBody();
    // Opens the request anew for url, with the headers added so far.
    void OpenAgain(const std::string& url);

    std::string m_strVerb;
    RequestSetup m_setup;
    // The headers added, with the flags they were added with.
    std::vector<std::pair<std::string, DWORD>> m_addedHeaders;
};
