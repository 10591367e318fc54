#pragma once

// The UI driver's answers as test assertions.
#include "clipwell_driver.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

// Whether actual holds exactly the bytes expected; on failure says where
// they part, not the whole of both.
inline ::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected)
{
    if (actual == expected)
        return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                         << " were expected; they part at byte " << at;
}

// The bytes of a transfer into name once it has ended; fails the test, and
// gives no bytes, when it does not end.
inline std::string ExpectOutput(const ClipwellDriver& clipwell, const std::string& name, DWORD timeoutMs = 60000)
{
    const std::optional<std::string> bytes = clipwell.AwaitOutput(name, timeoutMs);
    EXPECT_TRUE(bytes.has_value()) << "the transfer into " << name << " did not end";
    return bytes.value_or("");
}

// The next message box; fails the test, and describes none, when none
// appears.
inline ClipwellDriver::MessageBoxInfo ExpectMessageBox(const ClipwellDriver& clipwell, DWORD timeoutMs = 30000)
{
    const std::optional<ClipwellDriver::MessageBoxInfo> box = clipwell.WaitForMessageBox(timeoutMs);
    EXPECT_TRUE(box.has_value()) << "no message box appeared";
    return box.value_or(ClipwellDriver::MessageBoxInfo());
}

// Closes a message box; fails the test when it stays.
inline void ExpectClosed(const ClipwellDriver& clipwell, const ClipwellDriver::MessageBoxInfo& box)
{
    EXPECT_TRUE(clipwell.CloseMessageBox(box)) << "the message box stayed";
}

// Grabs the page v=id by click and returns the bytes saved as file.
inline std::string ExpectGrab(ClipwellDriver& clipwell, const std::string& id, const std::string& file)
{
    clipwell.StartGrab(PageUrl(id));
    return ExpectOutput(clipwell, file);
}

// Serves the page v=id titled title, whose video stops after stallAt bytes
// until the test resumes it (server.Resume), grabs it by click and waits
// until the window counts those bytes: the whole chunks among them, as the
// rest wait in a chunk not yet full.
inline void StartStalledGrab(ClipwellDriver& clipwell, FixtureServer& server, const std::string& id,
                             const std::string& title, const std::string& video, long stallAt)
{
    FixtureServer::Route route;
    route.stallAfter = {stallAt};
    route.stallSeconds = 600;
    ServeVideoPage(server, id, title, video, route);
    clipwell.StartGrab(PageUrl(id));
    const std::string counted = std::to_string(stallAt / 1024 * 1024) + " / " + std::to_string(video.size()) + " B";
    ASSERT_TRUE(WaitUntil([&] { return clipwell.Status() == counted; }, 30000))
        << "the transfer did not reach the stall: " << clipwell.Status();
    EXPECT_FALSE(clipwell.GrabEnabled());
}
