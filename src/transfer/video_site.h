#pragma once

#include <windows.h>
#include <wininet.h>

// Where video requests go: the video site's host, on the HTTP port.
inline constexpr const char* kVideoSiteHost = "video.example.com";
inline constexpr INTERNET_PORT kVideoSitePort = 80;

// The header added to every video request (the blank before the colon is
// the program's own; the library writes it as "Accept: video/flv").
inline constexpr const char* kVideoAcceptHeader = "Accept : video/flv\r\n";
