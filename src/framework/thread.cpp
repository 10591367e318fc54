#include "framework/thread.h"

#include <process.h>

UniqueHandle AfxBeginThread(unsigned(__stdcall* procedure)(void*), void* argument)
{
    // The C library's thread start, so its per-thread data is set up.
    const uintptr_t handle = _beginthreadex(nullptr, 0, procedure, argument, 0, nullptr);
    return UniqueHandle(reinterpret_cast<HANDLE>(handle));
}

bool WaitForThreadEnd(HANDLE thread, DWORD timeoutMs)
{
    if (thread == nullptr)
        return true;
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD left = INFINITE;
        if (timeoutMs != INFINITE) {
            const DWORD waited = GetTickCount() - start;
            left = waited < timeoutMs ? timeoutMs - waited : 0;
        }
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1)
            return woken == WAIT_OBJECT_0;
        // Peeking runs the pending sent messages and removes nothing.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

bool PumpWhileRunning(HANDLE thread, HWND dialog, const std::function<bool()>& abandon)
{
    for (;;) {
        if (abandon())
            return false;
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken != WAIT_OBJECT_0 + 1)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return false;
            }
            if (!IsDialogMessageA(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            if (abandon())
                return false;
        }
    }
}
