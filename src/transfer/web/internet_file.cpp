#include "transfer/web/internet_file.h"

#include "transfer/web/internet_exception.h"

#include <utility>

CInternetFile::CInternetFile(SharedInternetHandle file, std::string objectName, std::string serverName,
                             DWORD_PTR context)
    : m_hInternet(std::move(file)),
      m_dwContext(context),
      m_strObject(std::move(objectName)),
      m_strServerName(std::move(serverName))
{
}

CInternetFile::~CInternetFile() = default;

void CInternetFile::CheckReadable() const
{
    if (!m_bReadMode || GetHandle() == nullptr)
        throw CInternetException(ERROR_INVALID_HANDLE, m_dwContext);
}

DWORD CInternetFile::ReceiveError(DWORD start) const
{
    const DWORD error = GetLastError();
    return ReceiveErrorCode(error, GetTickCount() - start, m_readTimeoutMs);
}

std::size_t CInternetFile::ReadBytes(char* buffer, std::size_t count)
{
    DWORD read = 0;
    const DWORD start = GetTickCount();
    if (!InternetReadFile(GetHandle(), buffer, static_cast<DWORD>(count), &read))
        throw CInternetException(ReceiveError(start), m_dwContext);
    return read;
}

bool CInternetFile::ReadString(std::string& line)
{
    CheckReadable();
    return m_lineReader.ReadString(*this, line);
}

unsigned CInternetFile::Read(void* buffer, unsigned count)
{
    CheckReadable();
    return static_cast<unsigned>(ReadBytes(static_cast<char*>(buffer), count));
}

unsigned CInternetFile::ReadAvailable(void* buffer, unsigned count)
{
    CheckReadable();
    DWORD available = 0;
    const DWORD start = GetTickCount();
    if (!InternetQueryDataAvailable(GetHandle(), &available, 0, 0)) {
        const DWORD error = ReceiveError(start);
        if (IsConnectionLost(error))
            return 0;
        throw CInternetException(error, m_dwContext);
    }
    if (available == 0)
        return 0;
    return static_cast<unsigned>(ReadBytes(static_cast<char*>(buffer), available < count ? available : count));
}

void CInternetFile::Close()
{
    m_hInternet.reset();
    m_lineReader = LineReader();
}

void CInternetFile::Abort()
{
    Close();
}

void CInternetFile::SetReadTimeout(DWORD milliseconds)
{
    if (!InternetSetOptionA(GetHandle(), INTERNET_OPTION_RECEIVE_TIMEOUT, &milliseconds, sizeof milliseconds))
        throw CInternetException(GetLastError(), m_dwContext);
    m_readTimeoutMs = milliseconds;
}
