#pragma once

#include "framework/file_exception.h"
#include "framework/unique_handle.h"

#include <string>

// A local file opened through the system's file handles. Failures of
// reading, writing and closing are raised as CFileException.
class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        shareExclusive = 0x0010,  // no other opener, not even a reader
        modeCreate = 0x1000,      // create, truncating an existing file
        modeNoTruncate = 0x2000,  // with modeCreate: open an existing file as it is
        typeText = 0x4000,
        typeBinary = 0x8000,
    };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    // Closes a file that is still open, ignoring a failure of the close.
    virtual ~CFile();

    // Opens fileName; on failure returns false and, when error is given,
    // fills it with the cause, the system's error number and the name.
    virtual bool Open(const char* fileName, unsigned openFlags, CFileException* error = nullptr);

    // Opens a plain file by its UTF-16 name, which the ANSI code page need
    // not be able to hold; otherwise as the narrow Open. GetFileName then
    // gives the name as the ANSI code page best renders it.
    bool Open(const wchar_t* fileName, unsigned openFlags, CFileException* error = nullptr);

    // Reads up to count bytes; 0 at the end.
    virtual unsigned Read(void* buffer, unsigned count);
    virtual void Write(const void* buffer, unsigned count);
    // Moves to the end and gives the file's length.
    unsigned long long SeekToEnd();
    // Cuts or extends the file to length bytes.
    void SetLength(unsigned long long length);
    virtual void Close();
    // Closes without raising anything and forgets the name.
    virtual void Abort();

    virtual bool IsOpen() const { return static_cast<bool>(m_hFile); }
    const std::string& GetFileName() const { return m_strFileName; }
    // The name of a file opened by its UTF-16 name; empty otherwise.
    const std::wstring& GetWideFileName() const { return m_wideFileName; }

protected:
    [[noreturn]] void ThrowOsError(unsigned long osError) const;

    // Takes over handle from CreateFile, or on failure fills error and
    // answers false.
    bool Opened(HANDLE handle, std::string fileName, std::wstring wideFileName, CFileException* error);

    UniqueHandle m_hFile;
    std::string m_strFileName;
    std::wstring m_wideFileName;
};
