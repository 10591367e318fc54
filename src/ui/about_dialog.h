#pragma once

#include "framework/dialog.h"

// The About box: the icon, the name and version, the author text, OK. It
// adds nothing to the dialog's own behaviour.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
