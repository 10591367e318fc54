#pragma once

#include "framework/unique_handle.h"
#include "framework/wnd.h"
#include "transfer/grab_queue.h"
#include "transfer/handed_addresses.h"
#include "transfer/page_fetch.h"
#include "transfer/transfer_state.h"
#include "transfer/transfer_window.h"
#include "transfer/web/proxy_sign_in.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>

// Owns the grabs of one window from Enter to the end: the page fetch, the
// video request, the download worker, the stop, the report and Retry. The
// window forwards its commands and the two posted messages here; nothing
// waits or runs a message loop in between. One fetch is waited for and one
// transfer is the window's: a new grab abandons the fetch, and once its page
// has come stops the transfer before it starts its own. An ended transfer
// is kept (its worker let go) for Retry.
class TransferController {
public:
    explicit TransferController(TransferWindow& window) : m_window(window) {}
    TransferController(const TransferController&) = delete;
    TransferController& operator=(const TransferController&) = delete;
    // Stops whatever still runs and waits for its file to close; never
    // raises.
    ~TransferController();

    // The Grab command: starts fetching the page of address, in UTF-8 as
    // typed, and returns. During a queue, address is grabbed first, and the
    // queue's grab it stops is grabbed again after it.
    void Grab(std::string address);
    // Addresses handed over at once (a drop, the command line): grabbed one
    // after another, after a running grab, which joins them; one report at
    // the end says what did not end whole.
    void Queue(HandedAddresses handed);
    // The running queue grab's place in its queue, from 1, and the queue's
    // size; nothing without a queue.
    std::optional<std::pair<std::size_t, std::size_t>> QueuePlace() const;
    // WM_APP_PAGE_FETCHED: analyses the page, stops the running transfer,
    // creates the output file and starts the worker. Raises what fetching
    // or analysing the page raised, with a running transfer left running,
    // as a failure of the command that started the grab.
    void PageFetched(unsigned long fetchId);
    // WM_APP_TRANSFER_ENDED: lets the worker go, shows the report, and on
    // Retry continues the transfer.
    void TransferEnded(unsigned long transferId);
    // WM_APP_PROXY_SIGN_IN: shows the proxy's password dialog when the
    // thread that asks is the fetch waited for or the running transfer's
    // worker; a grab let go is answered as a cancel, with nothing shown.
    DWORD SignInToProxy(const ProxySignIn& question);
    // The window ends: abandons the fetch and stops the transfer, keeping
    // every byte that arrived. Nothing starts after. Gives the report for
    // the window to show once it has gone: where the bytes are kept, or
    // why they could not be.
    std::optional<TransferReport> Stop() noexcept;

    // True while a worker copies.
    bool TransferActive() const { return m_transfer && m_transfer->Active(); }
    // True while a page is fetched or a worker copies, or a queue waits.
    bool Busy() const { return m_fetch || m_worker || m_queue.Active(); }

private:
    void StartFetch(std::string address);
    // Analyses the fetched page and starts its transfer (see PageFetched).
    void StartFetched(FetchedPage fetched);
    // The queue's grab ended with report: the next one starts, or the
    // queue's report shows.
    void QueuedEnded(TransferReport report);
    void StartNextInQueue();
    void Start(VideoRequest request, const std::wstring& fileName, const std::optional<TransferPoint>& from);
    // Stops the transfer and lets its worker go; a failed last write's
    // report, or when telling, where a running transfer's bytes are kept.
    std::optional<TransferReport> StopTransfer(bool telling = false) noexcept;
    void LetWorkerGo() noexcept;
    void ShowStopReport(const std::optional<TransferReport>& report) noexcept;

    TransferWindow& m_window;
    std::shared_ptr<PageFetch> m_fetch;
    // The command that started the fetch (a click on "Grab!" or Enter).
    MSG m_grabCommand = {};
    // The address of the grab that runs, fetching or transferring.
    std::string m_address;
    GrabQueue m_queue;
    // The window's transfer: running, or ended and kept for Retry.
    std::shared_ptr<TransferState> m_transfer;
    // The transfer stopped last, whose file its record keeper closes.
    std::shared_ptr<TransferState> m_closing;
    // Set from the worker's start until it is let go.
    UniqueHandle m_worker;
    bool m_stopped = false;
};
