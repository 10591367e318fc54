#pragma once

#include "page/lead_bytes.h"

#include <string>
#include <string_view>

// The output file name made safe to create in the current directory: each
// character Windows refuses in a file name (\ / : * ? " < > | and the
// control characters 1 to 0x1F) becomes '_'; a name whose part before its
// first dot is a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM or
// LPT followed by a digit or by a superscript one, two or three; in any
// case, trailing blanks ignored) gets a leading '_'. Nothing else changes.

// A name in the ANSI code page, stepped one character at a time so trail
// bytes stay untouched. The superscripts are the bytes 0xB9, 0xB2 and 0xB3
// of windows-1252.
std::string MakeSafeFileName(std::string_view name, const LeadByteTable& leadBytes);

// A name in UTF-16. No refused character is a surrogate, so the halves of
// a pair pass unchanged.
std::u16string MakeSafeFileName(std::u16string_view name);

// The longest start of name, cut at a character (never between the halves
// of a surrogate pair, the same cut every time), that is at most units
// UTF-16 units long and takes at most bytes bytes in UTF-8. Windows counts
// a name in units; the Unix file systems Wine saves to count its UTF-8
// bytes. A double-byte character of an ANSI code page is one unit.
std::u16string CutAtCharacter(std::u16string_view name, std::size_t units, std::size_t bytes = std::u16string_view::npos);
