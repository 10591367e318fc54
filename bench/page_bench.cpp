// Page analysis cost: the line reader, the line list and both searches
// over pages of 1, 4 and 16 MiB held in memory, read in 4096-byte pieces
// as the library would hand them out. Prints "page_<n>mib_seconds=<t>"
// (best of five).
#include "page/watch_page.h"
#include "framework/line_reader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

class MemorySource : public ByteSource {
public:
    explicit MemorySource(const std::string& data) : m_data(data) {}
    std::size_t ReadBytes(char* buffer, std::size_t count) override
    {
        const std::size_t n = std::min(count, m_data.size() - m_offset);
        std::memcpy(buffer, m_data.data() + m_offset, n);
        m_offset += n;
        return n;
    }

private:
    const std::string& m_data;
    std::size_t m_offset = 0;
};

std::string MakePage(std::size_t size)
{
    std::string page = "<html>\r\n<head>\r\n<title>Benchmark page</title>\r\n</head>\r\n<body>\r\n";
    const std::string line = "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod.</p>\r\n";
    while (page.size() + line.size() < size)
        page += line;
    page += "x <embed src=\"/player2.swf?video_id=bench&t=1\">\r\n</body></html>\r\n";
    return page;
}

double Analyse(const std::string& page)
{
    const auto start = std::chrono::steady_clock::now();
    MemorySource source(page);
    LineReader reader;
    WatchPage lines{LeadByteTable()};
    std::string line;
    while (reader.ReadString(source, line))
        lines.AddLine(line);
    const std::string query = lines.FindVideoQuery();
    const std::string name = lines.FindTitle() + ".flv";
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (query != "video_id=bench&t=1" || name != "Benchmark page.flv")
        std::fprintf(stderr, "wrong analysis: %s %s\n", query.c_str(), name.c_str());
    return seconds;
}

}  // namespace

int main()
{
    for (int mib : {1, 4, 16}) {
        const std::string page = MakePage(static_cast<std::size_t>(mib) << 20);
        double best = 1e9;
        for (int run = 0; run < 5; ++run)
            best = std::min(best, Analyse(page));
        std::printf("page_%dmib_seconds=%.6f\n", mib, best);
    }
    return 0;
}
