// The window-procedure wrapper and the report of exceptions that leave a
// message handler: which messages report, with which text and flags.
#include "framework/exception.h"
#include "framework/file_exception.h"
#include "framework/win_app.h"
#include "framework/wnd.h"
#include "message_boxes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

// Watches this process for message boxes, notes each and presses OK.
class BoxWatcher {
public:
    BoxWatcher() : m_thread([this] { Run(); }) {}
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;
    ~BoxWatcher()
    {
        m_stop = true;
        m_thread.join();
    }

    // The boxes seen so far, after giving a late one time to show.
    std::vector<ShownBox> Boxes()
    {
        Sleep(200);
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_boxes;
    }

private:
    void Run()
    {
        while (!m_stop) {
            for (const ShownBox& box : MessageBoxesOf(GetCurrentProcessId())) {
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_boxes.push_back(box);
                }
                SendMessageA(box.window, WM_COMMAND, IDOK, 0);
            }
            Sleep(20);
        }
    }

    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<ShownBox> m_boxes;
    std::thread m_thread;
};

MSG Message(UINT message, LPARAM lParam = 0, HWND window = nullptr)
{
    MSG record = {};
    record.hwnd = window;
    record.message = message;
    record.lParam = lParam;
    return record;
}

TEST(ExceptionReport, CreationAndPaintReportNothing)
{
    BoxWatcher watcher;
    EXPECT_EQ(AfxProcessWndProcException(CInvalidArgException(), Message(WM_CREATE)), -1);

    HWND window = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    InvalidateRect(window, nullptr, TRUE);
    EXPECT_EQ(AfxProcessWndProcException(CInvalidArgException(), Message(WM_PAINT, 0, window)), 0);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
    DestroyWindow(window);

    EXPECT_EQ(AfxProcessWndProcException(CUserException(), Message(WM_COMMAND)), 1);
    EXPECT_TRUE(watcher.Boxes().empty());
}

TEST(ExceptionReport, CommandsFallBackByWhoSentThem)
{
    BoxWatcher watcher;
    // An exception without a text: the fallback tells Enter (no control)
    // from a click (a control's handle in the long parameter).
    EXPECT_EQ(AfxProcessWndProcException(CException(), Message(WM_COMMAND, 0)), 1);
    EXPECT_EQ(AfxProcessWndProcException(CException(), Message(WM_COMMAND, 0x1234)), 1);
    EXPECT_EQ(AfxProcessWndProcException(CException(), Message(WM_TIMER)), 0);
    // One with a text shows it, whoever sent the command.
    EXPECT_EQ(AfxProcessWndProcException(CInvalidArgException(), Message(WM_COMMAND, 0)), 1);
    EXPECT_EQ(AfxProcessWndProcException(CFileException(CFileException::fileNotFound, 2, "a.html"),
                                         Message(WM_COMMAND, 0x1234)),
              1);
    // A file opened by a UTF-16 name is named in its own script.
    EXPECT_EQ(AfxProcessWndProcException(
                  CFileException(CFileException::accessDenied, 5, "??.flv", u"\u3042\U0001F600.flv"), Message(WM_COMMAND, 0)),
              1);
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 6u);
    EXPECT_EQ(boxes[0].text, "Command failed.");
    EXPECT_EQ(boxes[1].text, "Internal application error.");
    EXPECT_EQ(boxes[2].text, "Internal application error.");
    EXPECT_EQ(boxes[3].text, "An invalid argument was encountered.");
    EXPECT_EQ(boxes[4].text, "a.html was not found.");
    EXPECT_EQ(boxes[5].text, "Access to \xE3\x81\x82\xF0\x9F\x98\x80.flv was denied.");
    for (const ShownBox& box : boxes) {
        EXPECT_EQ(box.caption, "framework_tests");
        EXPECT_FALSE(box.topmost);
    }
}

TEST(ExceptionReport, MemoryExhaustionIsSystemModal)
{
    BoxWatcher watcher;
    EXPECT_EQ(AfxProcessWndProcException(CMemoryException(), Message(WM_COMMAND, 0x1234)), 1);
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Out of memory.");
    EXPECT_TRUE(boxes[0].topmost);
}

// A window whose handlers fail in the ways a handler can.
class FailingWindow : public CWnd {
public:
    LRESULT ThrowInvalid(WPARAM, LPARAM) { throw CInvalidArgException(); }
    LRESULT ThrowBadAlloc(WPARAM, LPARAM) { throw std::bad_alloc(); }
    LRESULT ThrowOther(WPARAM, LPARAM) { throw 42; }
    LRESULT Nest(WPARAM, LPARAM)
    {
        LRESULT result = 0;
        AfxCallWndProc(*this, nullptr, WM_APP + 1, 0, 0, result);
        // The inner message's record is gone again.
        m_afterNested = AfxGetCurrentMessage().message;
        return 7;
    }

    UINT m_afterNested = 0;

    DECLARE_MESSAGE_MAP()
};

const MessageMap* FailingWindow::GetMessageMap() const
{
    return GetThisMessageMap();
}

const MessageMap* FailingWindow::GetThisMessageMap()
{
    using ThisClass = FailingWindow;
    static const MessageMapEntry entries[] = {
        ON_MESSAGE(WM_APP + 1, &ThisClass::ThrowInvalid)
        ON_MESSAGE(WM_APP + 2, &ThisClass::ThrowBadAlloc)
        ON_MESSAGE(WM_APP + 3, &ThisClass::ThrowOther)
        ON_MESSAGE(WM_APP + 4, &ThisClass::Nest)
        {0, 0, 0, nullptr},
    };
    static const MessageMap map = {&CWnd::GetThisMessageMap, entries};
    return &map;
}

TEST(WindowProcWrapper, CatchesEveryExceptionAndRestoresTheRecord)
{
    BoxWatcher watcher;
    FailingWindow window;
    LRESULT result = -5;
    EXPECT_TRUE(AfxCallWndProc(window, nullptr, WM_APP + 2, 0, 0, result));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(AfxCallWndProc(window, nullptr, WM_APP + 3, 0, 0, result));
    EXPECT_TRUE(AfxCallWndProc(window, nullptr, WM_APP + 4, 0, 0, result));
    EXPECT_EQ(result, 7);
    EXPECT_EQ(window.m_afterNested, static_cast<UINT>(WM_APP + 4));
    EXPECT_EQ(AfxGetCurrentMessage().message, 0u);
    // A message the map does not know is left to the default handling.
    EXPECT_FALSE(AfxCallWndProc(window, nullptr, WM_APP + 9, 0, 0, result));

    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "Out of memory.");
    EXPECT_TRUE(boxes[0].topmost);
    EXPECT_EQ(boxes[1].text, "Internal application error.");
    EXPECT_EQ(boxes[2].text, "An invalid argument was encountered.");
}

}  // namespace
