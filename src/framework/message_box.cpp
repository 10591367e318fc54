#include "framework/message_box.h"

#include "framework/app_name.h"
#include "framework/error_message.h"
#include "framework/string_table.h"
#include "framework/wide_text.h"
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

int AfxMessageBox(const char* text, UINT type, UINT helpId)
{
    return AfxMessageBox(AnsiToWide(text).c_str(), type, helpId);
}

int AfxMessageBox(const wchar_t* text, UINT type, UINT)
{
    return MessageBoxW(MessageBoxOwner(), text, AfxGetAppName(), WithDefaultIcon(type));
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
    const std::wstring text = ErrorMessageText(*this, fallbackId, &helpContext);
    return AfxMessageBox(text.c_str(), type, helpContext);
}
