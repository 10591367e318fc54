#pragma once

#include "framework/stdio_file.h"
#include "transfer/web/internet_handle.h"

#include <functional>
#include <string>

// A stream of the HTTP client library. ReadString takes the body line by
// line through a 4096-byte buffer; Read hands the caller's buffer straight
// to the library.
class CInternetFile : public CStdioFile {
public:
    CInternetFile(SharedInternetHandle file, std::string objectName, std::string serverName, DWORD_PTR context);
    ~CInternetFile() override;

    bool ReadString(std::string& line) override;
    // Reads up to count bytes; 0 at the end of the body, and again 0 after.
    unsigned Read(void* buffer, unsigned count) override;
    // Reads count bytes, fewer only at the end of the body, when a read
    // fails, or when arrived says to stop; 0 at the end. It takes only
    // what the library holds, waiting for more (at most the read time-out
    // each time) until the buffer is full, and tells arrived the count in
    // the buffer after each read that leaves it short, so the caller can
    // keep those bytes should it give up waiting. A failure after some
    // bytes returns them and is raised by the next call. A connection that
    // the server drops or resets ends the body too, and LostConnection
    // says so: with a length, the caller compares it with what it got;
    // without one, only an orderly close ends a body whole.
    unsigned ReadChunk(void* buffer, unsigned count, const std::function<bool(unsigned)>& arrived = nullptr);
    // The code of the lost connection that ended the body; 0 when none.
    DWORD LostConnection() const { return m_lostError; }
    // Has ReadChunk read without asking first what has arrived, for a body
    // without a length, whose end only an orderly close may be: Wine's
    // library answers that question with no more data when the connection
    // was reset, and only a read meets the reset. Each read then waits
    // until it has the rest of the chunk.
    void ConfirmEnd() { m_confirmEnd = true; }
    // Closes the handle and frees the line buffer; never raises.
    void Close() override;
    void Abort() override;
    bool IsOpen() const override { return RawHandle(m_hInternet) != nullptr; }

    HINTERNET GetHandle() const { return RawHandle(m_hInternet); }
    DWORD_PTR GetContext() const { return m_dwContext; }
    const std::string& GetObject() const { return m_strObject; }
    const std::string& GetServerName() const { return m_strServerName; }

    // How long one read may wait for the server before it fails, in place
    // of kReceiveTimeoutMs; raises CInternetException when the library
    // refuses the setting. The library applies it when the request is sent.
    void SetReadTimeout(DWORD milliseconds);

    // The read time-out of every request the program makes, which the
    // session gives each request as it is made (internet_session.cpp).
    static constexpr DWORD kReceiveTimeoutMs = 30000;

protected:
    // Raises the error of a read on a stream that is not readable.
    void CheckReadable() const;
    // Takes file, a request opened anew, in place of the one before.
    void Reopened(SharedInternetHandle file, std::string objectName, std::string serverName);

private:
    std::size_t ReadBytes(char* buffer, std::size_t count) override;
    // One read of the library; false with the code to raise when it fails.
    bool TryRead(char* buffer, DWORD count, DWORD& read, DWORD& error) const;

protected:
    // The code to raise for the receive call that has just failed after
    // waiting since start (a tick count).
    DWORD ReceiveError(DWORD start) const;

private:
    SharedInternetHandle m_hInternet;
    DWORD m_readTimeoutMs = kReceiveTimeoutMs;
    // The code of a failure met by ReadChunk after it had bytes in hand; 0
    // when none waits to be raised.
    DWORD m_pendingError = 0;
    DWORD m_lostError = 0;
    bool m_confirmEnd = false;
    bool m_bReadMode = true;
    DWORD_PTR m_dwContext;
    std::string m_strObject;
    std::string m_strServerName;
};

// A gopher stream. Its locator is empty for streams opened from an address.
class CGopherFile : public CInternetFile {
public:
    using CInternetFile::CInternetFile;
};
