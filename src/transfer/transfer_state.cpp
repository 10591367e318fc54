#include "transfer/transfer_state.h"

bool TransferState::Write(const void* chunk, unsigned count)
{
    const std::lock_guard<std::mutex> lock(m_fileLock);
    if (!m_outputFile.IsOpen())
        return false;
    m_outputFile.Write(chunk, count);
    return true;
}

void TransferState::CloseFile()
{
    const std::lock_guard<std::mutex> lock(m_fileLock);
    m_outputFile.Abort();
}
