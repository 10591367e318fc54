#pragma once

// Where an icon of cx by cy pixels goes to stand centred in a client area
// of width by height, as a minimised window paints it: the division
// truncates toward zero, so a width of 0 and an icon of 32 give -15.
struct IconOrigin {
    int x;
    int y;
};

constexpr IconOrigin CentredIconOrigin(int width, int height, int cx, int cy)
{
    return {(width - cx + 1) / 2, (height - cy + 1) / 2};
}
