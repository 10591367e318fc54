#pragma once

#include "transfer/web/internet_file.h"

#include <string>

// An HTTP request and, once sent, its response.
class CHttpFile : public CInternetFile {
public:
    CHttpFile(SharedInternetHandle request, std::string verb, std::string objectName, std::string serverName,
              DWORD_PTR context);

    // Adds request headers; headersLength -1 means up to the NUL. False when
    // the library refuses them (or the request has no handle).
    bool AddRequestHeaders(const char* headers, DWORD flags = HTTP_ADDREQ_FLAG_ADD_IF_NEW, int headersLength = -1);

    // Sends the request; returns only on success, else raises
    // CInternetException.
    void SendRequest(const char* headers = nullptr, DWORD headersLength = 0, void* optional = nullptr,
                     DWORD optionalLength = 0);

    // A response header's value as text. False, with an empty text, when the
    // response has no such header or the query fails.
    bool QueryInfo(DWORD infoLevel, std::string& text, DWORD* index = nullptr) const;

    const std::string& GetVerb() const { return m_strVerb; }

private:
    std::string m_strVerb;
};
