#pragma once
// ScreenCanvas: the drawing window's pixels. The window's contents are a
// surface that the widget copies to the screen; beside it four buffers of the
// same size hold the composed view, the drawing without selection marks and
// two images the tools keep. The routines draw into one of three targets:
// the view buffer, inverted onto the window (rubber bands: a second identical
// drawing erases the first), or directly onto the window. Whatever reaches
// the window asks the widget, through the invalidate handler, to show that
// rectangle again.
//
// It is also the painter the drawing objects draw themselves with: the view
// matrix becomes the geometry kernel's CTM, an object loads its style and
// outline into the kernel, and the canvas paints the kernel's path.

#include "model/GraphicsKernel.h"
#include "model/HandlePainter.h"
#include "model/PaintStyle.h"
#include "model/ScreenPainter.h"
#include "platform/DeviceContext.h"
#include "platform/RasterSurface.h"

#include <array>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace zavora {

class Drawing;
class DrawObject;

enum class DrawTarget : int32_t { Buffer = 0, Inverted = 1, Direct = 2 };
enum class ScreenBuffer : int32_t { View = 0, Clean = 1, Temp1 = 2, Temp2 = 3 };

// Window pixels, both corners inclusive; x0 == -1 stands for the whole window.
struct PixelRect {
    int32_t x0 = -1, y0 = 0, x1 = 0, y1 = 0;
    bool isWhole() const { return x0 == -1; }
};

class ScreenCanvas : public ScreenPainter, public HandlePainter {
public:
    // Surfaces come from `factory` (not owned).
    explicit ScreenCanvas(SurfaceFactory& factory);
    ~ScreenCanvas() override;
    ScreenCanvas(const ScreenCanvas&) = delete;
    ScreenCanvas& operator=(const ScreenCanvas&) = delete;

    // (Re)creates the window surface and the four buffers at this size, all
    // white. Each one that cannot be had reports "Insufficient memory - Please
    // reduce window size" and stays missing; drawing goes on with the rest.
    // True when everything was created.
    bool createBuffers(int32_t width, int32_t height);
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    // The window's contents; nullptr before createBuffers or when it failed.
    RasterSurface* window() { return m_window.get(); }
    RasterSurface* buffer(ScreenBuffer which) { return m_buffers[size_t(which)].get(); }

    void setTarget(DrawTarget target) { m_target = target; }
    DrawTarget target() const { return m_target; }
    // The view buffer's context (Buffer) or the window's (Direct); nullptr
    // for Inverted, which only the routines' own raster modes may touch.
    DeviceContext* currentTarget();

    // Called with x, y, width, height of a window rectangle to show again.
    using InvalidateHandler = std::function<void(int32_t, int32_t, int32_t, int32_t)>;
    void setInvalidateHandler(InvalidateHandler handler) { m_invalidate = std::move(handler); }
    void invalidate(PixelRect rect = {});

    // Copies of a rectangle (or everything). The copy to the window
    // invalidates what it changes.
    bool copyBufferToWindow(ScreenBuffer from, PixelRect rect = {});
    bool copyBufferToBuffer(ScreenBuffer from, ScreenBuffer to, PixelRect rect = {});
    // Paints the rectangle of the current target white.
    void clear(PixelRect rect = {});

    // Smoothed edges for the filled view; inverted drawing never is.
    void setAntialiasing(bool on);
    bool antialiasing() const { return m_antialias; }
    // Smoothed text alone, the shapes keeping their exact pixels (and their
    // faster drawing): small type stays legible. Inverted text, such as the
    // text tool's feedback, is never smoothed.
    void setTextSmoothing(bool on) { m_smoothText = on; }
    bool textSmoothing() const { return m_smoothText; }

    // Drawing coordinates to window pixels.
    void setViewMatrix(const KMatrix& drawingToWindow) { m_view = drawingToWindow; }
    const KMatrix& viewMatrix() const { return m_view; }

    // --- drawing objects ------------------------------------------------
    // One object through its own screen drawing (kDrawFinal or outline).
    void drawObject(const DrawObject& object, int mode);
    // The drawing's objects, back to front, over what the target holds.
    // With an area only those pixels change: objects reaching into it are
    // drawn into a scratch copy of the area and the area is copied back.
    void redraw(const Drawing& drawing, int mode, PixelRect area = {});
    // The object's selection handles.
    void drawHandles(const DrawObject& object);

