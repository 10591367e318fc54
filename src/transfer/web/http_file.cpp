#include "transfer/web/http_file.h"

#include "transfer/web/internet_exception.h"

#include <cstring>
#include <utility>

CHttpFile::CHttpFile(SharedInternetHandle request, std::string verb, std::string objectName, std::string serverName,
                     DWORD_PTR context)
    : CInternetFile(std::move(request), std::move(objectName), std::move(serverName), context),
      m_strVerb(std::move(verb))
{
}

bool CHttpFile::AddRequestHeaders(const char* headers, DWORD flags, int headersLength)
{
    if (headersLength == -1)
        headersLength = headers == nullptr ? 0 : static_cast<int>(std::strlen(headers));
    return HttpAddRequestHeadersA(GetHandle(), headers, static_cast<DWORD>(headersLength), flags) != FALSE;
}

void CHttpFile::SendRequest(const char* headers, DWORD headersLength, void* optional, DWORD optionalLength)
{
    const DWORD start = GetTickCount();
    if (!HttpSendRequestA(GetHandle(), headers, headersLength, optional, optionalLength))
        throw CInternetException(ReceiveError(start), GetContext());
}

bool CHttpFile::QueryInfo(DWORD infoLevel, std::string& text, DWORD* index) const
{
    text.clear();
    // The first call only asks for the size of the value.
    DWORD size = 0;
    if (HttpQueryInfoA(GetHandle(), infoLevel, nullptr, &size, nullptr))
        return true;
    std::string buffer(size, '\0');
    if (size == 0 || !HttpQueryInfoA(GetHandle(), infoLevel, buffer.data(), &size, index))
        return false;
    buffer.resize(size < buffer.size() ? size : buffer.size());
    text = std::move(buffer);
    return true;
}
