#pragma once

#include <windows.h>
#include <wininet.h>

// Signing in to a proxy that wants a password (407). The system's dialog
// asks the user; it is shown on the thread of the main window, which owns
// it, not on the thread that sends the request: the window's thread alone
// knows whether the grab that asks is still wanted.

// Sent to the main window by the thread whose request the proxy turned
// away; lParam points to the ProxySignIn. The window answers with what the
// dialog answered (ShowProxySignIn), or ERROR_CANCELLED without showing it.
constexpr UINT WM_APP_PROXY_SIGN_IN = WM_APP + 4;

// What the window is asked: the request the proxy turned away, and the
// thread that waits for the answer.
struct ProxySignIn {
    HINTERNET request = nullptr;
    DWORD threadId = 0;
};

// On the thread that sent request: asks the main window to sign in and
// waits for its answer. ERROR_INTERNET_FORCE_RETRY when the user gave a
// name and password, which the library then holds for the session; any
// other answer is a cancel, as is the lack of a main window.
DWORD AskMainWindowToSignIn(HINTERNET request);

// On the main window's thread: shows the system's dialog for the question,
// owned by the window's last active popup, and gives its answer.
DWORD ShowProxySignIn(const ProxySignIn& question);
