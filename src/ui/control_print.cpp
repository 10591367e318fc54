#include "ui/control_print.h"

void ControlPrint::Print(HDC target, HWND control, const RECT& place)
{
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    if (!Fit(target, width, height))
        return;
    SendMessageA(control, WM_PRINT, reinterpret_cast<WPARAM>(m_memory.get()),
                 PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT);
    BitBlt(target, place.left, place.top, width, height, m_memory.get(), 0, 0, SRCCOPY);
}

bool ControlPrint::Fit(HDC target, int width, int height)
{
    if (m_memory && m_size.cx == width && m_size.cy == height)
        return true;
    Release();
    m_memory.reset(CreateCompatibleDC(target));
    m_bitmap.reset(CreateCompatibleBitmap(target, width, height));
    if (!m_memory || !m_bitmap) {
        Release();
        return false;
    }
    m_previous = SelectObject(m_memory.get(), m_bitmap.get());
    m_size = {width, height};
    return true;
}

void ControlPrint::Release() noexcept
{
    // The bitmap leaves the memory context before either is deleted.
    if (m_memory && m_previous != nullptr)
        SelectObject(m_memory.get(), m_previous);
    m_previous = nullptr;
    m_bitmap.reset();
    m_memory.reset();
}
