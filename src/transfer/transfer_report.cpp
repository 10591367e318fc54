#include "transfer/transfer_report.h"

#include "transfer/report_text.h"
#include "transfer/transfer_resource.h"

#include <string_view>

namespace {

// What the file holds after a transfer that did not bring the whole video.
std::u16string KeptBytes(const TransferOutcome& outcome)
{
    if (!outcome.contentLength.empty()) {
        return ReportText(IDS_REPORT_ONLY_PART_ARRIVED,
                          {ReportNumber(outcome.received), ReportNumber(outcome.expected), outcome.fileName});
    }
    if (outcome.received == 0)
        return ReportText(IDS_REPORT_FILE_EMPTY, {outcome.fileName});
    return ReportText(IDS_REPORT_FILE_KEEPS_ARRIVED, {outcome.fileName, ReportNumber(outcome.received)});
}

// What the file holds after a failure, which may have stopped a write
// short of what arrived.
std::u16string FileHolds(const TransferOutcome& outcome)
{
    if (outcome.received == 0)
        return ReportText(IDS_REPORT_FILE_EMPTY, {outcome.fileName});
    if (outcome.contentLength.empty())
        return ReportText(IDS_REPORT_FILE_KEEPS, {outcome.fileName, ReportNumber(outcome.received)});
    return ReportText(IDS_REPORT_FILE_KEEPS_PART,
                      {outcome.fileName, ReportNumber(outcome.received), ReportNumber(outcome.expected)});
}

bool IsSuccess(int statusCode)
{
    return statusCode >= 200 && statusCode <= 299;
}

// "404 Not Found", or the code alone when the reply gave no text.
std::u16string StatusLine(const TransferOutcome& outcome)
{
    if (outcome.statusText.empty())
        return ReportNumber(outcome.statusCode);
    return ReportNumber(outcome.statusCode) + u" " + outcome.statusText;
}

TransferReport Described(const TransferOutcome& outcome)
{
    if (!outcome.heldName.empty()) {
        return {ReportKind::Warning,
                ReportText(IDS_REPORT_NAME_HELD, {outcome.heldName, outcome.failure, outcome.fileName})};
    }
    if (outcome.whole)
        return {};
    if (outcome.failed)
        return {ReportKind::Failure, ReportText(IDS_REPORT_FAILED, {outcome.failure, FileHolds(outcome)})};
    if (outcome.refused)
        return {ReportKind::Warning, ReportText(IDS_REPORT_REST_REFUSED, {StatusLine(outcome), KeptBytes(outcome)})};
    if (outcome.statusCode == 0)
        return {ReportKind::Warning, ReportText(IDS_REPORT_NO_REPLY, {KeptBytes(outcome)})};
    if (!HasHeaderLines(outcome.rawHeaders))
        return {ReportKind::Warning, ReportText(IDS_REPORT_NO_STATUS_LINE, {outcome.fileName})};
    if (!IsSuccess(outcome.statusCode))
        return {ReportKind::Warning, ReportText(IDS_REPORT_NOT_THE_VIDEO, {StatusLine(outcome), outcome.fileName})};
    if (!outcome.contentLength.empty() && outcome.received < outcome.expected)
        return {ReportKind::Warning, ReportText(IDS_REPORT_ENDED_EARLY, {KeptBytes(outcome)})};
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
    if (report.kind != ReportKind::None && outcome.heldName.empty())
        SayItContinues(report.text, outcome.resumable);
    SaySetAside(report, outcome.fileName, outcome.setAside);
    return report;
}

void SaySetAside(TransferReport& report, const std::u16string& partialName, const std::u16string& setAside)
{
    if (setAside.empty())
        return;
    const std::u16string said = ReportText(IDS_REPORT_SET_ASIDE, {partialName, setAside});
    if (report.kind == ReportKind::None) {
        report.kind = ReportKind::Information;
        report.text = said;
    } else {
        report.text.append(u"\n\n").append(said);
    }
}

TransferReport KeptReport(const std::u16string& partialName, std::int64_t kept, bool resumable)
{
    TransferReport report{ReportKind::Information,
                          ReportText(IDS_TRANSFER_STOPPED_KEPT, {ReportNumber(kept), partialName}), false};
    SayItContinues(report.text, resumable);
    return report;
}
