#pragma once

#include "framework/win_app.h"

// The application: starts Windows Sockets, runs the main dialog modally and
// ends with it.
class CMainApp : public CWinApp {
public:
    BOOL InitInstance() override;
    bool OnCmdMsg(UINT id, UINT code) override;
};
