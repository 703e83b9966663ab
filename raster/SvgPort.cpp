#include "raster/SvgPort.h"

#include "fonts/AnsiEncoding.h"
#include "model/DrawingLimits.h"
#include "model/FontEntry.h"
#include "model/ImageObject.h"
#include "model/OutlineGeometry.h"
#include "platform/NumberFormat.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"
#include "raster/ImageFileWriters.h"
#include "raster/PageRenderer.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zavora {

namespace {

constexpr const char* kDashArrays[kDashCount] = { "10 4", "3 3", "10 4 3 4", "10 4 3 4 3 4" };

struct HatchDefinition {
    int size;
    const char* path; // "\n" stands for a line break in the file
};

constexpr HatchDefinition kHatches[kPatternCount] = {
    { 15, "M 7.5,0 L 0,7.5 M 15,7.5 L 7.5,15" },
    { 15, "M 7.5,0 L 15,7.5 M 0,7.5 L 7.5,15" },
    { 15, "M 7.5,0 L 15,7.5 M 0,7.5 L 7.5,15 M 7.5,0 L 0,7.5 M 15,7.5 L 7.5,15" },
    { 15, "M 0,7.5 L 15,7.5" },
    { 15, "M 7.5,0 L 7.5,15" },
    { 15, "M 0,7.5 L 15,7.5 M 7.5,0 L 7.5,15" },
    { 15, "M 0,7.5 A 7.5,7.5 0 0 1 7.5,15\nA 7.5,7.5 0 0 1 15,7.5\nA 7.5,7.5 0 0 0 0,7.5" },
    { 30,
        "M 0,7.5 A 10.6,10.6 0 0 0 15,7.5\nA 10.6,10.6 0 0 1 30,7.5\nM 0,22.5 A 10.6,10.6 0 0 0 15,22.5\n"
        "A 10.6,10.6 0 0 1 30,22.5" },
    { 30,
        "M 0,7.5 L 30,7.5 M 0,22.5 L 30,22.5 M 7.5,0 L 7.5,7.5\nM 7.5,22.5 L 7.5,30 M 22.5,7.5 L 22.5,22.5" },
};

std::string colorText(const Color& color)
{
    auto component = [](float percent) {
        const double value = std::isfinite(percent) ? percent * 255.0 / 100.0 : 0.0;
        return static_cast<int>(std::clamp(value, 0.0, 255.0));
    };
    return formatLocaleFree(
        "#%02x%02x%02x", component(color.red), component(color.green), component(color.blue));
}

std::string general(double value)
{
    return formatGeneral(clampCoordinate(value));
}

// A hatch is drawn in black over the fill colour, so each colour a hatch is
// used with gets its own pattern; on white it keeps the plain name.
std::string patternId(int hatch, const std::string& background)
{
    if (background == "#ffffff")
        return formatLocaleFree("pattern%d", hatch + 1);
    return formatLocaleFree("pattern%d_%s", hatch + 1, background.c_str() + 1);
}

// The style value (with its quotes) an entity declares; equal values share one entity.
std::string styleValue(const PaintStyle& style)
{
    std::string out = "\"stroke:";
    if (style.strokeOn()) {
        out += colorText(style.lineColor());
        if (style.isDashed())
            out += ";stroke-width:1;stroke-dasharray:" + std::string(kDashArrays[style.dashIndex()]);
        else
            out += ";stroke-width:" + general(style.lineWidth());
    } else {
        out += "none";
    }
    out += ";fill:";
    if (!style.fillOn())
        out += "none";
    else if (style.hasPattern())
        out += "url(#" + patternId(style.fillPattern(), colorText(style.fillColor())) + ")";
    else
        out += colorText(style.fillColor());
    return out + '"';
}

// Font names go into an entity value, where quotes, "&", "%" and ";" would
// end it or start a reference: such characters are left out.
std::string fontFamily(const FontEntry* font)
{
    std::string name;
    if (font) {
        for (char ch : font->faceName()) {
            const auto byte = static_cast<unsigned char>(ch);
            if (byte >= 32 && byte < 127 && std::string_view("\"'&%;<>\\").find(ch) == std::string_view::npos)
                name += ch;
        }
    }
    if (name.empty())
        name = "sans-serif";
    return name.find(' ') != std::string::npos ? "'" + name + "'" : name;
}

std::string textStyleValue(const PaintStyle& style, const FontEntry* font, float size, TextAlign align)
{
    std::string out = "\"fill:" + colorText(style.textColor()) + "; font-family:" + fontFamily(font) + "; ";
    out += "font-size:" + general(size) + ";";
    const int bits = font ? font->styleBits() : 0;
    if (bits & FontEntry::kBold)
        out += " font-weight:bold;";
    if (bits & FontEntry::kItalic)
        out += " font-style:italic;";
    const char* anchor = align == TextAlign::Centre ? "middle" : align == TextAlign::Right ? "end" : "start";
    return out + " text-anchor:" + anchor + '"';
}

int internStyle(
    const std::string& value, std::vector<std::string>& table, std::unordered_map<std::string, int>& index)
{
    const auto [it, added] = index.try_emplace(value, static_cast<int>(table.size()));
    if (added)
        table.push_back(value);
    return it->second;
}

// Thousandths of a unit: numbers are written with three decimals.
long long thousandths(double value)
{
    return std::llround(static_cast<double>(clampCoordinate(value)) * 1000.0);
}

// Characters outside the unreserved set of a URL path segment, as %XX.
std::string escapePathSegment(std::string_view name)
{
    std::string out;
    for (unsigned char ch : name) {
        if (std::isalnum(ch) && ch < 128)
            out += static_cast<char>(ch);
        else if (std::string_view("-._~").find(static_cast<char>(ch)) != std::string_view::npos)
            out += static_cast<char>(ch);
        else
            out += formatLocaleFree("%%%02X", ch);
    }
    return out;
}

// The title is a file name: UTF-8 as the system gave it. Markup characters
// become references; controls and bytes that are not UTF-8 are left out.
std::string escapeTitle(std::string_view title)
{
    std::string out;
    for (std::size_t i = 0; i < title.size();) {
        const auto ch = static_cast<unsigned char>(title[i]);
        if (ch < 128) {
            if (std::string_view("\"&<>").find(static_cast<char>(ch)) != std::string_view::npos)
                out += formatLocaleFree("&#%d;", ch);
            else if (ch >= 32 && ch != 127)
                out += static_cast<char>(ch);
            ++i;
            continue;
        }
        const int length = ch >= 0xF0 && ch < 0xF5 ? 4 : ch >= 0xE0 ? 3 : ch >= 0xC2 && ch < 0xE0 ? 2 : 0;
        bool valid = length > 0 && i + length <= title.size();
        for (int k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(title[i + k]) & 0xC0) == 0x80;
        if (valid)
            out.append(title.substr(i, length));
        i += valid ? length : 1;
    }
    return out;
}

// The image file name base: the file name without its folder, its last "."
// replaced by "_" ("a/b.svg" gives "b_svg").
std::string svgImageBaseName(std::string_view svgPath)
{
    const std::size_t slash = svgPath.find_last_of('/');
    std::string name(slash == std::string_view::npos ? svgPath : svgPath.substr(slash + 1));
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name[dot] = '_';
    return name;
}

// Text as XML character data: markup characters and every Windows-1252 code
// from 128 become character references of their Unicode character; control
// codes, which XML cannot hold at all, are dropped.
std::string escapeSvgText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char ch : text) {
        if (ch >= 128) {
            const char32_t unicode = ansiToUnicode(ch);
            if (unicode)
                out += formatLocaleFree("&#%u;", static_cast<unsigned>(unicode));
        } else if (std::string_view("\"#&<>%").find(static_cast<char>(ch)) != std::string_view::npos
            || ch == '\t') {
            out += formatLocaleFree("&#%d;", ch);
        } else if (ch >= 32 && ch != 127) {
            out += static_cast<char>(ch);
        }
    }
    return out;
}

