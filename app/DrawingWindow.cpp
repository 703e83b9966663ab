#include "app/DrawingWindow.h"
#include "app/ShellCommands.h"
#include "app/SystemClipboard.h"

#include "app/Ruler.h"
#include "app/StatusBar.h"
#include "app/ToolCursors.h"
#include "model/CommandIds.h"
#include "platform/Reporter.h"
#include "model/PathObjects.h"
#include "platform/qt/QtRasterSurface.h"
#include "raster/ScreenCanvas.h"
#include "fonts/AnsiEncoding.h"
#include "tools/SelectionTool.h"
#include "tools/TextTool.h"
#include "tools/Tool.h"
#include "tools/ToolSet.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QStyle>

#include <cmath>
#include <utility>

namespace zavora {

namespace {

constexpr float kKeyZoomStep = 1.25f;

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
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    // The caret blinks while a text is edited.
    m_caretTimer = new QTimer(this);
    m_caretTimer->setInterval(QGuiApplication::styleHints()->cursorFlashTime() / 2);
    connect(m_caretTimer, &QTimer::timeout, this, [this] {
        if (TextTool* text = editingTextTool())
            text->blink();
    });
    if (m_caretTimer->interval() > 0)
        m_caretTimer->start();
    m_tools = std::make_unique<ToolSet>(*this);
}

DrawingWindow::~DrawingWindow()
{
    m_tools.reset();
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

void DrawingWindow::zoomBy(float factor, QPointF at)
{
    if (m_buttonDown || m_view.zoom() <= 0)
        return;
    endGesture();
    m_view.zoomAbout(m_view.zoom() * factor, float(at.x()), float(at.y()));
    viewChanged();
    updateScrollBars();
    invalidateAll();
}

void DrawingWindow::endGesture()
{
    if (m_tools)
        m_tools->selectTool(m_tools->currentCommand());
}

void DrawingWindow::panBy(float dx, float dy)
{
    m_view.setOffsets(m_view.offsetX() - dx, m_view.offsetY() - dy);
    m_view.buildViewMatrix();
    viewChanged();
    updateScrollBars();
    showMovedView();
}

void DrawingWindow::showMovedView()
{
    if (!m_buttonDown) {
        invalidateAll();
        return;
    }
    // With a button held the paints only copy the picture, which no longer
    // matches the view: compose it now.
    m_painting = true;
    compose(viewport());
    m_painting = false;
    m_rebuildPending = false;
    update();
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
    // A scroll ends any gesture: the selection tool takes over.
    selectTool(kCmdSelectionTool);
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
        showMovedView();
    }
    // The bar shows the view's position, not its own idea of the step.
    updateScrollBars();
}

void DrawingWindow::thumbMoved(bool vertical, int position)
{
    selectTool(kCmdSelectionTool);
    m_view.trackThumb(vertical ? ScrollBar::Vertical : ScrollBar::Horizontal, position);
    viewChanged();
    invalidateAll();
}

void DrawingWindow::resizeEvent(QResizeEvent*)
{
    // A gesture's feedback lives in the buffers about to be made anew: it
    // ends here, on the old ones, and the selection tool takes over.
    selectTool(kCmdSelectionTool);
    const int extent = scrollBarExtent(this);
    const QRect area = viewport();
    m_horizontalBar->setGeometry(0, area.height(), area.width(), extent);
    m_verticalBar->setGeometry(area.width(), 0, extent, area.height());
    m_view.resize(area.width(), area.height());
    m_canvas->createBuffers(area.width(), area.height());
    viewChanged();
    updateScrollBars();
    // The new buffers are blank.
    showMovedView();
}

void DrawingWindow::compose(const QRect& area)
{
    // The view buffer gets the sheet, the grid and the objects; the window
    // then shows the composed pixels.
    const PixelRect pixels { area.left(), area.top(), area.right(), area.bottom() };
    m_canvas->setTarget(DrawTarget::Buffer);
    // Smoothed edges while a full redraw stays quick; past that the shapes
    // keep their exact pixels (drawn several times faster) and only the text
    // is smoothed, so that small type stays legible.
    m_canvas->setAntialiasing(m_previewMode && m_drawing.objectCount() <= kSmoothedObjectLimit);
    m_canvas->setTextSmoothing(m_previewMode);
    m_canvas->clear(pixels);
    const Point a = m_view.toWindow(0, 0);
    const Point b = m_view.toWindow(float(m_view.pageWidth()), float(m_view.pageHeight()));
    m_canvas->pageShadow({ roundToDevice(a.x), roundToDevice(a.y), roundToDevice(b.x), roundToDevice(b.y) });
    const bool gridTooDense = m_drawing.grid().spare && !m_canvas->gridDots(m_drawing.grid(), pixels);
    // Beside the prompt, not over it: the prompt may be the selection count.
    if (m_status)
        m_status->setNote(gridTooDense ? QStringLiteral("Grid is too dense to display") : QString());
    m_canvas->redraw(m_drawing, m_previewMode ? kDrawFinal : kDrawOutline, pixels);
    // The picture without selection marks, for the tools' moving feedback.
    m_canvas->copyBufferToBuffer(ScreenBuffer::View, ScreenBuffer::Clean, pixels);
    drawSelectionHandles();
    m_canvas->copyBufferToWindow(ScreenBuffer::View, pixels);
}

void DrawingWindow::drawSelectionHandles()
{
    const ObjectRefs& selection = m_drawing.selection();
    // A curve alone in the selection is being edited: its control points
    // are handles too, and they must be seen to be dragged.
    if (selection.size() == 1 && selection.front()->type() == ObjectType::Curve) {
        static_cast<const CurveObject&>(*selection.front()).drawEditHandles(*m_canvas);
        return;
    }
    for (const DrawObject* object : selection)
        m_canvas->drawHandles(*object);
}

void DrawingWindow::showSelection()
{
    if (m_rebuildPending && !m_buttonDown) {
        update(); // the next paint composes everything, handles included
        return;
    }
    const DrawTarget target = m_canvas->target();
    m_canvas->setTarget(DrawTarget::Buffer);
    m_canvas->copyBufferToBuffer(ScreenBuffer::Clean, ScreenBuffer::View);
    drawSelectionHandles();
    m_canvas->setTarget(target);
    m_canvas->copyBufferToWindow(ScreenBuffer::View);
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
    // A tool's overlay is composed afresh under it on every paint and drawn
    // once over it, so it never lands on itself.
    Tool* tool = m_tools ? currentTool() : nullptr;
    const Rect overlayBox = tool ? tool->overlayBox() : Rect();
    const QRect overlay = overlayBox.isUncomputed() ? QRect() : windowRect(overlayBox, 6) & area;
    // While a button is held a tool owns the picture (its rubber bands are
    // on the screen): show the window as it is, unless it keeps an overlay.
    const bool buttonHeld = m_buttonDown && overlay.isEmpty();
    m_painting = true;
    if (!buttonHeld) {
        if (m_rebuildPending)
            compose(area);
        else if (!(damaged | overlay).isEmpty())
            compose(damaged | overlay);
        m_rebuildPending = false;
        if (!overlay.isEmpty())
            tool->drawOverlay();
    } else if (m_rebuildPending) {
        m_paintDeferred = true;
    }
    // Feedback drawn over the fresh picture belongs to this paint.
    if (!buttonHeld && m_tools)
        currentTool()->repaintFeedback();
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
    if (m_middlePanning) {
        const Point now = m_view.toDrawing(float(pos.x()), float(pos.y()));
        panBy(now.x - m_panAnchor.x, now.y - m_panAnchor.y);
    }
    if (m_buttonDown && m_dragOutHandler && currentTool() == &m_tools->selectionTool()
        && m_tools->selectionTool().mode() == SelectionTool::Moving && !viewport().contains(pos.toPoint())) {
        // Moved out of the window, the selection goes to other programs as a
        // copy: the move ends and the objects stay where they were.
        m_buttonDown = false;
        selectTool(kCmdSelectionTool);
        m_dragOutHandler();
        return;
    }
    if (m_buttonDown)
        deliver(2, float(pos.x()), float(pos.y()), (event->modifiers() & Qt::ShiftModifier) || m_shiftHeld);
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
    // The window is where keys end (the tools take them); passing one up
    // would send it back here through the frame.
    event->accept();
    const int key = event->key();
    Tool* textTool = m_tools->tool(ToolKind::Text);
    const bool textCurrent = textTool && currentTool() == textTool;
    if (TextTool* editing = editingTextTool(); editing && textEditingKey(*editing, event))
        return;
    if (key == Qt::Key_Shift) {
        // Pressing Shift re-evaluates a drag at once, without a pointer move.
        if (m_buttonDown && !m_shiftHeld)
            deliver(2, -1, -1, true);
        m_shiftHeld = true;
        return;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        // Ctrl+plus and Ctrl+minus zoom about the window's centre.
        const QPointF centre = QRectF(viewport()).center();
        if (key == Qt::Key_Plus || key == Qt::Key_Equal) {
            zoomBy(kKeyZoomStep, centre);
            return;
        }
        if (key == Qt::Key_Minus) {
            zoomBy(1 / kKeyZoomStep, centre);
            return;
        }
    }
    switch (key) {
    case Qt::Key_Escape:
        post(kCmdDeselectAll2);
        return;
    case Qt::Key_PageUp:
        scrollAction(true, QAbstractSlider::SliderPageStepSub);
        return;
    case Qt::Key_PageDown:
        scrollAction(true, QAbstractSlider::SliderPageStepAdd);
        return;
    case Qt::Key_Delete:
        if (textCurrent)
            currentTool()->keyDown(7, m_shiftHeld);
        else if (m_drawing.hasSelection())
            post(kCmdClear);
        return;
    default:
        break;
    }
    int code = 0;
    Point step;
    switch (key) {
    case Qt::Key_End:
        code = 1;
        break;
    case Qt::Key_Home:
        code = 2;
        break;
    case Qt::Key_Left:
        code = 3;
        step = onePixel(-1, 0);
        break;
    case Qt::Key_Up:
        code = 4;
        step = onePixel(0, -1);
        break;
    case Qt::Key_Right:
        code = 5;
        step = onePixel(1, 0);
        break;
    case Qt::Key_Down:
        code = 6;
        step = onePixel(0, 1);
        break;
    default:
        break;
    }
    if (code) {
        if (currentTool() != &m_tools->selectionTool())
            currentTool()->keyDown(code, m_shiftHeld);
        else if (code >= 3 && !m_buttonDown)
            m_drawing.moveSelection(step.x, step.y);
        return;
    }
    if (key >= Qt::Key_F2 && key <= Qt::Key_F11) {
        post(ToolSet::functionKeyCommand(key - Qt::Key_F1 + 1));
        return;
    }
    const QString text = event->text();
    if (textCurrent) {
        // Composed characters may come several at once.
        TextTool* editing = editingTextTool();
        if (editing && !m_buttonDown && !text.isEmpty() && text[0].isPrint())
            typeCharacters(*editing, text);
        return;
    }
    if (text.size() != 1 || m_buttonDown || !text[0].isPrint())
        return;
    if (const int command = ToolSet::letterCommand(text[0].unicode()))
        post(command);
}

void DrawingWindow::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
    if (event->key() == Qt::Key_Shift && !event->isAutoRepeat()) {
        m_shiftHeld = false;
        if (m_buttonDown)
            deliver(2, -1, -1, false);
    }
}

