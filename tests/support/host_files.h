#pragma once

#include <optional>
#include <string>

// Files as a test program under Wine reaches them.

// The whole contents of a file; nothing when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::string& path);

// A Unix path as Wine's Windows programs name it (drive Z: is the root).
std::string UnixToWindowsPath(const std::string& unixPath);

// A path on drive Z: as the Unix side names it; empty for another drive.
std::string WindowsToUnixPath(const std::string& windowsPath);

// A shell word, quoted as it is.
std::string ShellQuoted(const std::string& word);

// Runs a shell command on the Unix side that writes its result to the Unix
// path target, through a temporary file ($part in the command, which must
// hold no double quote), so that target appears whole or not at all. Wine starts Unix programs but cannot wait for them: this
// polls for target, or target.failed when the command failed, at most
// timeoutMs. True when target was written.
bool RunOnUnixSide(const std::string& writeCommand, const std::string& target, unsigned long timeoutMs = 20000);

// The names in a folder (a Windows path on drive Z:) as the Unix side sees
// them, UTF-8 bytes, one a line, sorted; nothing when it cannot be listed.
std::optional<std::string> UnixFolderListing(const std::string& windowsFolder);
