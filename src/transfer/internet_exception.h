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
