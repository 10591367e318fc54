#include "ui/control_print.h"

#include <memory>
#include <type_traits>

namespace {

struct DeleteMemoryDc {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DeleteBitmap {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteMemoryDc>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteBitmap>;

}  // namespace

void PrintControl(HDC target, HWND control, const RECT& place)
{
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    const UniqueMemoryDc memory(CreateCompatibleDC(target));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(target, width, height));
    if (!memory || !bitmap)
        return;
    const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    SendMessageA(control, WM_PRINT, reinterpret_cast<WPARAM>(memory.get()),
                 PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT);
    BitBlt(target, place.left, place.top, width, height, memory.get(), 0, 0, SRCCOPY);
    // The bitmap leaves the memory context before either is deleted.
    SelectObject(memory.get(), previous);
}
