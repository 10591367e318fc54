#include "page/text_scan.h"

#include "framework/ascii.h"

namespace text_scan {

std::size_t CharLength(std::string_view text, std::size_t position, const LeadByteTable& leadBytes)
{
    const bool lead = leadBytes.IsLead(static_cast<unsigned char>(text[position]));
    return lead && position + 1 < text.size() ? 2 : 1;
}

std::size_t Find(std::string_view text, std::string_view what, const LeadByteTable& leadBytes)
{
    if (what.empty())
        return 0;
    for (std::size_t i = 0; i + what.size() <= text.size(); i += CharLength(text, i, leadBytes)) {
        if (text.compare(i, what.size(), what) == 0)
            return i;
    }
    return npos;
}

bool EndsWith(std::string_view text, std::string_view what, const LeadByteTable& leadBytes)
{
    if (what.size() > text.size())
        return false;
    const std::size_t start = text.size() - what.size();
    if (text.substr(start) != what)
        return false;
    // The match counts only where a character begins, not at a trail byte.
    std::size_t i = 0;
    while (i < start)
        i += CharLength(text, i, leadBytes);
    return i == start;
}

std::string_view Trim(std::string_view text, const LeadByteTable& leadBytes)
{
    // Trailing run: walk forward, remembering where the current run of white
    // space began; a two-byte character always ends a run.
    std::size_t end = text.size();
    bool inRun = false;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i, leadBytes)) {
        if (IsAsciiSpace(text[i])) {
            if (!inRun)
                end = i;
            inRun = true;
        } else {
            inRun = false;
        }
    }
    if (!inRun)
        end = text.size();
    text = text.substr(0, end);

    std::size_t begin = 0;
    while (begin < text.size() && IsAsciiSpace(text[begin]))
        ++begin;
    return text.substr(begin);
}

}  // namespace text_scan
