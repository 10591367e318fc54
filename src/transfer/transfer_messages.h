#pragma once

#include <windows.h>

// The messages that the transfer sends to the window that runs it, from
// WM_APP up (the framework's own, WM_APP + 1, is in framework/app_messages.h).

// Sent by the download worker when a transfer that ended on its own needs
// saying: wParam is the message box icon (MB_ICONSTOP for a failure,
// MB_ICONEXCLAMATION for a reply that is not the whole video), lParam points
// to the UTF-16 text for the duration of the call.
constexpr UINT WM_APP_TRANSFER_REPORT = WM_APP + 2;
