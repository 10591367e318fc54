#include "transfer/web/internet_handle.h"

#include <utility>

InternetHandle::InternetHandle(HINTERNET handle, std::shared_ptr<const InternetHandle> parent)
    : m_handle(handle), m_parent(std::move(parent))
{
}

InternetHandle::InternetHandle(InternetHandle&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_parent(std::move(other.m_parent))
{
}

InternetHandle& InternetHandle::operator=(InternetHandle&& other) noexcept
{
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_parent = std::move(other.m_parent);
    }
    return *this;
}

InternetHandle::~InternetHandle()
{
    Close();
}

void InternetHandle::Close()
{
    // The child first, then (through m_parent) possibly its parent.
    if (m_handle != nullptr)
        InternetCloseHandle(std::exchange(m_handle, nullptr));
    m_parent.reset();
}

SharedInternetHandle MakeInternetHandle(HINTERNET handle, SharedInternetHandle parent)
{
    if (handle == nullptr)
        return nullptr;
    return std::make_shared<const InternetHandle>(handle, std::move(parent));
}
