#include "platform/MetafileDeviceContext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zavora {

namespace {

constexpr int16_t kMaxCoordinate = std::numeric_limits<int16_t>::max();
constexpr int16_t kMinCoordinate = std::numeric_limits<int16_t>::min();
// A point count is a 16-bit word.
constexpr std::size_t kMaxRecordPoints = 0x7fff;

int16_t coordinate(int32_t v)
{
    return int16_t(std::clamp<int32_t>(v, kMinCoordinate, kMaxCoordinate));
}

// Pen style word: the dash style, plus the cap and join of a geometric pen.
uint16_t penStyleWord(const DcPen& pen)
{
    uint16_t style = uint16_t(pen.style);
    if (pen.geometric) {
        style |= pen.cap == PenCap::Flat ? 0x0200 : pen.cap == PenCap::Square ? 0x0100 : 0;
        style |= pen.join == PenJoin::Miter ? 0x2000 : pen.join == PenJoin::Bevel ? 0x1000 : 0;
    }
    return style;
}

// Evenly spaced points of a run too long for one record: a polygon cannot be
// split, so it is thinned instead (the steps are far below a point apart by then).
std::vector<DcPoint> thinned(std::span<const DcPoint> points)
{
    std::vector<DcPoint> out;
    out.reserve(kMaxRecordPoints);
    for (std::size_t i = 0; i < kMaxRecordPoints; ++i)
        out.push_back(points[i * (points.size() - 1) / (kMaxRecordPoints - 1)]);
    return out;
}

} // namespace

std::vector<uint8_t> placeableHeader(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t unitsPerInch)
{
    LittleEndianBytes header;
    header.bytes.reserve(kPlaceableHeaderSize);
    header.u32(kPlaceableKey);
    header.u16(0); // handle
    header.u16(uint16_t(left));
    header.u16(uint16_t(top));
    header.u16(uint16_t(right));
    header.u16(uint16_t(bottom));
    header.u16(unitsPerInch);
    header.u32(0); // reserved
    uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        checksum ^= uint16_t(header.bytes[i] | header.bytes[i + 1] << 8);
    header.u16(checksum);
    return std::move(header.bytes);
}

MetafileDeviceContext::MetafileDeviceContext()
{
    m_records.bytes.reserve(4096);
}

// --- record writing ----------------------------------------------------------

void MetafileDeviceContext::beginRecord(WmfRecord function)
{
    m_recordStart = m_records.bytes.size();
    m_records.u32(0); // size in words, filled in by endRecord
    m_records.u16(uint16_t(function));
}

void MetafileDeviceContext::endRecord()
{
    if ((m_records.bytes.size() - m_recordStart) % 2)
        m_records.u8(0);
    const uint32_t words = uint32_t((m_records.bytes.size() - m_recordStart) / 2);
    m_maxRecordWords = std::max(m_maxRecordWords, words);
    for (int i = 0; i < 4; ++i)
        m_records.bytes[m_recordStart + std::size_t(i)] = uint8_t(words >> (8 * i));
}

void MetafileDeviceContext::word(int32_t value)
{
    m_records.u16(uint16_t(value));
}

void MetafileDeviceContext::dword(uint32_t value)
{
    m_records.u32(value);
}

void MetafileDeviceContext::point(DcPoint p)
{
    word(coordinate(p.x));
    word(coordinate(p.y));
}

void MetafileDeviceContext::reversedPoint(DcPoint p)
{
    word(coordinate(p.y));
    word(coordinate(p.x));
}

// --- object table and lazy attributes ----------------------------------------

uint16_t MetafileDeviceContext::allocateSlot()
{
    auto free = std::find(m_slots.begin(), m_slots.end(), false);
    if (free == m_slots.end())
        free = m_slots.insert(m_slots.end(), false);
    *free = true;
    return uint16_t(free - m_slots.begin());
}

void MetafileDeviceContext::deleteSlot(uint16_t slot)
{
    beginRecord(WmfRecord::DeleteObject);
    word(slot);
    endRecord();
    m_slots[slot] = false;
}

// A new object is created and selected before the old one is deleted: a
// selected object must never be deleted.
void MetafileDeviceContext::selectInPlaceOf(uint16_t slot, int& selectedSlot)
{
    beginRecord(WmfRecord::SelectObject);
    word(slot);
    endRecord();
    if (selectedSlot >= 0)
        deleteSlot(uint16_t(selectedSlot));
    selectedSlot = slot;
}

