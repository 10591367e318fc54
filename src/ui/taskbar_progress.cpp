#include "ui/taskbar_progress.h"

#include <shobjidl.h>

namespace {

// A message number above 0xFFFF is never sent to a window: the stand-in
// should registration ever fail, so that no other message is taken for it.
constexpr UINT kNeverSent = 0x10000;

}  // namespace

TaskbarProgress::~TaskbarProgress()
{
    End();
}

UINT TaskbarProgress::ButtonCreatedMessage()
{
    static const UINT message = [] {
        const UINT registered = RegisterWindowMessageA("TaskbarButtonCreated");
        return registered != 0 ? registered : kNeverSent;
    }();
    return message;
}

void TaskbarProgress::Connect(HWND window)
{
    if (!m_comStarted) {
        const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        // S_FALSE (started before on this thread) wants its own end too.
        m_comStarted = SUCCEEDED(started);
        // RPC_E_CHANGED_MODE: COM runs here in the other model already and
        // serves the list just the same.
        if (FAILED(started) && started != RPC_E_CHANGED_MODE)
            return;
    }
    ReleaseList();
    ITaskbarList3* list = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&list))))
        return;
    if (FAILED(list->HrInit())) {
        list->Release();
        return;
    }
    m_list = list;
    m_window = window;
}

void TaskbarProgress::ShowProgress(int percent)
{
    Show(TBPF_NORMAL, percent);
}

void TaskbarProgress::ShowError(int percent)
{
    Show(TBPF_ERROR, percent);
}

void TaskbarProgress::Clear()
{
    if (m_list != nullptr)
        m_list->SetProgressState(m_window, TBPF_NOPROGRESS);
}

void TaskbarProgress::Show(int state, int percent)
{
    if (m_list == nullptr)
        return;
    // The state first: a value set in the error state keeps it.
    m_list->SetProgressState(m_window, static_cast<TBPFLAG>(state));
    m_list->SetProgressValue(m_window, static_cast<ULONGLONG>(percent), 100);
}

void TaskbarProgress::ReleaseList()
{
    if (m_list != nullptr)
        m_list->Release();
    m_list = nullptr;
}

void TaskbarProgress::End()
{
    ReleaseList();
    if (m_comStarted)
        CoUninitialize();
    m_comStarted = false;
}
