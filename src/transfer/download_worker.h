#pragma once

#include "framework/unique_handle.h"
#include "transfer/transfer_state.h"

#include <memory>

// The download worker: a thread that sends the video request of a transfer
// and copies the reply into its output file, at most 1024 bytes at a time,
// showing the count after each chunk. When the reply breaks off early, it
// asks for the rest (see continuation.h), up to four requests in all. A
// transfer that ends on its own ends with the file closed and the flag
// clear, and then tells the window (TransferState::Finish). Beside it, a
// second thread brings the partial file's record up to its bytes when the
// server stalls.

// Starts the worker on transfer, whose flag is set, whose first request is
// ready to be sent and whose output file is open. An empty handle when no
// thread can be started.
UniqueHandle StartDownloadWorker(std::shared_ptr<TransferState> transfer);
