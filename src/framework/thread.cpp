#include "framework/thread.h"

#include <process.h>

UniqueHandle AfxBeginThread(unsigned(__stdcall* procedure)(void*), void* argument)
{
    // The C library's thread start, so its per-thread data is set up.
    const uintptr_t handle = _beginthreadex(nullptr, 0, procedure, argument, 0, nullptr);
    return UniqueHandle(reinterpret_cast<HANDLE>(handle));
}

void AfxWaitForThread(HANDLE thread)
{
    if (thread == nullptr)
        return;
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1)
            return;
        // Peeking runs the pending sent messages and removes nothing.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
