#include "transfer/transfer_report.h"

#include "transfer/decimal.h"

namespace {

// ASCII text (numbers, the server's status words) as UTF-16.
std::u16string Widened(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

std::u16string Number(std::int64_t value)
{
    return Widened(std::to_string(value));
}

std::u16string TheFile(const TransferOutcome& outcome)
{
    return u"The file \"" + outcome.fileName + u"\"";
}

// What the file holds after a transfer that did not bring the whole video.
std::u16string KeptBytes(const TransferOutcome& outcome)
{
    if (!outcome.contentLength.empty()) {
        return u"Only " + Number(outcome.received) + u" of " + Number(outcome.expected) + u" bytes arrived. " +
               TheFile(outcome) + u" keeps them.";
    }
    if (outcome.received == 0)
        return TheFile(outcome) + u" is empty.";
    return TheFile(outcome) + u" keeps the " + Number(outcome.received) + u" bytes that arrived.";
}

// The library makes up "HTTP/1.0 200 OK" for a reply without a status
// line, with no header line after it.
bool HasHeaderLines(const std::string& rawHeaders)
{
    const std::size_t end = rawHeaders.find_first_of("\r\n");
    return end != std::string::npos && rawHeaders.find_first_not_of("\r\n", end) != std::string::npos;
}

bool IsSuccess(const std::string& statusCode)
{
    const std::int64_t code = ParseDecimal(statusCode);
    return code >= 200 && code <= 299;
}

}  // namespace

TransferReport ReportOf(const TransferOutcome& outcome)
{
    if (outcome.failed)
        return {ReportKind::Failure, outcome.failure + u"\n\n" + KeptBytes(outcome)};
    if (ParseDecimal(outcome.statusCode) == 0)
        return {ReportKind::Warning, u"The server closed the connection without replying. " + KeptBytes(outcome)};
    if (!HasHeaderLines(outcome.rawHeaders)) {
        return {ReportKind::Warning, u"The server's reply had no status line. " + TheFile(outcome) +
                                         u" holds what it sent, which may not be a video."};
    }
    if (!IsSuccess(outcome.statusCode)) {
        std::u16string status = Widened(outcome.statusCode);
        if (!outcome.statusText.empty())
            status += u" " + Widened(outcome.statusText);
        return {ReportKind::Warning, u"The server answered \"" + status + u"\" instead of sending the video. " +
                                         TheFile(outcome) + u" holds its reply, not a video."};
    }
    if (!outcome.contentLength.empty() && outcome.received < outcome.expected)
        return {ReportKind::Warning, u"The connection ended early. " + KeptBytes(outcome)};
    return {};
}
