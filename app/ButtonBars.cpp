#include "app/ButtonBars.h"

#include "app/BarButton.h"
#include "app/BarWindow.h"
#include "app/FrameLayout.h"

#include <QFrame>

namespace zavora {

namespace {

constexpr BarEntry kSeparator {};

constexpr BarEntry kStandardBar[] = {
    { 101, "new", "New drawing" },
    { 102, "open", "Open" },
    { 103, "save", "Save" },
    kSeparator,
    { 105, "print", "Print" },
    kSeparator,
    { 204, "cut", "Cut" },
    { 205, "copy", "Copy" },
    { 206, "paste", "Paste" },
    kSeparator,
    { 201, "undo", "Undo" },
    { 6076, "redo", "Redo" },
    kSeparator,
    { 304, "fit-page", "Fit page in window" },
    { 305, "fit-width", "Fit page width in window" },
    kSeparator,
    { 302, "preview", "Preview/Wireframe mode" },
    { 303, "grid", "Grid settings" },
};

constexpr BarEntry kStyleBar[] = {
    { 209, "to-front", "Move selected objects to front" },
    { 210, "to-back", "Move selected objects to back" },
    kSeparator,
    { 6023, "fill-color", "Fill color" },
    { 6044, "line-color", "Line color" },
    { 6062, "text-color", "Text color" },
    kSeparator,
    { 501, "font", "Choose font for selected text objects" },
    kSeparator,
    { 6056, "align-left", "Left align text" },
    { 6057, "align-center", "Center align text" },
    { 6058, "align-right", "Right align text" },
    { 6059, "justify", "Justify text" },
    kSeparator,
    { 6101, "rotate-left", "Rotate left" },
    { 6102, "rotate-right", "Rotate right" },
    { 6103, "flip-horizontal", "Flip horizontal" },
    { 6104, "flip-vertical", "Flip vertical" },
};

constexpr BarEntry kToolbox[] = {
    { 456, "tool-selection", "Selection tool" },
    { 416, "tool-pan", "Pan tool" },
    { 417, "tool-zoom", "Zoom tool" },
    { 401, "tool-line", "Line tool" },
    { 458, "tool-rounded-rectangle", "Rounded Rectangle tool" },
    { 405, "tool-rectangle", "Rectangle tool" },
    { 408, "tool-arc", "Arc tool" },
    { 407, "tool-ellipse", "Ellipse tool" },
    { 414, "tool-polygon", "Polygon tool" },
    { 410, "tool-curve", "Curve tool" },
    { 459, "tool-eyedropper", "Eyedropper Tool" },
    { 411, "tool-text", "Text tool" },
    { 451, "tool-scale", "Scale tool" },
    { 452, "tool-rotate", "Rotate tool" },
    { 454, "tool-skew", "Skew tool" },
    { 455, "tool-reflect", "Reflect tool" },
};

} // namespace

std::span<const BarEntry> standardBarEntries() { return kStandardBar; }
std::span<const BarEntry> styleBarEntries() { return kStyleBar; }
std::span<const BarEntry> toolboxEntries() { return kToolbox; }

void fillBar(
    BarWindow& bar, std::span<const BarEntry> entries, BarFlow flow, const std::function<void(BarButton*)>& onButton)
{
    using L = ButtonBarLayout;
    int x = L::kMargin;
    int placed = 0;
    for (const BarEntry& entry : entries) {
        if (entry.isSeparator()) {
            if (flow == BarFlow::Row) {
                auto* line = new QFrame(&bar);
                line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
                line->setGeometry(x + L::kSeparatorWidth / 2 - 1, 5, 2, FrameLayout::kBarHeight - 10);
                x += L::kSeparatorWidth;
            }
            continue;
        }
        auto* button = new BarButton(
            entry.commandId, QString::fromLatin1(entry.icon), QString::fromLatin1(entry.toolTip), &bar);
        if (flow == BarFlow::Row) {
            button->setGeometry(x, (FrameLayout::kBarHeight - L::kButtonSize) / 2, L::kButtonSize, L::kButtonSize);
            x += L::kButtonSize;
        } else {
            button->setGeometry(L::kMargin + (placed % 2) * L::kButtonSize, L::kMargin + (placed / 2) * L::kButtonSize,
                L::kButtonSize, L::kButtonSize);
        }
        ++placed;
        onButton(button);
    }
}

} // namespace zavora
