#pragma once

#include <windows.h>
#include <wininet.h>

// Where video requests go: the video site's host, on the HTTP port.
inline constexpr const char* kVideoSiteHost = "video.example.com";
inline constexpr INTERNET_PORT kVideoSitePort = 80;

// The header added to every video request (the blank before the colon is
// the program's own; the library writes it as "Accept: video/flv").
inline constexpr const char* kVideoAcceptHeader = "Accept : video/flv\r\n";

// How video requests are opened: on the connection already made, and past
// the system's internet cache both ways. A cached copy would store every
// video twice, and a cached reply must never stand in for a range reply.
inline constexpr DWORD kVideoRequestFlags =
    INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD;

// How the page is opened: read fresh each time, and not kept.
inline constexpr DWORD kPageRequestFlags =
    INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD;
