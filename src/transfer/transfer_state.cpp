#include "transfer/transfer_state.h"

#include "framework/error_message.h"
#include "framework/framework_resource.h"
#include "framework/thread.h"
#include "framework/wide_text.h"
#include "transfer/transfer_messages.h"
#include "transfer/video_site.h"

#include <utility>

namespace {

// How long no byte may come before the record is brought up to the bytes.
constexpr unsigned long kStallMs = 1000;

}  // namespace

std::unique_ptr<CHttpFile> VideoRequest::Open() const
{
    std::unique_ptr<CHttpFile> request = connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, path.c_str(),
                                                                 nullptr, 1, nullptr, nullptr, kVideoRequestFlags);
    request->AddRequestHeaders(kVideoAcceptHeader, HTTP_ADDREQ_FLAG_ADD_IF_NEW, -1);
    return request;
}

std::string VideoRequest::Text() const
{
    return std::string("http://") + kVideoSiteHost + "/" + path;
}

std::atomic<unsigned long> TransferState::s_lastId{0};

TransferState::TransferState(VideoRequest request, const TransferDisplay& display)
    : m_id(++s_lastId), m_request(std::move(request)), m_window(display.window),
      m_stopped(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_closed(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    // Made once, not for every chunk: what a stop writes of a chunk that is
    // still filling, and whether the read should go on waiting.
    m_noteArrived = [this](unsigned count) {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_inHand = count;
        return m_transferActive.load();
    };
    m_status.Attach(display.status);
    m_progress.Attach(display.progress);
}

void TransferState::Open(const std::wstring& fileName, std::optional<TransferPoint> from)
{
    m_response = m_request.Open();
    m_partial.Open(fileName, m_request.Text(), std::move(from));
    m_fileName = ToUtf16(m_partial.PartialName());
    m_videoName = fileName;
}

TransferPoint TransferState::Point() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_partial.Point();
}

bool TransferState::Whole() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_partial.Whole();
}

bool TransferState::Mendable() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_partial.Mendable();
}

bool TransferState::AsksForTheRest() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_partial.AsksForTheRest();
}

unsigned TransferState::ReadChunk(CHttpFile& response)
{
    // The read fills the chunk outside the lock; a stop meanwhile writes
    // only the part already noted as arrived, which the read leaves alone.
    return response.ReadChunk(m_chunk, kChunkSize, m_noteArrived);
}

void TransferState::WriteChunk(unsigned count, bool record)
{
    // Taken even when the write fails: what it left is in the point.
    m_inHand = 0;
    m_partial.Write(m_chunk, count, record);
}

bool TransferState::TakeChunk(unsigned count, TransferProgress& progress)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (!m_transferActive)
        return false;
    const std::int64_t received = m_partial.Point().written + count;
    m_status.SetWindowText(progress.StatusText(received).c_str());
    m_progress.SetPos(progress.Position(received));
    WriteChunk(count, true);
    return true;
}

bool TransferState::StartOver(const WholeReply& reply, int rangeHigh)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (!m_transferActive)
        return false;
    if (m_partial.BeginWhole(reply))
        m_progress.SetPos(0);
    m_progress.SetRange32(0, rangeHigh);
    return true;
}

std::optional<ContinuedReply> TransferState::JudgeContinued(int status, std::string_view contentRange,
                                                            std::string_view validator)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (!m_transferActive)
        return std::nullopt;
    return m_partial.Judge(status, contentRange, validator);
}

bool TransferState::EndBody(bool cleanly)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    m_partial.EndBody(cleanly);
    return m_partial.Mendable();
}

bool TransferState::ShowStatus(const std::string& text)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (m_transferActive)
        m_status.SetWindowText(text.c_str());
    return m_transferActive;
}

bool TransferState::ShowContinuing(const std::string& text, int rangeHigh, int position)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (!m_transferActive)
        return false;
    m_status.SetWindowText(text.c_str());
    m_progress.SetRange32(0, rangeHigh);
    m_progress.SetPos(position);
    return true;
}

bool TransferState::WaitUnlessStopped(unsigned long milliseconds) const
{
    return WaitForSingleObject(m_stopped.Get(), milliseconds) == WAIT_OBJECT_0;
}

