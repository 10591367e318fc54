#include "framework/line_reader.h"

#include <string_view>

void LineReader::Refill(ByteSource& source)
{
    m_position = 0;
    m_count = 0;
    if (Overran())
        return;
    m_count = source.ReadBytes(m_buffer.get(), kBufferSize);
    m_taken += m_count;
    if (Overran())
        m_count = 0;
}

bool LineReader::ReadPiece(ByteSource& source, std::string& line)
{
    if (!m_buffer) {
        m_buffer = std::make_unique<char[]>(kBufferSize);
        Refill(source);
    }
    bool stored = false;
    for (std::size_t taken = 0; taken < kPieceLimit; ++taken) {
        if (m_position == m_count) {
            Refill(source);
            if (m_count == 0)
                return stored;
        }
        const char byte = m_buffer[m_position++];
        if (byte == '\r')
            continue;
        line.push_back(byte);
        stored = true;
        if (byte == '\n')
            break;
    }
    return true;
}

bool LineReader::ReadString(ByteSource& source, std::string& line)
{
    line.clear();
    bool lastPieceStored = false;
    for (;;) {
        const std::size_t start = line.size();
        lastPieceStored = ReadPiece(source, line);
        if (!lastPieceStored)
            break;
        const std::string_view piece = std::string_view(line).substr(start);
        const std::size_t text = piece.find('\0');
        // A full piece of text without a line feed means the line goes on.
        if (text != std::string_view::npos || piece.size() < kPieceLimit || piece.back() == '\n')
            break;
    }
    const std::size_t nul = line.find('\0');
    if (nul != std::string::npos)
        line.resize(nul);
    const bool held = !line.empty();
    if (held && line.back() == '\n')
        line.pop_back();
    return lastPieceStored || held;
}
