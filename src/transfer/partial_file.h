#pragma once

#include "framework/file.h"
#include "transfer/partial_claim.h"
#include "transfer/partial_record.h"

#include <cstddef>
#include <optional>
#include <string>

// The video's file while it arrives. The bytes go to "<name>.part", which
// a user, a player and a script all read as unfinished; the video takes
// its own name only when whole, by one rename. Beside the partial,
// "<name>.resume" records the request and how many of the bytes reached
// the disk, so that a later grab of the same page continues it. The
// record never counts more than was flushed before it was written. Bytes
// of this request whose record cannot be continued are started over;
// bytes of anything else are set aside, never emptied.
class PartialFile : public CFile {
public:
    // The names' endings after the video's own name.
    static constexpr wchar_t kPartialSuffix[] = L".part";
    static constexpr wchar_t kRecordSuffix[] = L".resume";
    // A new record is written under this ending and then takes the
    // record's name by one rename, so a kill never leaves half a record.
    // No longer than the record's, so that the name always fits.
    static constexpr wchar_t kDraftSuffix[] = L".resum~";
    // The longest video name whose partial and record names every file
    // system Clipwell saves to accepts: a name in a folder has at most 255
    // UTF-16 units on Windows, and 255 bytes of UTF-8 where Wine saves to a
    // Unix file system.
    static constexpr std::size_t kLongestVideoName = 255 - (sizeof kRecordSuffix / sizeof(wchar_t) - 1);

    // Opens the partial of the video finalName, for request, keeping what
    // it holds: opened by this process alone, so that two programs never
    // write one file. Raises CPartialInUseException when another Clipwell,
    // or another program, has it, else what opening raises.
    void OpenFor(const std::wstring& finalName, std::string request);
    // Where its record says the file got to: nothing unless the record is
    // whole and of this request, and either has a validator or counts the
    // whole video.
    std::optional<TransferPoint> Recorded() const;
    // The file holds nothing, or its record is of this request: bytes that
    // this grab may drop.
    bool HoldsThisRequest() const;
    // Keeps the bytes that are not this request's under a free name beside
    // the partial ("<title> (2).flv.part"), with their record, and goes on
    // with an empty partial; gives the name they are kept under. Raises
    // what fails, the bytes then still under the partial's name.
    std::wstring SetAside();
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
    // The whole video: flushed and renamed to the final name through the
    // open file, replacing an earlier file only now, tried again for a
    // moment while another program holds that name; then closed, and the
    // record goes. False, with error filled and the partial left open, when
    // that fails.
    bool Complete(CFileException* error) noexcept;
    // Closes the file and gives up the claim on it.
    void Abort() override;

    const std::wstring& PartialName() const { return m_partialName; }

private:
    // The record beside the partial, whole, of any request; nothing when
    // missing, unreadable or torn.
    std::optional<PartialRecord> StoredRecord() const;
    // Opens the partial's name, keeping what it holds; raises what fails.
    void OpenPartial();
    // Renames the open file to name (as the file system takes it), or,
    // where the file system cannot do that, closes and moves it and opens
    // it again under name; the system's error, 0 once done.
    DWORD Rename(const std::wstring& name, bool replace) noexcept;

    // The video's and the partial's names as the user reads them; the
    // file system gets them after m_where (see OpenFor).
    std::wstring m_where;
    std::wstring m_finalName;
    std::wstring m_partialName;
    std::wstring m_recordName;
    std::wstring m_draftName;
    std::string m_request;
    PartialClaim m_claim;
};
