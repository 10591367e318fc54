#include "transfer/transfer_round.h"

#include "framework/placeholders.h"
#include "framework/string_table.h"
#include "framework/wide_text.h"
#include "transfer/continuation.h"
#include "transfer/transfer_resource.h"
#include "transfer/web/internet_exception.h"

#include <optional>

TransferRound::TransferRound(TransferState& transfer) : m_transfer(transfer), m_progress("", 0)
{
    LoadResourceString(IDS_TRANSFER_WAITING, m_waitingPattern);
    const TransferPoint point = transfer.Point();
    m_progress = TransferProgress(point.lengthText, point.total);
}

std::unique_ptr<CHttpFile> TransferRound::RequestFor(int attempt)
{
    std::unique_ptr<CHttpFile> response = attempt == 1 ? m_transfer.TakeResponse() : nullptr;
    if (!response)
        response = m_transfer.Request().Open();
    if (m_transfer.AsksForTheRest()) {
        const TransferPoint point = m_transfer.Point();
        const std::string range = ContinuationHeaders(point.written, point.validator);
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
    m_outcome.refused = false;
    m_inBody = false;
    // A whole video kept under the partial's name only takes its name.
    if (m_transfer.Whole())
        return Step::Over;
    m_askingAgain = m_transfer.Mendable();
    const bool forTheRest = m_transfer.AsksForTheRest();
    const std::unique_ptr<CHttpFile> response = RequestFor(attempt);
    response->SendRequest();
    ReadReply(*response);
    return forTheRest ? CopyContinued(*response) : CopyWholeReply(*response);
}

TransferRound::Step TransferRound::CopyContinued(CHttpFile& response)
{
    // A connection closed without a reply is lost again, not refused.
    if (m_outcome.statusCode == 0)
        return Step::Broken;
    std::string contentRange;
    std::string etag;
    std::string lastModified;
    response.QueryInfo(HTTP_QUERY_CONTENT_RANGE, contentRange);
    response.QueryInfo(HTTP_QUERY_ETAG, etag);
    response.QueryInfo(HTTP_QUERY_LAST_MODIFIED, lastModified);
    // Bytes without a status line are no answer to the request at all.
    const int status = HasHeaderLines(m_outcome.rawHeaders) ? m_outcome.statusCode : 0;
    const std::optional<ContinuedReply> reply =
        m_transfer.JudgeContinued(status, contentRange, IfRangeValidator(etag, lastModified));
    if (!reply)
        return Step::Stopped;
    switch (*reply) {
    case ContinuedReply::Append: {
        const TransferPoint point = m_transfer.Point();
        m_progress = TransferProgress(point.lengthText, point.total);
        if (!m_transfer.ShowContinuing(ContinuingStatus(point), m_progress.RangeHigh(), m_progress.Position(point.written)))
            return Step::Stopped;
        return CopyBody(response);
    }
    case ContinuedReply::StartOver:
        return CopyWholeReply(response);
    case ContinuedReply::Broken:
        m_outcome.refused = true;
        return Step::Broken;
    case ContinuedReply::Refused:
        break;
    }
    // The refusal has dropped the record: the whole video is asked for at
    // once, without a range.
    const std::unique_ptr<CHttpFile> whole = m_transfer.Request().Open();
    whole->SendRequest();
    ReadReply(*whole);
    return CopyWholeReply(*whole);
}

TransferRound::Step TransferRound::CopyWholeReply(CHttpFile& response)
{
    WholeReply reply;
    reply.statusCode = m_outcome.statusCode;
    reply.statusLine = HasHeaderLines(m_outcome.rawHeaders);
    // A length of anything but digits states none.
    if (!response.QueryInfo(HTTP_QUERY_CONTENT_LENGTH, reply.lengthText) ||
        !ParseLength(reply.lengthText, reply.length)) {
        reply.lengthText.clear();
        reply.length = 0;
        response.ConfirmEnd();
    }
    std::string etag;
    std::string lastModified;
    response.QueryInfo(HTTP_QUERY_ETAG, etag);
    response.QueryInfo(HTTP_QUERY_LAST_MODIFIED, lastModified);
    reply.validator = IfRangeValidator(etag, lastModified);
    m_progress = TransferProgress(reply.lengthText, reply.length);
    if (!m_transfer.StartOver(reply, m_progress.RangeHigh()))
        return Step::Stopped;
    return CopyBody(response);
}

TransferRound::Step TransferRound::CopyBody(CHttpFile& response)
{
    m_inBody = true;
    for (unsigned n; (n = m_transfer.ReadChunk(response)) > 0;) {
        if (!m_transfer.TakeChunk(n, m_progress))
            return Step::Stopped;
    }
    const DWORD lost = response.LostConnection();
    // Without a stated length, only an orderly close ends the video whole.
    if (lost != 0 && m_transfer.Point().lengthText.empty())
        throw CInternetException(lost, response.GetContext());
    return m_transfer.EndBody(lost == 0) ? Step::Broken : Step::Over;
}

TransferRound::Step TransferRound::Failed(std::u16string text, bool internetError)
{
    m_outcome.failed = true;
    m_outcome.failure = std::move(text);
    // The reply broke off, or the request for the rest found no server.
    if (internetError && m_transfer.Mendable() && (m_inBody || m_askingAgain))
        return Step::Broken;
    return Step::Over;
}

std::string TransferRound::ContinuingStatus(const TransferPoint& point) const
{
    std::string pattern;
    LoadResourceString(IDS_TRANSFER_CONTINUING, pattern);
    return FillPlaceholders<char>(pattern, {std::to_string(point.written), point.lengthText});
}

bool TransferRound::WaitBeforeTry(int attempt)
{
    const TransferPoint point = m_transfer.Point();
    for (int seconds = SecondsBeforeTry(attempt); seconds > 0; --seconds) {
        const std::string text = WaitingStatus(m_waitingPattern, point.written, point.lengthText, seconds, attempt);
        if (!m_transfer.ShowStatus(text) || m_transfer.WaitUnlessStopped(1000))
            return false;
    }
    return true;
}

void TransferRound::Finish(Step last)
{
    if (last != Step::Stopped)
        m_transfer.Finish(m_outcome, last == Step::Broken);
}
