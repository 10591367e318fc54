#pragma once

#include "page/lead_bytes.h"
#include "page/watch_page.h"

#include <cstddef>
#include <string>
#include <string_view>

// Page text in the code page the page is written in: how to step over its
// characters, and its conversion to UTF-16 for the output file's name.

// The lead bytes of codePage. Single-byte code pages and UTF-8, whose
// multibyte sequences never hold an ASCII byte, give an empty table, so
// scanning steps over plain bytes.
LeadByteTable LeadBytesOf(unsigned codePage);

// The lead bytes of the system's ANSI code page.
const LeadByteTable& SystemLeadBytes();

// True when the system can convert text in codePage to UTF-16.
bool CanConvert(unsigned codePage);

// The code page the page is written in: UTF-8 when it begins with the
// UTF-8 byte-order mark, else the charset that the response's Content-Type
// value names, else the one its first declaring meta tag names, else the
// ANSI code page. A charset that the table lacks, or whose code page the
// system cannot convert, gives the ANSI code page.
unsigned PageCodePage(std::string_view contentType, const WatchPage& page);

// text in codePage as UTF-16; each invalid sequence becomes one '_'.
std::wstring DecodeText(std::string_view text, unsigned codePage);

// The output file's name for a title in codePage: made safe, with ".flv"
// added. In the ANSI code page it is exactly what the narrow file API makes
// of the narrow safe name, so such pages keep the names they always had.
// A name longer than maxLength UTF-16 units, or than maxLength bytes in
// UTF-8 (by default the longest name in a folder that Windows, and Wine on
// a Unix file system, accepts), is cut in its title, at a character.
std::wstring MakeOutputFileName(std::string_view title, unsigned codePage, std::size_t maxLength = 255);
