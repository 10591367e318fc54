#pragma once

#include "page/lead_bytes.h"

#include <cstddef>
#include <string>
#include <string_view>

// Multibyte-aware scanning of narrow ANSI text: every function steps one
// character (lead byte and trail byte together) at a time.
namespace text_scan {

inline constexpr std::size_t npos = std::string_view::npos;

// The byte length of the character that starts at position, 1 or 2. A lead
// byte in the last position stands alone.
std::size_t CharLength(std::string_view text, std::size_t position, const LeadByteTable& leadBytes);

// The position of the first occurrence of what that starts on a character
// boundary, or npos.
std::size_t Find(std::string_view text, std::string_view what, const LeadByteTable& leadBytes);

// True when text ends with what and what starts on a character boundary.
bool EndsWith(std::string_view text, std::string_view what, const LeadByteTable& leadBytes);

// text without the longest run of white space at its end, then at its start.
std::string_view Trim(std::string_view text, const LeadByteTable& leadBytes);

}  // namespace text_scan
