#include "app/ColorBar.h"

#include "app/dialogs/ColorModels.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QTimerEvent>
#include <qdrawutil.h>

#include <algorithm>

namespace zavora {

namespace {

constexpr int kLevels[] = { 0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF };

ColorTable buildColors()
{
    ColorTable table {};
    int n = 0;
    for (int level : kLevels)
        table[n++] = std::uint32_t(level * 0x010101);
    struct Entry {
        std::uint32_t rgb;
        Hsb hsb;
    };
    std::vector<Entry> rest;
    for (int r : kLevels)
        for (int g : kLevels)
            for (int b : kLevels) {
                if (r == g && g == b)
                    continue;
                const Rgb percent { r * 100.0 / 255, g * 100.0 / 255, b * 100.0 / 255 };
                rest.push_back({ std::uint32_t(r << 16 | g << 8 | b), rgbToHsb(percent) });
            }
    std::stable_sort(rest.begin(), rest.end(), [](const Entry& a, const Entry& b) {
        if (a.hsb.brightness != b.hsb.brightness)
            return a.hsb.brightness > b.hsb.brightness;
        if (a.hsb.saturation != b.hsb.saturation)
            return a.hsb.saturation < b.hsb.saturation;
        return a.hsb.hue > b.hsb.hue;
    });
    for (const Entry& e : rest)
        table[n++] = e.rgb;
    return table;
}

} // namespace

const ColorTable& colorBarColors()
{
    static const ColorTable table = buildColors();
    return table;
}

Color swatchColor(std::uint32_t rgb)
{
    auto percent = [](std::uint32_t component) { return float((component & 0xFF) * 100 / 255); };
    return { percent(rgb >> 16), percent(rgb >> 8), percent(rgb) };
}

ColorBar::ColorBar(QWidget* parent)
    : BarWindow("zavora_colorpal", parent)
{
}

int ColorBar::colorPositions() const
{
    // Position k's right edge is 32 + 15k and must stay clear of the right
    // scroll button; the colours run out at the end of the table.
    const int fitting = std::max(0, (width() - 17 - 32) / 15);
    return std::clamp(kColorCount - m_first, 0, fitting);
}

int ColorBar::lastShown() const
{
    return m_first + colorPositions() - 1;
}

void ColorBar::step()
{
    if (m_leftHeld && canScrollLeft())
        --m_first;
    if (m_rightHeld && canScrollRight())
        ++m_first;
    update();
}

void ColorBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    paintFace(p);

    auto drawScrollButton = [&](const QRect& r, bool held, bool enabled, bool pointsLeft) {
        qDrawWinButton(&p, r, pal, held);
        const int cx = r.center().x() + (held ? 1 : 0);
        const int cy = r.center().y() + (held ? 1 : 0);
        const int d = pointsLeft ? -1 : 1;
        const QPolygon arrow({ QPoint(cx + 2 * d, cy), QPoint(cx - 2 * d, cy - 4), QPoint(cx - 2 * d, cy + 4) });
        const QColor ink = enabled ? QColor(Qt::black) : pal.color(QPalette::Dark);
        p.setPen(ink);
        p.setBrush(ink);
        p.drawPolygon(arrow);
    };
    drawScrollButton(leftButtonRect(), m_leftHeld, canScrollLeft(), true);
    drawScrollButton(rightButtonRect(), m_rightHeld, canScrollRight(), false);

    const ColorTable& colors = colorBarColors();
    p.setRenderHint(QPainter::Antialiasing, false);
    auto frameSwatch = [&](const QRect& r) {
        p.setPen(pal.color(QPalette::Dark));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    };
    const QRect none = swatchRect(0);
    p.fillRect(none, Qt::white);
    p.setPen(Qt::black);
    p.drawLine(none.topLeft(), none.bottomRight());
    p.drawLine(none.topRight(), none.bottomLeft());
    frameSwatch(none);
    for (int k = 1; k <= colorPositions(); ++k) {
        const QRect r = swatchRect(k);
        p.fillRect(r, QColor::fromRgb(colors[m_first + k - 1]));
        frameSwatch(r);
    }
}

void ColorBar::resizeEvent(QResizeEvent* event)
{
    m_first = 0;
    BarWindow::resizeEvent(event);
}

void ColorBar::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_leftHeld = leftButtonRect().contains(at) && canScrollLeft();
        m_rightHeld = rightButtonRect().contains(at) && canScrollRight();
        if (m_leftHeld || m_rightHeld) {
            m_ticks = 0;
            m_timer.start(kTickMilliseconds, this);
            update();
            return;
        }
    }
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    const bool right = event->button() == Qt::RightButton;
    if (swatchRect(0).contains(at)) {
        if (m_onSwatch)
            m_onSwatch(right, std::nullopt);
        return;
    }
    for (int k = 1; k <= colorPositions(); ++k) {
        if (swatchRect(k).contains(at)) {
            if (m_onSwatch)
                m_onSwatch(right, swatchColor(colorBarColors()[m_first + k - 1]));
            return;
        }
    }
}

void ColorBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_leftHeld = m_rightHeld = false;
    m_timer.stop();
    update();
}

void ColorBar::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId())
        return BarWindow::timerEvent(event);
    ++m_ticks;
    if (m_ticks == 1 || m_ticks >= kRepeatFromTick)
        step();
}

} // namespace zavora
