#pragma once

#include <string>

// The address the library is to open for typed, an address in UTF-8 as
// the user typed it: a network address spelt as a browser sends it (its
// host name in IDNA form, the rest's characters outside ASCII as UTF-8
// percent escapes; wire_address.h); any other, a local file's, in the
// ANSI code page, the file system's narrow names.
std::string RequestAddress(const std::string& typed);
