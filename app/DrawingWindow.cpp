#include "app/DrawingWindow.h"

#include "app/Ruler.h"
#include "app/StatusBar.h"
#include "model/ObjectList.h"
#include "platform/Reporter.h"
#include "platform/qt/RasterDeviceContext.h"
#include "raster/GdiPort.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <cmath>

namespace zavora {

namespace {

// Wireframe display: every outline stroked thin and black, nothing filled,
// no arrowheads; a picture shows as its frame.
class WireframePort : public GdiPort {
public:
    using GdiPort::GdiPort;

    void line(
        const PaintStyle&, const Matrix& matrix, float x1, float y1, float x2, float y2, int, int) override
    {
        GdiPort::line(wire(), matrix, x1, y1, x2, y2, kArrowNone, kArrowNone);
    }
    void polyline(
        const PaintStyle&, const Matrix& matrix, const PointList& points, bool closed, int, int) override
    {
        GdiPort::polyline(wire(), matrix, points, closed, kArrowNone, kArrowNone);
    }
    void curvePath(
        const PaintStyle&, const Matrix& matrix, const NodeList& nodes, bool closed, int, int) override
    {
        GdiPort::curvePath(wire(), matrix, nodes, closed, kArrowNone, kArrowNone);
    }
    void image(const Matrix& matrix, const ImageObject&) override
    {
        GdiPort::polyline(wire(), matrix, PointList { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } }, true,
            kArrowNone, kArrowNone);
    }

private:
    static const PaintStyle& wire()
    {
        static const PaintStyle style = [] {
            PaintStyle s;
            s.setFillTransparent();
            s.setLineWidth(0);
            s.setLineColor(Color::black());
            return s;
        }();
        return style;
    }
};

int scrollBarExtent(const QWidget* widget)
{
    return widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget);
}

} // namespace

