#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// The share of range that position has come to, in whole percent, rounded
// down so that 100 shows only once every byte is in; nothing when the range
// is empty, as for a transfer of unknown length.
inline std::optional<int> PercentDone(std::int64_t position, std::int64_t range)
{
    if (range <= 0)
        return std::nullopt;
    if (position <= 0)
        return 0;
    return position >= range ? 100 : static_cast<int>(position * 100 / range);
}

// A window's caption with the share done before it ("42% - Clipwell"); the
// plain caption without one.
inline std::string ProgressCaption(std::string_view caption, std::optional<int> percent)
{
    if (!percent)
        return std::string(caption);
    return std::to_string(*percent) + "% - " + std::string(caption);
}

// Where a queue is, before the share done ("2 of 5 · "); nothing without a
// queue.
inline std::u16string QueuePlaceText(std::optional<std::pair<std::size_t, std::size_t>> place)
{
    if (!place)
        return {};
    const std::string text = std::to_string(place->first) + " of " + std::to_string(place->second);
    return std::u16string(text.begin(), text.end()) + u" \u00B7 ";
}
