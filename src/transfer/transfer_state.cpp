#include "transfer/transfer_state.h"

#include "framework/error_message.h"
#include "framework/framework_resource.h"
#include "framework/thread.h"
#include "framework/wide_text.h"
#include "transfer/transfer_messages.h"
#include "transfer/video_site.h"

#include <utility>

namespace {

// How often the record follows the bytes while they flow: each time costs
// flushing the file to the disk.
constexpr unsigned long long kRecordEveryMs = 2000;

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
      m_stopped(CreateEventA(nullptr, TRUE, FALSE, nullptr))
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
    m_outputFile.OpenFor(fileName, m_request.Text());
    m_fileName = ToUtf16(m_outputFile.PartialName());
    m_videoName = fileName;
    if (!from)
        from = m_outputFile.Recorded();
    if (from && m_outputFile.ContinueFrom(*from)) {
        m_continueFrom = from;
        m_written = from->written;
        m_lengthText = from->lengthText;
        m_expected = from->total;
        m_validator = from->validator;
        m_recorded = !m_validator.empty();
    } else {
        m_outputFile.StartOver();
    }
}

unsigned TransferState::ReadChunk(CHttpFile& response)
{
    // The read fills the chunk outside the lock; a stop meanwhile writes
    // only the part already noted as arrived, which the read leaves alone.
    return response.ReadChunk(m_chunk, kChunkSize, m_noteArrived);
}

void TransferState::WriteChunk(unsigned count)
{
    try {
        m_outputFile.Write(m_chunk, count);
        m_written += count;
        m_inHand = 0;
    } catch (...) {
        // A short write on a full disk leaves part of the chunk in the file.
        m_inHand = 0;
        m_written = static_cast<std::int64_t>(m_outputFile.SeekToEnd());
        throw;
    }
}

bool TransferState::TakeChunk(unsigned count, const std::string& status, int position)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (!m_transferActive)
        return false;
    m_status.SetWindowText(status.c_str());
    m_progress.SetPos(position);
    WriteChunk(count);
    KeepRecord(false);
    return true;
}

bool TransferState::KeepRecord(bool now) noexcept
{
    if (!m_recorded)
        return false;
    const unsigned long long tick = GetTickCount64();
    if (!now && tick - m_recordedAt < kRecordEveryMs)
        return true;
    m_recordedAt = tick;
    return m_outputFile.Record(TransferPoint{m_written, m_expected, m_lengthText, m_validator});
}

bool TransferState::StartOver(const std::string& lengthText, std::int64_t expected, int rangeHigh,
                              const std::string& validator)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (!m_transferActive)
        return false;
    if (m_written > 0 || m_recorded) {
        m_outputFile.StartOver();
        m_written = 0;
        m_progress.SetPos(0);
    }
    m_lengthText = lengthText;
    m_expected = expected;
    m_validator = validator;
    m_recorded = !validator.empty();
    KeepRecord(true);
    m_progress.SetRange32(0, rangeHigh);
    return true;
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

void TransferState::Finish(TransferOutcome outcome, std::optional<TransferPoint> reached)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (!m_transferActive)
        return;
    m_transferActive = false;
    CFileException error;
    if (ReportOf(outcome).kind == ReportKind::None) {
        if (m_outputFile.Complete(&error)) {
            m_recorded = false;
        } else {
            outcome.failed = true;
            outcome.failure = ToUtf16(ErrorMessageText(error, AFX_IDP_INTERNAL_FAILURE));
        }
    }
    outcome.resumable = KeepRecord(true);
    m_outputFile.Abort();
    m_outcome = std::move(outcome);
    m_reached = std::move(reached);
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
    if (running && m_inHand > 0 && m_outputFile.IsOpen()) {
        try {
            WriteChunk(m_inHand);
        } catch (const CException& error) {
            TransferOutcome outcome;
            outcome.fileName = m_fileName;
            outcome.failed = true;
            outcome.failure = ToUtf16(ErrorMessageText(error, AFX_IDP_INTERNAL_FAILURE));
            outcome.contentLength = m_lengthText;
            outcome.expected = m_expected;
            outcome.received = m_written;
            failed = ReportOf(outcome);
        }
    }
    const bool resumable = running && KeepRecord(true);
    if (running && telling && !failed && m_written > 0)
        failed = KeptReport(m_fileName, m_written, resumable);
    m_outputFile.Abort();
    SetEvent(m_stopped.Get());
    return failed;
}
