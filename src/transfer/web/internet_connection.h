#pragma once

#include "transfer/web/internet_handle.h"

#include <string>

class CInternetSession;

// A connection to one server, made through a session.
class CInternetConnection {
public:
    CInternetConnection(const CInternetSession& session, std::string serverName, INTERNET_PORT port,
                        DWORD_PTR context);
    CInternetConnection(const CInternetConnection&) = delete;
    CInternetConnection& operator=(const CInternetConnection&) = delete;
    virtual ~CInternetConnection();

    HINTERNET GetHandle() const { return RawHandle(m_hConnection); }

protected:
    SharedInternetHandle m_hConnection;
    std::string m_strServerName;
    INTERNET_PORT m_nPort;
    DWORD_PTR m_dwContext;
};
