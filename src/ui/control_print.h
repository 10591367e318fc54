#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Has one control paint itself, frame included, into its parent's device
// context while the control's own painting is switched off. It paints into
// a bitmap of its size first, since a control takes the origin of the
// device context it is given for its own corner. The bitmap is kept from
// one frame to the next: making it anew each time cost as much as half the
// painting.
class ControlPrint {
public:
    ControlPrint() = default;
    ControlPrint(const ControlPrint&) = delete;
    ControlPrint& operator=(const ControlPrint&) = delete;
    ~ControlPrint() { Release(); }

    // Prints control at place in target (the device context of its parent).
    void Print(HDC target, HWND control, const RECT& place);
    // Gives the bitmap back; the next print makes a new one.
    void Release() noexcept;

private:
    struct DeleteMemoryDc {
        void operator()(HDC dc) const { DeleteDC(dc); }
    };
    struct DeleteBitmap {
        void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
    };

    // Makes the memory context and its bitmap of width x height, unless the
    // ones at hand already fit; false when the system has none to give.
    bool Fit(HDC target, int width, int height);

    std::unique_ptr<std::remove_pointer_t<HDC>, DeleteMemoryDc> m_memory;
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteBitmap> m_bitmap;
    HGDIOBJ m_previous = nullptr;
    SIZE m_size{};
};
