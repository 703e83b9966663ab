#include "app/ToolCursors.h"

#include "tools/ToolView.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zavora {

namespace {

constexpr int kSize = 32;

// Black strokes with a white edge so the cursor shows on any background.
void outlined(QPainter& p, const QPainterPath& path, qreal width = 1.0)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, width + 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(path);
    p.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(path);
}

QPainterPath crosshair(int c, int arm, int gap)
{
    QPainterPath path;
    path.moveTo(c - arm, c + 0.5);
    path.lineTo(c - gap, c + 0.5);
    path.moveTo(c + gap + 1, c + 0.5);
    path.lineTo(c + arm + 1, c + 0.5);
    path.moveTo(c + 0.5, c - arm);
    path.lineTo(c + 0.5, c - gap);
    path.moveTo(c + 0.5, c + gap + 1);
    path.lineTo(c + 0.5, c + arm + 1);
    return path;
}

QPixmap drawn(int index, QPoint& hotSpot)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int c = kSize / 2;
    hotSpot = QPoint(c, c);
    switch (index) {
    case kCursorCreate:
        outlined(p, crosshair(c, 9, 2));
        break;
    case kCursorGesture: {
        outlined(p, crosshair(c, 11, 0));
        break;
    }
    case kCursorTransform: {
        // A crosshair with a small square: the pivot of a transform.
        QPainterPath path = crosshair(c, 9, 3);
        path.addRect(c + 5.5, c - 9.5, 5, 5);
        outlined(p, path);
        break;
    }
    case kCursorHand: {
        QPainterPath path;
        path.addRoundedRect(9.5, 13.5, 14, 12, 4, 4);
        for (int i = 0; i < 4; ++i)
            path.addRoundedRect(9.5 + i * 3.5, 5.5 + (i == 0 || i == 3 ? 3 : 0), 3, 10, 1.5, 1.5);
        path.addRoundedRect(5.5, 14.5, 5, 3, 1.5, 1.5);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawPath(path.simplified());
        break;
    }
    case kCursorText: {
        QPainterPath path;
        path.moveTo(c - 3, c - 8.5);
        path.lineTo(c + 4, c - 8.5);
        path.moveTo(c + 0.5, c - 8);
        path.lineTo(c + 0.5, c + 8);
        path.moveTo(c - 3, c + 8.5);
        path.lineTo(c + 4, c + 8.5);
        outlined(p, path);
        break;
    }
    case kCursorEyedropper:
    case kCursorEyedropperFull: {
        // A pipette from the tip at the lower left up to the bulb.
        p.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath body;
        body.moveTo(2, 29);
        body.lineTo(5, 22);
        body.lineTo(18, 9);
        body.lineTo(22, 13);
        body.lineTo(9, 26);
        body.closeSubpath();
        QPainterPath bulb;
        bulb.addEllipse(QPointF(23, 8), 5, 5);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(index == kCursorEyedropperFull ? QBrush(Qt::black) : QBrush(Qt::white));
        p.drawPath(body);
        p.setBrush(Qt::black);
        p.drawPath(bulb);
        hotSpot = QPoint(2, 29);
        break;
    }
    default:
        break;
    }
    return pixmap;
}

} // namespace

QCursor makeToolCursor(int index)
{
    switch (index) {
    case kCursorWait:
        return QCursor(Qt::WaitCursor);
    case kCursorArrow:
        return QCursor(Qt::ArrowCursor);
    default:
        break;
    }
    QPoint hotSpot;
    const QPixmap pixmap = drawn(index, hotSpot);
    return QCursor(pixmap, hotSpot.x(), hotSpot.y());
}

} // namespace zavora