// A URL as an attribute value: quotes, angle brackets, controls and bytes from
// 128 percent-encoded, "&" as the entity reference.
std::string escapeSvgUrl(std::string_view url)
{
    std::string out;
    out.reserve(url.size());
    for (unsigned char ch : url) {
        if (ch == '&')
            out += "&amp;";
        else if (ch == '"' || ch == '<' || ch == '>' || ch < 32 || ch >= 127)
            out += formatLocaleFree("%%%02X", ch);
        else
            out += static_cast<char>(ch);
    }
    return out;
}

} // namespace

SvgPort::SvgPort(OutputStream& stream, SvgImageFiles images)
    : m_stream(stream)
    , m_imageFiles(std::move(images))
{ }

bool SvgPort::beginPage(const DocumentInfo& info, bool, ProgressMonitor*)
{
    m_info = info;
    const PageMapping mapping = pageMapping(info, 1);
    m_portMatrix = mapping.pageToPixels;
    m_width = mapping.width;
    m_height = mapping.height;
    m_body.clear();
    m_styles.clear();
    m_textStyles.clear();
    m_styleIndex.clear();
    m_textStyleIndex.clear();
    m_patterns.clear();
    m_compoundDepth = 0;
    m_compoundPath.clear();
    m_images.clear();
    m_failed = false;
    return true;
}

