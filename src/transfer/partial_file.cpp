#include "transfer/partial_file.h"

#include "framework/unique_handle.h"
#include "framework/wide_text.h"
#include "transfer/partial_in_use_exception.h"

#include <utility>

namespace {

// A record is a few hundred bytes; anything much longer is not one.
constexpr DWORD kRecordCapacity = 8192;

constexpr unsigned kKeepContents =
    CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite | CFile::typeBinary | CFile::shareExclusive;

// The contents of a small file; nothing when it is missing or unreadable.
std::optional<std::string> ReadRecordFile(const std::wstring& name)
{
    const UniqueHandle file(
        CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string text(kRecordCapacity, '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), text.data(), kRecordCapacity, &read, nullptr))
        return std::nullopt;
    text.resize(read);
    return text;
}

}  // namespace

void PartialFile::OpenFor(const std::wstring& finalName, std::string request)
{
    m_finalName = finalName;
    m_partialName = finalName + kPartialSuffix;
    m_recordName = finalName + kRecordSuffix;
    m_draftName = finalName + kDraftSuffix;
    m_request = std::move(request);
    // Known before any byte is asked for: a name the whole video could not
    // take (a folder, a read-only file).
    const DWORD attributes = GetFileAttributesW(m_finalName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        throw CFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, WideToAnsi(m_finalName), ToUtf16(m_finalName));
    CFileException error;
    if (Open(m_partialName.c_str(), kKeepContents, &error))
        return;
    if (error.m_cause == CFileException::sharingViolation)
        throw CPartialInUseException(ToUtf16(m_partialName));
    throw error;
}

std::optional<TransferPoint> PartialFile::Recorded() const
{
    const std::optional<std::string> text = ReadRecordFile(m_recordName);
    const std::optional<PartialRecord> record = text ? ParsePartialRecord(*text) : std::nullopt;
    if (!record || record->request != m_request || record->point.validator.empty() ||
        (record->point.total > 0 && record->point.written >= record->point.total))
        return std::nullopt;
    return record->point;
}

bool PartialFile::ContinueFrom(const TransferPoint& point)
{
    if (SeekToEnd() < static_cast<unsigned long long>(point.written))
        return false;
    // Bytes past the record's count may not have reached the disk whole.
    SetLength(static_cast<unsigned long long>(point.written));
    SeekToEnd();
    return true;
}

void PartialFile::StartOver()
{
    ForgetRecord();
    // Only when there is something to cut: a device cannot be cut at all.
    if (SeekToEnd() > 0)
        SetLength(0);
}

bool PartialFile::Record(const TransferPoint& point) noexcept
{
    if (!FlushFileBuffers(m_hFile.Get()))
        return false;
    const std::string text = FormatPartialRecord({m_request, point});
    UniqueHandle draft(
        CreateFileW(m_draftName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const bool whole = draft &&
                       WriteFile(draft.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size() && FlushFileBuffers(draft.Get());
    // Closed before the rename, which an open handle would refuse.
    return draft.Close() && whole &&
           MoveFileExW(m_draftName.c_str(), m_recordName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

void PartialFile::ForgetRecord() noexcept
{
    DeleteFileW(m_recordName.c_str());
    DeleteFileW(m_draftName.c_str());
}

bool PartialFile::Complete(CFileException* error) noexcept
{
    const bool done =
        FlushFileBuffers(m_hFile.Get()) && m_hFile.Close() &&
        MoveFileExW(m_partialName.c_str(), m_finalName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!done) {
        const DWORD osError = GetLastError();
        *error = CFileException(CFileException::OsErrorToCause(static_cast<long>(osError)), static_cast<long>(osError),
                                WideToAnsi(m_finalName), ToUtf16(m_finalName));
        return false;
    }
    ForgetRecord();
    return true;
}
