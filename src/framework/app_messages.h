#pragma once

#include <windows.h>

// The framework's own window messages, from WM_APP up (the WM_USER range
// belongs to the dialog class: WM_USER + 1 is DM_SETDEFID). The program's
// messages follow from WM_APP + 2 (transfer/transfer_messages.h).

// Asks a window for its help context; 0 when it has none.
constexpr UINT WM_APP_COMMANDHELP = WM_APP + 1;

