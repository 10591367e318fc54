#pragma once

#include "transfer/transfer_progress.h"
#include "transfer/transfer_report.h"
#include "transfer/transfer_state.h"

#include <memory>
#include <string>

// One round of a transfer, on the worker's thread: the video request and,
// when the reply breaks off, the requests for the rest. Each step raises
// what fails; the worker catches it and hands it to Failed.
class TransferRound {
public:
    enum class Step {
        Broken,   // broke off early; another request may bring the rest
        Over,     // ended: whole, or in a way another request cannot mend
        Stopped,  // the transfer was stopped: nothing more may be touched
    };

    explicit TransferRound(TransferState& transfer);

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
    void ReadReply(const CHttpFile& response);
    // Copies the answer to a request for the rest.
    Step CopyContinued(CHttpFile& response);
    Step CopyWholeReply(CHttpFile& response);
    Step CopyBody(CHttpFile& response);
    // The status once the server agreed to send the rest.
    std::string ContinuingStatus(const TransferPoint& point) const;

    TransferState& m_transfer;
    TransferOutcome m_outcome;
    TransferProgress m_progress;
    std::string m_waitingPattern;
    // Set while the attempt asks again for a reply that broke off.
    bool m_askingAgain = false;
    bool m_inBody = false;
};
