#include "ui/drop_registration.h"

#include <ole2.h>

#include <utility>

bool DropRegistration::Register(HWND window, DropTarget::Delivery deliver)
{
    Revoke();
    // RegisterDragDrop wants OleInitialize on this thread, not only COM.
    m_oleStarted = SUCCEEDED(OleInitialize(nullptr));
    if (!m_oleStarted)
        return false;
    DropTarget* target = new DropTarget(std::move(deliver));
    const HRESULT registered = RegisterDragDrop(window, target);
    // The registration holds its own reference until RevokeDragDrop.
    target->Release();
    if (FAILED(registered)) {
        Revoke();
        return false;
    }
    m_window = window;
    return true;
}

void DropRegistration::Revoke() noexcept
{
    if (m_window != nullptr)
        RevokeDragDrop(std::exchange(m_window, nullptr));
    if (std::exchange(m_oleStarted, false))
        OleUninitialize();
}
