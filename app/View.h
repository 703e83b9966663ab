#pragma once
// The drawing window's view state and its arithmetic: the mapping between
// drawing points (y up) and window pixels, zoom rules and limits, the scroll
// bar ranges and steps, the grid's density rule and the pointer read-out.
// No toolkit here; the drawing window applies what this computes.

#include "model/Geometry.h"

#include <string>

namespace zavora {

enum class ZoomMode : int { FitWidth = 0, FitInWindow = 1, User = 2 };

// One scroll bar's settings: range 0 ... maximum, page size and position.
struct ScrollBarState {
    int maximum = 0;
    int page = 0;
    int position = 0;
    bool operator==(const ScrollBarState&) const = default;
};

enum class ScrollBar { Horizontal, Vertical };
// Line and page steps: up/left is Back, down/right is Forward.
enum class ScrollStep { Back, Forward };

class View {
public:
    static constexpr float kMinZoom = 0.25f;
    static constexpr float kMaxZoom = 12.0f;
    static constexpr float kScrollStep = 18.0f; // points per line or page step
    static constexpr float kFitMargin = 72.0f; // points around the page when fitting

    float zoom() const { return m_zoom; }
    float offsetX() const { return m_offsetX; }
    float offsetY() const { return m_offsetY; }
    ZoomMode zoomMode() const { return m_zoomMode; }
    bool isLandscape() const { return m_landscape; }
    int clientWidth() const { return m_clientWidth; }
    int clientHeight() const { return m_clientHeight; }
    int pageWidth() const { return m_pageWidth; }
    int pageHeight() const { return m_pageHeight; }
    const KMatrix& matrix() const { return m_matrix; }
    const KMatrix& inverse() const { return m_inverse; }

    // A size that is not positive is ignored (the view divides by it).
    void setPageSize(int width, int height);
    void setLandscape(bool landscape);
    void setOffsets(float x, float y);
    // A client size of less than one pixel counts as one.
    void setClientSize(int width, int height);

    // Drawing to window pixels and back.
    Point toWindow(float x, float y) const;
    Point toDrawing(float px, float py) const;
    // A pixel distance as a drawing distance (positive lengths).
    Point pixelsToDrawing(float dx, float dy) const;

    // Recomputes the matrix and its inverse from the state.
    void buildViewMatrix();

    // Zoom changes, each limited to kMinZoom ... kMaxZoom; a zoom that is
    // not a number becomes 1. Each rebuilds the matrix.
    void fitInWindow();
    void fitWidth();
    void setZoomPercent(float percent);
    void zoomToRect(float x0, float y0, float x1, float y1);
    // A user zoom that keeps the drawing point under the window point (px, py) in place.
    void zoomAbout(float zoom, float px, float py);
    static float clampZoom(float zoom);

    // The window got a new size: the first time the page is fitted; then a
    // fit mode is applied again while a user zoom is kept.
    void resize(int width, int height);

    ScrollBarState scrollBar(ScrollBar bar) const;
    // A line or page step of 18 points; false (nothing changes) once the
    // offset has reached half the page in that direction.
    bool step(ScrollBar bar, ScrollStep direction);
    // The offset the thumb at position p stands for.
    void trackThumb(ScrollBar bar, int position);

    // The status bar's read-out of a drawing position in a unit (0 inches,
    // 1 points, 2 centimetres).
    static std::string pointerText(int unit, Point position);

private:
    void setZoom(float zoom) { m_zoom = clampZoom(zoom); }
    // Client width and height as the page sees them (exchanged in landscape).
    int viewWidth() const { return m_landscape ? m_clientHeight : m_clientWidth; }
    int viewHeight() const { return m_landscape ? m_clientWidth : m_clientHeight; }

    float m_zoom = 0; // 0 until the window first gets a size
    float m_offsetX = 0, m_offsetY = 0;
    ZoomMode m_zoomMode = ZoomMode::FitWidth;
    bool m_landscape = false;
    int m_clientWidth = 1, m_clientHeight = 1;
    int m_pageWidth = 612, m_pageHeight = 792;
    KMatrix m_matrix;
    KMatrix m_inverse;
};

} // namespace zavora
