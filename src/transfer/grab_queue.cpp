#include "transfer/grab_queue.h"

#include "framework/utf8_text.h"
#include "transfer/report_text.h"
#include "transfer/transfer_resource.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace {

// Lines, each in quotes, one a line.
std::u16string Listed(const std::vector<std::string>& lines)
{
    std::u16string text;
    for (const std::string& line : lines)
        text.append(u"\n\"").append(Utf8ToUtf16(line)).append(u"\"");
    return text;
}

int Weight(ReportKind kind)
{
    return kind == ReportKind::Failure ? 3 : kind == ReportKind::Warning ? 2 : kind == ReportKind::Information ? 1 : 0;
}

}  // namespace

bool GrabQueue::Seen(const std::string& address) const
{
    return (m_current && *m_current == address) ||
           std::find(m_waiting.begin(), m_waiting.end(), address) != m_waiting.end() ||
           std::any_of(m_done.begin(), m_done.end(), [&](const Done& done) { return done.address == address; });
}

void GrabQueue::Add(HandedAddresses handed)
{
    for (std::string& address : handed.addresses) {
        if (!Seen(address))
            m_waiting.push_back(std::move(address));
    }
    for (std::string& line : handed.notAddresses)
        m_notAddresses.push_back(std::move(line));
    for (std::u16string& sentence : handed.unreadable)
        m_unreadable.push_back(std::move(sentence));
}

void GrabQueue::Adopt(const std::string& address)
{
    m_waiting.erase(std::remove(m_waiting.begin(), m_waiting.end(), address), m_waiting.end());
    m_current = address;
}

std::optional<std::string> GrabQueue::Next()
{
    m_current.reset();
    if (m_waiting.empty())
        return std::nullopt;
    m_current = std::move(m_waiting.front());
    m_waiting.pop_front();
    return m_current;
}

void GrabQueue::PutBack()
{
    if (m_current)
        m_waiting.push_front(*std::exchange(m_current, std::nullopt));
}

void GrabQueue::PutFirst(const std::string& address)
{
    m_waiting.erase(std::remove(m_waiting.begin(), m_waiting.end(), address), m_waiting.end());
    m_waiting.push_front(address);
}

void GrabQueue::Ended(const TransferReport& report)
{
    if (m_current)
        m_done.push_back({*std::exchange(m_current, std::nullopt), report});
}

std::optional<TransferReport> GrabQueue::Finish(bool stopped)
{
    TransferReport report{ReportKind::None, {}, false};
    std::size_t whole = 0;
    std::u16string items;
    for (const Done& done : m_done) {
        if (done.report.kind == ReportKind::None) {
            ++whole;
            continue;
        }
        report.kind = Weight(done.report.kind) > Weight(report.kind) ? done.report.kind : report.kind;
        items.append(u"\n\n").append(ReportText(IDS_QUEUE_ITEM, {Utf8ToUtf16(done.address), done.report.text}));
    }
    std::vector<std::string> waiting(m_waiting.begin(), m_waiting.end());
    if (m_current)
        waiting.insert(waiting.begin(), *m_current);
    if (stopped && !waiting.empty())
        items.append(u"\n\n").append(ReportText(IDS_QUEUE_NOT_GRABBED, {Listed(waiting)}));
    if (!m_notAddresses.empty())
        items.append(u"\n\n").append(ReportText(IDS_QUEUE_NO_ADDRESSES, {Listed(m_notAddresses)}));
    for (const std::u16string& sentence : m_unreadable)
        items.append(u"\n\n").append(sentence);
    const std::size_t size = Size();
    *this = GrabQueue();
    if (items.empty())
        return std::nullopt;
    if (report.kind == ReportKind::None)
        report.kind = ReportKind::Warning;
    report.text = ReportText(IDS_QUEUE_ENDED, {ReportNumber(static_cast<std::int64_t>(whole)),
                                                ReportNumber(static_cast<std::int64_t>(size))}) + items;
    return report;
}
