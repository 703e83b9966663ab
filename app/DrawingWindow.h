#pragma once
// The drawing window ("zavora_client"): one page of the drawing at the
// view's zoom and offsets, with both scroll bars, the grid, the pointer
// read-out and the rulers' marks. Its contents live in a buffer image that
// is redrawn from the drawing when needed and copied to the screen.

#include "app/View.h"
#include "export/Insert.h"
#include "model/Drawing.h"
#include "tools/ToolView.h"

#include <QCursor>
#include <QImage>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QInputMethodEvent;
class QMimeData;
class QScrollBar;
class QTimer;

namespace zavora {

class ScreenCanvas;
class SurfaceFactory;
class Ruler;
class StatusBar;
class TextTool;
class Tool;
class ToolSet;

// Every mouse and key event of the window goes to the current tool (or
// becomes a command posted to the frame).
class DrawingWindow : public QWidget, public DrawingObserver, public ToolView {
    Q_OBJECT
public:
    DrawingWindow(Drawing& drawing, QWidget* parent);
    ~DrawingWindow() override;

    // The filled view smooths every edge up to this many objects, only text beyond.
    static constexpr std::size_t kSmoothedObjectLimit = 3000;

    View& view() { return m_view; }
    const View& view() const { return m_view; }
    QScrollBar* horizontalBar() const { return m_horizontalBar; }
    QScrollBar* verticalBar() const { return m_verticalBar; }
    // The part of the window the page is shown in (inside the scroll bars).
    QRect viewport() const;

    void setPageSize(int width, int height);
    void setUnit(int unit);
    int unit() const { return m_unit; }
    // The frame's rulers and status bar (not owned; may be null); the
    // offsets place this window's pixels on the rulers.
    void setCompanions(Ruler* horizontal, Ruler* vertical, StatusBar* status);
    void setRulerOffsets(int horizontal, int vertical);

    void setPreviewMode(bool on);

    // The zoom commands; each updates the scroll bars and redraws.
    void fitInWindow();
    void fitWidth();
    void setZoomPercent(float percent);
    void zoomToRect(float x0, float y0, float x1, float y1) override;

    // A new drawing is shown: orientation from the drawing, scroll bars, full redraw.
    void drawingReplaced();
    // Sets both scroll bars from the view.
    void updateScrollBars();
    // The buffer is drawn again from the drawing at the next paint.
    void invalidateAll();
    bool rebuildPending() const { return m_rebuildPending; }

    // The window's pixels as last composed.
    const QImage& buffer() const;
    int paintCount() const { return m_paintCount; }

    // DrawingObserver
    void contentChanged() override { invalidateAll(); }
    void selectionChanged() override { showSelection(); }

    // --- tools ----------------------------------------------------------
    ToolSet& tools() { return *m_tools; }
    Tool* currentTool() const;
    // Chooses the tool of a command (401 ... 459); false when it stays.
    bool selectTool(int commandId);
    // Where the window sends the commands its keys stand for (the frame).
    void setCommandPoster(std::function<void(int)> poster) { m_postCommand = std::move(poster); }
    // Where new texts take their font and size from (the Font command's defaults).
    void setNewTextFont(std::function<NewTextFont()> source) { m_newTextFont = std::move(source); }
    // Where dropped data goes (the system clipboard's drop); true when taken.
    void setDropHandler(std::function<bool(const QMimeData&)> handler) { m_dropHandler = std::move(handler); }
    // Starts a drag of the selection to other programs (the frame's).
    void setDragOutHandler(std::function<void()> handler) { m_dragOutHandler = std::move(handler); }
    // Where inserted, pasted and dropped pictures and texts are placed: the
    // window's top-left area.
    InsertPlacement insertPlacement() const;
    // The part of the drawing in view (drawing space).
    Rect visibleBox() const;
    // The text tool while it edits a text, else nullptr.
    TextTool* editingTextTool() const;

