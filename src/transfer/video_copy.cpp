#include "transfer/video_copy.h"

#include "transfer/continuation.h"
#include "transfer/decimal.h"

#include <functional>

VideoCopy::VideoCopy(WorkerStart& start)
    : m_start(start), m_transfer(*start.transfer), m_progress("", 0)
{
    m_outcome.fileName = start.fileName;
    if (const std::optional<TransferPoint>& from = m_transfer.m_continueFrom) {
        m_outcome.contentLength = from->lengthText;
        m_outcome.expected = from->total;
        m_outcome.received = from->written;
        m_progress = TransferProgress(from->lengthText, from->total);
        m_validator = from->validator;
    }
}

std::unique_ptr<CHttpFile> VideoCopy::RequestFor(int attempt)
{
    std::unique_ptr<CHttpFile> response = attempt == 1 && m_transfer.m_response ? std::move(m_transfer.m_response)
                                                                                 : m_transfer.m_request.Open();
    if (AsksForTheRest()) {
        const std::string range = ContinuationHeaders(m_outcome.received, *m_validator);
        response->AddRequestHeaders(range.c_str(), HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE, -1);
    }
    return response;
}

void VideoCopy::ReadReply(const CHttpFile& response)
{
    response.QueryInfo(HTTP_QUERY_STATUS_CODE, m_outcome.statusCode);
    response.QueryInfo(HTTP_QUERY_STATUS_TEXT, m_outcome.statusText);
    response.QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF, m_outcome.rawHeaders);
}

VideoCopy::Step VideoCopy::Attempt(int attempt)
{
    m_outcome.failed = false;
    m_outcome.failure.clear();
    m_inBody = false;
    m_askingAgain = m_validator.has_value();
    const std::unique_ptr<CHttpFile> response = RequestFor(attempt);
    response->SendRequest();
    ReadReply(*response);
    if (!AsksForTheRest())
        return CopyWholeReply(*response);
    const std::int64_t status = ParseDecimal(m_outcome.statusCode);
    // A connection closed without a reply is lost again, not refused.
    if (status == 0)
        return Step::Broken;
    std::string contentRange;
    response->QueryInfo(HTTP_QUERY_CONTENT_RANGE, contentRange);
    const ContinuedReply reply =
        HasHeaderLines(m_outcome.rawHeaders)
            ? JudgeContinuedReply(static_cast<int>(status), contentRange, m_outcome.received, m_outcome.expected)
            : ContinuedReply::Refused;
    switch (reply) {
    case ContinuedReply::Append:
        return CopyBody(*response);
    case ContinuedReply::StartOver:
        return CopyWholeReply(*response);
    case ContinuedReply::Refused:
        break;
    }
    m_outcome.refused = true;
    return Step::Over;
}

VideoCopy::Step VideoCopy::CopyWholeReply(CHttpFile& response)
{
    const bool restart = m_outcome.received > 0;
    m_outcome.contentLength.clear();
    m_outcome.expected = 0;
    if (response.QueryInfo(HTTP_QUERY_CONTENT_LENGTH, m_outcome.contentLength))
        m_outcome.expected = ParseDecimal(m_outcome.contentLength);
    m_outcome.received = 0;
    m_progress = TransferProgress(m_outcome.contentLength, m_outcome.expected);
    m_validator.reset();
    if (ParseDecimal(m_outcome.statusCode) == 200 && !m_outcome.contentLength.empty()) {
        std::string etag;
        std::string lastModified;
        response.QueryInfo(HTTP_QUERY_ETAG, etag);
        response.QueryInfo(HTTP_QUERY_LAST_MODIFIED, lastModified);
        m_validator = IfRangeValidator(etag, lastModified);
    }
    // Bytes of two different replies are never joined: a new whole reply
    // is written from the file's start, and the bar starts over.
    const bool active = m_transfer.IfActive([&] {
        if (restart) {
            m_transfer.m_outputFile.SetLength(0);
            m_start.progress.SetPos(0);
        }
        m_start.progress.SetRange32(0, m_progress.RangeHigh());
    });
    return active ? CopyBody(response) : Step::Stopped;
}

VideoCopy::Step VideoCopy::CopyBody(CHttpFile& response)
{
    m_inBody = true;
    const std::function<bool(unsigned)> hold = [this](unsigned count) { return m_transfer.Hold(count); };
    for (unsigned n; (n = response.ReadChunk(m_transfer.m_chunk, TransferState::kChunkSize, hold)) > 0;) {
        if (!TakeChunk(n))
            return Step::Stopped;
    }
    if (m_validator && m_outcome.received < m_outcome.expected)
        return Step::Broken;
    return Step::Over;
}

bool VideoCopy::TakeChunk(unsigned count)
{
    return m_transfer.IfActive([&] {
        m_outcome.received += count;
        m_start.status.SetWindowText(m_progress.StatusText(m_outcome.received).c_str());
        m_start.progress.SetPos(m_progress.Position(m_outcome.received));
        m_transfer.m_outputFile.Write(m_transfer.m_chunk, count);
        m_transfer.ChunkTaken();
    });
}

VideoCopy::Step VideoCopy::Failed(std::u16string text, bool internetError)
{
    m_outcome.failed = true;
    m_outcome.failure = std::move(text);
    // The reply broke off, or the request for the rest found no server.
    if (internetError && m_validator && (m_inBody || m_askingAgain))
        return Step::Broken;
    return Step::Over;
}

bool VideoCopy::WaitBeforeTry(int attempt)
{
    for (int seconds = SecondsBeforeTry(attempt); seconds > 0; --seconds) {
        const std::string text =
            WaitingStatus(m_start.waitingPattern, m_outcome.received, m_outcome.contentLength, seconds, attempt);
        if (!m_transfer.IfActive([&] { m_start.status.SetWindowText(text.c_str()); }) ||
            m_transfer.WaitUnlessStopped(1000))
            return false;
    }
    return true;
}

void VideoCopy::Finish(Step last)
{
    if (last == Step::Stopped)
        return;
    m_outcome.canContinue = last == Step::Broken;
    std::optional<TransferPoint> reached;
    if (m_outcome.canContinue)
        reached = TransferPoint{m_outcome.received, m_outcome.expected, m_outcome.contentLength, *m_validator};
    m_transfer.Finish(m_outcome, reached, m_start.endWindow);
}
