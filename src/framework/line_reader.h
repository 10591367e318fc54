#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Where the line reader takes a stream's bytes from. One call reads up to
// count bytes into buffer and returns how many it read, 0 at the end.
// Failures are raised as exceptions.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t ReadBytes(char* buffer, std::size_t count) = 0;
};

// The line reader of every stream, a page from a server and a local file
// alike, so that one page reads as the same lines wherever it comes from.
// It buffers the stream 4096 bytes at a time and takes a line in pieces of
// at most 127 bytes; a carriage return is taken but not kept, and a piece
// whose text comes out shorter than 127 characters without a line feed
// ends the line.
class LineReader {
public:
    static constexpr std::size_t kBufferSize = 4096;
    static constexpr std::size_t kPieceLimit = 127;

    // Reads the next line, without its line feed, into line. False, with an
    // empty line, at the end of the stream. Every call after the end asks
    // the source once more.
    bool ReadString(ByteSource& source, std::string& line);

    // Takes no more of the stream once limit bytes of it have come: what
    // follows reads as its end, and Overran() tells it from a real one.
    void Limit(std::uint64_t limit) { m_limit = limit; }
    bool Overran() const { return m_taken > m_limit; }

private:
    // Appends one piece to line; false when the stream ended before the
    // piece stored anything.
    bool ReadPiece(ByteSource& source, std::string& line);

    void Refill(ByteSource& source);

    std::unique_ptr<char[]> m_buffer;
    std::size_t m_count = 0;
    std::size_t m_position = 0;
    std::uint64_t m_taken = 0;
    std::uint64_t m_limit = UINT64_MAX;
};