void TransferState::KeepRecordThroughStalls() noexcept
{
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_keeperRunning = true;
    }
    std::int64_t seen = -1;
    while (!WaitUnlessStopped(kStallMs)) {
        const std::lock_guard<std::mutex> lock(m_lock);
        if (!m_transferActive)
            break;
        const std::int64_t arrived = m_partial.Point().written + m_inHand;
        if (arrived == seen)
            m_partial.KeepRecord(PartialVideo::When::Behind);
        seen = arrived;
    }
    const std::lock_guard<std::mutex> lock(m_lock);
    m_keeperRunning = false;
    if (m_closePending)
        CloseFile();
}

void TransferState::CloseFile() noexcept
{
    m_closePending = false;
    m_partial.KeepRecord(PartialVideo::When::Now);
    m_partial.Abort();
    SetEvent(m_closed.Get());
}

bool TransferState::AwaitClosed(unsigned long milliseconds) const
{
    return WaitForSingleObject(m_closed.Get(), milliseconds) == WAIT_OBJECT_0;
}

TransferOutcome TransferState::Counted(TransferOutcome outcome) const
{
    const TransferPoint& point = m_partial.Point();
    outcome.fileName = m_fileName;
    outcome.contentLength = point.lengthText;
    outcome.expected = point.total;
    outcome.received = point.written;
    outcome.setAside = ToUtf16(m_partial.SetAsideName());
    return outcome;
}

void TransferState::Finish(TransferOutcome outcome, bool canContinue)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (!m_transferActive)
        return;
    m_transferActive = false;
    outcome = Counted(std::move(outcome));
    outcome.canContinue = canContinue;
    CFileException error;
    if (m_partial.Whole()) {
        outcome.whole = m_partial.Complete(&error);
        if (!outcome.whole) {
            // Whole in the partial: Retry only gives it its name.
            outcome.failed = true;
            outcome.failure = ToUtf16(ErrorMessageText(error, AFX_IDP_INTERNAL_FAILURE));
            outcome.heldName = ToUtf16(m_videoName);
            outcome.canContinue = canContinue = true;
        }
    }
    outcome.resumable = m_partial.KeepRecord(PartialVideo::When::Now) && m_partial.Continuable();
    m_partial.Abort();
    SetEvent(m_closed.Get());
    if (canContinue)
        m_reached = m_partial.Point();
    m_outcome = std::move(outcome);
    SetEvent(m_stopped.Get());
    // Posted, not sent: the window takes the end in its own time, and this
    // thread is done with it.
    PostMessageA(m_window, WM_APP_TRANSFER_ENDED, m_id, 0);
}

std::optional<TransferReport> TransferState::Stop(bool telling) noexcept
{
    // The worker may hold the lock while it sends this thread a control
    // update, so the messages sent meanwhile are carried out, or neither
    // side could go on.
    WaitRunningSentMessages(nullptr, INFINITE, [this] { return m_lock.try_lock(); });
    const std::lock_guard<std::mutex> lock(m_lock, std::adopt_lock);
    std::optional<TransferReport> failed;
    const bool running = m_transferActive.exchange(false);
    // A stop during a stall keeps what arrived before it.
    if (running && m_inHand > 0 && m_partial.IsOpen()) {
        try {
            WriteChunk(m_inHand, false);
        } catch (const CException& error) {
            TransferOutcome outcome;
            outcome.failed = true;
            outcome.failure = ToUtf16(ErrorMessageText(error, AFX_IDP_INTERNAL_FAILURE));
            failed = ReportOf(Counted(std::move(outcome)));
        }
    }
    const bool resumable = running && m_partial.Continuable();
    const std::int64_t kept = m_partial.Point().written;
    if (running && telling && !failed && kept > 0)
        failed = KeptReport(m_fileName, kept, resumable);
    if (running && telling && !m_partial.SetAsideName().empty()) {
        TransferReport report = failed.value_or(TransferReport{});
        SaySetAside(report, m_fileName, ToUtf16(m_partial.SetAsideName()));
        failed = std::move(report);
    }
    // The last record waits for the file to reach the disk, which slow
    // media make long: the record keeper writes it and closes the file, off
    // the window's thread; only without one is it done here.
    if (m_keeperRunning)
        m_closePending = running;
    else if (running)
        CloseFile();
    SetEvent(m_stopped.Get());
    return failed;
}
