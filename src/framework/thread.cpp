#include "framework/thread.h"

#include <process.h>

UniqueHandle AfxBeginThread(unsigned(__stdcall* procedure)(void*), void* argument)
{
    // The C library's thread start, so its per-thread data is set up.
    const uintptr_t handle = _beginthreadex(nullptr, 0, procedure, argument, 0, nullptr);
    return UniqueHandle(reinterpret_cast<HANDLE>(handle));
}

bool WaitRunningSentMessages(HANDLE object, DWORD timeoutMs, const std::function<bool()>& ready)
{
    const DWORD start = GetTickCount();
    const DWORD objects = object != nullptr ? 1 : 0;
    for (;;) {
        if (ready && ready())
            return true;
        DWORD left = INFINITE;
        if (timeoutMs != INFINITE) {
            const DWORD waited = GetTickCount() - start;
            left = waited < timeoutMs ? timeoutMs - waited : 0;
        }
        if (objects == 0)
            left = left < 1 ? left : 1;
        const DWORD woken = MsgWaitForMultipleObjects(objects, &object, FALSE, left, QS_SENDMESSAGE);
        if (objects == 1 && woken == WAIT_OBJECT_0)
            return true;
        if (woken == WAIT_TIMEOUT && left == 0)
            return ready && ready();
        if (woken == WAIT_FAILED)
            return false;
        // Peeking runs the pending sent messages and removes nothing.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
