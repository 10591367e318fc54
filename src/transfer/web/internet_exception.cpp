#include "transfer/web/internet_exception.h"

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
    const DWORD length = FormatMessageA(source | FORMAT_MESSAGE_ALLOCATE_BUFFER, module, code, kSystemDefaultLanguage,
                                        reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
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

}  // namespace

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
