#pragma once

#include <cstdint>
#include <string>

// How a transfer ended, as the worker saw it, and what the user is told
// afterwards. A transfer that brought the whole video says nothing; every
// other end is one message that says what went wrong and what the output
// file holds, made of the string table's texts. Texts are UTF-16, since
// the file's name may be in any script.
struct TransferOutcome {
    std::u16string fileName;
    // The reply's status code and text (404, "Not Found"; 0 without a
    // reply) and its raw header lines, status line first, as the library
    // gives them.
    int statusCode = 0;
    std::u16string statusText;
    std::string rawHeaders;
    // The Content-Length as sent (empty without one) and its number.
    std::string contentLength;
    std::int64_t expected = 0;
    std::int64_t received = 0;
    // Set when a call failed; failure is its text.
    bool failed = false;
    std::u16string failure;
    // Set when the server, asked for the rest of a broken transfer, had
    // trouble of its own (5xx, 408); the status fields are then its answer.
    bool refused = false;
    // Set when the file is the whole video, under its own name.
    bool whole = false;
    // Set when another round of requests could still bring the rest.
    bool canContinue = false;
    // Set when the file's record lets a later grab of the page continue it.
    bool resumable = false;
    // The name the whole video could not take (failure says why); it is
    // then whole in the partial file. Empty otherwise.
    std::u16string heldName;
    // Where bytes that were under the partial's name, and were not this
    // video's, are kept; empty when there were none.
    std::u16string setAside;
};

enum class ReportKind { None, Information, Warning, Failure };

struct TransferReport {
    ReportKind kind = ReportKind::None;
    std::u16string text;
    // The user may ask for another round.
    bool offerRetry = false;
};

// The message for outcome: nothing for a whole video; a failure's own text with what the file keeps;
// else a refusal to send the rest; else a reply that is not the video (no
// reply at all, no status line, a status other than 2xx); else a body
// shorter than its Content-Length. Retry is offered where another round
// could bring the rest.
TransferReport ReportOf(const TransferOutcome& outcome);

// What a stopped transfer leaves: kept bytes in the partial file, and
// whether grabbing the page again continues it.
TransferReport KeptReport(const std::u16string& partialName, std::int64_t kept, bool resumable);

// Adds to report that bytes under partialName, not the video's, are kept
// under setAside; a report of nothing becomes one that says only that.
void SaySetAside(TransferReport& report, const std::u16string& partialName, const std::u16string& setAside);

// False for the reply the library makes up when the server sent no status
// line: "HTTP/1.0 200 OK" with no header line after it.
bool HasHeaderLines(const std::string& rawHeaders);
