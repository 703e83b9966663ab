#include "app/DrawingWindow.h"

#include "app/Ruler.h"
#include "app/StatusBar.h"
#include "platform/qt/QtRasterSurface.h"
#include "raster/ScreenCanvas.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <cmath>

namespace zavora {

namespace {

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
    , m_surfaces(std::make_unique<QtSurfaceFactory>())
    , m_canvas(std::make_unique<ScreenCanvas>(*m_surfaces))
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
    m_canvas->setInvalidateHandler([this](int32_t x, int32_t y, int32_t w, int32_t h) {
        // What the paint itself copies to the window is on its way already.
        if (!m_painting)
            update(QRect(x, y, w, h));
    });
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
    m_canvas->setViewMatrix(m_view.matrix());
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

void DrawingWindow::resizeEvent(QResizeEvent*)
{
    const int extent = scrollBarExtent(this);
    const QRect area = viewport();
    m_horizontalBar->setGeometry(0, area.height(), area.width(), extent);
    m_verticalBar->setGeometry(area.width(), 0, extent, area.height());
    m_view.resize(area.width(), area.height());
    m_canvas->createBuffers(area.width(), area.height());
    viewChanged();
    updateScrollBars();
    invalidateAll();
}

void DrawingWindow::compose(const QRect& area)
{
    // The view buffer gets the sheet, the grid and the objects; the window
    // then shows the composed pixels.
    const PixelRect pixels { area.left(), area.top(), area.right(), area.bottom() };
    m_canvas->setTarget(DrawTarget::Buffer);
    m_canvas->setAntialiasing(m_previewMode);
    m_canvas->clear(pixels);
    const Point a = m_view.toWindow(0, 0);
    const Point b = m_view.toWindow(float(m_view.pageWidth()), float(m_view.pageHeight()));
    m_canvas->pageShadow({ int32_t(std::lround(a.x)), int32_t(std::lround(a.y)), int32_t(std::lround(b.x)),
        int32_t(std::lround(b.y)) });
    if (m_drawing.grid().spare)
        m_canvas->gridDots(m_drawing.grid(), pixels);
    m_canvas->redraw(m_drawing, m_previewMode ? kDrawFinal : kDrawOutline, pixels);
    for (const DrawObject* object : m_drawing.selection())
        m_canvas->drawHandles(*object);
    m_canvas->copyBufferToWindow(ScreenBuffer::View, pixels);
}

const QImage& DrawingWindow::buffer() const
{
    static const QImage none;
    auto* window = static_cast<QtRasterSurface*>(m_canvas->window());
    return window ? window->image() : none;
}

void DrawingWindow::paintEvent(QPaintEvent* event)
{
    const QRect area = viewport();
    if (m_canvas->width() != area.width() || m_canvas->height() != area.height())
        m_canvas->createBuffers(area.width(), area.height());
    const QRect damaged = event->rect() & area;
    // While a button is held a tool owns the picture: show the window as it is.
    const bool buttonHeld = QGuiApplication::mouseButtons() != Qt::NoButton && underMouse();
    m_painting = true;
    if (!buttonHeld) {
        if (m_rebuildPending)
            compose(area);
        else if (!damaged.isEmpty())
            compose(damaged);
        m_rebuildPending = false;
    }
    m_painting = false;
    QPainter p(this);
    const QImage& pixels = buffer();
    if (!pixels.isNull())
        p.drawImage(damaged.topLeft(), pixels, damaged);
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
