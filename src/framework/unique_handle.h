#pragma once

#include <windows.h>

#include <utility>

// Owns one kernel handle (a file, a thread) and closes it. Move-only, so
// no copy can close the handle twice. Both of the system's "no handle"
// values, null and INVALID_HANDLE_VALUE, are kept as null.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Close(); }

    HANDLE Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    // Gives the handle up without closing it.
    HANDLE Release() { return std::exchange(m_handle, nullptr); }

    // Closes the handle; true when there was none or it closed cleanly.
    bool Close()
    {
        const HANDLE handle = std::exchange(m_handle, nullptr);
        return handle == nullptr || CloseHandle(handle) != FALSE;
    }

private:
    HANDLE m_handle = nullptr;
};
