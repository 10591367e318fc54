#pragma once

#include "framework/controls.h"
#include "transfer/transfer_progress.h"
#include "transfer/transfer_report.h"
#include "transfer/transfer_state.h"

#include <memory>
#include <optional>
#include <string>

// What the worker's thread holds: its transfer, the window it tells of the
// end, and its own views of the display, so that it never touches the
// window object, which may be gone by the time a stalled read returns.
struct WorkerStart {
    std::shared_ptr<TransferState> transfer;
    HWND endWindow = nullptr;
    CStatic status;
    CProgressCtrl progress;
    // The status text while waiting to continue (see WaitingStatus).
    std::string waitingPattern;
    // The output file's name, taken on the window's thread: a stop closes
    // the file and forgets it at any time.
    std::u16string fileName;
};

// The copying of one round of a transfer: the video request and, when the
// transfer breaks off, the requests for the rest. Each step runs on the
// worker's thread and raises what fails; the worker catches it and hands
// it to Failed.
class VideoCopy {
public:
    enum class Step {
        Broken,   // broke off early; another request may bring the rest
        Over,     // ended: whole, or in a way another request cannot mend
        Stopped,  // the transfer was stopped: nothing more may be touched
    };

    explicit VideoCopy(WorkerStart& start);

    // Sends the attempt-th request of the round and copies its body.
    Step Attempt(int attempt);
    // What the attempt comes to after it raised error (with its text);
    // only an internet error can be mended by another request.
    Step Failed(std::u16string text, bool internetError);
    // Waits before the attempt-th request, counting the seconds down in
    // the status text; false when the transfer was stopped meanwhile.
    bool WaitBeforeTry(int attempt);
    // Ends the transfer after its last step and tells the window; nothing
    // when the transfer was stopped.
    void Finish(Step last);

private:
    std::unique_ptr<CHttpFile> RequestFor(int attempt);
    // True when the attempt asks for the rest with a range: it asks again,
    // and some of the video is in the file.
    bool AsksForTheRest() const { return m_askingAgain && m_outcome.received > 0; }
    void ReadReply(const CHttpFile& response);
    Step CopyWholeReply(CHttpFile& response);
    Step CopyBody(CHttpFile& response);
    // Shows and writes the transfer's chunk of count bytes; false when the
    // transfer was stopped.
    bool TakeChunk(unsigned count);

    WorkerStart& m_start;
    TransferState& m_transfer;
    TransferOutcome m_outcome;
    TransferProgress m_progress;
    // The If-Range validator (perhaps empty) of the reply being continued;
    // set once a reply that can be continued (200 with a Content-Length)
    // has begun. Where it would continue is m_outcome's count and length.
    std::optional<std::string> m_validator;
    // Set while the attempt asks again for a reply that broke off.
    bool m_askingAgain = false;
    bool m_inBody = false;
};
