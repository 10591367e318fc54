#pragma once

#include <windows.h>

// Shows a message box owned by the main window's last active pop-up (none
// before there is a main window), with the application name as caption
// and, when the flags name no icon, the exclamation icon. Returns the
// pressed button.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);

// The same for a UTF-16 text, which may hold any script.
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK, UINT helpId = 0);

// The same for string resource stringId.
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));
