#include "framework/line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Hands out a fixed body, at most maxRead bytes per call, and counts calls.
class BodySource : public ByteSource {
public:
    explicit BodySource(std::string body, std::size_t maxRead = 1 << 20) : m_body(std::move(body)), m_maxRead(maxRead) {}

    std::size_t ReadBytes(char* buffer, std::size_t count) override
    {
        ++calls;
        const std::size_t n = std::min({count, m_maxRead, m_body.size() - m_offset});
        std::copy_n(m_body.data() + m_offset, n, buffer);
        m_offset += n;
        return n;
    }

    int calls = 0;

private:
    std::string m_body;
    std::size_t m_maxRead;
    std::size_t m_offset = 0;
};

// Every line the reader gives for body, until it reports the end.
std::vector<std::string> LinesOf(const std::string& body, std::size_t maxRead = 1 << 20)
{
    BodySource source(body, maxRead);
    LineReader reader;
    std::vector<std::string> lines;
    std::string line = "stale";
    while (reader.ReadString(source, line))
        lines.push_back(line);
    EXPECT_EQ(line, "");
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, SplitsAtLineFeedsAndDropsCarriageReturns)
{
    EXPECT_EQ(LinesOf("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(LinesOf("a\n\nb\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(LinesOf(""), Lines{});
    EXPECT_EQ(LinesOf("last"), Lines{"last"});
}

TEST(LineReader, JoinsFullPiecesIntoLongLines)
{
    const std::string line300(300, 'x');
    EXPECT_EQ(LinesOf(line300 + "\n"), Lines{line300});
    EXPECT_EQ(LinesOf(line300), Lines{line300});
    const std::string line127(127, 'y');
    EXPECT_EQ(LinesOf(line127 + "\nz"), (Lines{line127, "z"}));
    const std::string line254(254, 'w');
    EXPECT_EQ(LinesOf(line254 + "\n"), Lines{line254});
}

TEST(LineReader, ACarriageReturnShortensAPieceAndEndsTheLine)
{
    // 126 characters, CR, LF: the CR fills the piece, the LF starts the next.
    const std::string line126(126, 'a');
    EXPECT_EQ(LinesOf(line126 + "\r\n"), (Lines{line126, ""}));
    // 200 bytes with a lone CR third: lines of 126 and 73 characters.
    std::string line200(200, 'b');
    line200[2] = '\r';
    const Lines lines = LinesOf(line200 + "\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "bb" + std::string(124, 'b'));
    EXPECT_EQ(lines[1], std::string(73, 'b'));
}

TEST(LineReader, CutsALineAtItsFirstNul)
{
    EXPECT_EQ(LinesOf(std::string("ab\0cd\nnext\n", 11)), (Lines{"ab", "next"}));
    // A NUL alone is still a line, empty.
    EXPECT_EQ(LinesOf(std::string("\0", 1)), Lines{""});
    // A NUL in a later piece cuts there too.
    EXPECT_EQ(LinesOf(std::string(130, 'n') + std::string("\0tail\n", 6)), Lines{std::string(130, 'n')});
}

TEST(LineReader, RefillsAcrossTheBufferBoundary)
{
    // Lines that straddle the 4096-byte buffer, read in odd-sized chunks.
    std::string body;
    Lines expected;
    for (int i = 0; body.size() < 3 * LineReader::kBufferSize; ++i) {
        std::string line(static_cast<std::size_t>(i * 37 % 301), static_cast<char>('a' + i % 26));
        expected.push_back(line);
        body += line + (i % 3 == 0 ? "\r\n" : "\n");
    }
    for (std::size_t chunk : {std::size_t(1), std::size_t(1000), std::size_t(4095), LineReader::kBufferSize}) {
        SCOPED_TRACE(chunk);
        EXPECT_EQ(LinesOf(body, chunk), expected);
    }
    const std::string big(LineReader::kBufferSize + 1, 'q');
    EXPECT_EQ(LinesOf(big + "\n" + big), (Lines{big, big}));
}

TEST(LineReader, AsksTheSourceAgainAfterTheEnd)
{
    BodySource source("x");
    LineReader reader;
    std::string line;
    EXPECT_TRUE(reader.ReadString(source, line));
    const int before = source.calls;
    EXPECT_FALSE(reader.ReadString(source, line));
    EXPECT_FALSE(reader.ReadString(source, line));
    EXPECT_EQ(source.calls, before + 2);
    EXPECT_EQ(line, "");
}

TEST(LineReader, StopsSoonAfterItsLimitEvenInALineThatNeverEnds)
{
    BodySource source(std::string(100000, 'e'));
    LineReader reader;
    reader.Limit(10000);
    std::string line;
    EXPECT_TRUE(reader.ReadString(source, line));
    EXPECT_TRUE(reader.Overran());
    EXPECT_LT(line.size(), 10000u + LineReader::kBufferSize);
    EXPECT_FALSE(reader.ReadString(source, line));
}

TEST(LineReader, PassesSourceFailuresOn)
{
    struct FailingSource : ByteSource {
        std::size_t ReadBytes(char*, std::size_t) override { throw std::runtime_error("dropped"); }
    } source;
    LineReader reader;
    std::string line;
    EXPECT_THROW(reader.ReadString(source, line), std::runtime_error);
}

}  // namespace
