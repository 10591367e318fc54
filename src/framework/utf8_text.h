#pragma once

#include <string>
#include <string_view>

// UTF-8 as UTF-16, on any system: each byte that starts no whole, shortest
// sequence of a character becomes U+FFFD, so text of unknown origin (a
// list's line, an address as handed over) always converts.
std::u16string Utf8ToUtf16(std::string_view text);