void DrawingWindow::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        event->accept();
        // One notch (120) zooms by one key step, finer wheels in proportion.
        if (delta.y() != 0)
            zoomBy(float(std::pow(kKeyZoomStep, delta.y() / 120.0)), event->position());
        return;
    }
    const bool horizontal = delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
    const int amount = delta.y() != 0 ? delta.y() : delta.x();
    if (amount == 0)
        return;
    scrollAction(!horizontal,
        amount > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
    event->accept();
}

// --- tools -------------------------------------------------------------

Tool* DrawingWindow::currentTool() const
{
    return m_tools->currentTool();
}

bool DrawingWindow::selectTool(int commandId)
{
    if (!m_tools)
        return false;
    return m_tools->selectTool(commandId);
}

void DrawingWindow::post(int commandId)
{
    if (commandId && m_postCommand)
        m_postCommand(commandId);
}

Point DrawingWindow::onePixel(int dx, int dy) const
{
    // Through the mapping, so the selection moves the way the arrow points
    // on screen whatever the zoom and the page orientation.
    const Point a = m_view.toDrawing(0, 0);
    const Point b = m_view.toDrawing(float(dx), float(dy));
    return { b.x - a.x, b.y - a.y };
}

void DrawingWindow::deliver(int event, float px, float py, bool shift)
{
    if (px != -1)
        m_lastX = px;
    if (py != -1)
        m_lastY = py;
    const Point p = m_view.toDrawing(m_lastX, m_lastY);
    Tool* tool = currentTool();
    switch (event) {
    case 0:
        tool->mouseDown(p.x, p.y, shift);
        break;
    case 1:
        tool->mouseUp(p.x, p.y, shift);
        break;
    case 2:
        tool->mouseDrag(p.x, p.y, shift);
        break;
    case 3:
        tool->doubleClick(p.x, p.y, shift);
        break;
    case 4:
        tool->rightClick(p.x, p.y, shift);
        break;
    default:
        break;
    }
}

