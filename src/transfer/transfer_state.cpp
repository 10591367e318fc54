#include "transfer/transfer_state.h"

#include "framework/error_message.h"
#include "framework/framework_resource.h"
#include "framework/thread.h"
#include "framework/wide_text.h"
#include "transfer/transfer_messages.h"
#include "transfer/video_site.h"

#include <utility>

namespace {

constexpr unsigned kNewFile = CFile::modeCreate | CFile::modeWrite | CFile::typeBinary | CFile::shareExclusive;
constexpr unsigned kSameFile = kNewFile | CFile::modeNoTruncate;

}  // namespace

std::unique_ptr<CHttpFile> VideoRequest::Open() const
{
    std::unique_ptr<CHttpFile> request = connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, path.c_str(),
                                                                 nullptr, 1, nullptr, nullptr, kVideoRequestFlags);
    request->AddRequestHeaders(kVideoAcceptHeader, HTTP_ADDREQ_FLAG_ADD_IF_NEW, -1);
    return request;
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

void TransferState::Open(const std::wstring& fileName, const std::optional<TransferPoint>& from)
{
    m_response = m_request.Open();
    CFileException error;
    if (!m_outputFile.Open(fileName.c_str(), from ? kSameFile : kNewFile, &error))
        throw error;
    m_fileName = ToUtf16(fileName);
    if (!from)
        return;
    if (m_outputFile.SeekToEnd() == static_cast<unsigned long long>(from->written)) {
        m_continueFrom = from;
        m_written = from->written;
        m_lengthText = from->lengthText;
        m_expected = from->total;
    } else {
        m_outputFile.SetLength(0);
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
    return true;
}

bool TransferState::StartOver(const std::string& lengthText, std::int64_t expected, int rangeHigh)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (!m_transferActive)
        return false;
    if (m_written > 0) {
        m_outputFile.SetLength(0);
        m_written = 0;
        m_progress.SetPos(0);
    }
    m_lengthText = lengthText;
    m_expected = expected;
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
    m_outputFile.Abort();
    m_outcome = std::move(outcome);
    m_reached = std::move(reached);
    // Posted, not sent: the window takes the end in its own time, and this
    // thread is done with it.
    PostMessageA(m_window, WM_APP_TRANSFER_ENDED, m_id, 0);
}

std::optional<TransferReport> TransferState::Stop() noexcept
{
    // The worker may hold the lock while it sends this thread a control
    // update, so the messages sent meanwhile are carried out, or neither
    // side could go on.
    WaitRunningSentMessages(nullptr, INFINITE, [this] { return m_lock.try_lock(); });
    const std::lock_guard<std::mutex> lock(m_lock, std::adopt_lock);
    std::optional<TransferReport> failed;
    // A stop during a stall keeps what arrived before it.
    if (m_transferActive.exchange(false) && m_inHand > 0 && m_outputFile.IsOpen()) {
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
    m_outputFile.Abort();
    SetEvent(m_stopped.Get());
    return failed;
}
