#pragma once

#include <string>
#include <string_view>

// text with every byte that keep (a test of one unsigned char) refuses
// written as its percent escape ("%C3").
template <class Keep>
std::string PercentEscaped(std::string_view text, Keep keep)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (keep(byte)) {
            escaped.push_back(c);
        } else {
            escaped.push_back('%');
            escaped.push_back(kHex[byte >> 4]);
            escaped.push_back(kHex[byte & 0x0F]);
        }
    }
    return escaped;
}
