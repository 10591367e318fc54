#pragma once

#include "framework/exception.h"

#include <string>

// A failed operation on a local file. Its text is the file error string of
// its cause, naming the file.
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

    explicit CFileException(int cause = none, long osError = -1, std::string fileName = {});

    // The cause that a Windows system error number stands for.
    static int OsErrorToCause(long osError);

    bool GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext = nullptr) const override;

    int m_cause;
    long m_lOsError;
    std::string m_strFileName;
};
