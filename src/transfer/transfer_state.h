#pragma once

#include "framework/controls.h"
#include "framework/file.h"
#include "framework/unique_handle.h"
#include "transfer/transfer_report.h"
#include "transfer/web/http_connection.h"
#include "transfer/web/http_file.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <windows.h>

// Where the video is asked for: the connection to the video site and the
// request path. Every request of a grab, continuations included, goes
// there.
struct VideoRequest {
    std::shared_ptr<CHttpConnection> connection;
    std::string path;

    // A new GET request for the video, with the Accept header, not yet
    // sent; raises what opening it raises.
    std::unique_ptr<CHttpFile> Open() const;
};

// How far a broken transfer got: what a continuation asks for and checks
// the server's answer against.
struct TransferPoint {
    std::int64_t written = 0;   // bytes in the file
    std::int64_t total = 0;     // the whole video's length
    std::string lengthText;     // that length as the server sent it
    std::string validator;      // for If-Range; empty without one
};

// The window a transfer shows itself in: the status text and the progress
// bar it updates, and the window it tells of its end.
struct TransferDisplay {
    HWND window = nullptr;
    HWND status = nullptr;
    HWND progress = nullptr;
};

// One transfer: the video request, the output file it is copied into, the
// chunk in hand and the flag that keeps the copying on. The window's thread
// makes and stops it; the download worker copies through it. Both hold a
// reference, so a worker that was let go (one blocked on a stalled server)
// still finds it whole when its read returns.
//
// Everything that shows or keeps the transfer (a control update, a write,
// the end) happens here under one lock, and only while the flag is set;
// Stop clears the flag under the same lock. So once Stop has returned, the
// worker touches no window and no file: each of its calls answers false.
class TransferState {
public:
    TransferState(VideoRequest request, const TransferDisplay& display);
    TransferState(const TransferState&) = delete;
    TransferState& operator=(const TransferState&) = delete;

    // On the window's thread, before the worker starts.

    // Opens the first request (m_response) and the output file: created
    // empty, or, to continue an ended transfer that got to from, opened as
    // it is and continued from its end when it still holds what was
    // written, else emptied. Raises what opening either raises.
    void Open(const std::wstring& fileName, const std::optional<TransferPoint>& from = std::nullopt);
    // Sets the flag; from now on a stop reaches the worker.
    void Begin() { m_transferActive = true; }

    // On the worker's thread. Each call that shows or keeps something
    // answers false, doing nothing, once the transfer was stopped.

    // The request opened with the transfer, once; nothing after.
    std::unique_ptr<CHttpFile> TakeResponse() { return std::move(m_response); }
    const VideoRequest& Request() const { return m_request; }
    const std::optional<TransferPoint>& ContinuesFrom() const { return m_continueFrom; }
    const std::u16string& FileName() const { return m_fileName; }
    // Bytes in the file.
    std::int64_t Written() const { return m_written; }

    // Reads the next chunk of response into the transfer's own buffer:
    // kChunkSize bytes, fewer at the end of the body or once stopped. What
    // has arrived is noted as it comes, so that a stop keeps it. Raises
    // what the read raises.
    unsigned ReadChunk(CHttpFile& response);
    // Shows status and position, then writes the chunk's count bytes.
    // Raises the write's error, Written() then being what the file holds.
    bool TakeChunk(unsigned count, const std::string& status, int position);
    // Starts the file and the bar over for a whole reply of lengthText
    // (expected bytes) shown over a range of 0..rangeHigh: the file emptied
    // and the bar at 0 when anything was written.
    bool StartOver(const std::string& lengthText, std::int64_t expected, int rangeHigh);
    bool ShowStatus(const std::string& text);
    // Waits milliseconds, less when stopped meanwhile; true when stopped.
    bool WaitUnlessStopped(unsigned long milliseconds) const;
    // Ends a transfer that ran its course, keeping what it came to: the
    // file closed, the flag clear, and the window told
    // (WM_APP_TRANSFER_ENDED with Id()).
    void Finish(TransferOutcome outcome, std::optional<TransferPoint> reached);

    // On the window's thread again.

    // Stops the transfer: waits for the lock while carrying out the
    // messages the worker sends meanwhile, clears the flag, writes the
    // bytes of the chunk that have arrived, closes the file and wakes a
    // waiting worker. Never raises: when those bytes cannot be written the
    // report of that failure comes back, once.
    std::optional<TransferReport> Stop() noexcept;

    bool Active() const { return m_transferActive; }
    // Tells this transfer from every other of the process.
    unsigned long Id() const { return m_id; }
    // After Finish: how the transfer ended, and where a new round would
    // start (nothing when none can).
    const TransferOutcome& Outcome() const { return m_outcome; }
    const std::optional<TransferPoint>& Reached() const { return m_reached; }

    // The video is copied in chunks of this many bytes, each shown and then
    // written once full (or at the body's end).
    static constexpr unsigned kChunkSize = 1024;

private:
    // Writes count bytes of the chunk, keeping Written() true to the file
    // however the write ends.
    void WriteChunk(unsigned count);

    static std::atomic<unsigned long> s_lastId;
    const unsigned long m_id;
    const VideoRequest m_request;
    const HWND m_window;
    CStatic m_status;
    CProgressCtrl m_progress;
    std::u16string m_fileName;
    std::optional<TransferPoint> m_continueFrom;
    std::unique_ptr<CHttpFile> m_response;

    std::mutex m_lock;
    std::atomic<bool> m_transferActive{false};
    CFile m_outputFile;
    std::atomic<std::int64_t> m_written{0};
    // The length shown, for the report of a failed stop.
    std::string m_lengthText;
    std::int64_t m_expected = 0;
    char m_chunk[kChunkSize];
    unsigned m_inHand = 0;  // bytes of m_chunk that have arrived, not yet taken
    UniqueHandle m_stopped;
    TransferOutcome m_outcome;
    std::optional<TransferPoint> m_reached;
};
