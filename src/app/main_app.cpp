#include "app/main_app.h"

#include "app/command_line.h"
#include "framework/message_box.h"
#include "framework/sockets.h"
#include "framework/wide_text.h"
#include "resource.h"
#include "ui/address_files.h"
#include "ui/main_dialog.h"

#include <commctrl.h>

#include <string>
#include <utility>

// The one application object.
CMainApp theApp;

namespace {

// What the command line hands over: an argument that names an existing file
// (or folder) is read as a shortcut or list, any other is an address.
// Read in UTF-16, so that an address or a name in any script arrives whole.
HandedAddresses CommandLineAddresses()
{
    HandedAddresses handed;
    for (std::string& argument : Arguments(WideToUtf8(GetCommandLineW()))) {
        std::wstring wide;
        MultiByteToWide(argument, CP_UTF8, 0, wide);
        if (GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES)
            ReadAddressFile(wide, handed);
        else
            handed.addresses.push_back(std::move(argument));
    }
    return handed;
}

}  // namespace

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
        // "open with"), several, or lists: the dialog takes them as a drop,
        // so one address alone is grabbed at once, as if entered.
        HandedAddresses handed = CommandLineAddresses();
        if (!handed.Empty())
            dialog.SetStartAddresses(std::move(handed));
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
