#include "transfer/continuation.h"

#include <gtest/gtest.h>

TEST(Continuation, AsksForTheRestAndAppendsOnlyExactlyIt)
{
    EXPECT_EQ(ContinuationHeaders(40000, IfRangeValidator("\"v1\"", "Tue")), "Range: bytes=40000-\r\nIf-Range: \"v1\"\r\n");
    EXPECT_EQ(ContinuationHeaders(3000000000, IfRangeValidator("W/\"v1\"", "")), "Range: bytes=3000000000-\r\n");
    EXPECT_EQ(IfRangeValidator("W/\"v1\"", "Tue"), "Tue");
    EXPECT_EQ(WaitingStatus("at %1 / %2 B; %3 s (%4 of %5) 100%", 40000, "300000", 2, 3), "at 40000 / 300000 B; 2 s (3 of 4) 100%");
    const struct {
        int status;
        const char* contentRange;
        ContinuedReply reply;
    } rows[] = {
        {206, "bytes 40000-99999/100000", ContinuedReply::Append}, {200, "", ContinuedReply::StartOver},
        {206, "bytes 40001-99999/100000", ContinuedReply::Refused}, {206, "bytes 40000-89999/100000", ContinuedReply::Refused},
        {206, "bytes 40000-99999/*", ContinuedReply::Refused},      {416, "bytes */100000", ContinuedReply::Refused},
    };
    for (const auto& row : rows)
        EXPECT_EQ(JudgeContinuedReply(row.status, row.contentRange, 40000, 100000), row.reply) << row.contentRange;
}
