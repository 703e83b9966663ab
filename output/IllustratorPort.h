#pragma once
// IllustratorPort writes a drawing as an Illustrator 88 file: the PostScript
// writer's style cache, paint operators, groups and compound paths, but no
// prolog, every point already in page space (the format has no matrix
// operator), arrowheads as filled outlines, and no patterns, images or links.

#include "output/PostScriptPort.h"

#include <string>

namespace zavora {

class IllustratorPort : public PostScriptPort {
public:
    using PostScriptPort::PostScriptPort;

    bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor) override;
    void endPage(ProgressMonitor* monitor) override;

    void ellipse(
        const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry) override;
    void arc(const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry,
        float start, float end, int arrow1, int arrow2) override;
    void line(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2,
        int arrow1, int arrow2) override;
    void polyline(const PaintStyle& style, const Matrix& matrix, const PointList& points, bool closed,
        int arrow1, int arrow2) override;
    void curvePath(const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed,
        int arrow1, int arrow2) override;
    void text(const PaintStyle& style, const Matrix& matrix, const std::string& text, const FontEntry* font,
        float size, float leading, TextAlign align, const float box[4]) override;
    void rectangle(
        const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2) override;
    void roundRectangle(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2,
        float rx, float ry) override;
    // The format holds no images.
    void image(const Matrix& matrix, const ImageObject& image) override;

    // Colours and line attributes only: hatches become plain fills.
    void writeStyle(const PaintStyle& style) override;

protected:
    // The path operators this format writes: line-to, and curve-to for the
    // segment that ends on `to`.
    virtual const char* lineTo() const { return "L"; }
    virtual const char* curveTo(const BezierNode& to) const { return (to.flags & kCornerNode) ? "C" : "c"; }
    // Paints a path built in page space: its style, the path, the operator.
    virtual void paintPath(const PaintStyle& style, const std::string& path, bool closed);
    // Strokes a line's path; a line states its stroke attributes only.
    virtual void strokeLine(const PaintStyle& style, const std::string& path);

    // "x y <op>" and a line end, the point mapped to page space.
    static void appendPoint(std::string& out, const Matrix& matrix, float x, float y, const char* op);
    // The segment's two control points and its end in page space, then "<op>".
    static void appendSegment(
        std::string& out, const Matrix& matrix, const BezierNode& from, const BezierNode& to, const char* op);
};

} // namespace zavora
