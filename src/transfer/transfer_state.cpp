#include "transfer/transfer_state.h"

#include "transfer/transfer_messages.h"
#include "transfer/video_site.h"

#include <utility>

namespace {

// Takes lock on the window's thread. The worker may hold it while it
// sends this thread a control update, so the messages sent meanwhile are
// carried out, or neither side could go on.
void LockRunningSentMessages(std::mutex& lock)
{
    while (!lock.try_lock()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

std::unique_ptr<CHttpFile> VideoRequest::Open() const
{
    std::unique_ptr<CHttpFile> request = connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, path.c_str(),
                                                                 nullptr, 1, nullptr, nullptr, kVideoRequestFlags);
    request->AddRequestHeaders(kVideoAcceptHeader, HTTP_ADDREQ_FLAG_ADD_IF_NEW, -1);
    return request;
}

std::atomic<unsigned long> TransferState::s_lastId{0};

TransferState::TransferState()
    : m_id(++s_lastId), m_stopped(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
}

void TransferState::Finish(TransferOutcome outcome, std::optional<TransferPoint> reached, HWND window)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (!m_transferActive)
        return;
    m_transferActive = false;
    m_outputFile.Abort();
    m_outcome = std::move(outcome);
    m_reached = std::move(reached);
    // Posted, not sent: the window takes the end in its own time, and this
    // thread is done with it.
    PostMessageA(window, WM_APP_TRANSFER_ENDED, m_id, 0);
}

bool TransferState::Hold(unsigned count)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    m_inHand = count;
    return m_transferActive;
}

void TransferState::Stop()
{
    LockRunningSentMessages(m_lock);
    const std::lock_guard<std::mutex> lock(m_lock, std::adopt_lock);
    // However the write below ends, the file is closed and the worker free.
    struct Closing {
        TransferState& state;
        ~Closing()
        {
            state.m_outputFile.Abort();
            SetEvent(state.m_stopped.Get());
        }
    } closing{*this};
    const bool wasActive = m_transferActive.exchange(false);
    // A stop during a stall keeps what arrived before it.
    if (wasActive && m_inHand > 0 && m_outputFile.IsOpen())
        m_outputFile.Write(m_chunk, std::exchange(m_inHand, 0u));
}

bool TransferState::WaitUnlessStopped(unsigned long milliseconds) const
{
    return WaitForSingleObject(m_stopped.Get(), milliseconds) == WAIT_OBJECT_0;
}
