#pragma once
// SvgPort writes the drawing as one SVG document (2000-03-03 stylable draft):
// paint styles declared once as internal DTD entities, hatches as patterns,
// shapes as path/rect/ellipse/text/image elements under the page matrix,
// links as `a` elements. Lines end in CR LF.
//
// The entity table has to precede the body, so the body is collected in
// memory and the document is written whole at endPage; images are not
// embedded but written as JPEG or GIF files beside the SVG file.

#include "model/Geometry.h"
#include "model/OutputPort.h"

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace zavora {

class JpegEncoder;
class OutputStream;

// Where and how the image objects' files are written.
struct SvgImageFiles {
    // The SVG file's path: the images go into its folder, named after it.
    // Without one no image file can be written (reported).
    std::string svgPath;
    // JPEG through the encoder; GIF when there is none.
    JpegEncoder* jpegEncoder = nullptr;
    int jpegQuality = 75;
};

class SvgPort : public OutputPort {
public:
    SvgPort(OutputStream& stream, SvgImageFiles images);

    bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor) override;
    void endPage(ProgressMonitor* monitor) override;
    bool failed() const override { return m_failed; }

    void beginCompoundPath() override;
    void endCompoundPath() override;
    void beginLink(const std::string& url) override;
    void endLink(const std::string& url) override;

    void ellipse(
        const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry) override;
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
    void image(const Matrix& matrix, const ImageObject& image) override;

private:
    // A compound path's element in user units; curves use all three points.
    struct PathElement {
        enum class Kind { Move, Line, Curve, Close } kind;
        Point p1, p2, p3;
    };

    // `style="&stN;"`, the entity declared for the style's value.
    void putStyleAttribute(const PaintStyle& style);
    void putTextStyleAttribute(const PaintStyle& style, const FontEntry* font, float size, TextAlign align);
    void putNumber(double value);
    void putPoint(Point p);
    // "<path style=... d="M" and the first point, absolute.
    void putPathStart(const PaintStyle& style, Point first);
    // A relative step between points rounded as written, so that long paths do not drift.
    void putStep(Point from, Point to);
    // The three steps of a curve segment, each relative to where it starts.
    void putCurveSteps(Point from, Point control1, Point control2, Point to);
    void putTransform(const KMatrix& m);
    // A rect element; rounded when radii (rx, ry) are given.
    void putRect(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2,
        const float* radii);
    KMatrix toUser(const Matrix& object) const;
    // Image `number` (from 1) in drawing order, as referenced and written.
    std::string imageFileName(std::size_t number) const;
    void writeImageFiles();

    OutputStream& m_stream;
    SvgImageFiles m_imageFiles;
    DocumentInfo m_info;
    KMatrix m_portMatrix;
    int32_t m_width = 0, m_height = 0;
    std::string m_body;
    std::vector<std::string> m_styles, m_textStyles;
    std::unordered_map<std::string, int> m_styleIndex, m_textStyleIndex;
    // Hatch index and background colour of each pattern used.
    std::set<std::pair<int, std::string>> m_patterns;
    int m_compoundDepth = 0;
    std::vector<PathElement> m_compoundPath;
    PaintStyle m_compoundStyle;
    std::vector<const ImageObject*> m_images;
    bool m_failed = false;
};

} // namespace zavora
