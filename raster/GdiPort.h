#pragma once
// GdiPort: the output port that renders a drawing into a device context. It
// maps each primitive onto pens, brushes, polygons and paths; the bitmap
// export ports and the metafile port derive from it.
//
// Coordinates: every primitive combines its object matrix with the port
// matrix (page units to device pixels) and works on device floats, which
// become integers by truncation for lines, polylines and rectangles and by
// adding 0.5 and truncating in path drawing.

#include "model/GraphicsKernel.h"
#include "model/OutputPort.h"
#include "platform/DeviceContext.h"

#include <vector>

namespace zavora {

// A colour in percent as a device colour: component x 255 / 100, truncated,
// masked to 8 bits, red in the low byte.
ColorRef gdiColor(const Color& color);
// The cosmetic pen style of dash index 0 ... 3 (anything else draws as the last).
PenStyle dashPenStyle(int dashIndex);

class GdiPort : public OutputPort {
public:
    // Draws into `dc` (not owned); `pageToDevice` maps page points to device pixels.
    GdiPort(DeviceContext& dc, const Matrix& pageToDevice);

    bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor) override;
    void endPage(ProgressMonitor* monitor) override;
    void beginCompoundPath() override;
    void endCompoundPath() override;
    // Draws the outlines collected since the outermost beginCompoundPath and empties the list.
    virtual void flushCompoundPath();

    void line(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2,
        int arrow1, int arrow2) override;
    void polyline(const PaintStyle& style, const Matrix& matrix, const PointList& points, bool closed,
        int arrow1, int arrow2) override;
    void curvePath(const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed,
        int arrow1, int arrow2) override;
    void text(const PaintStyle& style, const Matrix& matrix, const std::string& text, const FontEntry* font,
        float size, float leading, TextAlign align, const float box[4]) override;
    // The object laid out as on the screen, each run in its own font and size.
    void textBlock(const TextObject& object) override;
    void rectangle(
        const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2) override;
    void image(const Matrix& matrix, const ImageObject& image) override;

    // Device pixels per page unit that wide pens are multiplied by (the
    // supersampling factor of a bitmap export).
    void setScale(float scale) { m_scale = scale; }
    float scale() const { return m_scale; }
    int groupDepth() const { return m_groupDepth; }
    // The compound path being collected, in device pixels.
    const std::vector<PathElement>& pendingPath() const { return m_pendingPath; }

protected:
    // For ports that make their device when the page begins: bind() before
    // the first primitive.
    GdiPort() = default;
    void bind(DeviceContext& dc, const Matrix& pageToDevice)
    {
        m_dc = &dc;
        m_pageToDevice = pageToDevice;
    }
    DeviceContext& dc() { return *m_dc; }
    // Object space to device pixels.
    KMatrix deviceMatrix(const Matrix& matrix) const;
    // The left, right and top of a text's box (left, bottom, right, top in
    // any order; no box is all zero).
    struct TextFrame {
        double left = 0, right = 0, top = 0;
    };
    static TextFrame textFrame(const float box[4]);
    // For ports that draw the collected compound path their own way: the
    // outlines (leaving the list empty) and the style they paint with.
    std::vector<PathElement> takePendingPath();
    const PaintStyle& pendingStyle() const { return m_pendingStyle; }

    // The path algorithm: the elements as one GDI path bracket, filled and
    // stroked by the style with a geometric flat-ended, mitre-joined pen. An
    // open figure is never stroked along its closing edge.
    void drawPath(const std::vector<PathElement>& elements, const PaintStyle& style);
    // A curve path as a path of Bezier segments (the bitmap export ports draw
    // curves this way instead of flattening them), arrowheads included.
    void drawCurveAsPath(const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed,
        int arrow1, int arrow2);
    // The outline of a curve path in device pixels: move, curves, close.
    std::vector<PathElement> curveElements(const Matrix& matrix, const NodeList& nodes, bool closed) const;

    // Selects the pen and brush a primitive of `style` paints with (the
    // geometric path pen when `pathPen`), and puts back what was selected before.
    class StyleSelection {
    public:
        StyleSelection(GdiPort& port, const PaintStyle& style, bool pathPen);
        ~StyleSelection();
        StyleSelection(const StyleSelection&) = delete;
        StyleSelection& operator=(const StyleSelection&) = delete;

    private:
        DeviceContext& m_dc;
        DcPen m_previousPen;
        DcBrush m_previousBrush;
        ColorRef m_previousText = 0;
        ColorRef m_previousBack = 0;
        bool m_hatchSelected = false;
    };

private:
    // Device points of a run, by truncation; paints it by the fill and stroke rule.
    void drawRun(const PaintStyle& style, const std::vector<DcPoint>& points, bool closed);
    void appendPending(const PaintStyle& style, const std::vector<PathElement>& elements);
    std::vector<PathElement> runElements(const Matrix& matrix, const PointList& points, bool closed) const;

    DeviceContext* m_dc = nullptr;
    Matrix m_pageToDevice;
    float m_scale = 1.0f;
    int m_groupDepth = 0;
    std::vector<PathElement> m_pendingPath;
    PaintStyle m_pendingStyle;
};

} // namespace zavora
