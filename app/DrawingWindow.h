#pragma once
// The drawing window ("zavora_client"): one page of the drawing at the
// view's zoom and offsets, with both scroll bars, the grid, the pointer
// read-out and the rulers' marks. Its contents live in a buffer image that
// is redrawn from the drawing when needed and copied to the screen.

#include "app/View.h"
#include "model/Drawing.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QScrollBar;

namespace zavora {

class ScreenCanvas;
class SurfaceFactory;
class Ruler;
class StatusBar;

class DrawingWindow : public QWidget, public DrawingObserver {
    Q_OBJECT
public:
    DrawingWindow(Drawing& drawing, QWidget* parent);
    ~DrawingWindow() override;

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

    bool previewMode() const { return m_previewMode; }
    void setPreviewMode(bool on);

    // The zoom commands; each updates the scroll bars and redraws.
    void fitInWindow();
    void fitWidth();
    void setZoomPercent(float percent);
    void zoomToRect(float x0, float y0, float x1, float y1);

    // A new drawing is shown: orientation from the drawing, scroll bars, full redraw.
    void drawingReplaced();
    // Sets both scroll bars from the view.
    void updateScrollBars();
    // The buffer is drawn again from the drawing at the next paint.
    void invalidateAll();
    bool rebuildPending() const { return m_rebuildPending; }

    // The window's pixels as last composed.
    const QImage& buffer() const;
    ScreenCanvas& canvas() { return *m_canvas; }
    int paintCount() const { return m_paintCount; }

    // DrawingObserver
    void contentChanged() override { invalidateAll(); }
    void selectionChanged() override { update(); }

Q_SIGNALS:
    // After every paint of the window.
    void painted();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void scrollAction(bool vertical, int action);
    void thumbMoved(bool vertical, int position);
    void viewChanged();
    // Draws the area of the view afresh from the drawing and shows it.
    void compose(const QRect& area);

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
    int m_paintCount = 0;
};

} // namespace zavora