void SvgPort::endPage(ProgressMonitor*)
{
    std::string head;
    head += "<?xml version=\"1.0\" standalone=\"no\"?>\r\n";
    head += "<!-- Generator: Zavora Draw 3.6 -->\r\n";
    head += "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 20000303 Stylable//EN\"\r\n";
    head += "  \"http://www.w3.org/TR/2000/03/WD-SVG-20000303/DTD/svg-20000303-stylable.dtd\" [\r\n";
    for (std::size_t k = 0; k < m_styles.size(); ++k)
        head += formatLocaleFree("\t<!ENTITY st%zu %s>\r\n", k, m_styles[k].c_str());
    for (std::size_t k = 0; k < m_textStyles.size(); ++k)
        head += formatLocaleFree("\t<!ENTITY stt%zu %s>\r\n", k, m_textStyles[k].c_str());
    head += "]>\r\n";
    // Without the namespaces today's readers see no SVG and no link targets.
    head += formatLocaleFree("<svg xml:space=\"preserve\" xmlns=\"http://www.w3.org/2000/svg\" "
                             "xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                             "width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\">\r\n",
        m_width, m_height, m_width, m_height);
    head += "<desc>" + escapeTitle(m_info.title) + "</desc>\r\n";
    if (!m_patterns.empty()) {
        head += "<defs>\r\n";
        for (const auto& [index, background] : m_patterns) {
            const HatchDefinition& hatch = kHatches[index];
            head += formatLocaleFree(
                "<pattern id=\"%s\" x=\"0\" y=\"0\" width=\"%d\" height=\"%d\" "
                "patternContentUnits=\"userSpaceOnUse\" patternUnits=\"userSpaceOnUse\">\r\n",
                patternId(index, background).c_str(), hatch.size, hatch.size);
            head += formatLocaleFree("<rect width=\"%d\" height=\"%d\" style=\"fill:%s\"/>\r\n", hatch.size,
                hatch.size, background == "#ffffff" ? "white" : background.c_str());
            head += "<path style=\"fill:none;stroke:black\"\r\nd=\"";
            for (const char* p = hatch.path; *p; ++p) {
                if (*p == '\n')
                    head += "\r\n";
                else
                    head += *p;
            }
            head += "\"/>\r\n</pattern>\r\n";
        }
        head += "</defs>\r\n";
    }
    m_stream.write(head.data(), head.size());
    m_body += "</svg>\r\n";
    m_stream.write(m_body.data(), m_body.size());
    m_body.clear();
    writeImageFiles();
}

void SvgPort::writeImageFiles()
{
    if (m_images.empty())
        return;
    if (m_imageFiles.svgPath.empty()) {
        errorBox("The images of this drawing were not written: the SVG document has no file to go beside.");
        m_failed = true;
        return;
    }
    const std::size_t slash = m_imageFiles.svgPath.find_last_of('/');
    const std::string folder
        = slash == std::string::npos ? std::string() : m_imageFiles.svgPath.substr(0, slash + 1);
    for (std::size_t k = 0; k < m_images.size(); ++k) {
        const std::string path = folder + imageFileName(k + 1);
        const bool written = m_imageFiles.jpegEncoder
            ? writeImageAsJpeg(path, *m_images[k], *m_imageFiles.jpegEncoder, m_imageFiles.jpegQuality)
            : writeImageAsGif(path, *m_images[k]);
        if (!written)
            m_failed = true;
    }
    if (!syncFileSystemOf(folder))
        m_failed = true;
}

