#pragma once

#include "framework/file.h"
#include "transfer/web/http_file.h"

#include <atomic>
#include <memory>
#include <mutex>

// One transfer: the sent video request, the output file it is copied into
// and the flag that keeps the copying on. The window that starts the
// transfer and its download worker share it, and each holds a reference,
// so a worker that the window has stopped waiting for (one blocked on a
// stalled server) still finds it whole when its read returns.
class TransferState {
public:
    std::unique_ptr<CHttpFile> m_response;
    CFile m_outputFile;
    // Set while the worker copies; clearing it asks the worker to stop.
    std::atomic<bool> m_transferActive{false};

    // Writes a chunk unless the window has closed the file already (a stop
    // that did not wait for the worker); false then.
    bool Write(const void* chunk, unsigned count);
    // Closes the file with every byte written so far, without raising; does
    // nothing to a closed file.
    void CloseFile();

private:
    // Guards m_outputFile between the worker's writes and a close from the
    // window's thread. Held only for a write or a close, never across a
    // window message, so neither side can block the other for long.
    std::mutex m_fileLock;
};
