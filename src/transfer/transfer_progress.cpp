#include "transfer/transfer_progress.h"

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
    m_suffix.append(" / ").append(contentLength).append(" B");
    m_status.reserve(kDigitsMax + m_suffix.size());
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
    m_status.assign(digits, end);
    m_status.append(m_suffix);
    return m_status;
}
