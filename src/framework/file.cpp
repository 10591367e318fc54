#include "framework/file.h"

#include <utility>

CFile::~CFile()
{
    m_hFile.Close();
}

bool CFile::Open(const char* fileName, unsigned openFlags, CFileException* error)
{
    Abort();
    const DWORD access = (openFlags & modeWrite) != 0 ? GENERIC_WRITE : GENERIC_READ;
    const DWORD creation = (openFlags & modeCreate) != 0 ? CREATE_ALWAYS : OPEN_EXISTING;
    // Exclusive and default sharing both mean: nobody else may open it.
    HANDLE handle = CreateFileA(fileName, access, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD osError = GetLastError();
        if (error != nullptr)
            *error = CFileException(CFileException::OsErrorToCause(static_cast<long>(osError)),
                                    static_cast<long>(osError), fileName);
        return false;
    }
    m_hFile = UniqueHandle(handle);
    m_strFileName = fileName;
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
        throw CFileException(CFileException::diskFull, -1, m_strFileName);
}

void CFile::Close()
{
    const std::string name = std::move(m_strFileName);
    m_strFileName.clear();
    if (!m_hFile.Close()) {
        const DWORD osError = GetLastError();
        throw CFileException(CFileException::OsErrorToCause(static_cast<long>(osError)), static_cast<long>(osError),
                             name);
    }
}

void CFile::Abort()
{
    m_hFile.Close();
    m_strFileName.clear();
}

void CFile::ThrowOsError(unsigned long osError) const
{
    throw CFileException(CFileException::OsErrorToCause(static_cast<long>(osError)), static_cast<long>(osError),
                         m_strFileName);
}
