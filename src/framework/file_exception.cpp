#include "framework/file_exception.h"

#include "framework/framework_resource.h"
#include "framework/placeholders.h"
#include "framework/string_table.h"

#include <utility>

namespace {

// Windows system error numbers that have a cause of their own.
struct OsErrorCause {
    long osError;
    int cause;
};

constexpr OsErrorCause kOsErrorCauses[] = {
    {2, CFileException::fileNotFound},       // ERROR_FILE_NOT_FOUND
    {3, CFileException::badPath},            // ERROR_PATH_NOT_FOUND
    {4, CFileException::tooManyOpenFiles},   // ERROR_TOO_MANY_OPEN_FILES
    {5, CFileException::accessDenied},       // ERROR_ACCESS_DENIED
    {6, CFileException::invalidFile},        // ERROR_INVALID_HANDLE
    {15, CFileException::badPath},           // ERROR_INVALID_DRIVE
    {16, CFileException::removeCurrentDir},  // ERROR_CURRENT_DIRECTORY
    {18, CFileException::badPath},           // ERROR_NO_MORE_FILES
    {19, CFileException::accessDenied},      // ERROR_WRITE_PROTECT
    {21, CFileException::hardIO},            // ERROR_NOT_READY
    {23, CFileException::hardIO},            // ERROR_CRC
    {25, CFileException::badSeek},           // ERROR_SEEK
    {29, CFileException::hardIO},            // ERROR_WRITE_FAULT
    {30, CFileException::hardIO},            // ERROR_READ_FAULT
    {31, CFileException::hardIO},            // ERROR_GEN_FAILURE
    {32, CFileException::sharingViolation},  // ERROR_SHARING_VIOLATION
    {33, CFileException::lockViolation},     // ERROR_LOCK_VIOLATION
    {36, CFileException::sharingViolation},  // ERROR_SHARING_BUFFER_EXCEEDED
    {38, CFileException::endOfFile},         // ERROR_HANDLE_EOF
    {39, CFileException::diskFull},          // ERROR_HANDLE_DISK_FULL
    {53, CFileException::fileNotFound},      // ERROR_BAD_NETPATH
    {65, CFileException::accessDenied},      // ERROR_NETWORK_ACCESS_DENIED
    {67, CFileException::fileNotFound},      // ERROR_BAD_NET_NAME
    {80, CFileException::accessDenied},      // ERROR_FILE_EXISTS
    {82, CFileException::directoryFull},     // ERROR_CANNOT_MAKE
    {87, CFileException::genericException},  // ERROR_INVALID_PARAMETER
    {112, CFileException::diskFull},         // ERROR_DISK_FULL
    {123, CFileException::badPath},          // ERROR_INVALID_NAME
    {161, CFileException::badPath},          // ERROR_BAD_PATHNAME
    {183, CFileException::accessDenied},     // ERROR_ALREADY_EXISTS
    {206, CFileException::badPath},          // ERROR_FILENAME_EXCED_RANGE
};

}  // namespace

CFileException::CFileException(int cause, long osError, std::string fileName, std::u16string wideFileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)), m_wideFileName(std::move(wideFileName))
{
}

int CFileException::OsErrorToCause(long osError)
{
    for (const OsErrorCause& entry : kOsErrorCauses) {
        if (entry.osError == osError)
            return entry.cause;
    }
    return genericException;
}

bool CFileException::GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext) const
{
    const unsigned id = AFX_IDP_FILE_NONE + static_cast<unsigned>(m_cause);
    if (helpContext != nullptr)
        *helpContext = id;

    std::string text;
    std::string name = m_strFileName;
    if (!LoadResourceString(id, text) || (name.empty() && !LoadResourceString(AFX_IDS_UNNAMED_FILE, name))) {
        CopyErrorText({}, error, maxError);
        return false;
    }
    text = FillPlaceholders<char>(text, {name});
    return CopyErrorText(text, error, maxError);
}

bool CFileException::GetWideErrorMessage(std::u16string& text, unsigned* helpContext) const
{
    const unsigned id = AFX_IDP_FILE_NONE + static_cast<unsigned>(m_cause);
    if (helpContext != nullptr)
        *helpContext = id;
    text.clear();
    if (m_wideFileName.empty() || !LoadResourceString(id, text))
        return false;
    text = FillPlaceholders<char16_t>(text, {m_wideFileName});
    return true;
}
