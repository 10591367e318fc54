#include "transfer/partial_video.h"

#include <utility>

namespace {

// How often the record follows the bytes while they flow, whichever comes
// first: each time costs flushing the file to the disk.
constexpr unsigned long long kRecordEveryMs = 2000;
constexpr std::int64_t kRecordEveryBytes = 1 << 20;

bool IsSuccess(int statusCode)
{
    return statusCode >= 200 && statusCode <= 299;
}

}  // namespace

void PartialVideo::Open(const std::wstring& finalName, std::string request, std::optional<TransferPoint> from)
{
    m_file.OpenFor(finalName, std::move(request));
    if (!from)
        from = m_file.Recorded();
    if (from && m_file.ContinueFrom(*from)) {
        m_point = *from;
        m_video = true;
        m_mendable = true;
        m_recorded = true;
        m_recordedBytes = m_point.written;
        m_recordedAt = GetTickCount64();
    } else if (m_file.HoldsThisRequest()) {
        m_file.StartOver();
    } else {
        m_setAside = m_file.SetAside();
    }
}

bool PartialVideo::BeginWhole(const WholeReply& reply)
{
    const bool dropping = m_point.written > 0 || m_recorded;
    // Bytes of two replies are never joined.
    if (dropping)
        m_file.StartOver();
    m_video = reply.statusLine && IsSuccess(reply.statusCode);
    m_mendable = reply.statusLine && reply.statusCode == 200;
    m_endedCleanly = false;
    m_point = TransferPoint{0, reply.length, reply.lengthText, m_mendable ? reply.validator : std::string()};
    // Recorded even when it cannot be continued, so that the next grab
    // knows the bytes for this request's and may drop them.
    m_recorded = true;
    m_recordedBytes = -1;
    KeepRecord(When::Now);
    return dropping;
}

ContinuedReply PartialVideo::Judge(int status, std::string_view contentRange, std::string_view validator)
{
    ContinuedReply reply = JudgeContinuedReply(status, contentRange, m_point.written, m_point.total);
    // A 206 without the validator asked with may be the rest of another
    // version of the video.
    if (reply == ContinuedReply::Append && validator != m_point.validator)
        reply = ContinuedReply::Refused;
    if (reply == ContinuedReply::Append && m_point.lengthText.empty()) {
        m_point.total = RangeTotal(contentRange);
        m_point.lengthText = std::to_string(m_point.total);
        KeepRecord(When::Now);
    }
    if (reply == ContinuedReply::Refused) {
        // Asked again, it would be refused again: this grab and every later
        // one ask for the whole video.
        m_file.ForgetRecord();
        m_recorded = false;
        m_point.validator.clear();
    }
    return reply;
}

void PartialVideo::Write(const char* bytes, unsigned count, bool record)
{
    try {
        m_file.Write(bytes, count);
        m_point.written += count;
    } catch (...) {
        // A short write on a full disk leaves part of the bytes in the file.
        m_point.written = static_cast<std::int64_t>(m_file.SeekToEnd());
        throw;
    }
    if (record)
        KeepRecord(When::Due);
}

void PartialVideo::EndBody(bool cleanly)
{
    m_endedCleanly = cleanly;
}

bool PartialVideo::Whole() const
{
    if (!m_video)
        return false;
    if (m_point.lengthText.empty())
        return m_endedCleanly;
    return m_point.written >= m_point.total;
}

bool PartialVideo::KeepRecord(When when) noexcept
{
    if (!m_recorded)
        return false;
    const unsigned long long tick = GetTickCount64();
    const bool due = tick - m_recordedAt >= kRecordEveryMs || m_point.written - m_recordedBytes >= kRecordEveryBytes;
    const bool behind = m_point.written != m_recordedBytes;
    if ((when == When::Due && !due) || (when == When::Behind && !behind))
        return true;
    m_recordedAt = tick;
    if (!m_file.Record(m_point))
        return false;
    m_recordedBytes = m_point.written;
    return true;
}

bool PartialVideo::Complete(CFileException* error) noexcept
{
    if (m_file.Complete(error)) {
        m_recorded = false;
        return true;
    }
    // Whole, under the partial's name: the record says so, and the next
    // grab of the page, or Retry, only renames it.
    if (m_point.lengthText.empty()) {
        m_point.total = m_point.written;
        m_point.lengthText = std::to_string(m_point.written);
    }
    m_recorded = true;
    KeepRecord(When::Now);
    return false;
}
