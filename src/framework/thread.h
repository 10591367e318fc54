#pragma once

#include "framework/unique_handle.h"

#include <windows.h>

#include <functional>

// Starts procedure(argument) on a new thread with normal priority and the
// default stack size. An empty handle when the thread cannot start.
UniqueHandle AfxBeginThread(unsigned(__stdcall* procedure)(void*), void* argument);

// Waits until object is signalled, or until ready() answers true (asked at
// once and after every wake), at most timeoutMs (INFINITE for no limit).
// Meanwhile it carries out the messages that other threads send to this
// one, so that a thread blocked in SendMessage to us can go on, but neither
// posted messages nor user input. Without an object, ready is asked every
// millisecond. True when the object or ready ended the wait.
bool WaitRunningSentMessages(HANDLE object, DWORD timeoutMs, const std::function<bool()>& ready = nullptr);
