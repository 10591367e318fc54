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

// The local file name that the path of a file: address stands for: its
// percent escapes decoded (the canonical form writes a blank as %20), and
// a slash before a drive letter ("/C:/x") dropped.
std::string LocalFileName(const std::string& urlPath);
