#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The lines of a list of addresses, sorted into addresses and the rest.
struct AddressList {
    std::vector<std::string> addresses;
    // Lines that are no address, as they stand (blanks trimmed), for the
    // report to name; nothing is guessed from them.
    std::vector<std::string> notAddresses;
};

// True when line (blanks trimmed) is an address Clipwell grabs: it starts
// with "http://", "https://" or "file:" in any mix of case. Anything else,
// a bare host name or a line such as "# my videos" among them, is not: a
// list holds addresses as a browser's address bar shows them, and a guess
// at what a line meant would grab what nobody asked for.
bool IsListedAddress(std::string_view line);

// The addresses of text (UTF-8), one a line: lines end in CR LF, LF or a
// lone CR; blanks and tabs around a line are trimmed; blank lines are
// skipped. The whole trimmed line is the address, blanks inside included,
// as an address bar keeps them until the request spells them.
AddressList ReadAddressList(std::string_view text);

// The address of an Internet Shortcut (a .url file's INI text, UTF-8): the
// value of the first URL= line of its [InternetShortcut] section, names
// compared in any case, as the system's profile functions compare them.
// Nothing when the section has no URL= line or an empty one.
std::optional<std::string> ReadShortcutAddress(std::string_view text);
