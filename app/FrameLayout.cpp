#include "app/FrameLayout.h"

namespace zavora {

FrameLayout FrameLayout::compute(int w, int h, bool rulers, bool colorBar, bool shapeLibrary)
{
    FrameLayout l;
    l.standardBar = { 0, 0, w, kBarHeight };
    l.styleBar = { 0, kBarHeight, w, kBarHeight };
    l.statusBar = { 0, h - kStatusHeight, w, kStatusHeight };
    const int top = 2 * kBarHeight;
    const int middle = h - top - kStatusHeight;
    l.toolbox = { 0, top, kToolboxWidth, middle };
    l.client = { kToolboxWidth, top, w - kToolboxWidth, middle };

    l.rulersShown = rulers;
    if (rulers) {
        l.client.x += kRulerThickness;
        l.client.y += kRulerThickness;
        l.client.width -= kRulerThickness;
        l.client.height -= kRulerThickness;
        l.horizontalRuler = { kToolboxWidth, top, w - kToolboxWidth, kRulerThickness };
        l.verticalRuler = { kToolboxWidth, top + kRulerThickness, kRulerThickness, l.client.height };
    }
    l.colorBarShown = colorBar;
    if (colorBar) {
        l.colorBar = { 0, h - kStatusHeight - kColorBarHeight, w, kColorBarHeight };
        l.client.height -= kColorBarHeight;
        l.verticalRuler.height -= kColorBarHeight;
        l.toolbox.height -= kColorBarHeight;
    }
    l.shapeLibraryShown = shapeLibrary;
    if (shapeLibrary) {
        l.shapeLibrary = { w - kShapeLibraryWidth, top, kShapeLibraryWidth, middle };
        l.client.width -= kShapeLibraryWidth;
        l.horizontalRuler.width -= kShapeLibraryWidth;
        l.colorBar.width -= kShapeLibraryWidth;
    }
    return l;
}

} // namespace zavora
