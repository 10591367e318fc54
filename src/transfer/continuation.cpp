#include "transfer/continuation.h"

#include "framework/placeholders.h"

#include <charconv>

namespace {

// Takes the decimal number at the front of text; false when there is none.
bool TakeNumber(std::string_view& text, std::int64_t& value)
{
    std::size_t end = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    if (end == 0 || end > 18)
        return false;
    std::from_chars(text.data(), text.data() + end, value);
    text.remove_prefix(end);
    return true;
}

bool TakeText(std::string_view& text, std::string_view expected)
{
    if (text.substr(0, expected.size()) != expected)
        return false;
    text.remove_prefix(expected.size());
    return true;
}

// The numbers of "bytes first-last/length"; false when text is not that.
bool TakeRange(std::string_view text, std::int64_t& first, std::int64_t& last, std::int64_t& length)
{
    return TakeText(text, "bytes ") && TakeNumber(text, first) && TakeText(text, "-") && TakeNumber(text, last) &&
           TakeText(text, "/") && TakeNumber(text, length) && text.empty();
}

}  // namespace

int SecondsBeforeTry(int attempt)
{
    return attempt <= 1 ? 0 : 1 << (attempt - 2);
}

std::string IfRangeValidator(std::string_view etag, std::string_view lastModified)
{
    if (etag.empty())
        return std::string(lastModified);
    return etag.substr(0, 2) == "W/" ? std::string() : std::string(etag);
}

std::string ContinuationHeaders(std::int64_t offset, std::string_view validator)
{
    std::string headers = "Range: bytes=" + std::to_string(offset) + "-\r\n";
    if (!validator.empty())
        headers.append("If-Range: ").append(validator).append("\r\n");
    return headers;
}

ContinuedReply JudgeContinuedReply(int status, std::string_view contentRange, std::int64_t offset,
                                   std::int64_t total)
{
    if (status == 200)
        return ContinuedReply::StartOver;
    if (status == 408 || (status >= 500 && status <= 599))
        return ContinuedReply::Broken;
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t length = 0;
    const bool parsed = TakeRange(contentRange, first, last, length);
    // Without a length of its own, the rest must at least end the video.
    const bool whole = total > 0 ? last == total - 1 && length == total : last == length - 1;
    if (status == 206 && parsed && first == offset && whole)
        return ContinuedReply::Append;
    return ContinuedReply::Refused;
}

std::int64_t RangeTotal(std::string_view contentRange)
{
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t length = 0;
    return TakeRange(contentRange, first, last, length) ? length : 0;
}

bool ParseLength(std::string_view text, std::int64_t& value)
{
    return TakeNumber(text, value) && text.empty();
}

std::string WaitingStatus(std::string_view pattern, std::int64_t received, std::string_view length, int seconds,
                          int attempt)
{
    return FillPlaceholders<char>(pattern, {std::to_string(received), length, std::to_string(seconds),
                                            std::to_string(attempt), std::to_string(kTries)});
}
