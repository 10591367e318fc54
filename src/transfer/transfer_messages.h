#pragma once

#include <windows.h>

// The messages that the transfer sends to the window that runs it, from
// WM_APP up (the framework's own, WM_APP + 1, is in framework/app_messages.h).

// Posted by the download worker when a transfer has ended on its own (not
// when it was stopped): wParam is the transfer's Id. The window asks the
// transfer what to say (TakeEndedTransfer); the file is closed by then.
constexpr UINT WM_APP_TRANSFER_ENDED = WM_APP + 2;