void MetafileDeviceContext::syncPen()
{
    const DcPen& pen = m_state.pen;
    if (m_penSlot >= 0 && pen == m_recordedPen)
        return;
    const uint16_t slot = allocateSlot();
    beginRecord(WmfRecord::CreatePenIndirect);
    word(penStyleWord(pen));
    word(pen.isNull() ? 0 : pen.width);
    word(0);
    dword(pen.color);
    endRecord();
    selectInPlaceOf(slot, m_penSlot);
    m_recordedPen = pen;
}

void MetafileDeviceContext::syncBrush()
{
    const DcBrush& brush = m_state.brush;
    const bool pattern = brush.style == BrushStyle::Pattern;
    // A pattern brush is made with the context's colours of the moment.
    const bool sameColours
        = !pattern || (m_brushText == m_state.textColor && m_brushBack == m_state.bkColor);
    if (m_brushSlot >= 0 && brush == m_recordedBrush && sameColours)
        return;
    const uint16_t slot = allocateSlot();
    if (pattern) {
        // A monochrome DIB whose palette holds the ink (text) and paper
        // (background) colours: bit set -> entry 1 = ink.
        beginRecord(WmfRecord::DibCreatePatternBrush);
        word(5); // BS_DIBPATTERNPT
        word(0); // DIB_RGB_COLORS
        dword(40);
        dword(8);
        dword(8);
        word(1);
        word(1);
        dword(0);
        dword(32);
        dword(0);
        dword(0);
        dword(2);
        dword(0);
        auto rgbQuad = [&](ColorRef c) { dword(uint32_t(blueOf(c)) | uint32_t(greenOf(c)) << 8 | uint32_t(redOf(c)) << 16); };
        rgbQuad(m_state.bkColor);
        rgbQuad(m_state.textColor);
        // Bottom-up rows, each padded to four bytes.
        for (int row = 7; row >= 0; --row)
            dword(brush.pattern[std::size_t(row)]);
        endRecord();
        m_brushText = m_state.textColor;
        m_brushBack = m_state.bkColor;
    } else {
        beginRecord(WmfRecord::CreateBrushIndirect);
        word(brush.isNull() ? 1 : 0); // BS_NULL or BS_SOLID
        dword(brush.color);
        word(0);
        endRecord();
    }
    selectInPlaceOf(slot, m_brushSlot);
    m_recordedBrush = brush;
}

void MetafileDeviceContext::syncModes(bool text)
{
    auto colour = [&](WmfRecord function, ColorRef wanted, ColorRef& recorded) {
        if (m_modesKnown && wanted == recorded)
            return;
        beginRecord(function);
        dword(wanted);
        endRecord();
        recorded = wanted;
    };
    auto mode = [&](WmfRecord function, int32_t wanted, auto& recorded) {
        if (m_modesKnown && wanted == int32_t(recorded))
            return;
        beginRecord(function);
        word(wanted);
        endRecord();
        recorded = std::remove_reference_t<decltype(recorded)>(wanted);
    };
    mode(WmfRecord::SetBkMode, int32_t(m_state.bkMode), m_recorded.bkMode);
    mode(WmfRecord::SetRop2, int32_t(m_state.rop2), m_recorded.rop2);
    mode(WmfRecord::SetPolyFillMode, int32_t(m_state.fillMode), m_recorded.fillMode);
    colour(WmfRecord::SetBkColor, m_state.bkColor, m_recorded.bkColor);
    colour(WmfRecord::SetTextColor, m_state.textColor, m_recorded.textColor);
    m_modesKnown = true;
    if (text) {
        if (m_fontSlot < 0 || !(m_font == m_recordedFont)) {
            const uint16_t slot = allocateSlot();
            beginRecord(WmfRecord::CreateFontIndirect);
            word(m_font.height);
            word(0); // width: the font's own
            word(m_font.escapement);
            word(m_font.escapement); // orientation follows the escapement
            word(m_font.weight);
            m_records.u8(m_font.italic ? 1 : 0);
            m_records.u8(0); // underline
            m_records.u8(0); // strike-out
            m_records.u8(0); // ANSI character set
            m_records.u8(0); // default output precision
            m_records.u8(0); // default clip precision
            m_records.u8(0); // default quality
            m_records.u8(0); // default pitch and family
            std::string face = m_font.faceName.substr(0, 31);
            face.resize(32, '\0');
            m_records.bytes.insert(m_records.bytes.end(), face.begin(), face.end());
            endRecord();
            selectInPlaceOf(slot, m_fontSlot);
            m_recordedFont = m_font;
        }
        if (m_textAlign != m_recordedTextAlign) {
            beginRecord(WmfRecord::SetTextAlign);
            word(m_textAlign);
            endRecord();
            m_recordedTextAlign = m_textAlign;
        }
    }
}