std::string SvgPort::imageFileName(std::size_t number) const
{
    return formatLocaleFree("%s_%zu.%s", svgImageBaseName(m_imageFiles.svgPath).c_str(), number,
        m_imageFiles.jpegEncoder ? "jpg" : "gif");
}

KMatrix SvgPort::toUser(const Matrix& object) const
{
    return multiply(KMatrix(object), m_portMatrix);
}

void SvgPort::putNumber(double value)
{
    char buf[kNumberBufferSize];
    m_body.append(buf, formatSvgNumber(buf, static_cast<double>(thousandths(value)) / 1000.0));
}

void SvgPort::putPoint(Point p)
{
    putNumber(p.x);
    m_body += ' ';
    putNumber(p.y);
}

void SvgPort::putPathStart(const PaintStyle& style, Point first)
{
    m_body += "<path ";
    putStyleAttribute(style);
    m_body += "\r\nd=\"M";
    putPoint(first);
    m_body += "\r\n";
}

void SvgPort::putStep(Point from, Point to)
{
    char buf[kNumberBufferSize];
    m_body.append(
        buf, formatSvgNumber(buf, static_cast<double>(thousandths(to.x) - thousandths(from.x)) / 1000.0));
    m_body += ' ';
    m_body.append(
        buf, formatSvgNumber(buf, static_cast<double>(thousandths(to.y) - thousandths(from.y)) / 1000.0));
}

void SvgPort::putCurveSteps(Point from, Point control1, Point control2, Point to)
{
    putStep(from, control1);
    m_body += ' ';
    putStep(from, control2);
    m_body += ' ';
    putStep(from, to);
}

void SvgPort::putTransform(const KMatrix& m)
{
    char buf[kNumberBufferSize];
    m_body += "transform=\"matrix(";
    for (double entry : { m.a, m.b, m.c, m.d }) {
        m_body.append(buf, formatMatrixNumber(buf, clampCoordinate(entry)));
        m_body += ' ';
    }
    // Four significant digits would move anything beyond 1000 units by up to
    // half a unit: the offsets are coordinates, written as such.
    putNumber(m.tx);
    m_body += ' ';
    putNumber(m.ty);
    m_body += ")\" ";
}

void SvgPort::putStyleAttribute(const PaintStyle& style)
{
    if (style.fillOn() && style.hasPattern())
        m_patterns.emplace(style.fillPattern(), colorText(style.fillColor()));
    const int index = internStyle(styleValue(style), m_styles, m_styleIndex);
    m_body += formatLocaleFree("style=\"&st%d;\"", index);
}

void SvgPort::putTextStyleAttribute(
    const PaintStyle& style, const FontEntry* font, float size, TextAlign align)
{
    const int index = internStyle(textStyleValue(style, font, size, align), m_textStyles, m_textStyleIndex);
    m_body += formatLocaleFree("style=\"&stt%d;\"", index);
}

void SvgPort::beginCompoundPath()
{
    ++m_compoundDepth;
}

void SvgPort::endCompoundPath()
{
    if (m_compoundDepth == 0 || --m_compoundDepth > 0)
        return;
    if (m_compoundPath.empty())
        return;
    const PaintStyle& style = m_compoundStyle;
    const bool hatchGroup = style.fillOn() && style.hasPattern();
    if (hatchGroup)
        m_body += "<g style=\"fill:" + colorText(style.fillColor()) + "\">\r\n";
    m_body += "<path ";
    putStyleAttribute(style);
    // The members are painted together: holes are where they overlap.
    m_body += " fill-rule=\"evenodd\" d=\"\r\n";
    Point current {}, subpathStart {};
    for (const PathElement& element : m_compoundPath) {
        switch (element.kind) {
        case PathElement::Kind::Move:
            m_body += 'M';
            putPoint(element.p1);
            current = subpathStart = element.p1;
            break;
        case PathElement::Kind::Line:
            m_body += 'l';
            putStep(current, element.p1);
            current = element.p1;
            break;
        case PathElement::Kind::Curve:
            m_body += 'c';
            putCurveSteps(current, element.p1, element.p2, element.p3);
            current = element.p3;
            break;
        case PathElement::Kind::Close:
            m_body += 'z';
            current = subpathStart;
            break;
        }
        m_body += "\r\n";
    }
    m_body += "\"/>\r\n";
    if (hatchGroup)
        m_body += "</g>\r\n";
    m_compoundPath.clear();
}

