#pragma once

#include "framework/exception.h"
#include "framework/win_thread.h"

#include <windows.h>

#include <string>

// The command that asks for help (F1).
constexpr UINT ID_HELP = 0xE146;

// The application: one static object per program. The entry step fills in
// its strings and runs InitInstance; when that returns false, ExitInstance
// follows and the process ends with its result.
class CWinApp : public CWinThread {
public:
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Runs a command of the application's command table; false when the
    // table has none for id.
    virtual bool OnCmdMsg(UINT id, UINT code);

    // Reports an exception that left the handling of message; returns the
    // message's result.
    virtual LRESULT ProcessWndProcException(const CException& error, const MSG& message);

    // Names the registry key under HKEY_CURRENT_USER\Software that would
    // hold the application's settings; creates nothing.
    void SetRegistryKey(const char* key) { m_strRegistryKey = key; }

    // The help handler: opens the read-me beside the executable with
    // whatever the system opens text files with; says where help is when
    // it cannot.
    void OnHelp();

    // The entry step: error mode, instance handle, application strings.
    void StartUp(HINSTANCE instance);

    HINSTANCE m_hInstance = nullptr;
    std::wstring m_strAppName;
    // The read-me that comes with the program, beside its executable.
    std::wstring m_strHelpFilePath;
    std::string m_strRegistryKey;
};

// The application object; null when the program has none.
CWinApp* AfxGetApp();

// Hands an exception that left a message handler to the application's
// report (or the framework's own when there is no application). Raises
// nothing.
LRESULT AfxProcessWndProcException(const CException& error, const MSG& message) noexcept;

// Runs the application: the process's entry. The program takes no options,
// so the command line and the show state are not looked at.
int AfxWinMain(HINSTANCE instance);
