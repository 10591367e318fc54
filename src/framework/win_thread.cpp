#include "framework/win_thread.h"

namespace {

CWinThread* g_thread = nullptr;

}  // namespace

CWinThread::CWinThread()
{
    g_thread = this;
}

CWinThread::~CWinThread()
{
    if (g_thread == this)
        g_thread = nullptr;
}

CWinThread* AfxGetThread()
{
    return g_thread;
}

CWnd* AfxGetMainWnd()
{
    return g_thread != nullptr ? g_thread->m_pMainWnd : nullptr;
}
