#include "transfer/web/internet_connection.h"

#include "transfer/web/internet_session.h"

#include <utility>

CInternetConnection::CInternetConnection(const CInternetSession& session, std::string serverName,
                                         INTERNET_PORT port, DWORD_PTR context)
    : m_strServerName(std::move(serverName)), m_nPort(port), m_dwContext(session.ResolveContext(context))
{
}

CInternetConnection::~CInternetConnection() = default;
