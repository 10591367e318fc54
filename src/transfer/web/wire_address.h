#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// How an address typed in any script goes on the wire, as a browser sends
// it. typed is UTF-8. In an address with an authority ("scheme://host/...")
// a host name with characters outside ASCII becomes what asciiHost makes
// of it (its IDNA form; empty when it has none), and every other byte
// outside ASCII, in the path, the query, the fragment or the user name,
// becomes its percent escape ("Ω" is "%CE%A9"); what is ASCII stays as
// typed. Nothing for an address without an authority, and for a file:
// address, which name no server.
std::optional<std::string> WireAddress(std::string_view typed,
                                       const std::function<std::string(std::string_view)>& asciiHost);