void SvgPort::beginLink(const std::string& url)
{
    m_body += "<a xlink:href=\"" + escapeSvgUrl(url) + "\">\r\n";
}

void SvgPort::endLink(const std::string&)
{
    m_body += "</a>\r\n";
}

void SvgPort::polyline(const PaintStyle& style, const Matrix& matrix, const PointList& points, bool closed,
    int arrow1, int arrow2)
{
    if (points.empty())
        return;
    const KMatrix m = toUser(matrix);
    if (m_compoundDepth > 0) {
        if (m_compoundPath.empty())
            m_compoundStyle = style;
        for (std::size_t i = 0; i < points.size(); ++i)
            m_compoundPath.push_back({ i == 0 ? PathElement::Kind::Move : PathElement::Kind::Line,
                transformPoint(m, points[i]), {}, {} });
        if (closed)
            m_compoundPath.push_back({ PathElement::Kind::Close, {}, {}, {} });
        return;
    }
    Point previous = transformPoint(m, points[0]);
    putPathStart(style, previous);
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (i == 1)
            m_body += 'l';
        const Point p = transformPoint(m, points[i]);
        putStep(previous, p);
        m_body += "\r\n";
        previous = p;
    }
    if (closed)
        m_body += 'z';
    m_body += "\"/>\r\n";
    if (!closed)
        if (const std::optional<OutlineEnds> ends = polylineEnds(points))
            drawArrowheads(*this, style, matrix, *ends, arrow1, arrow2);
}

void SvgPort::curvePath(
    const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed, int arrow1, int arrow2)
{
    if (nodes.empty())
        return;
    const KMatrix m = toUser(matrix);
    auto user = [&](float x, float y) { return transformPoint(m, Point { x, y }); };
    if (m_compoundDepth > 0) {
        if (m_compoundPath.empty())
            m_compoundStyle = style;
        m_compoundPath.push_back({ PathElement::Kind::Move, user(nodes[0].x, nodes[0].y), {}, {} });
        const std::size_t segments = closed ? nodes.size() : nodes.size() - 1;
        for (std::size_t i = 0; i < segments; ++i) {
            const BezierNode& from = nodes[i];
            const BezierNode& to = nodes[(i + 1) % nodes.size()];
            m_compoundPath.push_back({ PathElement::Kind::Curve, user(from.outX, from.outY),
                user(to.inX, to.inY), user(to.x, to.y) });
        }
        if (closed)
            m_compoundPath.push_back({ PathElement::Kind::Close, {}, {}, {} });
        return;
    }
    Point current = user(nodes[0].x, nodes[0].y);
    putPathStart(style, current);
    auto putSegment = [&](const BezierNode& from, const BezierNode& to) {
        const Point end = user(to.x, to.y);
        putCurveSteps(current, user(from.outX, from.outY), user(to.inX, to.inY), end);
        current = end;
    };
    for (std::size_t i = 0; i + 1 < nodes.size(); ++i) {
        if (i == 0)
            m_body += 'c';
        putSegment(nodes[i], nodes[i + 1]);
        m_body += "\r\n";
    }
    if (closed) {
        m_body += 'c';
        putSegment(nodes.back(), nodes.front());
        m_body += " z\r\n";
    }
    m_body += "\"/>\r\n";
    if (!closed)
        if (const std::optional<OutlineEnds> ends = curveEnds(nodes))
            drawArrowheads(*this, style, matrix, *ends, arrow1, arrow2);
}

void SvgPort::rectangle(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2)
{
    if (m_compoundDepth > 0)
        OutputPort::rectangle(style, matrix, x1, y1, x2, y2);
    else
        putRect(style, matrix, x1, y1, x2, y2, nullptr);
}

void SvgPort::roundRectangle(
    const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2, float rx, float ry)
{
    const float radii[2] = { rx, ry };
    if (m_compoundDepth > 0)
        OutputPort::roundRectangle(style, matrix, x1, y1, x2, y2, rx, ry);
    else
        putRect(style, matrix, x1, y1, x2, y2, radii);
}

