#include "transfer/transfer_progress.h"

#include "framework/placeholders.h"
#include "framework/string_table.h"
#include "transfer/transfer_resource.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();
constexpr std::size_t kDigitsMax = 20;  // of a signed 64-bit count

int ClampToInt(std::int64_t value)
{
    return static_cast<int>(value > kIntMax ? kIntMax : value < kIntMin ? kIntMin : value);
}

}  // namespace

TransferProgress::TransferProgress(std::string_view contentLength, std::int64_t expectedTotal)
{
    std::string pattern;
    LoadResourceString(IDS_TRANSFER_STATUS, pattern);
    const std::string_view text = pattern;
    const std::size_t count = std::min(text.find("%1"), text.size());
    m_prefix = FillPlaceholders<char>(text.substr(0, count), {{}, contentLength});
    m_suffix = FillPlaceholders<char>(text.substr(std::min(count + 2, text.size())), {{}, contentLength});
    m_status.reserve(m_prefix.size() + kDigitsMax + m_suffix.size());
    while ((expectedTotal >> m_shift) > kIntMax)
        ++m_shift;
    m_rangeHigh = ClampToInt(expectedTotal >> m_shift);
}

int TransferProgress::Position(std::int64_t received) const
{
    return ClampToInt(received >> m_shift);
}

const std::string& TransferProgress::StatusText(std::int64_t received)
{
    char digits[kDigitsMax + 1];
    const auto end = std::to_chars(digits, digits + sizeof digits, received).ptr;
    m_status.assign(m_prefix).append(digits, end).append(m_suffix);
    return m_status;
}
