#include "icon_kind.h"

#include "x_capture.h"

#include <cstdlib>
#include <vector>

namespace {

constexpr int kSide = 32;

// kSide x kSide pixels read from a device context (0x00RRGGBB each).
std::vector<COLORREF> Pixels(HDC source)
{
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSide;
    info.bmiHeader.biHeight = -kSide;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, kSide, kSide, source, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<const COLORREF*>(bits),
                                 static_cast<const COLORREF*>(bits) + kSide * kSide);
    for (COLORREF& p : pixels)
        p &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// The pixels of a system icon drawn on the dialog background.
std::vector<COLORREF> DrawnIcon(LPCSTR id)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kSide, kSide);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, kSide, kSide};
    FillRect(memory, &all, GetSysColorBrush(COLOR_3DFACE));
    DrawIcon(memory, 0, 0, LoadIconA(nullptr, id));
    std::vector<COLORREF> pixels = Pixels(memory);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// How many of the drawn pixels differ from the shown RGB ones by more than
// a little in some channel.
std::size_t Differing(const std::vector<COLORREF>& drawn, const std::string& shown)
{
    std::size_t differing = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const int channels[3] = {GetBValue(drawn[i]), GetGValue(drawn[i]), GetRValue(drawn[i])};
        for (int c = 0; c < 3; ++c) {
            if (std::abs(channels[c] - static_cast<unsigned char>(shown[i * 3 + c])) > 16) {
                ++differing;
                break;
            }
        }
    }
    return differing;
}

}  // namespace

std::string IconKind(HWND control)
{
    if (control == nullptr)
        return {};
    // The X window holds the client area of the top-level window.
    HWND top = GetAncestor(control, GA_ROOT);
    POINT origin = {0, 0};
    ClientToScreen(control, &origin);
    POINT client = {0, 0};
    ClientToScreen(top, &client);
    const std::string shown = CaptureClientPixels(top, origin.x - client.x, origin.y - client.y, kSide, kSide);
    if (shown.size() != kSide * kSide * 3)
        return {};
    const struct {
        LPCSTR id;
        const char* name;
    } kinds[] = {{IDI_HAND, "stop"}, {IDI_EXCLAMATION, "exclamation"}, {IDI_ASTERISK, "information"},
                 {IDI_QUESTION, "question"}};
    std::string best;
    std::size_t fewest = kSide * kSide / 8;  // a match differs in under an eighth
    for (const auto& kind : kinds) {
        const std::size_t differing = Differing(DrawnIcon(kind.id), shown);
        if (differing < fewest) {
            fewest = differing;
            best = kind.name;
        }
    }
    return best;
}