void SvgPort::putRect(
    const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2, const float* radii)
{
    m_body += "<rect ";
    putStyleAttribute(style);
    m_body += ' ';
    putTransform(toUser(matrix));
    m_body += "x=\"";
    putNumber(std::min(x1, x2));
    m_body += "\" y=\"";
    putNumber(std::min(y1, y2));
    m_body += "\" width=\"";
    putNumber(std::fabs(double(x2) - x1));
    m_body += "\" height=\"";
    putNumber(std::fabs(double(y2) - y1));
    if (radii) {
        m_body += "\" rx=\"";
        putNumber(std::fabs(radii[0]));
        m_body += "\" ry=\"";
        putNumber(std::fabs(radii[1]));
    }
    m_body += "\"/>\r\n";
}

void SvgPort::ellipse(const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry)
{
    if (m_compoundDepth > 0) {
        OutputPort::ellipse(style, matrix, cx, cy, rx, ry);
        return;
    }
    m_body += "<ellipse ";
    putStyleAttribute(style);
    m_body += ' ';
    putTransform(toUser(matrix));
    m_body += "cx=\"";
    putNumber(cx);
    m_body += "\" cy=\"";
    putNumber(cy);
    m_body += "\" rx=\"";
    putNumber(std::fabs(rx));
    m_body += "\" ry=\"";
    putNumber(std::fabs(ry));
    m_body += "\"/>\r\n";
}

void SvgPort::text(const PaintStyle& style, const Matrix& matrix, const std::string& text,
    const FontEntry* font, float size, float leading, TextAlign align, const float box[4])
{
    static const float noBox[4] = { 0, 0, 0, 0 };
    if (!box)
        box = noBox;
    size = clampFontSize(size);
    leading = clampLeading(leading);
    const double left = std::min(box[0], box[2]);
    const double right = std::max(box[0], box[2]);
    const double top = std::max(box[1], box[3]);
    const double ax = align == TextAlign::Centre ? (left + right) / 2
        : align == TextAlign::Right              ? right
                                                 : left;
    const double ay = top - (font ? font->ascent(size) : 0.0);
    // Flipped about the anchor so that the glyphs stand upright in the page's
    // downward y.
    const KMatrix flip { 1, 0, 0, -1, 0, 2 * ay };
    m_body += "<text ";
    putTransform(multiply(flip, toUser(matrix)));
    putTextStyleAttribute(style, font, size, align);
    m_body += '>';
    std::size_t start = 0;
    for (int line = 0;; ++line) {
        const std::size_t stop = text.find_first_of("\r\n", start);
        const bool atEnd = stop == std::string::npos;
        const std::string_view piece
            = std::string_view(text).substr(start, atEnd ? std::string::npos : stop - start);
        // A text ending in a break has nothing after it to show.
        if (atEnd && piece.empty() && start > 0)
            break;
        m_body += "<tspan x=\"";
        putNumber(ax);
        m_body += "\" y=\"";
        putNumber(ay + double(line) * leading);
        m_body += "\">" + escapeSvgText(piece) + "</tspan>";
        if (atEnd)
            break;
        start = stop + 1;
    }
    m_body += "</text>\r\n";
}

void SvgPort::image(const Matrix& matrix, const ImageObject& image)
{
    const int32_t w = image.hasPixels() ? image.width() : 0;
    const int32_t h = image.hasPixels() ? image.height() : 0;
    if (w <= 0 || h <= 0)
        return;
    m_images.push_back(&image);
    // Pixel row 0 is the top of the unit square that the object matrix places.
    const KMatrix pixelsToUnit { 1.0 / w, 0, 0, -1.0 / h, 0, 1 };
    const KMatrix m = multiply(pixelsToUnit, toUser(matrix));
    const std::string name = imageFileName(m_images.size());
    // Pixels stay squares when enlarged, as on screen.
    m_body += formatLocaleFree("<image x=\"0\" y=\"0\" width=\"%d\" height=\"%d\" "
                               "style=\"image-rendering:optimizeSpeed\" transform=\"matrix(",
        w, h);
    const double entries[6] = { m.a, m.b, m.c, m.d, m.tx, m.ty };
    for (int i = 0; i < 6; ++i) {
        if (i)
            m_body += ' ';
        m_body += general(entries[i]);
    }
    m_body += ")\" xlink:href=\"" + escapePathSegment(name) + "\"/>\r\n";
}

} // namespace zavora
