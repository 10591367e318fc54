#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// pattern with each "%1" to "%9" replaced by that value of values (the
// first for "%1"). A placeholder without a value, and every other
// character, stays as it is; a value put in is not read again.
template <class Char>
std::basic_string<Char> FillPlaceholders(std::basic_string_view<Char> pattern,
                                         std::initializer_list<std::basic_string_view<Char>> values)
{
    std::basic_string<Char> text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::size_t number =
            i + 1 < pattern.size() ? static_cast<std::size_t>(pattern[i + 1] - Char('1')) : values.size();
        if (pattern[i] == Char('%') && number < values.size()) {
            text.append(values.begin()[number]);
            ++i;
        } else {
            text.push_back(pattern[i]);
        }
    }
    return text;
}
