#pragma once

#include "framework/wnd.h"

#include <commctrl.h>

// Thin views of the system's controls, attached to their dialog's control
// windows by DDX_Control. Each call is a window call on the control's
// handle, so it works from any thread: a call from another thread is a
// message that the control's own thread carries out.

class CEdit : public CWnd {
};

class CStatic : public CWnd {
};

class CButton : public CWnd {
};

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int lower, int upper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    int SetPos(int position) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position), 0)); }
};
