#pragma once

#include "framework/controls.h"
#include "framework/unique_handle.h"
#include "transfer/partial_video.h"
#include "transfer/transfer_progress.h"
#include "transfer/transfer_report.h"
#include "transfer/web/http_connection.h"
#include "transfer/web/http_file.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

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
    // The request as a partial file's record names it.
    std::string Text() const;
};

// The window a transfer shows itself in: the status text and the progress
// bar it updates, and the window it tells of its end.
struct TransferDisplay {
    HWND window = nullptr;
    HWND status = nullptr;
    HWND progress = nullptr;
};

// One transfer: the video request, the output file, the chunk in hand and
// the flag that keeps the copying on. The window's thread makes and stops
// it; the download worker copies through it. Both hold a reference, so a
// worker that was let go (blocked on a stalled server) still finds it whole.
// Whatever shows or keeps the transfer happens here under one lock, only
// while the flag is set; Stop clears the flag under the same lock, so once
// it has returned the worker's calls touch nothing and answer false.
class TransferState {
public:
    TransferState(VideoRequest request, const TransferDisplay& display);
    TransferState(const TransferState&) = delete;
    TransferState& operator=(const TransferState&) = delete;

    // Opens the first request and the partial file of the video fileName
    // (see PartialVideo::Open), continued from the point from of a round
    // before, or else from its record. Raises what fails, another Clipwell
    // writing the same file included.
    void Open(const std::wstring& fileName, std::optional<TransferPoint> from = std::nullopt);
    // Sets the flag, before the worker starts: from now on a stop reaches it.
    void Begin() { m_transferActive = true; }

    // The worker's calls. The request opened with the transfer, once.
    std::unique_ptr<CHttpFile> TakeResponse() { return std::move(m_response); }
    const VideoRequest& Request() const { return m_request; }
    // The partial file's name, and the name the video takes when whole.
    const std::u16string& FileName() const { return m_fileName; }
    const std::wstring& VideoName() const { return m_videoName; }
    // What the partial file holds, and what its owner makes of it.
    TransferPoint Point() const;
    bool Whole() const;
    bool Mendable() const;
    bool AsksForTheRest() const;

    // Reads the next chunk of response into the transfer's own buffer, full
    // but at the body's end or a stop, noting what arrives for a stop to
    // keep. Raises what the read raises.
    unsigned ReadChunk(CHttpFile& response);
    // Shows the count and position after the chunk's count bytes, then
    // writes them; raises the write's error, the point still what the file
    // holds.
    bool TakeChunk(unsigned count, TransferProgress& progress);
    // Starts the file and the bar (0..rangeHigh) over for reply.
    bool StartOver(const WholeReply& reply, int rangeHigh);
    // What the answer to a request for the rest means (PartialVideo::Judge);
    // nothing once stopped.
    std::optional<ContinuedReply> JudgeContinued(int status, std::string_view contentRange,
                                                 std::string_view validator);
    // The body has ended (see PartialVideo::EndBody); true when the video
    // broke off and asking again may mend it.
    bool EndBody(bool cleanly);
    bool ShowStatus(const std::string& text);
    // Shows that the rest follows: text, the bar's range 0..rangeHigh and
    // its position, which a new window has not set yet.
    bool ShowContinuing(const std::string& text, int rangeHigh, int position);
    // Waits milliseconds, less when the transfer ends meanwhile; true when
    // it has ended.
    bool WaitUnlessStopped(unsigned long milliseconds) const;
    // While the transfer runs, on a thread of its own: once no byte has
    // come for a second, brings the record up to the bytes in the file, so
    // that a kill during a stall loses none of them.
    // Once stopped, it writes the last record and closes the file (see
    // Stop).
    void KeepRecordThroughStalls() noexcept;
    // Ends a transfer that ran its course: the whole video renamed to its
    // own name, else the partial kept with its record; the flag clear, the
    // outcome kept (its counts the file's), and WM_APP_TRANSFER_ENDED
    // posted with Id(). When another round may bring the rest, Reached()
    // says from where.
    void Finish(TransferOutcome outcome, bool canContinue);

    // On the window's thread: takes the lock, carrying out the messages the
    // worker sends meanwhile, clears the flag, writes the bytes in hand and
    // wakes a waiting worker; the record keeper then writes the last record
    // and closes the file. Never raises: a failed write comes back as its
    // report; when telling, so does where a running transfer's bytes are
    // kept.
    std::optional<TransferReport> Stop(bool telling = false) noexcept;
    // Waits at most milliseconds for the file to be closed, once stopped or
    // finished; true when it is.
    bool AwaitClosed(unsigned long milliseconds) const;

    bool Active() const { return m_transferActive; }
    unsigned long Id() const { return m_id; }
    // After Finish: how it ended, and where a new round would start.
    const TransferOutcome& Outcome() const { return m_outcome; }
    const std::optional<TransferPoint>& Reached() const { return m_reached; }

    static constexpr unsigned kChunkSize = 1024;

private:
    // Writes count bytes of the chunk; the record follows when record and due.
    void WriteChunk(unsigned count, bool record);
    // The last record, then the file closed; under the lock.
    void CloseFile() noexcept;
    // The outcome with the file's counts: bytes, length and its text.
    TransferOutcome Counted(TransferOutcome outcome) const;

    static std::atomic<unsigned long> s_lastId;
    const unsigned long m_id;
    const VideoRequest m_request;
    const HWND m_window;
    CStatic m_status;
    CProgressCtrl m_progress;
    std::u16string m_fileName;
    std::wstring m_videoName;
    std::unique_ptr<CHttpFile> m_response;

    mutable std::mutex m_lock;
    std::atomic<bool> m_transferActive{false};
    PartialVideo m_partial;
    char m_chunk[kChunkSize];
    unsigned m_inHand = 0;  // bytes of m_chunk that have arrived, not yet taken
    std::function<bool(unsigned)> m_noteArrived;
    // Set once the transfer has been stopped or has finished, and once its
    // file is closed.
    UniqueHandle m_stopped;
    UniqueHandle m_closed;
    // Set while the record keeper runs, and when a stop leaves it the file
    // to close.
    bool m_keeperRunning = false;
    bool m_closePending = false;
    TransferOutcome m_outcome;
    std::optional<TransferPoint> m_reached;
};
