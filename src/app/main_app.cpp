#include "app/main_app.h"

#include "app/command_line.h"
#include "framework/message_box.h"
#include "framework/sockets.h"
#include "framework/wide_text.h"
#include "resource.h"
#include "ui/main_dialog.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <utility>

// The one application object.
CMainApp theApp;

BOOL CMainApp::InitInstance()
{
    // The progress bar is a common control.
    InitCommonControls();
    CWinApp::InitInstance();

    if (!AfxSocketInit()) {
        AfxMessageBox(IDP_SOCKETS_INIT_FAILED, MB_OK, IDP_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    // Names the registry root; nothing is ever stored there.
    SetRegistryKey("Local AppWizard-Generated Applications");

    {
        CMainDlg dialog;
        // Started with an address (from a script, a shortcut, a browser's
        // "open with"): the dialog grabs it at once.
        // Read in UTF-16, so that an address in any script arrives whole.
        if (std::optional<std::string> address = FirstArgument(WideToUtf8(GetCommandLineW()))) {
            std::wstring wide;
            MultiByteToWide(*address, CP_UTF8, 0, wide);
            dialog.SetStartAddress(std::move(wide));
        }
        m_pMainWnd = &dialog;
        dialog.DoModal();
        // Normally already cleared as the window went; never left dangling.
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

bool CMainApp::OnCmdMsg(UINT id, UINT code)
{
    if (id == ID_HELP && code == 0) {
        OnHelp();
        return true;
    }
    return false;
}