    // --- device routines (window pixels; colours in percent) --------------
    // Open runs of counts[i] points each: a solid pen of `width` (at least 1)
    // or, for dash 0..3, the dashed pen one pixel wide. Inverted: XOR with
    // the inverting pen.
    void polylines(std::span<const DcPoint> points, std::span<const int32_t> counts, const Color& color,
        int32_t width, int dash);
    // Filled polygons, no outline, even-odd: a solid brush of `fill`, or
    // hatch 0..8 with its ink in `hatchColor` over `fill`. Inverted: NOT.
    void polygons(std::span<const DcPoint> points, std::span<const int32_t> counts, const Color& fill,
        int hatch, const Color& hatchColor);
    // The path algorithm: elements (device floats) as one path, the
    // geometric flat-ended pen of `width` or the dashed pen, and the brush
    // as for polygons. Inverted: NOT.
    void path(const std::vector<PathElement>& elements, bool stroke, bool fill, const Color& strokeColor,
        int32_t width, int dash, const Color& fillColor, int hatch, const Color& hatchColor);

    // A selection handle: a black square kHandleSize pixels wide centred on the point.
    static constexpr int32_t kHandleSize = 5;
    void handleMark(DcPoint centre);
    // The page's frame with a grey shadow strip kShadowWidth wide along its
    // right and bottom edges, kShadowWidth below and right of the page.
    static constexpr int32_t kShadowWidth = 4;
    void pageShadow(PixelRect page);
    // Dots at the grid points inside the area: every point when both
    // spacings are at least 12 pixels, else only along every fifth grid
    // line. Below 3 pixels nothing is drawn and the result is false: the
    // caller tells the user, beside whatever the status bar already says.
    bool gridDots(const Grid& grid, PixelRect area = {});

    // --- ScreenPainter ----------------------------------------------------
    void fillPath() override;
    void strokePath() override;
    bool fillAndStrokePath(const Color& strokeColor) override;
    void arrowhead(int code, Point tip, Point previous, float scale) override;
    void image(const ImageObject& image) override;
    // Glyphs, baselines and highlights through a DeviceTextCanvas on the
    // current target (inverted on target 1).
    void paintText(const std::function<void(TextCanvas&)>& paint) override;

    // --- HandlePainter (drawing coordinates) -------------------------------
    void mark(Point point) override;
    void controlLine(Point anchor, Point control) override;

private:
    struct PathPaint {
        bool stroke = false;
        bool fill = false;
        ColorRef strokeColor = 0;
        int32_t width = 1;
        int dash = kSolidDash;
        ColorRef fillColor = 0;
        int hatch = kNoPattern;
        ColorRef hatchColor = 0;
    };

    // Where drawing goes now: the scratch of an area redraw, the view buffer
    // or the window.
    DeviceContext* paintDc();
    bool inverted() const;
    bool onWindow() const;
    // Invalidates the box of the points grown by `pad` when the target is the window.
    void touched(std::span<const DcPoint> points, int32_t pad);
    void touched(int32_t left, int32_t top, int32_t right, int32_t bottom);
    bool clipToWindow(PixelRect& rect) const;

    DcBrush fillBrush(DeviceContext& dc, int hatch, ColorRef fill, ColorRef hatchColor);
    void paintPath(const std::vector<PathElement>& elements, const PathPaint& paint);
    void paintPolygons(std::span<const DcPoint> points, std::span<const int32_t> counts, ColorRef fill,
        int hatch, ColorRef hatchColor);
    void paintPolylines(std::span<const DcPoint> points, std::span<const int32_t> counts, ColorRef color,
        int32_t width, int dash);
    DcPoint toPixel(Point drawing) const;

    SurfaceFactory& m_factory;
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::unique_ptr<RasterSurface> m_window;
    std::array<std::unique_ptr<RasterSurface>, 4> m_buffers;
    DrawTarget m_target = DrawTarget::Buffer;
    DeviceContext* m_scratch = nullptr; // an area redraw in progress
    InvalidateHandler m_invalidate;
    bool m_antialias = false;
    bool m_smoothText = false;
    KMatrix m_view;
    std::vector<DcPoint> m_points; // scratch for paintPath
    std::vector<Point> m_curve; // one flattened curve, scratch for paintPath
};

} // namespace zavora
