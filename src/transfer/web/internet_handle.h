#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>

// Owns one WinINet handle and closes it. A handle opened through another
// one (a connection through its session, a request through its connection)
// keeps a shared reference to that parent: closing a parent handle in
// WinINet invalidates its children, so the parent is closed only after the
// last child. That is what lets a response be read after the session
// object that made it is gone.
class InternetHandle {
public:
    InternetHandle(HINTERNET handle, std::shared_ptr<const InternetHandle> parent);
    InternetHandle(InternetHandle&& other) noexcept;
    InternetHandle& operator=(InternetHandle&& other) noexcept;
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle();

    HINTERNET Get() const { return m_handle; }

private:
    void Close();

    HINTERNET m_handle;
    std::shared_ptr<const InternetHandle> m_parent;
};

using SharedInternetHandle = std::shared_ptr<const InternetHandle>;

// Wraps a freshly opened handle; a null handle gives a null owner.
SharedInternetHandle MakeInternetHandle(HINTERNET handle, SharedInternetHandle parent);

// The raw handle of an owner, or null.
inline HINTERNET RawHandle(const SharedInternetHandle& owner)
{
    return owner ? owner->Get() : nullptr;
}
