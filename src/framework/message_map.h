#pragma once

#include <windows.h>

class CWnd;

// A window class's message map: a static table of entries, searched by
// CWnd::OnWndMsg, chained to the base class's map.
using MessageThunk = LRESULT (*)(CWnd& window, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;
    UINT code;  // notification code, for WM_COMMAND
    UINT id;    // control or command id, for WM_COMMAND
    MessageThunk thunk;
};

struct MessageMap {
    const MessageMap* (*base)();
    const MessageMapEntry* entries;  // ended by an entry with a null thunk
};

// Calls a member handler of class T with the arguments its kind takes.
namespace message_thunks {

template <class T, auto Handler>
LRESULT NoArguments(CWnd& window, WPARAM, LPARAM)
{
    (static_cast<T&>(window).*Handler)();
    return 0;
}

template <class T, auto Handler>
LRESULT SysCommand(CWnd& window, WPARAM wParam, LPARAM lParam)
{
    (static_cast<T&>(window).*Handler)(static_cast<UINT>(wParam), lParam);
    return 0;
}

template <class T, auto Handler>
LRESULT Timer(CWnd& window, WPARAM wParam, LPARAM)
{
    (static_cast<T&>(window).*Handler)(static_cast<UINT_PTR>(wParam));
    return 0;
}

template <class T, auto Handler>
LRESULT ReturnsHandle(CWnd& window, WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>((static_cast<T&>(window).*Handler)());
}

template <class T, auto Handler>
LRESULT HelpInfo(CWnd& window, WPARAM, LPARAM lParam)
{
    return (static_cast<T&>(window).*Handler)(reinterpret_cast<HELPINFO*>(lParam));
}

template <class T, auto Handler>
LRESULT Raw(CWnd& window, WPARAM wParam, LPARAM lParam)
{
    return (static_cast<T&>(window).*Handler)(wParam, lParam);
}

}  // namespace message_thunks

#define DECLARE_MESSAGE_MAP()                                \
protected:                                                   \
    static const MessageMap* GetThisMessageMap();            \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                               \
    const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }         \
    const MessageMap* theClass::GetThisMessageMap()                                           \
    {                                                                                         \
        using ThisClass = theClass;                                                           \
        using TheBaseClass = baseClass;                                                       \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                                     \
            {0, 0, 0, nullptr}};                                                              \
        static const MessageMap map = {&TheBaseClass::GetThisMessageMap, entries};            \
        return &map;                                                                          \
    }

#define ON_WM_PAINT() {WM_PAINT, 0, 0, &message_thunks::NoArguments<ThisClass, &ThisClass::OnPaint>},
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, &message_thunks::SysCommand<ThisClass, &ThisClass::OnSysCommand>},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, &message_thunks::ReturnsHandle<ThisClass, &ThisClass::OnQueryDragIcon>},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, &message_thunks::Timer<ThisClass, &ThisClass::OnTimer>},
#define ON_COMMAND(id, handler) {WM_COMMAND, 0, id, &message_thunks::NoArguments<ThisClass, handler>},
#define ON_BN_CLICKED(id, handler) {WM_COMMAND, BN_CLICKED, id, &message_thunks::NoArguments<ThisClass, handler>},
#define ON_MESSAGE(message, handler) {message, 0, 0, &message_thunks::Raw<ThisClass, handler>},
// A message numbered at run time (RegisterWindowMessage): message is read
// once, when the map is first used.
#define ON_REGISTERED_MESSAGE(message, handler) {message, 0, 0, &message_thunks::Raw<ThisClass, handler>},
