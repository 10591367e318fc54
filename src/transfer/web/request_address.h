#pragma once

#include <string>

// The address the library is to open for typed, an address in UTF-8 as
// the user typed it: a network address spelt as a browser sends it (its
// host name in IDNA form, the rest's characters outside ASCII as UTF-8
// percent escapes; wire_address.h); a file: address as typed, which the
// URL opener reads as UTF-8; any other in the ANSI code page, as the
// library takes it.
std::string RequestAddress(const std::string& typed);
