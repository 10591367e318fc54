#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

// An address split into what the URL opener decides by.
struct UrlParts {
    INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
    std::string host;
    std::string path;
};

// Canonicalizes address in browser mode and cracks the canonical form
// (without unescaping). False, leaving parts as they were, on any failure.
bool SplitUrl(const char* address, UrlParts& parts);

// The local file name that a file: address in UTF-8 stands for, as Windows
// reads it (PathCreateFromUrl): "file://host/share/x" names \\host\share\x.
// Its escapes past ASCII are read as UTF-8, as a browser writes them; an
// address that is no UTF-8 is read in the ANSI code page. Empty when it is
// no such address.
std::wstring LocalFileName(const char* url);
