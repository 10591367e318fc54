#pragma once

#include "framework/unique_handle.h"

// Starts procedure(argument) on a new thread with normal priority and the
// default stack size. An empty handle when the thread cannot start.
UniqueHandle AfxBeginThread(unsigned(__stdcall* procedure)(void*), void* argument);

// Waits until thread has ended, meanwhile carrying out the messages that
// other threads send to this one (so a thread blocked in SendMessage to us
// can go on), but neither posted messages nor user input.
void AfxWaitForThread(HANDLE thread);
