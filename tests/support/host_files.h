#pragma once

#include <optional>
#include <string>

// Files as a test program under Wine reaches them.

// The whole contents of a file; nothing when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::string& path);

// A Unix path as Wine's Windows programs name it (drive Z: is the root).
std::string UnixToWindowsPath(const std::string& unixPath);
