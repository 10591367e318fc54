#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What a transfer shows after each chunk: the status text "<received> /
// <Content-Length text> B" (the string table's) and the progress bar's
// position. Byte counts are
// 64-bit; when the expected total exceeds the progress bar's 32-bit range,
// range and position are scaled down together so the bar stays
// proportional.
class TransferProgress {
public:
    // contentLength is the header's text as sent (empty without one);
    // expectedTotal is the number read from it.
    TransferProgress(std::string_view contentLength, std::int64_t expectedTotal);

    // The range's high bound for the progress bar (the low bound is 0).
    int RangeHigh() const { return m_rangeHigh; }

    // The progress bar's position for received bytes.
    int Position(std::int64_t received) const;

    // The status text for received bytes. Reuses its own storage, so no
    // call allocates once the first has.
    const std::string& StatusText(std::int64_t received);

private:
    // The status text's pattern before and after the count, with the
    // Content-Length put in: "" and " / <Content-Length text> B".
    std::string m_prefix;
    std::string m_suffix;
    std::string m_status;
    int m_shift = 0;
    int m_rangeHigh;
};
