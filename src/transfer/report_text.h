#pragma once

#include "framework/placeholders.h"
#include "framework/string_table.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// The pieces the user's reports are made of, in UTF-16.

// String resource id with its placeholders filled in by values.
inline std::u16string ReportText(unsigned id, std::initializer_list<std::u16string_view> values)
{
    std::u16string pattern;
    LoadResourceString(id, pattern);
    return FillPlaceholders<char16_t>(pattern, values);
}

// A count (a number of bytes, of addresses) in digits.
inline std::u16string ReportNumber(std::int64_t value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}