void DrawingWindow::mousePressEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (event->button() == Qt::LeftButton) {
        if (m_buttonDown)
            return;
        m_buttonDown = true; // Qt grabs the pointer for the pressed button
        deliver(0, float(pos.x()), float(pos.y()), shift);
    } else if (event->button() == Qt::RightButton) {
        if (!m_buttonDown)
            deliver(4, float(pos.x()), float(pos.y()), shift);
    } else if (event->button() == Qt::MiddleButton) {
        if (m_buttonDown || m_middlePanning)
            return;
        endGesture();
        m_middlePanning = true;
        m_panAnchor = m_view.toDrawing(float(pos.x()), float(pos.y()));
    }
}

void DrawingWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton && m_middlePanning) {
        m_middlePanning = false;
        invalidateAll();
        return;
    }
    if (event->button() != Qt::LeftButton || !m_buttonDown)
        return;
    m_buttonDown = false;
    const QPointF pos = event->position();
    deliver(1, float(pos.x()), float(pos.y()), event->modifiers() & Qt::ShiftModifier);
    if (std::exchange(m_paintDeferred, false))
        update();
}

void DrawingWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Stands in for the second press; its release finds no button down.
    if (event->button() != Qt::LeftButton || m_buttonDown)
        return;
    const QPointF pos = event->position();
    deliver(3, float(pos.x()), float(pos.y()), event->modifiers() & Qt::ShiftModifier);
}

