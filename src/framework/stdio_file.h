#pragma once

#include "framework/file.h"

#include <cstdio>
#include <memory>
#include <string>

// The common base of every stream that a URL opens. Itself it is a local
// file read through the C library's stream, normally in text mode, where a
// carriage return and line feed pair reads as one line feed.
class CStdioFile : public CFile {
public:
    CStdioFile() = default;

    bool Open(const char* fileName, unsigned openFlags, CFileException* error = nullptr) override;

    // Reads the next line without its line feed, in pieces of 128
    // characters. False at the end of the file with nothing read. A read
    // error raises CFileException.
    virtual bool ReadString(std::string& line);

    unsigned Read(void* buffer, unsigned count) override;
    void Close() override;
    void Abort() override;
    bool IsOpen() const override { return m_stream != nullptr || CFile::IsOpen(); }

private:
    struct StreamCloser {
        void operator()(std::FILE* stream) const { std::fclose(stream); }
    };

    [[noreturn]] void ThrowStreamError() const;

    std::unique_ptr<std::FILE, StreamCloser> m_stream;
};
