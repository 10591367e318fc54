#pragma once

#include <windows.h>

// The program's own window messages, all from WM_APP up (the WM_USER range
// belongs to the dialog class: WM_USER + 1 is DM_SETDEFID).

// Asks a window for its help context; 0 when it has none.
constexpr UINT WM_APP_COMMANDHELP = WM_APP + 1;

// Sent by the download worker to the main dialog when a transfer failed:
// lParam points to the failure's text (empty for none) for the duration of
// the call.
constexpr UINT WM_APP_TRANSFER_FAILED = WM_APP + 2;
