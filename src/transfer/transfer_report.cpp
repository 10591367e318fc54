#include "transfer/transfer_report.h"

#include "framework/placeholders.h"
#include "framework/string_table.h"
#include "transfer/decimal.h"
#include "transfer/transfer_resource.h"

#include <initializer_list>
#include <string_view>

namespace {

// The parts one after the other. Appending, rather than adding a literal
// to a temporary, also keeps GCC 12's optimiser from a false -Wrestrict.
std::u16string Joined(std::initializer_list<std::u16string_view> parts)
{
    std::u16string text;
    for (std::u16string_view part : parts)
        text.append(part);
    return text;
}

// ASCII text (numbers, the server's status words) as UTF-16.
std::u16string Widened(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

std::u16string TheFile(const TransferOutcome& outcome)
{
    return Joined({u"The file \"", outcome.fileName, u"\""});
}

// What the file holds after a transfer that did not bring the whole video.
std::u16string KeptBytes(const TransferOutcome& outcome)
{
    const std::u16string received = Widened(std::to_string(outcome.received));
    if (!outcome.contentLength.empty()) {
        return Joined({u"Only ", received, u" of ", Widened(std::to_string(outcome.expected)), u" bytes arrived. ",
                       TheFile(outcome), u" keeps them."});
    }
    if (outcome.received == 0)
        return Joined({TheFile(outcome), u" is empty."});
    return Joined({TheFile(outcome), u" keeps the ", received, u" bytes that arrived."});
}

// What the file holds after a failure, which may have stopped a write
// short of what arrived.
std::u16string FileHolds(const TransferOutcome& outcome)
{
    if (outcome.received == 0)
        return Joined({TheFile(outcome), u" is empty."});
    const std::u16string kept = Widened(std::to_string(outcome.received));
    if (outcome.contentLength.empty())
        return Joined({TheFile(outcome), u" keeps ", kept, u" bytes."});
    return Joined({TheFile(outcome), u" keeps ", kept, u" of the ", Widened(std::to_string(outcome.expected)),
                   u" bytes."});
}

bool IsSuccess(const std::string& statusCode)
{
    const std::int64_t code = ParseDecimal(statusCode);
    return code >= 200 && code <= 299;
}

// "404 Not Found", or the code alone when the reply gave no text.
std::u16string StatusLine(const TransferOutcome& outcome)
{
    if (outcome.statusText.empty())
        return Widened(outcome.statusCode);
    return Joined({Widened(outcome.statusCode), u" ", Widened(outcome.statusText)});
}

TransferReport Described(const TransferOutcome& outcome)
{
    if (outcome.failed)
        return {ReportKind::Failure, Joined({outcome.failure, u"\n\n", FileHolds(outcome)})};
    if (outcome.refused) {
        return {ReportKind::Warning, Joined({u"The server answered \"", StatusLine(outcome),
                                             u"\" when asked for the rest of the video. ", KeptBytes(outcome)})};
    }
    if (ParseDecimal(outcome.statusCode) == 0)
        return {ReportKind::Warning, Joined({u"The server closed the connection without replying. ", KeptBytes(outcome)})};
    if (!HasHeaderLines(outcome.rawHeaders)) {
        return {ReportKind::Warning, Joined({u"The server's reply had no status line. ", TheFile(outcome),
                                             u" holds what it sent, which may not be a video."})};
    }
    if (!IsSuccess(outcome.statusCode)) {
        return {ReportKind::Warning, Joined({u"The server answered \"", StatusLine(outcome),
                                             u"\" instead of sending the video. ", TheFile(outcome),
                                             u" holds its reply, not a video."})};
    }
    if (!outcome.contentLength.empty() && outcome.received < outcome.expected)
        return {ReportKind::Warning, Joined({u"The connection ended early. ", KeptBytes(outcome)})};
    return {};
}

// Adds that a later grab of the page continues the file, when its record
// lets one.
void SayItContinues(std::u16string& text, bool resumable)
{
    std::u16string continues;
    if (resumable && LoadResourceString(IDS_TRANSFER_CONTINUES, continues))
        text.append(u" ").append(continues);
}

}  // namespace

bool HasHeaderLines(const std::string& rawHeaders)
{
    const std::size_t end = rawHeaders.find_first_of("\r\n");
    return end != std::string::npos && rawHeaders.find_first_not_of("\r\n", end) != std::string::npos;
}

TransferReport ReportOf(const TransferOutcome& outcome)
{
    TransferReport report = Described(outcome);
    report.offerRetry = report.kind != ReportKind::None && outcome.canContinue;
    if (report.kind != ReportKind::None)
        SayItContinues(report.text, outcome.resumable);
    return report;
}

TransferReport KeptReport(const std::u16string& partialName, std::int64_t kept, bool resumable)
{
    TransferReport report{ReportKind::Information, {}, false};
    LoadResourceString(IDS_TRANSFER_STOPPED_KEPT, report.text);
    report.text = FillPlaceholders<char16_t>(report.text, {Widened(std::to_string(kept)), partialName});
    SayItContinues(report.text, resumable);
    return report;
}
