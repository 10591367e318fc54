#pragma once

#include "transfer/continuation.h"
#include "transfer/partial_file.h"
#include "transfer/partial_record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The server's answer that starts the video from its first byte.
struct WholeReply {
    int statusCode = 0;
    bool statusLine = false;  // false for bytes without a status line
    std::string lengthText;   // the Content-Length as sent; empty without one
    std::int64_t length = 0;
    std::string validator;    // its If-Range value (IfRangeValidator)
};

// What the partial file of a video holds, and what may be done with it:
// the one owner of its truth. It keeps the bytes' count, the length the
// server stated and the validator (one TransferPoint), and alone decides
// whether the file goes on from a record, starts over or is whole, and
// writes the record. Whole is a count of bytes against a stated length,
// or the orderly end of a reply that stated none.
class PartialVideo {
public:
    // Opens the partial of finalName for request: continued from from (a
    // round before) or else from its record when the file still holds
    // those bytes; else emptied when its bytes are this request's, and set
    // aside under a free name when they are not. Raises what opening
    // raises.
    void Open(const std::wstring& finalName, std::string request, std::optional<TransferPoint> from);

    const TransferPoint& Point() const { return m_point; }
    const std::wstring& PartialName() const { return m_file.PartialName(); }
    // Where bytes that were not this request's are kept; empty when none.
    const std::wstring& SetAsideName() const { return m_setAside; }
    bool IsOpen() const { return m_file.IsOpen(); }

    // The file starts again for reply: emptied if it holds anything, and
    // recorded from now on when the reply can be continued. True when
    // bytes were dropped.
    bool BeginWhole(const WholeReply& reply);
    // What an answer to a request for the rest means, its validator
    // already taken (IfRangeValidator). A 206 must carry the validator
    // asked with; when it is appended, a length not known before is
    // learnt from it. A refusal drops the record, and the next request
    // asks for the whole video.
    ContinuedReply Judge(int status, std::string_view contentRange, std::string_view validator);

    // Appends bytes; when record, the record follows every 2 s or 1 MiB.
    // Raises the write's error, the count then what the file holds.
    void Write(const char* bytes, unsigned count, bool record);
    // The body has ended; cleanly says no connection was lost. A reply
    // without a stated length is whole only at an orderly end.
    void EndBody(bool cleanly);

    // The bytes are a whole video: as many as the stated length, or all of
    // a reply without one that ended in order.
    bool Whole() const;
    // The bytes are a video that broke off, which asking again may mend.
    bool Mendable() const { return m_mendable && !Whole(); }
    // The next request asks for the rest (Range and If-Range): some of a
    // mendable video is here, and a validator ties the rest to it.
    bool AsksForTheRest() const { return Mendable() && m_point.written > 0 && !m_point.validator.empty(); }

    // Brings the record up to the bytes: when now, when due, or (behind)
    // only when it counts fewer than the file holds. True while the record
    // describes the bytes.
    enum class When { Now, Due, Behind };
    bool KeepRecord(When when) noexcept;
    // A record of the bytes lets a later grab go on from them: they are
    // whole, or can be asked the rest of.
    bool Continuable() const { return m_recorded && (Whole() || AsksForTheRest()); }
    // The whole video takes its final name; see PartialFile::Complete.
    // When it cannot, the record counts the bytes as the whole video.
    bool Complete(CFileException* error) noexcept;
    void Abort() noexcept { m_file.Abort(); }

private:
    PartialFile m_file;
    TransferPoint m_point;
    std::wstring m_setAside;
    // Set while the bytes answer a 200 or its continuation.
    bool m_mendable = false;
    // Set while the bytes are the video: a 2xx reply, or a continued one.
    bool m_video = false;
    bool m_endedCleanly = false;
    // Set while the record describes the bytes.
    bool m_recorded = false;
    unsigned long long m_recordedAt = 0;  // tick count
    std::int64_t m_recordedBytes = -1;
};