void DrawingWindow::setCursorShape(int index)
{
    if (index < 0 || index >= kCursorCount)
        return;
    m_cursorIndex = index;
    if (!m_cursorMade[size_t(index)]) {
        m_cursors[size_t(index)] = makeToolCursor(index);
        m_cursorMade[size_t(index)] = true;
    }
    setCursor(m_cursors[size_t(index)]);
}

void DrawingWindow::setToolButtonPressed(int commandId, bool pressed)
{
    Q_EMIT toolButtonChanged(commandId, pressed);
}

void DrawingWindow::redrawStatus()
{
    if (m_status)
        m_status->update();
}

void DrawingWindow::repaintArea(const Rect& box, int pad)
{
    if (box.isUncomputed()) {
        invalidateAll();
        return;
    }
    update(windowRect(box, pad) & viewport());
}

QRect DrawingWindow::windowRect(const Rect& box, int pad) const
{
    const Point a = m_view.toWindow(box.left, box.bottom);
    const Point b = m_view.toWindow(box.right, box.top);
    // Far-off boxes at high zoom stay within the device range.
    auto lower
        = [pad](float u, float v) { return int(std::floor(clampDeviceCoordinate(std::min(u, v)))) - pad; };
    auto upper
        = [pad](float u, float v) { return int(std::ceil(clampDeviceCoordinate(std::max(u, v)))) + pad; };
    const int x0 = lower(a.x, b.x), x1 = upper(a.x, b.x);
    const int y0 = lower(a.y, b.y), y1 = upper(a.y, b.y);
    return QRect(QPoint(x0, y0), QPoint(x1, y1));
}

