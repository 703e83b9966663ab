#pragma once
// The contents of the standard bar, the style bar and the toolbox: each a
// list of buttons (command, image, tooltip) and separators in display order,
// and the filling of a bar window from such a list.

#include <functional>
#include <span>

class QWidget;

namespace zavora {

class BarButton;
class BarWindow;

struct BarEntry {
    int commandId = 0; // 0: a separator
    const char* icon = nullptr;
    const char* toolTip = nullptr;

    bool isSeparator() const { return commandId == 0; }
};

std::span<const BarEntry> standardBarEntries();
std::span<const BarEntry> styleBarEntries();
std::span<const BarEntry> toolboxEntries();

enum class BarFlow {
    Row, // the buttons one after another from the left
    Grid, // two to a row, separators ignored (the toolbox)
};

struct ButtonBarLayout {
    static constexpr int kButtonSize = 24;
    static constexpr int kMargin = 3;
    static constexpr int kSeparatorWidth = 8;
};

// Creates the buttons of `entries` as children of `bar`, placed by `flow`;
// `onButton` gets each button made, for the frame to connect.
void fillBar(
    BarWindow& bar, std::span<const BarEntry> entries, BarFlow flow, const std::function<void(BarButton*)>& onButton);

} // namespace zavora
