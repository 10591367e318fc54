#pragma once

#include "page/lead_bytes.h"
#include "page/watch_page.h"

#include <initializer_list>
#include <string>

// A watch page of the given lines, scanned with the given lead bytes.
inline WatchPage PageOf(std::initializer_list<std::string> lines, const LeadByteTable& leadBytes = {})
{
    WatchPage page(leadBytes);
    for (const std::string& line : lines)
        page.AddLine(line);
    return page;
}
