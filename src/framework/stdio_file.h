#pragma once

#include "framework/file.h"
#include "framework/line_reader.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// The common base of every stream that a URL opens, each of which reads its
// lines with the one line reader (line_reader.h) from its own bytes. Itself
// it is a local file read through the C library's stream, in binary, so
// that a page reads as the same lines from a file as from a server.
class CStdioFile : public CFile, private ByteSource {
public:
    CStdioFile() = default;

    bool Open(const char* fileName, unsigned openFlags, CFileException* error = nullptr) override;
    // Opens a local file by its UTF-16 name (see CFile's), likewise.
    bool Open(const wchar_t* fileName, unsigned openFlags, CFileException* error = nullptr);

    // Reads the next line without its line feed, by the line reader's
    // rules. False, with an empty line, at the end of the stream. A read
    // error raises the stream's error (CFileException for a local file).
    virtual bool ReadString(std::string& line);
    // Stops ReadString after about bytes of the stream, as at its end;
    // ReadPastLimit() then tells that end from the stream's own.
    void LimitLines(std::uint64_t bytes) { m_lineReader.Limit(bytes); }
    bool ReadPastLimit() const { return m_lineReader.Overran(); }

    unsigned Read(void* buffer, unsigned count) override;
    void Close() override;
    void Abort() override;
    bool IsOpen() const override { return m_stream != nullptr || CFile::IsOpen(); }

protected:
    // Forgets the line reader's buffer, as closing a stream does.
    void ForgetLines() { m_lineReader = LineReader(); }

private:
    // The local file's bytes, for the line reader as for Read.
    std::size_t ReadBytes(char* buffer, std::size_t count) override;

    struct StreamCloser {
        void operator()(std::FILE* stream) const { std::fclose(stream); }
    };

    // Hands the file's system handle over to a C library stream.
    bool TakeStream(unsigned openFlags, CFileException* error);
    [[noreturn]] void ThrowStreamError() const;

    std::unique_ptr<std::FILE, StreamCloser> m_stream;
    LineReader m_lineReader;
};
