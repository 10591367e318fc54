#pragma once

#include "framework/file.h"
#include "transfer/partial_record.h"

#include <cstddef>
#include <optional>
#include <string>

// The video's file while it arrives. The bytes go to "<name>.part", which
// a user, a player and a script all read as unfinished; the video takes
// its own name only when whole, by one rename. Beside the partial,
// "<name>.resume" records the request and how many of the bytes reached
// the disk, so that a later grab of the same page continues it. The
// record never counts more than was flushed before it was written, and a
// record that is missing, torn or of another request means starting over.
class PartialFile : public CFile {
public:
    // The names' endings after the video's own name.
    static constexpr wchar_t kPartialSuffix[] = L".part";
    static constexpr wchar_t kRecordSuffix[] = L".resume";
    // A new record is written under this ending and then takes the
    // record's name by one rename, so a kill never leaves half a record.
    // No longer than the record's, so that the name always fits.
    static constexpr wchar_t kDraftSuffix[] = L".resum~";
    // The longest video name whose partial and record names Windows still
    // accepts: a name in a folder has at most 255 UTF-16 units.
    static constexpr std::size_t kLongestVideoName = 255 - (sizeof kRecordSuffix / sizeof(wchar_t) - 1);

    // Opens the partial of the video finalName, for request, keeping what
    // it holds: opened by this process alone, so that two Clipwells never
    // write one file. Raises CPartialInUseException when another has it,
    // else what opening raises.
    void OpenFor(const std::wstring& finalName, std::string request);
    // Where its record says the file got to: nothing unless the record is
    // whole, of this request, with a validator, and short of the video.
    std::optional<TransferPoint> Recorded() const;
    // Goes on from point: the file cut to the bytes point counts; false,
    // and nothing changed, when it holds fewer.
    bool ContinueFrom(const TransferPoint& point);
    // The record forgotten first, then the file emptied.
    void StartOver();
    // Flushes the file, then records point: written whole under the
    // draft's name, flushed, and swapped in for the old record in one
    // step; false when any of it fails.
    bool Record(const TransferPoint& point) noexcept;
    // The file's bytes are no longer those the record describes.
    void ForgetRecord() noexcept;
    // The whole video: flushed, closed and renamed to the final name,
    // replacing an earlier file only now; the record goes. False, with
    // error filled and the partial left, when that fails.
    bool Complete(CFileException* error) noexcept;

    const std::wstring& PartialName() const { return m_partialName; }

private:
    std::wstring m_finalName;
    std::wstring m_partialName;
    std::wstring m_recordName;
    std::wstring m_draftName;
    std::string m_request;
};
