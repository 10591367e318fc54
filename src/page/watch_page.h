#pragma once

#include "page/lead_bytes.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The fetched video page as a list of trimmed lines, and what a grab takes
// from it: the video query of the player line and the title that names the
// output file.
class WatchPage {
public:
    explicit WatchPage(const LeadByteTable& leadBytes);

    // Trims the line of white space at both ends and appends it, even empty.
    // A UTF-8 byte-order mark that opens the first line is dropped first.
    void AddLine(std::string_view line);

    // Steps over the characters of another code page from now on, and trims
    // the lines already added again in it. A page's own encoding is known
    // only once its meta tags have been read.
    void UseLeadBytes(const LeadByteTable& leadBytes);

    std::size_t LineCount() const { return m_lines.size(); }

    // True when the page began with the UTF-8 byte-order mark, which names
    // its encoding over anything the page or its header declares.
    bool HasUtf8Mark() const { return m_utf8Mark; }

    // The line at index; raises CInvalidArgException past the end.
    const std::string& Line(std::size_t index) const;

    // The query of the first line holding "player2.swf" after its start:
    // from "video_id" up to the next double quote. Raises
    // CInvalidArgException when no line qualifies.
    std::string FindVideoQuery() const;

    // The last line holding "<title>", without its tags; empty without one.
    std::string FindTitle() const;

    // The charset named by the first meta tag that declares one, or empty.
    std::string FindDeclaredCharset() const;

    // "get_video?" followed by the query.
    static std::string MakeRequestPath(std::string_view videoQuery);

private:
    std::size_t Find(std::string_view text, std::string_view what) const;

    LeadByteTable m_leadBytes;
    std::vector<std::string> m_lines;
    bool m_utf8Mark = false;
};
