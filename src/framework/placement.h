#pragma once

// A rectangle in screen pixels, right and bottom outside it.
struct ScreenRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct ScreenPoint {
    int x;
    int y;
};

// Where a window of width by height goes when first shown: centred on
// around (its owner, or the work area itself), then moved as little as
// needed to lie within workArea, the work area of the monitor it belongs
// on. One larger than the work area keeps its top left corner in it.
constexpr ScreenPoint PlaceWithin(ScreenRect around, ScreenRect workArea, int width, int height)
{
    auto place = [](int low, int high, int workLow, int workHigh, int size) {
        int at = low + (high - low - size) / 2;
        if (at + size > workHigh)
            at = workHigh - size;
        return at < workLow ? workLow : at;
    };
    return {place(around.left, around.right, workArea.left, workArea.right, width),
            place(around.top, around.bottom, workArea.top, workArea.bottom, height)};
}
