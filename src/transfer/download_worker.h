#pragma once

#include "transfer/transfer_state.h"
#include "transfer/transfer_window.h"

#include <memory>

// Starts the download worker on transfer, whose request is ready to be
// sent and whose output file is open, and records it in window. The worker
// sends the request, then copies the response into the file 1024 bytes at
// most at a time, showing the count after each chunk, until the body ends
// or the transfer flag is cleared. A transfer that ends on its own ends
// with the file closed, the flag clear and "Grab!" enabled, and then says
// what went wrong, if anything did. Raises CMemoryException, with the file
// closed, when no thread can be started.
void StartWorker(TransferWindow& window, std::shared_ptr<TransferState> transfer);

// Asks the window's running worker to stop and waits for it, carrying out
// the control updates it sends meanwhile, but not for long: a worker
// blocked on a stalled server is left to end by itself, after its file has
// been closed here with every byte it wrote. Then forgets the transfer.
void StopWorker(TransferWindow& window);
