#include "page/watch_page.h"

#include "framework/exception.h"
#include "page/charset.h"
#include "page/text_scan.h"

namespace {

constexpr std::string_view kPlayer = "player2.swf";
constexpr std::string_view kVideoId = "video_id";
constexpr std::string_view kTitleOpen = "<title>";
constexpr std::string_view kTitleClose = "</title>";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

WatchPage::WatchPage(const LeadByteTable& leadBytes) : m_leadBytes(leadBytes) {}

void WatchPage::AddLine(std::string_view line)
{
    // Before trimming: in a double-byte code page the mark's bytes would
    // pass for characters and keep the white space after them.
    if (m_lines.empty() && line.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        m_utf8Mark = true;
        line.remove_prefix(kUtf8Mark.size());
    }
    m_lines.emplace_back(text_scan::Trim(line, m_leadBytes));
}

void WatchPage::UseLeadBytes(const LeadByteTable& leadBytes)
{
    m_leadBytes = leadBytes;
    for (std::string& line : m_lines) {
        const std::string_view trimmed = text_scan::Trim(line, m_leadBytes);
        if (trimmed.size() != line.size())
            line = std::string(trimmed);
    }
}

const std::string& WatchPage::Line(std::size_t index) const
{
    if (index >= m_lines.size())
        throw CInvalidArgException();
    return m_lines[index];
}

std::size_t WatchPage::Find(std::string_view text, std::string_view what) const
{
    return text_scan::Find(text, what, m_leadBytes);
}

std::string WatchPage::FindVideoQuery() const
{
    // Walking past the last line is what raises the invalid-argument error.
    for (std::size_t index = 0;; ++index) {
        std::string_view query = Line(index);
        const std::size_t player = Find(query, kPlayer);
        if (player == text_scan::npos || player == 0)
            continue;
        const std::size_t videoId = Find(query, kVideoId);
        if (videoId != text_scan::npos)
            query.remove_prefix(videoId);
        const std::size_t quote = Find(query, "\"");
        return std::string(quote == text_scan::npos ? std::string_view() : query.substr(0, quote));
    }
}

std::string WatchPage::FindTitle() const
{
    std::string_view title;
    for (const std::string& line : m_lines) {
        if (Find(line, kTitleOpen) != text_scan::npos)
            title = line;
    }
    if (title.substr(0, kTitleOpen.size()) == kTitleOpen)
        title.remove_prefix(kTitleOpen.size());
    if (text_scan::EndsWith(title, kTitleClose, m_leadBytes))
        title.remove_suffix(kTitleClose.size());
    return std::string(title);
}

std::string WatchPage::FindDeclaredCharset() const
{
    for (const std::string& line : m_lines) {
        std::string declared = charset::FromMetaTags(line);
        if (!declared.empty())
            return declared;
    }
    return {};
}

std::string WatchPage::MakeRequestPath(std::string_view videoQuery)
{
    return "get_video?" + std::string(videoQuery);
}
