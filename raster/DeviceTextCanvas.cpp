#include "raster/DeviceTextCanvas.h"

#include "fonts/FontCatalogue.h"
#include "fonts/FontRenderer.h"
#include "model/FontEntry.h"
#include "model/FontLookup.h"
#include "model/OutlineGeometry.h"
#include "platform/FontSystem.h"
#include "raster/GdiPort.h"

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

// Glyphs up to this many pixels to the em are drawn from masks.
constexpr double kMaxMaskEm = 256;

int32_t nearest(double v)
{
    return int32_t(std::floor(clampDeviceCoordinate(v) + 0.5));
}

// Collects glyph outlines (drawing units) as flattened contours in device pixels.
class GlyphCollector : public OutlineSink {
public:
    explicit GlyphCollector(const KMatrix& m)
        : m_m(m)
    { }

    void moveTo(double x, double y) override
    {
        m_contours.emplace_back();
        m_current = map(x, y);
        m_contours.back().push_back(m_current);
    }
    void lineTo(double x, double y) override
    {
        if (m_contours.empty())
            moveTo(x, y);
        m_current = map(x, y);
        m_contours.back().push_back(m_current);
    }
    void conicTo(double cx, double cy, double x, double y) override
    {
        // The quadratic as the cubic with the same curve.
        const Point c = map(cx, cy), end = map(x, y);
        const Point c1 { m_current.x + 2.0f / 3 * (c.x - m_current.x),
            m_current.y + 2.0f / 3 * (c.y - m_current.y) };
        const Point c2 { end.x + 2.0f / 3 * (c.x - end.x), end.y + 2.0f / 3 * (c.y - end.y) };
        curve(c1, c2, end);
    }
    void cubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) override
    {
        curve(map(c1x, c1y), map(c2x, c2y), map(x, y));
    }

    const std::vector<PointList>& contours() const { return m_contours; }

private:
    Point map(double x, double y) const
    {
        return { float(m_m.a * x + m_m.c * y + m_m.tx), float(m_m.b * x + m_m.d * y + m_m.ty) };
    }
    void curve(Point c1, Point c2, Point end)
    {
        if (m_contours.empty())
            m_contours.push_back({ m_current });
        flattenBezier(m_contours.back(), m_current, c1, c2, end);
        m_current = end;
    }

    KMatrix m_m;
    Point m_current;
    std::vector<PointList> m_contours;
};

} // namespace

DeviceTextCanvas::DeviceTextCanvas(DeviceContext& dc, const KMatrix& base, bool inverted)
    : m_dc(dc)
    , m_matrix(base)
    , m_inverted(inverted)
{ }

const FontRenderer* DeviceTextCanvas::rendererFor(const FontEntry& font)
{
    const auto* catalogue = dynamic_cast<const FontCatalogue*>(FontLookup::current());
    return catalogue ? catalogue->rendererFor(font) : nullptr;
}

void DeviceTextCanvas::saveState()
{
    m_saved.push_back(m_matrix);
}

void DeviceTextCanvas::restoreState()
{
    if (m_saved.empty())
        return;
    m_matrix = m_saved.back();
    m_saved.pop_back();
}

void DeviceTextCanvas::concat(const Matrix& m)
{
    m_matrix = multiply(KMatrix(m), m_matrix);
}

void DeviceTextCanvas::setTextColor(const Color& color)
{
    m_color = gdiColor(color);
}

void DeviceTextCanvas::selectFont(const FontEntry* font, float size)
{
    m_font = font;
    m_size = size;
}

DcPoint DeviceTextCanvas::device(double x, double y) const
{
    return { nearest(m_matrix.a * x + m_matrix.c * y + m_matrix.tx),
        nearest(m_matrix.b * x + m_matrix.d * y + m_matrix.ty) };
}

void DeviceTextCanvas::note(DcPoint p)
{
    if (!m_any) {
        m_left = m_right = p.x;
        m_top = m_bottom = p.y;
        m_any = true;
        return;
    }
    m_left = std::min(m_left, p.x);
    m_right = std::max(m_right, p.x);
    m_top = std::min(m_top, p.y);
    m_bottom = std::max(m_bottom, p.y);
}

bool DeviceTextCanvas::touched(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) const
{
    if (!m_any)
        return false;
    left = m_left, top = m_top, right = m_right, bottom = m_bottom;
    return true;
}

void DeviceTextCanvas::drawText(float x, float y, std::string_view text, double extraPerSpace)
{
    if (!m_font || text.empty() || !(m_size > 0))
        return;
    const FontRenderer* renderer = rendererFor(*m_font);
    if (!renderer)
        return;
    // Each glyph goes at its exact offset (the widths the layout measured
    // with), so carets and highlights line up with the ink at any zoom.
    std::vector<double> pens;
    pens.reserve(text.size());
    double pen = x;
    for (char c : text) {
        pens.push_back(pen);
        pen += m_font->charWidth(static_cast<unsigned char>(c), m_size);
        if (c == ' ')
            pen += extraPerSpace;
    }
    if (!drawMasks(*renderer, y, text, pens))
        drawOutlines(*renderer, y, text, pens);
}

