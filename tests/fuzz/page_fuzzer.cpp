// Feeds arbitrary bytes through the page pipeline of a grab: the line
// reader (in source chunks whose sizes the input chooses), the line list,
// the charset the page declares, both searches and the safe names, in a
// single-byte and in code page 932, then again after switching over.
#include "../portable/code_page_932.h"
#include "framework/ascii.h"
#include "framework/exception.h"
#include "page/charset.h"
#include "page/safe_file_name.h"
#include "page/watch_page.h"
#include "framework/line_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

class FuzzSource : public ByteSource {
public:
    FuzzSource(const std::uint8_t* data, std::size_t size, std::size_t chunk)
        : m_data(data), m_size(size), m_chunk(chunk) {}

    std::size_t ReadBytes(char* buffer, std::size_t count) override
    {
        const std::size_t n = std::min({count, m_chunk, m_size - m_offset});
        std::memcpy(buffer, m_data + m_offset, n);
        m_offset += n;
        return n;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_chunk;
    std::size_t m_offset = 0;
};

// The declared charset is text of the page, and a header's never runs
// past its parameter.
void CheckCharsets(const WatchPage& page, std::string_view bytes)
{
    const std::string declared = page.FindDeclaredCharset();
    charset::CodePageOf(declared);
    // The line reader drops carriage returns, so one may have stood
    // inside the name in the bytes.
    std::string stored(bytes);
    stored.erase(std::remove(stored.begin(), stored.end(), '\r'), stored.end());
    if (stored.find(declared) == std::string::npos)
        __builtin_trap();
    const std::string fromHeader = charset::FromContentType(page.LineCount() > 0 ? page.Line(0) : "");
    charset::CodePageOf(fromHeader);
    if (fromHeader.find(';') != std::string::npos)
        __builtin_trap();
}

// The wide rule leaves no refused character and adds at most a '_'.
void CheckWideSafeName(const std::string& name)
{
    std::u16string wide;
    for (char c : name)
        wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    const std::u16string safe = MakeSafeFileName(wide);
    if (safe.size() < wide.size() || safe.size() > wide.size() + 1 ||
        safe.find_first_of(u"\\/:*?\"<>|\x01\x1f") != std::u16string::npos)
        __builtin_trap();
}

void RunPipeline(const std::uint8_t* data, std::size_t size, std::size_t chunk, const LeadByteTable& leadBytes,
                 const LeadByteTable& otherLeadBytes)
{
    FuzzSource source(data, size, chunk);
    LineReader reader;
    WatchPage page(leadBytes);
    std::string line;
    while (reader.ReadString(source, line)) {
        if (line.size() > size || line.find('\0') != std::string::npos || line.find('\r') != std::string::npos)
            __builtin_trap();
        page.AddLine(line);
    }
    CheckCharsets(page, std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        const std::string query = page.FindVideoQuery();
        if (query.find('"') != std::string::npos && leadBytes.IsLead(0x81) == false)
            __builtin_trap();
        WatchPage::MakeRequestPath(query);
    } catch (const CInvalidArgException&) {
    }
    CheckWideSafeName(page.FindTitle());
    // Switching code pages once the encoding is known keeps every line and
    // at most trims more white space off its end.
    std::vector<std::string> before;
    for (std::size_t index = 0; index < page.LineCount(); ++index)
        before.push_back(page.Line(index));
    page.UseLeadBytes(otherLeadBytes);
    if (page.LineCount() != before.size())
        __builtin_trap();
    for (std::size_t index = 0; index < before.size(); ++index) {
        const std::string& after = page.Line(index);
        if (before[index].compare(0, after.size(), after) != 0 ||
            !std::all_of(before[index].begin() + static_cast<std::ptrdiff_t>(after.size()), before[index].end(),
                         IsAsciiSpace))
            __builtin_trap();
    }
    page.FindTitle();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + data[0] % 64 * 67;
    RunPipeline(data + 1, size - 1, chunk, LeadByteTable(), ShiftJisLeadBytes());
    RunPipeline(data + 1, size - 1, chunk, ShiftJisLeadBytes(), LeadByteTable());
    return 0;
}