NodeChoice DrawingWindow::nodeMenu(const NodeMenuState& state)
{
    struct Item {
        int commandId;
        const char* text;
        NodeChoice choice;
        bool enabled, checkable, checked;
    };
    const Item items[] = {
        { kCmdInsertNode, "Insert Node", NodeChoice::Insert, state.insertEnabled, false, false },
        { kCmdDeleteNode, "Delete Node", NodeChoice::Delete, state.deleteEnabled, false, false },
        { kCmdCornerNode, "Corner", NodeChoice::Corner, state.cornerEnabled, true, state.cornerChecked },
        { kCmdCloseNode, "Close", NodeChoice::Close, state.closeEnabled, true, state.closeChecked },
    };
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("NODEMENU"));
    for (const Item& item : items) {
        QAction* action = menu.addAction(tr(item.text));
        action->setData(item.commandId);
        action->setEnabled(item.enabled);
        action->setCheckable(item.checkable);
        action->setChecked(item.checked);
    }
    const QAction* chosen = menu.exec(mapToGlobal(QPoint(int(m_lastX), int(m_lastY))));
    if (!chosen)
        return NodeChoice::None;
    for (const Item& item : items)
        if (chosen->data().toInt() == item.commandId)
            return item.choice;
    return NodeChoice::None;
}

bool DrawingWindow::editText(TextObject& text, Point at)
{
    auto* tool = static_cast<TextTool*>(m_tools->tool(ToolKind::Text));
    if (!tool || !selectTool(kCmdTextTool))
        return false;
    tool->editExisting(text, at);
    return true;
}

InsertPlacement DrawingWindow::insertPlacement() const
{
    return { m_view.toDrawing(10, 10), m_view.toDrawing(10, 30), m_drawing.isLandscape(),
        PaperSize { int(m_view.pageWidth()), int(m_view.pageHeight()) } };
}

Rect DrawingWindow::visibleBox() const
{
    const QRect area = viewport();
    const Point a = m_view.toDrawing(float(area.left()), float(area.top()));
    const Point b = m_view.toDrawing(float(area.right() + 1), float(area.bottom() + 1));
    return { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y) };
}

namespace {

// Ctrl asks for a copy; otherwise a move where the source allows one.
Qt::DropAction dropAction(const QDropEvent& event)
{
    const Qt::DropActions offered = event.possibleActions();
    if (!(event.modifiers() & Qt::ControlModifier) && (offered & Qt::MoveAction))
        return Qt::MoveAction;
    if (offered & Qt::CopyAction)
        return Qt::CopyAction;
    return Qt::IgnoreAction;
}

} // namespace

