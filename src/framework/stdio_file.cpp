#include "framework/stdio_file.h"

#include "framework/wide_text.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>

bool CStdioFile::Open(const char* fileName, unsigned openFlags, CFileException* error)
{
    Abort();
    return CFile::Open(fileName, openFlags, error) && TakeStream(openFlags, error);
}

bool CStdioFile::Open(const wchar_t* fileName, unsigned openFlags, CFileException* error)
{
    Abort();
    return CFile::Open(fileName, openFlags, error) && TakeStream(openFlags, error);
}

bool CStdioFile::TakeStream(unsigned openFlags, CFileException* error)
{
    // Kept for the errors: a failed hand-over forgets the file's names.
    const std::string fileName = m_strFileName;
    const std::u16string wideFileName = ToUtf16(m_wideFileName);
    // Hand the system handle over to a C library stream, which then owns it.
    // A file is read in binary whatever the flags say: the line reader
    // drops carriage returns itself, and the C runtime's text mode would
    // end the file at its first Ctrl+Z byte.
    const bool write = (openFlags & modeWrite) != 0;
    const bool binary = (openFlags & typeBinary) != 0 || !write;
    const int mode = (binary ? _O_BINARY : _O_TEXT) | (write ? _O_WRONLY : _O_RDONLY);
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(m_hFile.Get()), mode);
    if (descriptor == -1) {
        CFile::Abort();
        if (error != nullptr)
            *error = CFileException(CFileException::genericException, errno, fileName, wideFileName);
        return false;
    }
    m_hFile.Release();
    m_stream.reset(_fdopen(descriptor, write ? (binary ? "wb" : "wt") : (binary ? "rb" : "rt")));
    if (!m_stream) {
        _close(descriptor);
        m_strFileName.clear();
        if (error != nullptr)
            *error = CFileException(CFileException::genericException, errno, fileName, wideFileName);
        return false;
    }
    return true;
}

bool CStdioFile::ReadString(std::string& line)
{
    return m_lineReader.ReadString(*this, line);
}

std::size_t CStdioFile::ReadBytes(char* buffer, std::size_t count)
{
    const std::size_t read = std::fread(buffer, 1, count, m_stream.get());
    if (read < count && std::ferror(m_stream.get()))
        ThrowStreamError();
    return read;
}

unsigned CStdioFile::Read(void* buffer, unsigned count)
{
    return static_cast<unsigned>(ReadBytes(static_cast<char*>(buffer), count));
}

void CStdioFile::Close()
{
    ForgetLines();
    std::FILE* stream = m_stream.release();
    const std::string name = std::move(m_strFileName);
    m_strFileName.clear();
    if (stream != nullptr && std::fclose(stream) != 0)
        throw CFileException(CFileException::genericException, static_cast<long>(_doserrno), name);
}

void CStdioFile::Abort()
{
    ForgetLines();
    m_stream.reset();
    CFile::Abort();
}

void CStdioFile::ThrowStreamError() const
{
    throw CFileException(CFileException::genericException, static_cast<long>(_doserrno), m_strFileName);
}
