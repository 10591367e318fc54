#pragma once

#include "framework/exception.h"

#include <string>
#include <utility>

#include <windows.h>

// A failed call of the HTTP client library, or a request that the server
// sent on too often or nowhere. Its text is the program's own where one
// says more than the library's (a certificate the site cannot be trusted
// by, a redirect that leads nowhere), naming the address; else it comes
// from the library's message table, else from the system's.
class CInternetException : public CException {
public:
    // error is the code taken right after the failing call; context is the
    // context value of the object that raised it; url the address the
    // failing request was for, when known.
    CInternetException(DWORD error, DWORD_PTR context, std::string url = {})
        : m_dwError(error), m_dwContext(context), m_strUrl(std::move(url))
    {
    }

    // The server at url still redirected, to next, after the most
    // redirects a request follows.
    static CInternetException KeptRedirecting(DWORD_PTR context, std::string url, std::string next);
    // The server at url answered with a redirect (status as it read) that
    // names no address to go on to.
    static CInternetException NowhereToGo(DWORD_PTR context, std::string url, std::string status);
    // The page at url went on far past any video page.
    static CInternetException PageTooLong(DWORD_PTR context, std::string url);

    // The proxy asked for a user name and password before it would pass
    // the request for url on, and the user gave none.
    static CInternetException ProxyWantsPassword(DWORD_PTR context, std::string url, std::string proxy);

    bool GetErrorMessage(char* error, unsigned maxError, unsigned* helpContext = nullptr) const override;

    DWORD m_dwError;
    DWORD_PTR m_dwContext;
    std::string m_strUrl;

private:
    // The program's own text for the failure (0: by the code), and what
    // goes into its second place.
    unsigned m_textId = 0;
    std::string m_strDetail;
};

// The code to raise for a receive call that failed with error after
// waiting waitedMs of a read time-out of timeoutMs. A time-out becomes the
// library's own ERROR_INTERNET_TIMEOUT, which has a text: Wine's library
// reports a stalled body as the socket's WSAETIMEDOUT, and a stall before
// the reply's headers as an aborted connection after the whole time-out.
DWORD ReceiveErrorCode(DWORD error, DWORD waitedMs, DWORD timeoutMs);

// True for the codes of a connection that the server dropped or reset.
bool IsConnectionLost(DWORD error);
