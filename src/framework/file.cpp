#include "framework/file.h"

#include "framework/wide_text.h"

#include <utility>

namespace {

// Exclusive and default sharing both mean: nobody else may open it.
constexpr DWORD kShareNone = 0;

DWORD AccessOf(unsigned openFlags)
{
    return (openFlags & CFile::modeWrite) != 0 ? GENERIC_WRITE : GENERIC_READ;
}

DWORD CreationOf(unsigned openFlags)
{
    if ((openFlags & CFile::modeCreate) == 0)
        return OPEN_EXISTING;
    return (openFlags & CFile::modeNoTruncate) != 0 ? OPEN_ALWAYS : CREATE_ALWAYS;
}

CFileException ErrorOf(unsigned long osError, std::string fileName, const std::wstring& wideFileName)
{
    return CFileException(CFileException::OsErrorToCause(static_cast<long>(osError)), static_cast<long>(osError),
                          std::move(fileName), ToUtf16(wideFileName));
}

}  // namespace

CFile::~CFile()
{
    m_hFile.Close();
}

bool CFile::Open(const char* fileName, unsigned openFlags, CFileException* error)
{
    Abort();
    HANDLE handle = CreateFileA(fileName, AccessOf(openFlags), kShareNone, nullptr, CreationOf(openFlags),
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    return Opened(handle, fileName, {}, error);
}

bool CFile::Open(const wchar_t* fileName, unsigned openFlags, CFileException* error)
{
    Abort();
    HANDLE handle = CreateFileW(fileName, AccessOf(openFlags), kShareNone, nullptr, CreationOf(openFlags),
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    // The name as the ANSI code page renders it, with its default
    // character for what it cannot hold.
    return Opened(handle, WideToAnsi(fileName), fileName, error);
}

bool CFile::Opened(HANDLE handle, std::string fileName, std::wstring wideFileName, CFileException* error)
{
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD osError = GetLastError();
        if (error != nullptr)
            *error = ErrorOf(osError, std::move(fileName), wideFileName);
        return false;
    }
    m_hFile = UniqueHandle(handle);
    m_strFileName = std::move(fileName);
    m_wideFileName = std::move(wideFileName);
    return true;
}

unsigned CFile::Read(void* buffer, unsigned count)
{
    DWORD read = 0;
    if (count != 0 && !ReadFile(m_hFile.Get(), buffer, count, &read, nullptr))
        ThrowOsError(GetLastError());
    return read;
}

void CFile::Write(const void* buffer, unsigned count)
{
    DWORD written = 0;
    if (count == 0)
        return;
    if (!WriteFile(m_hFile.Get(), buffer, count, &written, nullptr))
        ThrowOsError(GetLastError());
    if (written != count)
        throw CFileException(CFileException::diskFull, -1, m_strFileName, ToUtf16(m_wideFileName));
}

unsigned long long CFile::SeekToEnd()
{
    LARGE_INTEGER end = {};
    if (!SetFilePointerEx(m_hFile.Get(), LARGE_INTEGER{}, &end, FILE_END))
        ThrowOsError(GetLastError());
    return static_cast<unsigned long long>(end.QuadPart);
}

void CFile::SetLength(unsigned long long length)
{
    LARGE_INTEGER position = {};
    position.QuadPart = static_cast<LONGLONG>(length);
    if (!SetFilePointerEx(m_hFile.Get(), position, nullptr, FILE_BEGIN) || !SetEndOfFile(m_hFile.Get()))
        ThrowOsError(GetLastError());
}

void CFile::Close()
{
    std::string name = std::move(m_strFileName);
    const std::wstring wideName = std::move(m_wideFileName);
    m_strFileName.clear();
    m_wideFileName.clear();
    if (!m_hFile.Close()) {
        const DWORD osError = GetLastError();
        throw ErrorOf(osError, std::move(name), wideName);
    }
}

void CFile::Abort()
{
    m_hFile.Close();
    m_strFileName.clear();
    m_wideFileName.clear();
}

void CFile::ThrowOsError(unsigned long osError) const
{
    throw ErrorOf(osError, m_strFileName, m_wideFileName);
}
