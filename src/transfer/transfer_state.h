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

    // Ends a transfer that ran its course, keeping what it came to: the
    // file closed, the flag clear, the outcome kept for the window, which
    // is then told (WM_APP_TRANSFER_ENDED with this transfer's Id). Does
    // nothing when the transfer had been stopped.
    void Finish(TransferOutcome outcome, std::optional<TransferPoint> reached, HWND window);

    // Stops the transfer from the window's thread: waits for the lock while
    // carrying out the messages the worker sends meanwhile, then clears the
    // flag, closes the file with every byte written and wakes a waiting
    // worker.
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
    UniqueHandle m_stopped;
    TransferOutcome m_outcome;
    std::optional<TransferPoint> m_reached;
};