DrawingWindow::DrawingWindow(Drawing& drawing, QWidget* parent)
    : QWidget(parent)
    , m_drawing(drawing)
    , m_horizontalBar(new QScrollBar(Qt::Horizontal, this))
    , m_verticalBar(new QScrollBar(Qt::Vertical, this))
{
    setObjectName(QStringLiteral("zavora_client"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    for (QScrollBar* bar : { m_horizontalBar, m_verticalBar }) {
        const bool vertical = bar == m_verticalBar;
        connect(bar, &QAbstractSlider::actionTriggered, this,
            [this, vertical](int action) { scrollAction(vertical, action); });
        connect(bar, &QAbstractSlider::sliderMoved, this,
            [this, vertical](int position) { thumbMoved(vertical, position); });
        connect(bar, &QAbstractSlider::sliderReleased, this, [this] { invalidateAll(); });
    }
    m_drawing.addObserver(this);
}

DrawingWindow::~DrawingWindow()
{
    m_drawing.removeObserver(this);
}

QRect DrawingWindow::viewport() const
{
    const int extent = scrollBarExtent(this);
    return QRect(0, 0, std::max(1, width() - extent), std::max(1, height() - extent));
}

void DrawingWindow::setPageSize(int width, int height)
{
    m_view.setPageSize(width, height);
    viewChanged();
}

void DrawingWindow::setUnit(int unit)
{
    m_unit = unit;
    viewChanged();
}

void DrawingWindow::setCompanions(Ruler* horizontal, Ruler* vertical, StatusBar* status)
{
    m_horizontalRuler = horizontal;
    m_verticalRuler = vertical;
    m_status = status;
    viewChanged();
}

void DrawingWindow::setRulerOffsets(int horizontal, int vertical)
{
    m_horizontalRulerOffset = horizontal;
    m_verticalRulerOffset = vertical;
    viewChanged();
}

void DrawingWindow::setPreviewMode(bool on)
{
    m_previewMode = on;
    invalidateAll();
}

void DrawingWindow::fitInWindow()
{
    m_view.fitInWindow();
    viewChanged();
    updateScrollBars();
    invalidateAll();
}

void DrawingWindow::fitWidth()
{
    m_view.fitWidth();
    viewChanged();
    updateScrollBars();
    invalidateAll();
}

void DrawingWindow::setZoomPercent(float percent)
{
    m_view.setZoomPercent(percent);
    viewChanged();
    updateScrollBars();
    invalidateAll();
}

void DrawingWindow::zoomToRect(float x0, float y0, float x1, float y1)
{
    m_view.zoomToRect(x0, y0, x1, y1);
    viewChanged();
    updateScrollBars();
    invalidateAll();
}

void DrawingWindow::drawingReplaced()
{
    m_view.setLandscape(m_drawing.isLandscape());
    m_view.buildViewMatrix();
    viewChanged();
    updateScrollBars();
    invalidateAll();
}

void DrawingWindow::updateScrollBars()
{
    auto apply = [](QScrollBar* bar, const ScrollBarState& s) {
        QSignalBlocker block(bar);
        // The bar's maximum position is range - page + 1, as with page-sized thumbs.
        const int last = std::max(0, s.maximum - s.page + 1);
        bar->setRange(0, last);
        bar->setPageStep(std::max(1, s.page));
        bar->setSingleStep(1);
        bar->setValue(s.position);
        bar->setSliderPosition(std::clamp(s.position, 0, last));
        bar->setEnabled(last > 0);
    };
    apply(m_horizontalBar, m_view.scrollBar(ScrollBar::Horizontal));
    apply(m_verticalBar, m_view.scrollBar(ScrollBar::Vertical));
}

void DrawingWindow::invalidateAll()
{
    m_rebuildPending = true;
    update();
}

void DrawingWindow::viewChanged()
{
    if (m_horizontalRuler)
        m_horizontalRuler->setView(&m_view, m_unit, m_horizontalRulerOffset);
    if (m_verticalRuler)
        m_verticalRuler->setView(&m_view, m_unit, m_verticalRulerOffset);
}

void DrawingWindow::scrollAction(bool vertical, int action)
{
    ScrollStep direction;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
    case QAbstractSlider::SliderPageStepSub:
        direction = ScrollStep::Back;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderPageStepAdd:
        direction = ScrollStep::Forward;
        break;
    default:
        return; // thumb drags arrive through sliderMoved
    }
    if (m_view.step(vertical ? ScrollBar::Vertical : ScrollBar::Horizontal, direction)) {
        viewChanged();
        invalidateAll();
    }
    // The bar shows the view's position, not its own idea of the step.
    updateScrollBars();
}

void DrawingWindow::thumbMoved(bool vertical, int position)
{
    m_view.trackThumb(vertical ? ScrollBar::Vertical : ScrollBar::Horizontal, position);
    viewChanged();
    invalidateAll();
}

Rect DrawingWindow::toDrawingRect(const QRect& pixels) const
{
    const QRectF r(pixels);
    Point corners[4] = { m_view.toDrawing(r.left(), r.top()), m_view.toDrawing(r.right() + 1, r.top()),
        m_view.toDrawing(r.left(), r.bottom() + 1), m_view.toDrawing(r.right() + 1, r.bottom() + 1) };
    Rect out { corners[0].x, corners[0].y, corners[0].x, corners[0].y };
    for (const Point& c : corners) {
        out.left = std::min(out.left, c.x);
        out.right = std::max(out.right, c.x);
        out.bottom = std::min(out.bottom, c.y);
        out.top = std::max(out.top, c.y);
    }
    return out;
}

void DrawingWindow::resizeEvent(QResizeEvent*)
{
    const int extent = scrollBarExtent(this);
    const QRect area = viewport();
    m_horizontalBar->setGeometry(0, area.height(), area.width(), extent);
    m_verticalBar->setGeometry(area.width(), 0, extent, area.height());
    m_view.resize(area.width(), area.height());
    m_buffer = QImage();
    viewChanged();
    updateScrollBars();
    invalidateAll();
}

void DrawingWindow::rebuildBuffer(const QRect& area)
{
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    const Rect visible = toDrawingRect(area);
    {
        // The sheet with a shadow, so its edges show on the white window.
        QPainter p(&image);
        const Point a = m_view.toWindow(0, 0);
        const Point b = m_view.toWindow(m_view.pageWidth(), m_view.pageHeight());
        QRectF page(QPointF(a.x, a.y), QPointF(b.x, b.y));
        page = page.normalized();
        p.fillRect(page.translated(4, 4), QColor(160, 160, 160));
        p.fillRect(page, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(page);
    }
    if (m_drawing.grid().spare)
        drawGrid(image, visible);

    RasterDeviceContext dc(image);
    const Matrix toDevice = m_view.matrix().toMatrix();
    std::unique_ptr<GdiPort> port = m_previewMode ? std::make_unique<GdiPort>(dc, toDevice)
                                                  : std::make_unique<WireframePort>(dc, toDevice);
    for (const auto& object : m_drawing.objects()) {
        if (object->isHidden())
            continue;
        // With the stroke: a wide edge reaching into the window must show too.
        if (!boxesIntersect(object->boundingBox(true), visible))
            continue;
        Drawing::emitObject(*object, *port);
    }
    m_buffer = dc.image();
    m_rebuildPending = false;
}

void DrawingWindow::drawGrid(QImage& image, const Rect& visible)
{
    float dx = 0, dy = 0;
    const Grid& grid = m_drawing.grid();
    const GridDensity density = m_view.gridDensity(grid, &dx, &dy);
    if (density == GridDensity::TooDense) {
        setStatus("Grid is too dense to display");
        return;
    }
    const bool sparse = density == GridDensity::EveryFifthLine;
    const long i0 = static_cast<long>(std::floor(visible.left / grid.gx));
    const long i1 = static_cast<long>(std::ceil(visible.right / grid.gx));
    const long j0 = static_cast<long>(std::floor(visible.bottom / grid.gy));
    const long j1 = static_cast<long>(std::ceil(visible.top / grid.gy));
    const QRgb dot = qRgb(0, 0, 0);
    for (long j = j0; j <= j1; ++j) {
        const bool fifthRow = j % 5 == 0;
        for (long i = i0; i <= i1; ++i) {
            if (sparse && !fifthRow && i % 5 != 0)
                continue;
            const Point p = m_view.toWindow(float(i * grid.gx), float(j * grid.gy));
            const int x = static_cast<int>(std::lround(p.x)), y = static_cast<int>(std::lround(p.y));
            if (x >= 0 && y >= 0 && x < image.width() && y < image.height())
                image.setPixel(x, y, dot);
        }
    }
}

void DrawingWindow::paintEvent(QPaintEvent* event)
{
    const QRect area = viewport();
    // While a button is held a tool owns the picture: show the buffer as it is.
    const bool buttonHeld = QGuiApplication::mouseButtons() != Qt::NoButton && underMouse();
    if ((m_rebuildPending || m_buffer.size() != area.size()) && !buttonHeld)
        rebuildBuffer(area);
    QPainter p(this);
    const QRect damaged = event->rect() & area;
    if (!m_buffer.isNull())
        p.drawImage(damaged.topLeft(), m_buffer, damaged);
    // The corner between the two scroll bars.
    const QRect corner(area.width(), area.height(), width() - area.width(), height() - area.height());
    p.fillRect(corner, palette().color(QPalette::Button));
    ++m_paintCount;
    Q_EMIT painted();
}

void DrawingWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    const Point p = m_view.toDrawing(float(pos.x()), float(pos.y()));
    if (m_status)
        m_status->setPointerText(QString::fromStdString(View::pointerText(m_unit, p)));
    if (m_horizontalRuler)
        m_horizontalRuler->setMarker(int(pos.x()));
    if (m_verticalRuler)
        m_verticalRuler->setMarker(int(pos.y()));
}

void DrawingWindow::leaveEvent(QEvent*)
{
    if (m_horizontalRuler)
        m_horizontalRuler->setMarker(-1);
    if (m_verticalRuler)
        m_verticalRuler->setMarker(-1);
}

void DrawingWindow::keyPressEvent(QKeyEvent* event)
{
    // Page Up and Page Down scroll as the vertical bar's page steps.
    if (event->key() == Qt::Key_PageUp)
        scrollAction(true, QAbstractSlider::SliderPageStepSub);
    else if (event->key() == Qt::Key_PageDown)
        scrollAction(true, QAbstractSlider::SliderPageStepAdd);
    // The window is where keys end (the tools take them); passing one up
    // would send it back here through the frame.
    event->accept();
}

void DrawingWindow::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
}

void DrawingWindow::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const bool horizontal = delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
    const int amount = delta.y() != 0 ? delta.y() : delta.x();
    if (amount == 0)
        return;
    scrollAction(!horizontal,
        amount > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
    event->accept();
}

} // namespace zavora
