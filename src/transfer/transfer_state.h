#pragma once

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

// One transfer: the video request, the output file it is copied into and
// the flag that keeps the copying on. The window that starts the transfer
// and its download worker share it, and each holds a reference, so a
// worker that the window has stopped waiting for (one blocked on a stalled
// server) still finds it whole when its read returns.
//
// The worker does everything that shows or keeps the transfer (a control
// update, a write, the end) through IfActive, under a lock that Stop takes
// too: once Stop has returned, the worker touches no window and no file.
class TransferState {
public:
    TransferState();

    VideoRequest m_request;
    // The first request, opened by the Grab command; later ones are opened
    // by the worker.
    std::unique_ptr<CHttpFile> m_response;
    CFile m_outputFile;
    // Set when this transfer continues an earlier one into the same file.
    std::optional<TransferPoint> m_continueFrom;

    // The video is copied in chunks of this many bytes, each shown and then
    // written once full (or at the body's end).
    static constexpr unsigned kChunkSize = 1024;
    // The chunk the worker fills; a stop writes the part that has arrived.
    char m_chunk[kChunkSize];

    // Runs action under the lock unless the transfer has been stopped;
    // whether it ran. What action raises passes through.
    template <typename Action>
    bool IfActive(Action&& action)
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        if (!m_transferActive)
            return false;
        action();
        return true;
    }

    // Notes that count bytes of the chunk have arrived, while the worker
    // waits for the rest; false when the transfer has been stopped.
    bool Hold(unsigned count);
    // Marks the chunk as taken (shown and written); under IfActive.
    void ChunkTaken() { m_inHand = 0; }

    // Ends a transfer that ran its course, keeping what it came to: the
    // file closed, the flag clear, the outcome kept for the window, which
    // is then told (WM_APP_TRANSFER_ENDED with this transfer's Id). Does
    // nothing when the transfer had been stopped.
    void Finish(TransferOutcome outcome, std::optional<TransferPoint> reached, HWND window);

    // Stops the transfer from the window's thread: waits for the lock while
    // carrying out the messages the worker sends meanwhile, then clears the
    // flag, writes the bytes of the chunk that have arrived, closes the file
    // and wakes a waiting worker. Raises the file's error when those bytes
    // cannot be written, with the file closed all the same.
    void Stop();

    // Waits milliseconds, or less when the transfer is stopped meanwhile;
    // true when it was.
    bool WaitUnlessStopped(unsigned long milliseconds) const;

    // Marks the transfer as running, before its worker starts.
    void Begin() { m_transferActive = true; }
    bool Active() const { return m_transferActive; }
    // Tells this transfer from every other of the process.
    unsigned long Id() const { return m_id; }

    // After Finish: how the transfer ended, and where a new round would
    // start (nothing when none can).
    const TransferOutcome& Outcome() const { return m_outcome; }
    const std::optional<TransferPoint>& Reached() const { return m_reached; }

private:
    static std::atomic<unsigned long> s_lastId;
    const unsigned long m_id;
    std::atomic<bool> m_transferActive{false};
    std::mutex m_lock;
    unsigned m_inHand = 0;  // bytes of m_chunk that have arrived, not yet taken
    UniqueHandle m_stopped;
    TransferOutcome m_outcome;
    std::optional<TransferPoint> m_reached;
};
