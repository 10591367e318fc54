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

// What If-Range carries: a strong ETag (a weak one, "W/...", may not be
// used for ranges), else the Last-Modified date, else nothing.
std::string IfRangeValidator(std::string_view etag, std::string_view lastModified);

// The request headers that ask for the video from offset on, each line
// ending in CR LF; with If-Range when there is a validator.
std::string ContinuationHeaders(std::int64_t offset, std::string_view validator);

// What the server's reply to a continuation request means.
enum class ContinuedReply {
    Append,     // 206 with exactly the rest: bytes offset-(total-1)/total, any
                // total when it is not known (0)
    StartOver,  // 200: the whole video again (range ignored, or it changed)
    Refused,    // anything else: no more tries
};

ContinuedReply JudgeContinuedReply(int status, std::string_view contentRange, std::int64_t offset,
                                   std::int64_t total);

// The status text while a round waits: pattern with %1 the bytes in the
// file, %2 the length as the server sent it, %3 the seconds left, %4 the
// coming try and %5 the tries of a round.
std::string WaitingStatus(std::string_view pattern, std::int64_t received, std::string_view length, int seconds,
                          int attempt);
