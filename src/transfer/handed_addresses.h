#pragma once

#include <string>
#include <vector>

// Addresses handed to Clipwell at once: dropped on the window (links,
// shortcuts, lists), or given on the command line. Grabbed one after
// another, in the order given.
struct HandedAddresses {
    // UTF-8, as typed or as the link or list holds them.
    std::vector<std::string> addresses;
    // Lines of a list that are no address (UTF-8), named in the end report
    // rather than guessed at.
    std::vector<std::string> notAddresses;
    // One sentence for each shortcut or list that could not be read.
    std::vector<std::u16string> unreadable;

    bool Empty() const { return addresses.empty() && notAddresses.empty() && unreadable.empty(); }
};
