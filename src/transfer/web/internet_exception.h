#pragma once

#include "framework/exception.h"

#include <windows.h>

// A failed call of the HTTP client library. Its text comes from the
// library's message table, else from the system's.
class CInternetException : public CException {
public:
    // error is the code taken right after the failing call; context is the
    // context value of the object that raised it.
    CInternetException(DWORD error, DWORD_PTR context) : m_dwError(error), m_dwContext(context) {}

    bool GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext = nullptr) const override;

    DWORD m_dwError;
    DWORD_PTR m_dwContext;
};

// The code to raise for a receive call that failed with error after
// waiting waitedMs of a read time-out of timeoutMs. A time-out becomes the
// library's own ERROR_INTERNET_TIMEOUT, which has a text: Wine's library
// reports a stalled body as the socket's WSAETIMEDOUT, and a stall before
// the reply's headers as an aborted connection after the whole time-out.
DWORD ReceiveErrorCode(DWORD error, DWORD waitedMs, DWORD timeoutMs);

// True for the codes of a connection that the server dropped or reset.
bool IsConnectionLost(DWORD error);
