#include "transfer/transfer_round.h"

#include "framework/placeholders.h"
#include "framework/string_table.h"
#include "framework/wide_text.h"
#include "transfer/continuation.h"
#include "transfer/transfer_resource.h"
#include "transfer/web/internet_exception.h"

#include <cstdlib>

TransferRound::TransferRound(TransferState& transfer) : m_transfer(transfer), m_progress("", 0)
{
    m_outcome.fileName = transfer.FileName();
    LoadResourceString(IDS_TRANSFER_WAITING, m_waitingPattern);
    if (const std::optional<TransferPoint>& from = transfer.ContinuesFrom()) {
        m_outcome.contentLength = from->lengthText;
        m_outcome.expected = from->total;
        m_outcome.received = from->written;
        m_progress = TransferProgress(from->lengthText, from->total);
        m_continuable = true;
        m_validator = from->validator;
    }
}

std::unique_ptr<CHttpFile> TransferRound::RequestFor(int attempt)
{
    std::unique_ptr<CHttpFile> response = attempt == 1 ? m_transfer.TakeResponse() : nullptr;
    if (!response)
        response = m_transfer.Request().Open();
    if (AsksForTheRest()) {
        const std::string range = ContinuationHeaders(m_outcome.received, m_validator);
        response->AddRequestHeaders(range.c_str(), HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE, -1);
    }
    return response;
}

void TransferRound::ReadReply(const CHttpFile& response)
{
    DWORD status = 0;
    response.QueryInfoStatusCode(status);
    m_outcome.statusCode = status;
    // The library hands the reason over in the ANSI code page.
    std::string reason;
    response.QueryInfo(HTTP_QUERY_STATUS_TEXT, reason);
    m_outcome.statusText = ToUtf16(AnsiToWide(reason));
    response.QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF, m_outcome.rawHeaders);
}

TransferRound::Step TransferRound::Attempt(int attempt)
{
    m_outcome.failed = false;
    m_outcome.failure.clear();
    m_inBody = false;
    m_askingAgain = m_continuable;
    const std::unique_ptr<CHttpFile> response = RequestFor(attempt);
    response->SendRequest();
    ReadReply(*response);
    if (!AsksForTheRest())
        return CopyWholeReply(*response);
    // A connection closed without a reply is lost again, not refused.
    if (m_outcome.statusCode == 0)
        return Step::Broken;
    std::string contentRange;
    response->QueryInfo(HTTP_QUERY_CONTENT_RANGE, contentRange);
    const ContinuedReply reply =
        HasHeaderLines(m_outcome.rawHeaders)
            ? JudgeContinuedReply(m_outcome.statusCode, contentRange, m_outcome.received, m_outcome.expected)
            : ContinuedReply::Refused;
    switch (reply) {
    case ContinuedReply::Append:
        if (!m_transfer.ShowContinuing(ContinuingStatus(), m_progress.RangeHigh(), m_progress.Position(m_outcome.received)))
            return Step::Stopped;
        return CopyBody(*response);
    case ContinuedReply::StartOver:
        return CopyWholeReply(*response);
    case ContinuedReply::Refused:
        break;
    }
    m_outcome.refused = true;
    return Step::Over;
}

TransferRound::Step TransferRound::CopyWholeReply(CHttpFile& response)
{
    m_outcome.contentLength.clear();
    m_outcome.expected = 0;
    if (response.QueryInfo(HTTP_QUERY_CONTENT_LENGTH, m_outcome.contentLength))
        m_outcome.expected = _strtoi64(m_outcome.contentLength.c_str(), nullptr, 10);
    if (m_outcome.contentLength.empty())
        response.ConfirmEnd();
    m_outcome.received = 0;
    m_progress = TransferProgress(m_outcome.contentLength, m_outcome.expected);
    // Without a length, only a lost connection shows that the body broke off.
    m_continuable = m_outcome.statusCode == 200;
    m_validator.clear();
    if (m_continuable) {
        std::string etag;
        std::string lastModified;
        response.QueryInfo(HTTP_QUERY_ETAG, etag);
        response.QueryInfo(HTTP_QUERY_LAST_MODIFIED, lastModified);
        m_validator = IfRangeValidator(etag, lastModified);
    }
    if (!m_transfer.StartOver(m_outcome.contentLength, m_outcome.expected, m_progress.RangeHigh(), m_validator))
        return Step::Stopped;
    return CopyBody(response);
}

TransferRound::Step TransferRound::CopyBody(CHttpFile& response)
{
    m_inBody = true;
    for (unsigned n; (n = m_transfer.ReadChunk(response)) > 0;) {
        const std::int64_t received = m_outcome.received + n;
        if (!m_transfer.TakeChunk(n, m_progress.StatusText(received), m_progress.Position(received)))
            return Step::Stopped;
        m_outcome.received = received;
    }
    if (m_outcome.contentLength.empty() && response.LostConnection() != 0)
        throw CInternetException(response.LostConnection(), response.GetContext());
    if (m_continuable && m_outcome.received < m_outcome.expected)
        return Step::Broken;
    return Step::Over;
}

TransferRound::Step TransferRound::Failed(std::u16string text, bool internetError)
{
    m_outcome.failed = true;
    m_outcome.failure = std::move(text);
    // The report tells what the file holds, which a failed write may have
    // left short of what arrived.
    m_outcome.received = m_transfer.Written();
    // The reply broke off, or the request for the rest found no server.
    if (internetError && m_continuable && (m_inBody || m_askingAgain))
        return Step::Broken;
    return Step::Over;
}

std::string TransferRound::ContinuingStatus() const
{
    std::string pattern;
    LoadResourceString(IDS_TRANSFER_CONTINUING, pattern);
    return FillPlaceholders<char>(pattern, {std::to_string(m_outcome.received), m_outcome.contentLength});
}

bool TransferRound::WaitBeforeTry(int attempt)
{
    for (int seconds = SecondsBeforeTry(attempt); seconds > 0; --seconds) {
        const std::string text =
            WaitingStatus(m_waitingPattern, m_outcome.received, m_outcome.contentLength, seconds, attempt);
        if (!m_transfer.ShowStatus(text) || m_transfer.WaitUnlessStopped(1000))
            return false;
    }
    return true;
}

void TransferRound::Finish(Step last)
{
    if (last == Step::Stopped)
        return;
    m_outcome.canContinue = last == Step::Broken;
    std::optional<TransferPoint> reached;
    if (m_outcome.canContinue)
        reached = TransferPoint{m_outcome.received, m_outcome.expected, m_outcome.contentLength, m_validator};
    m_transfer.Finish(m_outcome, reached);
}
