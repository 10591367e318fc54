#pragma once

#include <cstdint>
#include <string_view>

// The value of text as a decimal integer, read as the C library's atoi
// reads it: leading white space skipped, an optional sign, then digits up to
// the first non-digit. No digits give 0; a value beyond the 64-bit range
// stops at the range's bound.
std::int64_t ParseDecimal(std::string_view text);
