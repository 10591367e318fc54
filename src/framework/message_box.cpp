#include "framework/message_box.h"

#include "framework/app_name.h"
#include "framework/exception.h"
#include "framework/framework_resource.h"
#include "framework/string_table.h"
#include "framework/win_thread.h"
#include "framework/wnd.h"

#include <string>

namespace {

HWND MessageBoxOwner()
{
    const CWnd* main = AfxGetMainWnd();
    return main != nullptr && main->m_hWnd != nullptr ? GetLastActivePopup(main->m_hWnd) : nullptr;
}

UINT WithDefaultIcon(UINT type)
{
    const UINT buttons = type & MB_TYPEMASK;
    if ((type & MB_ICONMASK) == 0 &&
        (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL || buttons == MB_YESNO))
        type |= MB_ICONEXCLAMATION;
    return type;
}

}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT)
{
    return MessageBoxA(MessageBoxOwner(), text, AfxGetAppName(), WithDefaultIcon(type));
}

int AfxMessageBox(const wchar_t* text, UINT type, UINT)
{
    // The caption is the application name in the ANSI code page.
    const std::string name = AfxGetAppName();
    std::wstring caption(name.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), caption.data(),
                                           static_cast<int>(caption.size()));
    caption.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return MessageBoxW(MessageBoxOwner(), text, caption.c_str(), WithDefaultIcon(type));
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId)
{
    std::string text;
    LoadResourceString(stringId, text);
    return AfxMessageBox(text.c_str(), type, helpId == static_cast<UINT>(-1) ? stringId : helpId);
}

int CException::ReportError(UINT type, UINT fallbackId) const
{
    unsigned helpContext = 0;
    // A text that names something the ANSI code page cannot hold.
    std::u16string wide;
    if (GetWideErrorMessage(wide, &helpContext) && !wide.empty())
        return AfxMessageBox(std::wstring(wide.begin(), wide.end()).c_str(), type, helpContext);
    char text[kErrorTextCapacity];
    // An empty text (the extended error when the server said nothing) is
    // no text: the fallback says more.
    if (GetErrorMessage(text, kErrorTextCapacity, &helpContext) && text[0] != '\0')
        return AfxMessageBox(text, type, helpContext);
    return AfxMessageBox(fallbackId != 0 ? fallbackId : AFX_IDP_NO_ERROR_AVAILABLE, type);
}
