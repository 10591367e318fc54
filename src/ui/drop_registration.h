#pragma once

#include "ui/drop_target.h"

#include <windows.h>

// Makes a window a drop target while it is registered: starts OLE on the
// window's thread, which the system's drag loop needs, and hands the
// window a DropTarget. Revoked before the window goes, then OLE ends.
class DropRegistration {
public:
    DropRegistration() = default;
    DropRegistration(const DropRegistration&) = delete;
    DropRegistration& operator=(const DropRegistration&) = delete;
    ~DropRegistration() { Revoke(); }

    // Registers window, whose drops go to deliver. False when OLE could
    // not start or the window takes no drops; the window works on without.
    bool Register(HWND window, DropTarget::Delivery deliver);
    // Takes the window's drop target away again; call before it goes.
    void Revoke() noexcept;

private:
    HWND m_window = nullptr;
    bool m_oleStarted = false;
};
