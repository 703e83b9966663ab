#pragma once
// The colour bar: a "none" swatch and a scrolling row of the 216 web-safe
// colours. A left click fills the selection (text takes the text colour), a
// right click sets its line colour; the frame carries the change out.

#include "app/BarWindow.h"
#include "model/PaintStyle.h"

#include <QBasicTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace zavora {

// The bar's colours as 0xRRGGBB: the six greys from black to white, then
// the rest of the 6 x 6 x 6 cube from bright to dark, then from grey to
// vivid, then by hue from the top of the circle down.
using ColorTable = std::array<std::uint32_t, 216>;
const ColorTable& colorBarColors();
// A swatch's colour as the percentages of a paint style (rounded down).
Color swatchColor(std::uint32_t rgb);

class ColorBar : public BarWindow {
    Q_OBJECT
public:
    static constexpr int kColorCount = int(std::tuple_size_v<ColorTable>);
    static constexpr int kTickMilliseconds = 12;
    // From this tick on a held scroll button repeats (the first tick steps once).
    static constexpr int kRepeatFromTick = 10;

    explicit ColorBar(QWidget* parent);

    // Called with (right button, colour or none) for every swatch click.
    using SwatchHandler = std::function<void(bool rightButton, const std::optional<Color>&)>;
    void setSwatchHandler(SwatchHandler handler) { m_onSwatch = std::move(handler); }

    // Geometry: the scroll buttons and swatch position k (0 is "none").
    QRect leftButtonRect() const { return QRect(0, 3, 16, 16); }
    QRect rightButtonRect() const { return QRect(width() - 16, 3, 16, 16); }
    static QRect swatchRect(int position) { return QRect(20 + 15 * position, 5, 12, 12); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // The index of the last colour that fits at the current width.
    int lastShown() const;
    bool canScrollLeft() const { return m_first > 0; }
    // A bar too narrow for any swatch has nothing to scroll into view.
    bool canScrollRight() const { return colorPositions() > 0 && lastShown() < kColorCount - 1; }
    // How many colour swatches fit after "none".
    int colorPositions() const;
    void step();

    SwatchHandler m_onSwatch;
    int m_first = 0;
    bool m_leftHeld = false;
    bool m_rightHeld = false;
    int m_ticks = 0;
    QBasicTimer m_timer;
};

} // namespace zavora
