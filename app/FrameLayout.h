#pragma once
// Where the frame's children go for a given client size and the visibility of
// the rulers, the colour bar and the shape library. Pure arithmetic, so the
// documented pixel layout can be checked without windows.

namespace zavora {

struct LayoutRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const LayoutRect&) const = default;
};

struct FrameLayout {
    static constexpr int kBarHeight = 29;
    static constexpr int kStatusHeight = 25;
    static constexpr int kToolboxWidth = 54;
    static constexpr int kRulerThickness = 26;
    static constexpr int kColorBarHeight = 22;
    static constexpr int kShapeLibraryWidth = 150;

    LayoutRect standardBar, styleBar, statusBar, toolbox, client;
    LayoutRect horizontalRuler, verticalRuler, colorBar, shapeLibrary;
    bool rulersShown = false, colorBarShown = false, shapeLibraryShown = false;

    static FrameLayout compute(int width, int height, bool rulers, bool colorBar, bool shapeLibrary);
};

} // namespace zavora
