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

void CInternetFile::Reopened(SharedInternetHandle file, std::string objectName, std::string serverName)
{
    m_hInternet = std::move(file);
    m_strObject = std::move(objectName);
    m_strServerName = std::move(serverName);
    m_readTimeoutMs = kReceiveTimeoutMs;
}

DWORD CInternetFile::ReceiveError(DWORD start) const
{
    const DWORD error = GetLastError();
    return ReceiveErrorCode(error, GetTickCount() - start, m_readTimeoutMs);
}

bool CInternetFile::TryRead(char* buffer, DWORD count, DWORD& read, DWORD& error) const
{
    read = 0;
    const DWORD start = GetTickCount();
    if (InternetReadFile(GetHandle(), buffer, count, &read))
        return true;
    error = ReceiveError(start);
    return false;
}

std::size_t CInternetFile::ReadBytes(char* buffer, std::size_t count)
{
    DWORD read = 0;
    DWORD error = 0;
    if (!TryRead(buffer, static_cast<DWORD>(count), read, error))
        throw CInternetException(error, m_dwContext);
    return read;
}

bool CInternetFile::ReadString(std::string& line)
{
    CheckReadable();
    return CStdioFile::ReadString(line);
}

unsigned CInternetFile::Read(void* buffer, unsigned count)
{
    CheckReadable();
    return static_cast<unsigned>(ReadBytes(static_cast<char*>(buffer), count));
}

unsigned CInternetFile::ReadChunk(void* buffer, unsigned count, const std::function<bool(unsigned)>& arrived)
{
    CheckReadable();
    if (const DWORD pending = std::exchange(m_pendingError, 0))
        throw CInternetException(pending, m_dwContext);
    char* const bytes = static_cast<char*>(buffer);
    unsigned got = 0;
    while (got < count) {
        DWORD available = 0;
        DWORD read = 0;
        DWORD error = 0;
        const DWORD start = GetTickCount();
        if (m_confirmEnd) {
            if (TryRead(bytes + got, count - got, read, error) && read == 0)
                break;
            got += read;
        } else if (!InternetQueryDataAvailable(GetHandle(), &available, 0, 0))
            error = ReceiveError(start);
        else if (available == 0)
            break;
        else {
            // Wine's read that fails on a reset still gives the bytes it
            // took in before it; Windows' gives none.
            TryRead(bytes + got, available < count - got ? available : count - got, read, error);
            got += read;
        }
        if (error != 0) {
            if (IsConnectionLost(error)) {
                m_lostError = error;
                break;
            }
            if (got == 0)
                throw CInternetException(error, m_dwContext);
            m_pendingError = error;
            break;
        }
        if (got < count && arrived && !arrived(got))
            break;
    }
    return got;
}

void CInternetFile::Close()
{
    m_hInternet.reset();
    ForgetLines();
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
