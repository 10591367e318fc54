#pragma once

#include "framework/exception.h"

#include <string>

// A failed operation on a local file. Its text is the file error string of
// its cause, naming the file. A file opened by its UTF-16 name also has a
// wide text, which names it in any script.
class CFileException : public CException {
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    explicit CFileException(int cause = none, long osError = -1, std::string fileName = {},
                            std::u16string wideFileName = {});

    // The cause that a Windows system error number stands for.
    static int OsErrorToCause(long osError);

    bool GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext = nullptr) const override;
    // False for a file named only in the ANSI code page.
    bool GetWideErrorMessage(std::u16string& text, unsigned* helpContext = nullptr) const override;

    int m_cause;
    long m_lOsError;
    std::string m_strFileName;       // as the ANSI code page renders it
    std::u16string m_wideFileName;  // empty unless opened by a UTF-16 name
};