bool DeviceTextCanvas::drawMasks(
    const FontRenderer& renderer, double y, std::string_view text, const std::vector<double>& pens)
{
    // The em square on the device; beyond kMaxMaskEm pixels filling the
    // outline costs less than a mask, and nothing is lost to the grid.
    const KMatrix& m = m_matrix;
    GlyphRaster raster { m.a * m_size, m.b * m_size, m.c * m_size, m.d * m_size };
    const double em = std::max(std::hypot(raster.xx, raster.yx), std::hypot(raster.xy, raster.yy));
    if (!(em <= kMaxMaskEm))
        return false;
    const std::shared_ptr<FaceCache::Face> face = renderer.face(*m_font);
    if (!face)
        return true; // nothing can draw this font
    raster.depth = m_dc.smoothing() && !m_inverted ? MaskDepth::Gray : MaskDepth::Mono;
    // Upright text keeps its baseline on whole pixels, where the hinting
    // put the letters' feet; pens move in quarter pixels.
    const bool upright = m.b == 0 && m.c == 0;
    auto place = [](double v, int32_t& pixel, double& fraction) {
        const double quarters = std::floor(clampDeviceCoordinate(v) * 4 + 0.5);
        pixel = int32_t(std::floor(quarters / 4));
        fraction = (quarters - double(pixel) * 4) / 4;
    };

    m_dc.saveDC();
    m_dc.setTextColor(m_inverted ? kBlackRef : m_color);
    if (m_inverted)
        m_dc.setRop2(Rop2::Not);
    bool painted = true;
    for (std::size_t i = 0; i < text.size() && painted; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto glyph = c == ' ' ? std::nullopt : FontRenderer::glyphCode(*m_font, c);
        if (!glyph)
            continue;
        DcPoint origin;
        const double dx = m.a * pens[i] + m.c * y + m.tx, dy = m.b * pens[i] + m.d * y + m.ty;
        if (std::isnan(dx) || std::isnan(dy))
            continue;
        place(dx, origin.x, raster.penX);
        if (upright) {
            origin.y = nearest(dy);
            raster.penY = 0;
        } else {
            place(dy, origin.y, raster.penY);
        }
        const GlyphMask* mask = face->mask(glyph->code, glyph->kind, raster);
        if (!mask || mask->empty())
            continue;
        painted = m_dc.paintGlyphMask(*mask, origin);
        if (painted) {
            note({ origin.x + mask->left, origin.y - mask->top });
            note({ origin.x + mask->left + mask->width - 1, origin.y - mask->top + mask->height - 1 });
        }
    }
    m_dc.restoreDC();
    // A context that takes no masks refuses the first one, before anything is painted.
    return painted;
}

void DeviceTextCanvas::drawOutlines(
    const FontRenderer& renderer, double y, std::string_view text, const std::vector<double>& pens)
{
    GlyphCollector glyphs(m_matrix);
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != ' ' && !renderer.drawString(glyphs, pens[i], y, *m_font, m_size, text.substr(i, 1)))
            return;

    // Fractional pixels for the device (a smoothing one keeps them); the
    // rounded ones mark the area touched.
    std::vector<double> xy;
    std::vector<int32_t> counts;
    for (const PointList& contour : glyphs.contours()) {
        if (contour.size() < 3)
            continue;
        for (Point p : contour) {
            xy.push_back(p.x);
            xy.push_back(p.y);
            note({ nearest(p.x), nearest(p.y) });
        }
        counts.push_back(int32_t(contour.size()));
    }
    if (counts.empty())
        return;
    m_dc.saveDC();
    m_dc.selectPen(DcPen::null());
    // Glyph contours are wound so that overlapping parts stay ink.
    m_dc.setPolyFillMode(PolyFillMode::Winding);
    if (m_inverted) {
        m_dc.setRop2(Rop2::Not);
        m_dc.selectBrush(DcBrush::solid(kBlackRef));
    } else {
        m_dc.selectBrush(DcBrush::solid(m_color));
    }
    m_dc.fillPolygons(xy, counts);
    m_dc.restoreDC();
}

void DeviceTextCanvas::strokeSegment(Point from, Point to)
{
    const DcPoint a = device(from.x, from.y), b = device(to.x, to.y);
    m_dc.saveDC();
    if (m_inverted) {
        // XOR with white inverts every bit under the pen.
        m_dc.selectPen(DcPen::solid(kWhiteRef, 1));
        m_dc.setRop2(Rop2::XorPen);
    } else {
        m_dc.selectPen(DcPen::solid(kBlackRef, 1));
    }
    m_dc.moveTo(a);
    m_dc.lineTo(b);
    m_dc.restoreDC();
    note(a);
    note(b);
}

void DeviceTextCanvas::invertRect(float left, float bottom, float right, float top)
{
    const DcPoint corners[4]
        = { device(left, bottom), device(right, bottom), device(right, top), device(left, top) };
    m_dc.saveDC();
    m_dc.selectPen(DcPen::null());
    m_dc.selectBrush(DcBrush::solid(kBlackRef));
    m_dc.setPolyFillMode(PolyFillMode::Alternate);
    m_dc.setRop2(Rop2::Not);
    m_dc.polygon(corners);
    m_dc.restoreDC();
    for (DcPoint p : corners)
        note(p);
}

} // namespace zavora
