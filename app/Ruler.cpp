#include "app/Ruler.h"

#include "app/RulerScale.h"
#include "app/View.h"

#include <QPainter>

#include <vector>

namespace zavora {

Ruler::Ruler(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , m_orientation(orientation)
{
    setObjectName(QStringLiteral("zavora_ruler"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Ruler::setView(const View* view, int unit, int clientOffset)
{
    m_view = view;
    m_unit = unit;
    m_clientOffset = clientOffset;
    update();
}

void Ruler::setMarker(int clientPixel)
{
    if (clientPixel == m_marker)
        return;
    m_marker = clientPixel;
    update();
}

void Ruler::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const bool horizontal = m_orientation == Qt::Horizontal;
    p.fillRect(rect(), Qt::white);
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    if (!m_view || m_view->zoom() <= 0)
        return;

    // Which page axis runs along this ruler, where its origin is and which way it grows.
    const Point origin = m_view->toWindow(0, 0);
    const Point unitX = m_view->toWindow(1, 0), unitY = m_view->toWindow(0, 1);
    double originPixel;
    double delta; // pixels per point along the ruler, signed
    if (horizontal) {
        bool pageX = unitX.x != origin.x;
        originPixel = origin.x + m_clientOffset;
        delta = pageX ? unitX.x - origin.x : unitY.x - origin.x;
    } else {
        bool pageX = unitX.y != origin.y;
        originPixel = origin.y + m_clientOffset;
        delta = pageX ? unitX.y - origin.y : unitY.y - origin.y;
    }
    const int direction = delta < 0 ? -1 : 1;
    const int length = horizontal ? width() : height();

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(Qt::black);
    const int labelEnd = RulerScale::labelTickEnd(m_unit);
    auto across = [&](double along, int from, int to) {
        int a = static_cast<int>(along);
        if (horizontal)
            p.drawLine(a, from, a, to);
        else
            p.drawLine(from, a, to, a);
    };
    const std::vector<RulerTick> ticks = RulerScale::ticks(m_unit, std::abs(delta), originPixel, direction, length);
    // The labels first: a tick that would run through one is left out, which
    // on the vertical ruler (labels above their tick, as tall as the gap to
    // the next ticks) is most of the ticks beside a label.
    const QFontMetrics metrics = p.fontMetrics();
    std::vector<QRect> labels;
    for (const RulerTick& tick : ticks) {
        if (tick.kind != RulerTick::Kind::Label)
            continue;
        const QString text = QString::fromStdString(tick.label);
        const int a = static_cast<int>(tick.position);
        const QPoint baseline = horizontal ? QPoint(a + 2, 5 + metrics.ascent()) : QPoint(5, a - 2);
        p.drawText(baseline, text);
        labels.push_back(QRect(baseline.x(), baseline.y() - metrics.ascent(), metrics.horizontalAdvance(text),
            metrics.ascent() + metrics.descent()));
    }
    auto acrossUnlessLabelled = [&](double along, int from, int to) {
        const int a = static_cast<int>(along);
        const QRect line = horizontal ? QRect(a, from, 1, to - from + 1) : QRect(from, a, to - from + 1, 1);
        for (const QRect& label : labels)
            if (line.intersects(label.adjusted(-1, -1, 1, 1)))
                return;
        across(along, from, to);
    };
    for (const RulerTick& tick : ticks) {
        switch (tick.kind) {
        case RulerTick::Kind::Label:
            across(tick.position, labelEnd, 22);
            break;
        case RulerTick::Kind::Medium:
            acrossUnlessLabelled(tick.position, 9, 15);
            break;
        case RulerTick::Kind::Small:
            acrossUnlessLabelled(tick.position, 11, 13);
            break;
        }
    }
    drawMarker(p);
}

void Ruler::drawMarker(QPainter& p)
{
    if (m_marker < 0)
        return;
    const int a = m_marker + m_clientOffset;
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(Qt::white);
    if (m_orientation == Qt::Horizontal)
        p.drawLine(a, 1, a, height() - 2);
    else
        p.drawLine(1, a, width() - 2, a);
}

} // namespace zavora
