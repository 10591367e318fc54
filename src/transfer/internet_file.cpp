#include "transfer/internet_file.h"

#include "transfer/internet_exception.h"

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

std::size_t CInternetFile::ReadBytes(char* buffer, std::size_t count)
{
    DWORD read = 0;
    if (!InternetReadFile(GetHandle(), buffer, static_cast<DWORD>(count), &read))
        throw CInternetException(GetLastError(), m_dwContext);
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
}