    // ToolView
    Drawing& drawing() override { return m_drawing; }
    ScreenCanvas& canvas() override { return *m_canvas; }
    bool previewMode() const override { return m_previewMode; }
    Point toDrawing(float px, float py) const override { return m_view.toDrawing(px, py); }
    Point toWindow(float x, float y) const override { return m_view.toWindow(x, y); }
    Point pixelsToDrawing(float dx, float dy) const override { return m_view.pixelsToDrawing(dx, dy); }
    void setCursorShape(int index) override;
    int cursorShape() const override { return m_cursorIndex; }
    void setToolButtonPressed(int commandId, bool pressed) override;
    void redrawStatus() override;
    void repaintArea(const Rect& box, int pad) override;
    bool editText(TextObject& text, Point at) override;
    NewTextFont newTextFont() const override;
    NodeChoice nodeMenu(const NodeMenuState& state) override;
    void panBy(float dx, float dy) override;

Q_SIGNALS:
    // After every paint of the window.
    void painted();
    // The toolbox button of a command shows pressed or released.
    void toolButtonChanged(int commandId, bool pressed);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    void scrollAction(bool vertical, int action);
    void thumbMoved(bool vertical, int position);
    void viewChanged();
    // Draws the area of the view afresh from the drawing and shows it.
    void compose(const QRect& area);
    // After the view moved or the buffers were made anew: composed at the
    // next paint, or at once while a button is held.
    void showMovedView();
    // The handles of the current selection over the picture without marks,
    // shown at once, even while a button is held.
    void showSelection();
    void drawSelectionHandles();
    // Gesture events to the current tool: 0 down, 1 up, 2 drag, 3 double
    // click, 4 right click. A coordinate of -1 keeps the remembered one.
    void deliver(int event, float px, float py, bool shift);
    // The drawing offset of one screen pixel in a window direction.
    Point onePixel(int dx, int dy) const;
    void post(int commandId);
    // The window rectangle of a drawing box grown by `pad` pixels.
    QRect windowRect(const Rect& box, int pad) const;
    // Keys of the text being edited that the general rules would take for
    // commands (Enter, Backspace, Escape, the clipboard keys); true when used.
    bool textEditingKey(TextTool& tool, QKeyEvent* event);
    // Typed or pasted characters into the edited text, in the code page the
    // files and fonts hold; characters it lacks are left out and reported.
    void typeCharacters(TextTool& tool, const QString& text);
    // Ends the current tool's gesture, keeping the tool (the view is about to move).
    void endGesture();
    // Ctrl + wheel and Ctrl + plus/minus: zooms by a factor about a window
    // point, within the zoom limits.
    void zoomBy(float factor, QPointF at);

    Drawing& m_drawing;
    View m_view;
    QScrollBar* m_horizontalBar;
    QScrollBar* m_verticalBar;
    Ruler* m_horizontalRuler = nullptr;
    Ruler* m_verticalRuler = nullptr;
    StatusBar* m_status = nullptr;
    int m_horizontalRulerOffset = 0, m_verticalRulerOffset = 0;
    int m_unit = 0;
    bool m_previewMode = true;
    bool m_rebuildPending = true;
    std::unique_ptr<SurfaceFactory> m_surfaces;
    std::unique_ptr<ScreenCanvas> m_canvas;
    bool m_painting = false;
    // A rebuild was asked for while a tool owned the picture; the release makes it up.
    bool m_paintDeferred = false;
    int m_paintCount = 0;
    // Input routing.
    float m_lastX = 0, m_lastY = 0;
    bool m_buttonDown = false;
    bool m_shiftHeld = false;
    // The middle button drags the page: the drawing point it holds.
    bool m_middlePanning = false;
    Point m_panAnchor;
    std::function<void(int)> m_postCommand;
    std::function<NewTextFont()> m_newTextFont;
    std::function<bool(const QMimeData&)> m_dropHandler;
    std::function<void()> m_dragOutHandler;
    QTimer* m_caretTimer = nullptr;
    std::array<QCursor, kCursorCount> m_cursors;
    std::array<bool, kCursorCount> m_cursorMade {};
    int m_cursorIndex = kCursorArrow;
    std::unique_ptr<ToolSet> m_tools; // last: its tools use the window
};

} // namespace zavora
