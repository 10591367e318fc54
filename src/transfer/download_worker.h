#pragma once

#include "transfer/transfer_report.h"
#include "transfer/transfer_state.h"
#include "transfer/transfer_window.h"

#include <memory>
#include <optional>

// The download worker: a thread that sends the video request of a
// transfer and copies the response into its output file, at most 1024
// bytes at a time, showing the count after each chunk. When the reply
// breaks off early, it asks for the rest (see continuation.h), up to four
// requests in all. A transfer that ends on its own ends with the file
// closed and the flag clear, and then tells the window, which asks
// TakeEndedTransfer what to say.

// Starts the worker on transfer, whose first request is ready to be sent
// (or which continues an earlier one) and whose output file is open, and
// records it in window. Raises CMemoryException, with the file closed,
// when no thread can be started.
void StartWorker(TransferWindow& window, std::shared_ptr<TransferState> transfer);

// Stops the window's transfer: from the moment this returns, its worker
// touches neither the window nor the file, which is closed with every byte
// written. Waits a little for the worker to end, carrying out the control
// updates it sends meanwhile; a worker blocked on a stalled server is left
// to end by itself. Then forgets the transfer.
void StopWorker(TransferWindow& window);

// For WM_APP_TRANSFER_ENDED with the transfer's id: the report of the
// window's transfer (kind None when there is nothing to say), once its
// worker is gone; nothing for a transfer that is no longer the window's.
std::optional<TransferReport> TakeEndedTransfer(TransferWindow& window, unsigned long id);

// Retry in a report: starts another round of requests for the rest of the
// window's ended transfer, into the same file from the bytes it holds, or
// from the start if the file's length is no longer what was written.
// Raises what opening the file raises.
void ContinueTransfer(TransferWindow& window);
