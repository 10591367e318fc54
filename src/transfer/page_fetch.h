#pragma once

#include "page/watch_page.h"
#include "transfer/web/internet_session.h"
#include "transfer/transfer_window.h"

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

// Fetches the page at address on a thread of its own, while this thread
// runs the window's messages, so the window keeps painting and answering.
// Nothing is returned when the window was asked to end meanwhile: the fetch
// is then left to end by itself (within the read time-out). Raises what the
// fetch raised. While it runs, window.m_fetchingPage is set.
std::optional<FetchedPage> FetchPage(const std::string& address, TransferWindow& window);
