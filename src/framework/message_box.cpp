#include "framework/message_box.h"

#include "framework/app_name.h"
#include "framework/exception.h"
#include "framework/framework_resource.h"
#include "framework/string_table.h"
#include "framework/win_thread.h"
#include "framework/wnd.h"

#include <string>

namespace {

constexpr unsigned kErrorTextCapacity = 512;

}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT)
{
    const CWnd* main = AfxGetMainWnd();
    HWND owner = main != nullptr && main->m_hWnd != nullptr ? GetLastActivePopup(main->m_hWnd) : nullptr;
    const UINT buttons = type & MB_TYPEMASK;
    if ((type & MB_ICONMASK) == 0 &&
        (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL || buttons == MB_YESNO))
        type |= MB_ICONEXCLAMATION;
    return MessageBoxA(owner, text, AfxGetAppName(), type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId)
{
    std::string text;
    LoadResourceString(stringId, text);
    return AfxMessageBox(text.c_str(), type, helpId == static_cast<UINT>(-1) ? stringId : helpId);
}

int CException::ReportError(UINT type, UINT fallbackId) const
{
    char text[kErrorTextCapacity];
    unsigned helpContext = 0;
    // An empty text (the extended error when the server said nothing) is
    // no text: the fallback says more.
    if (GetErrorMessage(text, kErrorTextCapacity, &helpContext) && text[0] != '\0')
        return AfxMessageBox(text, type, helpContext);
    return AfxMessageBox(fallbackId != 0 ? fallbackId : AFX_IDP_NO_ERROR_AVAILABLE, type);
}