void DrawingWindow::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void DrawingWindow::dragMoveEvent(QDragMoveEvent* event)
{
    const Qt::DropAction action = dropAction(*event);
    if (!m_dropHandler || !SystemClipboard::accepts(*event->mimeData()) || action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void DrawingWindow::dropEvent(QDropEvent* event)
{
    const Qt::DropAction action = dropAction(*event);
    if (!m_dropHandler || action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    selectTool(kCmdSelectionTool);
    event->setDropAction(action);
    event->accept();
    m_dropHandler(*event->mimeData());
}

NewTextFont DrawingWindow::newTextFont() const
{
    return m_newTextFont ? m_newTextFont() : ToolView::newTextFont();
}

TextTool* DrawingWindow::editingTextTool() const
{
    Tool* text = m_tools ? m_tools->tool(ToolKind::Text) : nullptr;
    if (!text || currentTool() != text)
        return nullptr;
    auto* tool = static_cast<TextTool*>(text);
    return tool->editing() ? tool : nullptr;
}

bool DrawingWindow::event(QEvent* event)
{
    // While a text is edited, its keys are typing, not the menus' shortcuts;
    // the function keys type nothing and keep theirs (F1 for help).
    if (event->type() == QEvent::ShortcutOverride && editingTextTool()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        const bool functionKey = key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F35;
        if ((mods == Qt::NoModifier && !functionKey) || key->matches(QKeySequence::SelectAll)
            || key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut)
            || key->matches(QKeySequence::Paste)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

bool DrawingWindow::textEditingKey(TextTool& tool, QKeyEvent* event)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto toUnicode = [](const std::string& bytes) {
        QString text;
        for (unsigned char c : bytes)
            text += c == '\r' ? QChar('\n') : QChar(char16_t(ansiToUnicode(c)));
        return text;
    };
    if (event->matches(QKeySequence::SelectAll)) {
        tool.selectAll();
    } else if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)) {
        const std::string selected = tool.selectedCharacters();
        if (!selected.empty()) {
            clipboard->setText(toUnicode(selected));
            if (event->matches(QKeySequence::Cut))
                tool.insertCharacters({});
        }
    } else if (event->matches(QKeySequence::Paste)) {
        typeCharacters(tool, clipboard->text());
    } else {
        switch (event->key()) {
        case Qt::Key_Escape:
            post(kCmdSelectionTool);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            tool.keyDown(TextTool::kKeyEnter, m_shiftHeld);
            break;
        case Qt::Key_Backspace:
            tool.keyDown(TextTool::kKeyBackspace, m_shiftHeld);
            break;
        case Qt::Key_Delete:
            tool.keyDown(TextTool::kKeyDelete, m_shiftHeld);
            break;
        default:
            return false;
        }
    }
    return true;
}

void DrawingWindow::typeCharacters(TextTool& tool, const QString& text)
{
    std::string bytes;
    QString refused;
    for (const char32_t c : text.toUcs4()) {
        if (c == '\n' || c == '\r' || c == '\t') {
            bytes += char(c);
            continue;
        }
        const int code = unicodeToAnsi(c);
        if (code < 0)
            refused += QString::fromUcs4(&c, 1);
        else
            bytes += char(code);
    }
    if (bytes.size() == 1 && bytes[0] != '\n' && bytes[0] != '\t')
        tool.keyDown(static_cast<unsigned char>(bytes[0]), false);
    else if (!bytes.empty())
        tool.insertCharacters(bytes);
    if (!refused.isEmpty())
        setStatus("Text: \"%s\" is not in the Windows Latin 1 characters; left out", refused.toStdString().c_str());
}

void DrawingWindow::inputMethodEvent(QInputMethodEvent* event)
{
    if (TextTool* tool = editingTextTool(); tool && !event->commitString().isEmpty())
        typeCharacters(*tool, event->commitString());
    event->accept();
}

QVariant DrawingWindow::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImEnabled)
        return editingTextTool() != nullptr;
    return QWidget::inputMethodQuery(query);
}

} // namespace zavora
