#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How a broken video transfer goes on: the request for the rest of the
// video, and what the server's answer to it means. A video whose reply was
// whole in length (200 with a Content-Length) and broke off early is asked
// for again from the bytes in the file, up to kTries requests in a round.

// Requests in one round: the first and three more.
inline constexpr int kTries = 4;

// Seconds to wait before try (2, 3 or 4): 1, 2, 4.
int SecondsBeforeTry(int attempt);

// What If-Range carries: a strong ETag, else the Last-Modified date when
// the reply has no ETag at all, else nothing. A weak ETag ("W/...") may not
// be used for ranges, and beside it the date is no surer: a video without
// a strong validator is never continued, so two videos are never joined.
std::string IfRangeValidator(std::string_view etag, std::string_view lastModified);

// The request headers that ask for the video from offset on, each line
// ending in CR LF; with If-Range when there is a validator.
std::string ContinuationHeaders(std::int64_t offset, std::string_view validator);

// What the server's reply to a continuation request means.
enum class ContinuedReply {
    Append,     // 206 with exactly the rest: bytes offset-(total-1)/total, any
                // total when it is not known (0)
    StartOver,  // 200: the whole video again (range ignored, or it changed)
    Broken,     // 5xx or 408: the server's passing trouble; wait and ask again
    Refused,    // anything else: the rest will not come; ask for the whole
};

ContinuedReply JudgeContinuedReply(int status, std::string_view contentRange, std::int64_t offset,
                                   std::int64_t total);

// The whole video's length that a Content-Range ("bytes 0-9/100") states;
// 0 when it states none.
std::int64_t RangeTotal(std::string_view contentRange);

// A length as a header states it: decimal digits only, no sign, blank or
// junk; false otherwise.
bool ParseLength(std::string_view text, std::int64_t& value);

// The status text while a round waits: pattern with %1 the bytes in the
// file, %2 the length as the server sent it, %3 the seconds left, %4 the
// coming try and %5 the tries of a round.
std::string WaitingStatus(std::string_view pattern, std::int64_t received, std::string_view length, int seconds,
                          int attempt);