void MetafileDeviceContext::syncPosition()
{
    if (m_positionKnown && m_recorded.position == m_state.position)
        return;
    beginRecord(WmfRecord::MoveTo);
    reversedPoint(m_state.position);
    endRecord();
    m_recorded.position = m_state.position;
    m_positionKnown = true;
}

// --- mapping and text --------------------------------------------------------

void MetafileDeviceContext::setMapMode(int16_t mode)
{
    beginRecord(WmfRecord::SetMapMode);
    word(mode);
    endRecord();
}

void MetafileDeviceContext::setWindowOrg(int16_t x, int16_t y)
{
    beginRecord(WmfRecord::SetWindowOrg);
    word(y);
    word(x);
    endRecord();
}

void MetafileDeviceContext::setWindowExt(int16_t x, int16_t y)
{
    beginRecord(WmfRecord::SetWindowExt);
    word(y);
    word(x);
    endRecord();
}

MetafileFont MetafileDeviceContext::selectFont(const MetafileFont& font)
{
    MetafileFont previous = m_font;
    m_font = font;
    return previous;
}

uint16_t MetafileDeviceContext::setTextAlign(uint16_t flags)
{
    const uint16_t previous = m_textAlign;
    m_textAlign = flags;
    return previous;
}

void MetafileDeviceContext::textOut(DcPoint at, std::string_view text)
{
    if (text.empty() || m_finished)
        return;
    text = text.substr(0, 0x7fff);
    syncModes(true);
    beginRecord(WmfRecord::ExtTextOut);
    reversedPoint(at);
    word(int32_t(text.size()));
    word(0); // no options, hence no rectangle
    m_records.bytes.insert(m_records.bytes.end(), text.begin(), text.end());
    endRecord();
}

std::vector<uint8_t> MetafileDeviceContext::finish()
{
    if (!m_finished) {
        beginRecord(WmfRecord::Eof);
        endRecord();
        m_finished = true;
    }
    LittleEndianBytes out;
    out.bytes.reserve(kMetafileHeaderSize + m_records.bytes.size());
    out.u16(1); // in memory
    out.u16(kMetafileHeaderSize / 2);
    out.u16(0x0300);
    out.u32(uint32_t((kMetafileHeaderSize + m_records.bytes.size()) / 2));
    out.u16(uint16_t(m_slots.size()));
    out.u32(m_maxRecordWords);
    out.u16(0);
    out.bytes.insert(out.bytes.end(), m_records.bytes.begin(), m_records.bytes.end());
    return std::move(out.bytes);
}

// --- figures -----------------------------------------------------------------

void MetafileDeviceContext::moveTo(DcPoint p)
{
    if (m_pathState == PathState::Open) {
        m_path.push_back({ { p }, false });
    }
    m_state.position = p;
}

void MetafileDeviceContext::lineTo(DcPoint p)
{
    if (m_pathState == PathState::Open) {
        if (m_path.empty() || m_path.back().closed)
            m_path.push_back({ { m_state.position }, false });
        m_path.back().points.push_back(p);
        m_state.position = p;
        return;
    }
    if (m_finished)
        return;
    syncModes(false);
    syncPen();
    syncPosition();
    beginRecord(WmfRecord::LineTo);
    reversedPoint(p);
    endRecord();
    m_state.position = m_recorded.position = p;
}

void MetafileDeviceContext::recordPolyline(std::span<const DcPoint> points)
{
    // Long runs go as several records that share their end points.
    std::size_t start = 0;
    while (start + 1 < points.size()) {
        const std::size_t count = std::min(points.size() - start, kMaxRecordPoints);
        beginRecord(WmfRecord::Polyline);
        word(int32_t(count));
        for (std::size_t i = 0; i < count; ++i)
            point(points[start + i]);
        endRecord();
        start += count - 1;
    }
}

void MetafileDeviceContext::recordPolygon(std::span<const DcPoint> points)
{
    std::vector<DcPoint> few;
    if (points.size() > kMaxRecordPoints) {
        few = thinned(points);
        points = few;
    }
    beginRecord(WmfRecord::Polygon);
    word(int32_t(points.size()));
    for (DcPoint p : points)
        point(p);
    endRecord();
}

