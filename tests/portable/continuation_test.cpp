#include "transfer/continuation.h"

#include <gtest/gtest.h>

TEST(Continuation, AsksForTheRestWithTheRightValidator)
{
    EXPECT_EQ(IfRangeValidator("\"v1\"", "Tue, 01 Dec 2026"), "\"v1\"");
    EXPECT_EQ(IfRangeValidator("W/\"v1\"", "Tue, 01 Dec 2026"), "Tue, 01 Dec 2026");
    EXPECT_EQ(IfRangeValidator("", ""), "");
    EXPECT_EQ(ContinuationHeaders(40000, "\"v1\""), "Range: bytes=40000-\r\nIf-Range: \"v1\"\r\n");
    EXPECT_EQ(ContinuationHeaders(3000000000, ""), "Range: bytes=3000000000-\r\n");
    EXPECT_EQ(SecondsBeforeTry(2) + SecondsBeforeTry(3) + SecondsBeforeTry(4), 1 + 2 + 4);
    EXPECT_EQ(WaitingStatus("at %1 / %2 B; in %3 s (%4 of %5) 100%", 40000, "300000", 2, 3),
              "at 40000 / 300000 B; in 2 s (3 of 4) 100%");
}

TEST(Continuation, AppendsOnlyExactlyTheRest)
{
    const struct {
        int status;
        const char* contentRange;
        ContinuedReply reply;
    } rows[] = {
        {206, "bytes 40000-99999/100000", ContinuedReply::Append},
        {200, "", ContinuedReply::StartOver},
        {206, "bytes 40001-99999/100000", ContinuedReply::Refused},
        {206, "bytes 40000-89999/100000", ContinuedReply::Refused},
        {206, "bytes 40000-99999/200000", ContinuedReply::Refused},
        {206, "bytes 40000-99999/*", ContinuedReply::Refused},
        {206, "", ContinuedReply::Refused},
        {416, "bytes */100000", ContinuedReply::Refused},
        {404, "", ContinuedReply::Refused},
    };
    for (const auto& row : rows)
        EXPECT_EQ(JudgeContinuedReply(row.status, row.contentRange, 40000, 100000), row.reply) << row.contentRange;
}
