#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How far a broken transfer got: what a continuation asks for and checks
// the server's answer against.
struct TransferPoint {
    std::int64_t written = 0;   // bytes in the file
    std::int64_t total = 0;     // the whole video's length; 0 when unknown
    std::string lengthText;     // that length as the server sent it
    std::string validator;      // for If-Range; empty without one
};

// The record kept beside a partial video, so that a later Clipwell can
// continue it: the request it answers, and where it got to. Plain text,
// one "name=value" line each, ending in a check line over what precedes
// it, so that a record cut short or written over by anything else reads
// as no record at all.
struct PartialRecord {
    std::string request;  // the video request the bytes answer
    TransferPoint point;
};

std::string FormatPartialRecord(const PartialRecord& record);

// The record in text; nothing when text is not a whole record of this
// form, or its numbers make no sense (more bytes than the video has).
std::optional<PartialRecord> ParsePartialRecord(std::string_view text);
