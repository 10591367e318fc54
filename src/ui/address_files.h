#pragma once

#include "transfer/handed_addresses.h"

#include <string_view>

// Files that hand Clipwell addresses: an Internet Shortcut (.url) gives its
// address, any other file is read as a list of addresses, one a line.
// Lists are read as UTF-8 (with or without its byte order mark), as UTF-16
// with its mark, and otherwise in the ANSI code page, as Notepad saves them.

// Adds what the file at path hands over to handed: its addresses and the
// lines that are none, or one sentence in unreadable when it cannot be read
// (missing, a folder, larger than any list, a shortcut without address).
void ReadAddressFile(std::wstring_view path, HandedAddresses& handed);

// Adds the addresses of text (UTF-8, one a line) and its lines that are
// none to handed.
void ReadAddressText(std::string_view text, HandedAddresses& handed);
