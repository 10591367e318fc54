#pragma once

class CWnd;

// The record of the program's user-interface thread: its main window. The
// application object is that record; one exists at a time.
class CWinThread {
public:
    CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
    virtual ~CWinThread();

    CWnd* m_pMainWnd = nullptr;
};

// The record of the user-interface thread; null when there is none.
CWinThread* AfxGetThread();

// The main window of the user-interface thread, on any thread; null when
// there is none.
CWnd* AfxGetMainWnd();