void MetafileDeviceContext::polyline(std::span<const DcPoint> points)
{
    if (points.size() < 2 || m_finished)
        return;
    syncModes(false);
    syncPen();
    recordPolyline(points);
}

void MetafileDeviceContext::polygon(std::span<const DcPoint> points)
{
    if (points.size() < 2 || m_finished)
        return;
    syncModes(false);
    syncPen();
    syncBrush();
    recordPolygon(points);
}

void MetafileDeviceContext::polyPolygon(std::span<const DcPoint> points, std::span<const int32_t> counts)
{
    if (m_finished)
        return;
    // Only whole sub-lists that lie inside the points are written.
    std::vector<int32_t> valid;
    std::size_t total = 0;
    for (int32_t count : counts) {
        if (count < 0 || total + std::size_t(count) > points.size())
            break;
        valid.push_back(count);
        total += std::size_t(count);
    }
    const bool fits = valid.size() < 0x8000
        && std::all_of(valid.begin(), valid.end(), [](int32_t c) { return std::size_t(c) <= kMaxRecordPoints; });
    if (valid.empty())
        return;
    syncModes(false);
    syncPen();
    syncBrush();
    if (!fits) {
        // Too big for one record: each outline fills on its own (holes are lost).
        std::size_t first = 0;
        for (int32_t count : valid) {
            recordPolygon(points.subspan(first, std::size_t(count)));
            first += std::size_t(count);
        }
        return;
    }
    beginRecord(WmfRecord::PolyPolygon);
    word(int32_t(valid.size()));
    for (int32_t count : valid)
        word(count);
    for (std::size_t i = 0; i < total; ++i)
        point(points[i]);
    endRecord();
}

void MetafileDeviceContext::polyPolyline(std::span<const DcPoint> points, std::span<const int32_t> counts)
{
    if (m_finished)
        return;
    syncModes(false);
    syncPen();
    std::size_t first = 0;
    for (int32_t count : counts) {
        if (count < 0 || first + std::size_t(count) > points.size())
            break;
        recordPolyline(points.subspan(first, std::size_t(count)));
        first += std::size_t(count);
    }
}

// --- the path bracket: the format has none, so paths are flattened here and
// painted as polygons and polylines ---------------------------------------------

void MetafileDeviceContext::beginPath()
{
    m_pathState = PathState::Open;
    m_path.clear();
}

void MetafileDeviceContext::polyBezierTo(std::span<const DcPoint> points)
{
    if (m_pathState != PathState::Open)
        return;
    for (std::size_t i = 0; i + 2 < points.size(); i += 3) {
        const DcPoint p0 = m_state.position;
        const DcPoint c1 = points[i], c2 = points[i + 1], p3 = points[i + 2];
        // Enough steps that a segment stays within about a quarter unit of the curve.
        const double hull = std::hypot(c1.x - p0.x, c1.y - p0.y) + std::hypot(c2.x - c1.x, c2.y - c1.y)
            + std::hypot(p3.x - c2.x, p3.y - c2.y);
        const int steps = std::clamp(int(std::ceil(std::sqrt(hull * 2))), 2, 256);
        for (int s = 1; s <= steps; ++s) {
            const double t = double(s) / steps, u = 1 - t;
            const double x = u * u * u * p0.x + 3 * u * u * t * c1.x + 3 * u * t * t * c2.x + t * t * t * p3.x;
            const double y = u * u * u * p0.y + 3 * u * u * t * c1.y + 3 * u * t * t * c2.y + t * t * t * p3.y;
            const DcPoint q { roundToDevice(x), roundToDevice(y) };
            if (m_path.empty() || m_path.back().closed)
                m_path.push_back({ { m_state.position }, false });
            if (m_path.back().points.back() != q)
                m_path.back().points.push_back(q);
        }
        m_state.position = p3;
    }
}

void MetafileDeviceContext::closeFigure()
{
    if (m_pathState == PathState::Open && !m_path.empty() && !m_path.back().closed) {
        m_path.back().closed = true;
        m_state.position = m_path.back().points.front();
    }
}

void MetafileDeviceContext::endPath()
{
    if (m_pathState == PathState::Open)
        m_pathState = PathState::Closed;
}

void MetafileDeviceContext::abortPath()
{
    m_pathState = PathState::None;
    m_path.clear();
}

