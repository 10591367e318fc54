#include "framework/exception.h"

#include "framework/framework_resource.h"
#include "framework/string_table.h"

#include <cstring>
#include <string>

CException::~CException() = default;

bool CException::GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext) const
{
    if (helpContext != nullptr)
        *helpContext = 0;
    CopyErrorText({}, error, maxError);
    return false;
}

bool CException::GetWideErrorMessage(std::u16string& text, unsigned* helpContext) const
{
    if (helpContext != nullptr)
        *helpContext = 0;
    text.clear();
    return false;
}

bool CException::CopyErrorText(std::string_view text, char* error, unsigned maxError)
{
    if (error == nullptr || maxError == 0)
        return false;
    const std::size_t length = text.size() < maxError - 1 ? text.size() : maxError - 1;
    std::memcpy(error, text.data(), length);
    error[length] = '\0';
    return true;
}

bool CSimpleException::GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext) const
{
    if (helpContext != nullptr)
        *helpContext = 0;
    std::string text;
    if (!LoadResourceString(m_stringId, text)) {
        CopyErrorText({}, error, maxError);
        return false;
    }
    return CopyErrorText(text, error, maxError);
}

CMemoryException::CMemoryException() : CSimpleException(AFX_IDP_FAILED_MEMORY_ALLOC) {}

CInvalidArgException::CInvalidArgException() : CSimpleException(AFX_IDP_FAILED_INVALID_ARG) {}
