#include "transfer/continuation.h"
#include "transfer/partial_record.h"

#include <gtest/gtest.h>

TEST(Continuation, AsksForTheRestAndAppendsOnlyExactlyIt)
{
    EXPECT_EQ(ContinuationHeaders(40000, IfRangeValidator("\"v1\"", "Tue")), "Range: bytes=40000-\r\nIf-Range: \"v1\"\r\n");
    EXPECT_EQ(ContinuationHeaders(3000000000, IfRangeValidator("W/\"v1\"", "")), "Range: bytes=3000000000-\r\n");
    // The date only without any ETag: beside a weak one it starts over.
    EXPECT_EQ(IfRangeValidator("W/\"v1\"", "Tue"), "");
    EXPECT_EQ(IfRangeValidator("", "Tue"), "Tue");
    EXPECT_EQ(WaitingStatus("at %1 / %2 B; %3 s (%4 of %5) 100%", 40000, "300000", 2, 3), "at 40000 / 300000 B; 2 s (3 of 4) 100%");
    const struct {
        int status;
        const char* contentRange;
        ContinuedReply reply;
    } rows[] = {
        {206, "bytes 40000-99999/100000", ContinuedReply::Append}, {200, "", ContinuedReply::StartOver},
        {206, "bytes 40001-99999/100000", ContinuedReply::Refused}, {206, "bytes 40000-89999/100000", ContinuedReply::Refused},
        {206, "bytes 40000-99999/*", ContinuedReply::Refused},      {416, "bytes */100000", ContinuedReply::Refused},
        {412, "", ContinuedReply::Refused}, {503, "", ContinuedReply::Broken}, {408, "", ContinuedReply::Broken},
    };
    for (const auto& row : rows)
        EXPECT_EQ(JudgeContinuedReply(row.status, row.contentRange, 40000, 100000), row.reply) << row.contentRange;
    // Without a length of its own: the rest must end the video.
    EXPECT_EQ(JudgeContinuedReply(206, "bytes 40000-59999/60000", 40000, 0), ContinuedReply::Append);
    EXPECT_EQ(JudgeContinuedReply(206, "bytes 40000-49999/60000", 40000, 0), ContinuedReply::Refused);
    EXPECT_EQ(RangeTotal("bytes 40000-59999/60000"), 60000);
    std::int64_t length = 0;
    EXPECT_TRUE(ParseLength("60000", length) && length == 60000);
    for (const char* junk : {"", "+5", " 5", "5x", "-1"})
        EXPECT_FALSE(ParseLength(junk, length)) << junk;
}

// A record reads back as written; cut short, changed or of another form it
// reads as none.
TEST(Continuation, APartialRecordIsWholeOrNone)
{
    const PartialRecord record{"http://video.example.com/get_video?video_id=x", {40000, 100000, "100000", "\"v1\""}};
    const std::string text = FormatPartialRecord(record);
    const std::optional<PartialRecord> read = ParsePartialRecord(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->request, record.request);
    EXPECT_EQ(read->point.written, 40000);
    EXPECT_EQ(read->point.total, 100000);
    EXPECT_EQ(read->point.validator, "\"v1\"");
    std::string changed = text;
    changed[changed.find("40000")] = '9';
    PartialRecord tooMany = record;
    tooMany.point.written = 100001;
    for (const std::string& bad : {text.substr(0, text.size() - 1), text.substr(0, text.size() / 2), changed,
                                   std::string(), FormatPartialRecord(tooMany), "x" + text})
        EXPECT_FALSE(ParsePartialRecord(bad)) << bad;
}
