// Feeds arbitrary bytes through the page pipeline of a grab: the line
// reader (in source chunks whose sizes the input chooses), the line list,
// and both searches, in a single-byte and in code page 932.
#include "../portable/code_page_932.h"
#include "framework/exception.h"
#include "page/watch_page.h"
#include "transfer/line_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

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

void RunPipeline(const std::uint8_t* data, std::size_t size, std::size_t chunk, const LeadByteTable& leadBytes)
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
    try {
        const std::string query = page.FindVideoQuery();
        if (query.find('"') != std::string::npos && leadBytes.IsLead(0x81) == false)
            __builtin_trap();
        WatchPage::MakeRequestPath(query);
    } catch (const CInvalidArgException&) {
    }
    const std::string name = page.FindOutputFileName();
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".flv") != 0)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + data[0] % 64 * 67;
    RunPipeline(data + 1, size - 1, chunk, LeadByteTable());
    RunPipeline(data + 1, size - 1, chunk, ShiftJisLeadBytes());
    return 0;
}
