#pragma once

#include "page/watch_page.h"
#include "transfer/web/internet_session.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <memory>
#include <optional>
#include <string>

// A fetched video page: its lines, the Content-Type its server gave (empty
// for a local file or none), and the session that fetched it, for the
// video request that follows.
struct FetchedPage {
    std::unique_ptr<CInternetSession> session;
    WatchPage page;
    std::string contentType;
};

// The fetch of one page on a thread of its own, so that the window goes on
// painting and answering. When it ends, the window gets
// WM_APP_PAGE_FETCHED with the fetch's Id. A fetch nobody waits for any
// more is simply left to end by itself (within the read time-out); its
// message then names an Id nobody knows.
class PageFetch {
public:
    // Starts fetching address (UTF-8, as typed) for window; raises
    // CMemoryException when no thread can be started.
    static std::shared_ptr<PageFetch> Start(std::string address, HWND window);

    unsigned long Id() const { return m_id; }
    // The Id of the thread that fetches the page.
    DWORD ThreadId() const { return m_threadId; }
    // Once its message has come: the page, or raises what the fetch raised.
    FetchedPage Take();

    PageFetch(std::string address, HWND window);

private:
    static unsigned __stdcall Run(void* argument);

    static std::atomic<unsigned long> s_lastId;
    const unsigned long m_id;
    const std::string m_address;
    const HWND m_window;
    DWORD m_threadId = 0;
    std::optional<FetchedPage> m_result;
    std::exception_ptr m_error;
};
