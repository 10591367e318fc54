#pragma once

#include <windows.h>

// The messages that a grab posts to the window that runs it, from WM_APP
// up.
// wParam is the Id of the page fetch or the transfer that ended; the window
// hands both to its TransferController.

// A page fetch has ended, with the page or with a failure.
constexpr UINT WM_APP_PAGE_FETCHED = WM_APP + 2;
// A transfer has ended on its own (not when it was stopped); its file is
// closed by then.
constexpr UINT WM_APP_TRANSFER_ENDED = WM_APP + 3;
// WM_APP + 4 is the web layer's, sent when a proxy wants a password
// (WM_APP_PROXY_SIGN_IN, transfer/web/proxy_sign_in.h).

// Addresses were handed to the window (dropped on it, or given on the
// command line) and wait in it to be taken, away from the drag loop that
// brought them.
constexpr UINT WM_APP_ADDRESSES_HANDED = WM_APP + 5;