void MetafileDeviceContext::paintPath(bool fill, bool stroke)
{
    if (m_pathState != PathState::Closed)
        return;
    m_pathState = PathState::None;
    std::vector<Figure> figures = std::move(m_path);
    m_path.clear();
    std::vector<DcPoint> points;
    std::vector<int32_t> counts;
    for (const Figure& f : figures) {
        if (f.points.size() < 2)
            continue;
        points.insert(points.end(), f.points.begin(), f.points.end());
        counts.push_back(int32_t(f.points.size()));
    }
    if (counts.empty())
        return;
    if (fill) {
        // Filling closes every figure; the pen outlines them only when stroking all closed.
        const DcPen pen = m_state.pen;
        if (!stroke)
            m_state.pen = DcPen::null();
        polyPolygon(points, counts);
        m_state.pen = pen;
        return;
    }
    if (stroke) {
        // Closed figures come back to their start.
        std::size_t first = 0;
        std::vector<DcPoint> run;
        for (std::size_t i = 0, f = 0; f < figures.size(); ++f) {
            if (figures[f].points.size() < 2)
                continue;
            run.assign(points.begin() + std::ptrdiff_t(first), points.begin() + std::ptrdiff_t(first) + counts[i]);
            if (figures[f].closed)
                run.push_back(run.front());
            polyline(run);
            first += std::size_t(counts[i]);
            ++i;
        }
    }
}

void MetafileDeviceContext::fillPath()
{
    paintPath(true, false);
}

void MetafileDeviceContext::strokePath()
{
    paintPath(false, true);
}

void MetafileDeviceContext::strokeAndFillPath()
{
    paintPath(true, true);
}

// --- pixels --------------------------------------------------------------------

void MetafileDeviceContext::setPixel(DcPoint p, ColorRef color)
{
    if (m_finished)
        return;
    beginRecord(WmfRecord::SetPixel);
    dword(color & 0xffffff);
    reversedPoint(p);
    endRecord();
}

bool MetafileDeviceContext::patBlt(int32_t x, int32_t y, int32_t width, int32_t height, RasterOp op)
{
    switch (op) {
    case RasterOp::PatCopy:
    case RasterOp::DstInvert:
    case RasterOp::Blackness:
    case RasterOp::Whiteness:
        break;
    default:
        return false;
    }
    if (m_finished)
        return true;
    if (op == RasterOp::PatCopy) {
        syncModes(false);
        syncBrush();
    }
    beginRecord(WmfRecord::PatBlt);
    dword(uint32_t(op));
    word(coordinate(height));
    word(coordinate(width));
    word(coordinate(y));
    word(coordinate(x));
    endRecord();
    return true;
}

bool MetafileDeviceContext::bitBlt(int32_t, int32_t, int32_t, int32_t, const DeviceContext&, int32_t, int32_t, RasterOp)
{
    return false;
}

bool MetafileDeviceContext::stretchDIBits(int32_t x, int32_t y, int32_t width, int32_t height,
    const RgbImageView& image, int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight)
{
    if (!image.isValid() || sourceX < 0 || sourceY < 0 || sourceWidth <= 0 || sourceHeight <= 0
        || sourceX + sourceWidth > image.width || sourceY + sourceHeight > image.height)
        return false;
    if (m_finished)
        return true;
    // The whole source rectangle as a 24-bit bottom-up DIB.
    const uint32_t rowBytes = (uint32_t(sourceWidth) * 3 + 3) & ~3u;
    beginRecord(WmfRecord::StretchDib);
    dword(uint32_t(RasterOp::SrcCopy));
    word(0); // DIB_RGB_COLORS
    word(coordinate(sourceHeight));
    word(coordinate(sourceWidth));
    word(0);
    word(0);
    word(coordinate(height));
    word(coordinate(width));
    word(coordinate(y));
    word(coordinate(x));
    dword(40);
    dword(uint32_t(sourceWidth));
    dword(uint32_t(sourceHeight));
    word(1);
    word(24);
    dword(0);
    dword(rowBytes * uint32_t(sourceHeight));
    dword(2835); // 72 dpi in pixels per metre
    dword(2835);
    dword(0);
    dword(0);
    for (int32_t row = sourceHeight - 1; row >= 0; --row) {
        const uint8_t* line = image.pixels + std::ptrdiff_t(sourceY + row) * image.stride + std::ptrdiff_t(sourceX) * 3;
        for (int32_t col = 0; col < sourceWidth; ++col) {
            m_records.u8(line[col * 3 + 2]);
            m_records.u8(line[col * 3 + 1]);
            m_records.u8(line[col * 3]);
        }
        m_records.bytes.resize(m_records.bytes.size() + (rowBytes - uint32_t(sourceWidth) * 3), 0);
    }
    endRecord();
    return true;
}

} // namespace zavora
