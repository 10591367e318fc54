#pragma once

#include "framework/unique_handle.h"

#include <windows.h>

#include <functional>

// Starts procedure(argument) on a new thread with normal priority and the
// default stack size. An empty handle when the thread cannot start.
UniqueHandle AfxBeginThread(unsigned(__stdcall* procedure)(void*), void* argument);

// Waits until thread has ended, at most timeoutMs (INFINITE for no limit),
// meanwhile carrying out the messages that other threads send to this one
// (so a thread blocked in SendMessage to us can go on), but neither posted
// messages nor user input. True when the thread has ended.
bool WaitForThreadEnd(HANDLE thread, DWORD timeoutMs = INFINITE);

// Runs this thread's messages, all of them, with the keyboard handling of
// dialog (Tab, Enter, Escape), until thread has ended or, checked after
// every message, abandon() answers true. True when the thread has ended.
// A WM_QUIT met meanwhile is posted again for the loop outside.
bool PumpWhileRunning(HANDLE thread, HWND dialog, const std::function<bool()>& abandon);
