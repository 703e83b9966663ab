#include "app/MenuSamples.h"

#include "model/OutlineGeometry.h"
#include "model/PaintStyle.h"
#include "raster/HatchPatterns.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionMenuItem>

#include <cmath>

namespace zavora {

namespace {

constexpr int kArrowCodes[] = { kArrowNone, kArrowSmall, kArrowBig, kArrowFancy, kArrowCircle, kArrowSquare };

QPixmap blank(SampleKind kind)
{
    QPixmap pixmap(sampleSize(kind));
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// The sample's widget in the menu: highlighted under the pointer or when the
// menu makes it active, and triggering its action on release.
class SampleWidget : public QWidget {
public:
    SampleWidget(QWidgetAction& action, const QPixmap& sample, QWidget* parent)
        : QWidget(parent)
        , m_action(action)
        , m_sample(sample)
    {
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_Hover);
        setToolTip(action.text().remove(QLatin1Char('&')));
        setMinimumSize(sample.size() / sample.devicePixelRatio() + QSize(16, 4));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const bool active = underMouse() || hasFocus();
        if (active)
            p.fillRect(rect(), palette().highlight());
        if (!m_action.isEnabled())
            p.setOpacity(0.4);
        const QSize size = m_sample.size() / m_sample.devicePixelRatio();
        p.drawPixmap(QPoint(8, (height() - size.height()) / 2), m_sample);
        if (m_action.isChecked()) {
            p.setPen(QPen(active ? palette().highlightedText().color() : palette().text().color(), 2));
            p.drawRect(rect().adjusted(2, 1, -3, -2));
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (rect().contains(event->position().toPoint()))
            activate();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space)
            activate();
        else
            QWidget::keyPressEvent(event);
    }
    void enterEvent(QEnterEvent*) override { update(); }
    void leaveEvent(QEvent*) override { update(); }
    void focusInEvent(QFocusEvent*) override { update(); }
    void focusOutEvent(QFocusEvent*) override { update(); }

private:
    void activate()
    {
        if (!m_action.isEnabled())
            return;
        // Close the whole chain of open menus first, as a text item does.
        for (QWidget* w = parentWidget(); w; w = w->parentWidget())
            if (auto* menu = qobject_cast<QMenu*>(w))
                menu->hide();
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        m_action.trigger();
    }

    QWidgetAction& m_action;
    QPixmap m_sample;
};

} // namespace

QSize sampleSize(SampleKind kind)
{
    switch (kind) {
    case SampleKind::Pattern:
        return QSize(128, 30);
    case SampleKind::Arrowhead:
        return QSize(90, 20);
    case SampleKind::Pen:
        break;
    }
    return QSize(120, 20);
}

QPixmap penSample(int index)
{
    QPixmap pixmap = blank(SampleKind::Pen);
    const auto all = pens();
    if (index < 0 || index >= int(all.size()))
        return pixmap;
    const Pen& pen = all[index];
    QPainter p(&pixmap);
    const int y = pixmap.height() / 2;
    QPen line(Qt::black);
    line.setCapStyle(Qt::FlatCap);
    int right = pixmap.width() - 6;
    if (pen.isDash()) {
        // Dash lengths are in points; one point is one pixel here.
        QList<qreal> pattern;
        for (int length : dashLengths(pen.dashIndex))
            pattern << std::max(1, length);
        line.setWidth(1);
        if (pattern.size() >= 2)
            line.setDashPattern(pattern);
    } else {
        // Thin widths all round to one pixel, so the width is written beside it.
        line.setWidthF(std::max(1.0f, std::round(pen.width)));
        right = 66;
        p.setPen(Qt::black);
        QFont font = p.font();
        font.setPixelSize(11);
        p.setFont(font);
        p.drawText(QRect(right + 6, 0, pixmap.width() - right - 6, pixmap.height()), Qt::AlignVCenter | Qt::AlignLeft,
            QStringLiteral("%1 pt").arg(double(pen.width)));
    }
    p.setPen(line);
    p.drawLine(QPointF(6, y + 0.5), QPointF(right, y + 0.5));
    return pixmap;
}

QPixmap patternSample(int index)
{
    QPixmap pixmap = blank(SampleKind::Pattern);
    const HatchPattern* hatch = hatchPattern(index);
    if (!hatch)
        return pixmap;
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int row = 0; row < 8; ++row)
        for (int bit = 0; bit < 8; ++bit)
            tile.setPixel(bit, row, (hatch->rows[row] >> (7 - bit)) & 1 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    QPainter p(&pixmap);
    const QRect box = pixmap.rect().adjusted(4, 3, -4, -3);
    p.fillRect(box, QBrush(tile));
    p.setPen(Qt::black);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    return pixmap;
}

QPixmap arrowheadSample(int index, bool secondEnd)
{
    QPixmap pixmap = blank(SampleKind::Arrowhead);
    if (index < 0 || index >= int(std::size(kArrowCodes)))
        return pixmap;
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const float y = pixmap.height() / 2.0f;
    const float left = 10, right = float(pixmap.width() - 10);
    p.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(left, y), QPointF(right, y));
    const int code = kArrowCodes[index];
    if (code == kArrowNone)
        return pixmap;
    const Point tip { secondEnd ? right : left, y };
    const Point previous { secondEnd ? left : right, y };
    constexpr float kScale = 1.5f; // line widths of the sample's line
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    if (code == kArrowCircle) {
        p.drawEllipse(QPointF(tip.x, tip.y), 3 * kScale, 3 * kScale);
    } else if (code == kArrowSquare) {
        p.drawRect(QRectF(tip.x - 2.5 * kScale, tip.y - 2.5 * kScale, 5 * kScale, 5 * kScale));
    } else {
        const PointList outline = arrowheadOutline(code, tip, previous, kScale);
        QPolygonF polygon;
        for (const Point& point : outline)
            polygon << QPointF(point.x, point.y);
        p.drawPolygon(polygon);
    }
    return pixmap;
}

SampleAction::SampleAction(const QString& text, const QPixmap& sample, QObject* parent)
    : QWidgetAction(parent)
    , m_sample(sample)
{
    setText(text);
}

QWidget* SampleAction::createWidget(QWidget* parent)
{
    return new SampleWidget(*this, m_sample, parent);
}

} // namespace zavora
