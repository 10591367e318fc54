#include "transfer/web/internet_exception.h"

#include "framework/placeholders.h"
#include "framework/string_table.h"
#include "transfer/web/web_resource.h"

#include <wininet.h>

#include <memory>
#include <type_traits>
#include <string>

namespace {

constexpr DWORD kSystemDefaultLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT);

struct LocalFreer {
    void operator()(char* text) const { LocalFree(text); }
};

struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};

// The message table's text for code, from module or (module null) the
// system; false when the table has none.
bool LookUpMessage(HMODULE module, DWORD code, std::string& text)
{
    const DWORD source = module != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM;
    char* buffer = nullptr;
    // No arguments go with the text, so a "%1" in it stays as written.
    const DWORD flags = source | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS;
    const DWORD length =
        FormatMessageA(flags, module, code, kSystemDefaultLanguage, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    const std::unique_ptr<char, LocalFreer> owner(buffer);
    if (length == 0 || buffer == nullptr)
        return false;
    text.assign(buffer, length);
    return true;
}

// The server's last response text on this thread; empty when there is none.
std::string LastResponseText()
{
    DWORD error = 0;
    DWORD size = 0;
    if (InternetGetLastResponseInfoA(&error, nullptr, &size) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return {};
    std::string text(size + 1, '\0');
    if (!InternetGetLastResponseInfoA(&error, text.data(), &size))
        return {};
    text.resize(size);
    return text;
}

// The program's own text for a failed request for url with code; 0 when
// the library's says enough. The certificate codes are the ones Wine's
// library and Windows' give while the secure connection is set up; an
// https address broken off there never showed a certificate to trust.
unsigned PlainTextId(DWORD code, const std::string& url)
{
    switch (code) {
    case ERROR_INTERNET_INVALID_CA:
        return IDS_WEB_UNTRUSTED_AUTHORITY;
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_CERT_NO_REV:
        return IDS_WEB_UNCHECKED_CHAIN;
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
        return IDS_WEB_WRONG_HOST;
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
        return IDS_WEB_EXPIRED;
    case ERROR_INTERNET_SEC_INVALID_CERT:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_REVOKED:
        return IDS_WEB_BAD_CERTIFICATE;
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
        return IDS_WEB_NO_TLS;
    case ERROR_INTERNET_CONNECTION_ABORTED:
        return url.rfind("https:", 0) == 0 ? IDS_WEB_NO_TLS : 0;
    default:
        return 0;
    }
}

}  // namespace

CInternetException CInternetException::KeptRedirecting(DWORD_PTR context, std::string url, std::string next)
{
    CInternetException error(ERROR_HTTP_REDIRECT_FAILED, context, std::move(url));
    error.m_textId = IDS_WEB_KEPT_REDIRECTING;
    error.m_strDetail = std::move(next);
    return error;
}

CInternetException CInternetException::NowhereToGo(DWORD_PTR context, std::string url, std::string status)
{
    CInternetException error(ERROR_HTTP_REDIRECT_FAILED, context, std::move(url));
    error.m_textId = IDS_WEB_NOWHERE_TO_GO;
    error.m_strDetail = std::move(status);
    return error;
}

CInternetException CInternetException::ProxyWantsPassword(DWORD_PTR context, std::string url, std::string proxy)
{
    CInternetException error(ERROR_INTERNET_INCORRECT_PASSWORD, context, std::move(url));
    error.m_textId = IDS_WEB_PROXY_PASSWORD;
    error.m_strDetail = std::move(proxy);
    return error;
}

CInternetException CInternetException::PageTooLong(DWORD_PTR context, std::string url)
{
    CInternetException error(ERROR_FILE_TOO_LARGE, context, std::move(url));
    error.m_textId = IDS_WEB_PAGE_TOO_LONG;
    return error;
}

DWORD ReceiveErrorCode(DWORD error, DWORD waitedMs, DWORD timeoutMs)
{
    // The clock may run a little short of the socket's.
    const bool waitedAll = waitedMs >= timeoutMs - timeoutMs / 10;
    if (error == WSAETIMEDOUT || (error == ERROR_INTERNET_CONNECTION_ABORTED && waitedAll))
        return ERROR_INTERNET_TIMEOUT;
    return error;
}

bool IsConnectionLost(DWORD error)
{
    return error == WSAECONNRESET || error == WSAECONNABORTED || error == ERROR_INTERNET_CONNECTION_RESET ||
           error == ERROR_INTERNET_CONNECTION_ABORTED;
}

bool CInternetException::GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext) const
{
    if (helpContext != nullptr)
        *helpContext = 0;
    const unsigned textId = m_textId != 0 ? m_textId : m_strUrl.empty() ? 0 : PlainTextId(m_dwError, m_strUrl);
    std::string pattern;
    if (textId != 0 && LoadResourceString(textId, pattern)) {
        const std::string text = FillPlaceholders<char>(pattern, {m_strUrl, m_strDetail});
        return CopyErrorText(text, error, maxError);
    }
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer> wininet(LoadLibraryA("WININET.DLL"));
    std::string text;
    const bool found = (wininet && LookUpMessage(wininet.get(), m_dwError, text)) ||
                       LookUpMessage(nullptr, m_dwError, text);
    if (!found) {
        CopyErrorText({}, error, maxError);
        return false;
    }
    // The extended error stands for the server's own words, not the table's.
    if (m_dwError == ERROR_INTERNET_EXTENDED_ERROR)
        text = LastResponseText();
    return CopyErrorText(text, error, maxError);
}
