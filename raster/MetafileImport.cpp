#include "raster/MetafileImport.h"

#include "fonts/FontCatalogue.h"
#include "model/FontEntry.h"
#include "model/FontLookup.h"
#include "model/ImageObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "platform/MetafileDeviceContext.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <variant>

namespace zavora {

namespace {

// The parameters of one record, every access checked against its size.
class Params {
public:
    explicit Params(std::span<const uint8_t> bytes)
        : m_bytes(bytes)
    { }
    std::size_t words() const { return m_bytes.size() / 2; }
    bool has(std::size_t count) const { return count <= words(); }
    uint16_t u(std::size_t i) const { return uint16_t(m_bytes[2 * i] | m_bytes[2 * i + 1] << 8); }
    int16_t s(std::size_t i) const { return int16_t(u(i)); }
    uint32_t dword(std::size_t i) const { return uint32_t(u(i)) | uint32_t(u(i + 1)) << 16; }
    std::span<const uint8_t> bytesFrom(std::size_t word) const
    {
        return word * 2 <= m_bytes.size() ? m_bytes.subspan(word * 2) : std::span<const uint8_t> {};
    }

private:
    std::span<const uint8_t> m_bytes;
};

Color colorOf(uint32_t ref)
{
    // Each component x 100 / 255, truncated.
    return { float(redOf(ref) * 100 / 255), float(greenOf(ref) * 100 / 255), float(blueOf(ref) * 100 / 255) };
}

struct PenEntry {
    bool stroke = true;
    Color color;
    float width = 1;
    int dash = kSolidDash;
};
struct BrushEntry {
    bool fill = true;
    Color color;
};
struct FontEntryRecord {
    const FontEntry* font = nullptr;
    float size = 12;
    float escapement = 0; // degrees
};
// Palettes, regions and the like only hold their slot.
struct OtherEntry { };
using TableEntry = std::variant<PenEntry, BrushEntry, FontEntryRecord, OtherEntry>;

struct ImportState {
    PaintStyle style;
    uint16_t textAlign = 0;
    FontEntryRecord font;
    Color textColor = Color::black();
    Point current;
    double windowOrgX = 0, windowOrgY = 0, windowExtX = 1, windowExtY = 1;
    double viewportOrgX = 0, viewportOrgY = 0, viewportExtX = 1, viewportExtY = 1;
    // Without a viewport extent of its own the viewport takes the size of the
    // first window extent (a device runs right and down), so a file that sets only
    // windows keeps its size and its embedded pictures scale as they should.
    bool viewportExtSet = false;
};

constexpr std::size_t kMaxSavedStates = 1024;
constexpr std::size_t kMaxObjects = 0x10000;

const FontEntry* matchFont(std::string_view face, bool bold, bool italic)
{
    const FontLookup* lookup = FontLookup::current();
    if (const auto* catalogue = dynamic_cast<const FontCatalogue*>(lookup)) {
        const int bits = (bold ? FontEntry::kBold : 0) | (italic ? FontEntry::kItalic : 0);
        if (const FontEntry* found = catalogue->findFace(face, bits))
            return found;
    }
    return defaultTextFont();
}

class MetafileReader {
public:
    explicit MetafileReader(OwnedObjects& target)
        : m_target(target)
    {
        m_state.font.font = defaultTextFont();
    }

    // Plays every record; false when the data holds no metafile header.
    bool play(std::span<const uint8_t> data)
    {
        if (data.size() < kMetafileHeaderSize)
            return false;
        const Params header(data.first(kMetafileHeaderSize));
        const uint16_t type = header.u(0), headerWords = header.u(1);
        if ((type != 1 && type != 2) || headerWords < 9 || std::size_t(headerWords) * 2 > data.size())
            return false;
        std::size_t pos = std::size_t(headerWords) * 2;
        while (pos + 6 <= data.size()) {
            const uint32_t words = Params(data.subspan(pos, 4)).dword(0);
            const uint16_t function = Params(data.subspan(pos + 4, 2)).u(0);
            if (function == uint16_t(WmfRecord::Eof))
                break;
            // A record shorter than its own head, or longer than what is left, ends the import.
            if (words < 3 || words > (data.size() - pos) / 2)
                break;
            record(WmfRecord(function), Params(data.subspan(pos + 6, std::size_t(words) * 2 - 6)));
            pos += std::size_t(words) * 2;
        }
        return true;
    }

private:
    Point map(double x, double y) const
    {
        const ImportState& s = m_state;
        return { float(ratioX() * (x - s.windowOrgX) + s.viewportOrgX),
            float(ratioY() * (y - s.windowOrgY) + s.viewportOrgY) };
    }
    double ratioX() const
    {
        const ImportState& s = m_state;
        return s.viewportExtSet && s.windowExtX != 0 ? s.viewportExtX / s.windowExtX : 1;
    }
    double ratioY() const
    {
        const ImportState& s = m_state;
        return s.viewportExtSet && s.windowExtY != 0 ? s.viewportExtY / s.windowExtY : 1;
    }

    void add(std::unique_ptr<DrawObject> object, const PaintStyle& style)
    {
        object->setStyle(style);
        m_target.push_back(std::move(object));
    }

    // Count points from word `first` on, x then y, when the record holds them.
    std::optional<PointList> points(const Params& p, std::size_t first, std::size_t count) const
    {
        if (!p.has(first + 2 * count))
            return std::nullopt;
        PointList out;
        out.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            out.push_back(map(p.s(first + 2 * i), p.s(first + 2 * i + 1)));
        return out;
    }

    void addPolygon(PointList vertices, bool polygon)
    {
        if (vertices.size() < 2)
            return;
        const bool closed = polygon && vertices.size() > 2;
        PaintStyle style = m_state.style;
        if (!closed)
            style.setFillOn(false);
        add(std::make_unique<PolygonObject>(std::move(vertices), closed), style);
    }

    // The box of the four words from `first` on: bottom, right, top, left.
    std::optional<std::pair<Point, Point>> box(const Params& p, std::size_t first) const
    {
        if (!p.has(first + 4))
            return std::nullopt;
        return std::pair { map(p.s(first + 3), p.s(first + 2)), map(p.s(first + 1), p.s(first)) };
    }

    void createEntry(TableEntry entry)
    {
        auto free = std::find_if(m_table.begin(), m_table.end(), [](const auto& e) { return !e; });
        if (free != m_table.end())
            *free = std::move(entry);
        else if (m_table.size() < kMaxObjects)
            m_table.emplace_back(std::move(entry));
    }

    void selectEntry(uint16_t index)
    {
        if (index >= m_table.size() || !m_table[index])
            return;
        PaintStyle& style = m_state.style;
        if (const auto* pen = std::get_if<PenEntry>(&*m_table[index])) {
            style.setStrokeOn(pen->stroke);
            style.storeLineColor(pen->color);
            style.storeLineWidth(pen->width);
            style.storeDashIndex(pen->dash);
        } else if (const auto* brush = std::get_if<BrushEntry>(&*m_table[index])) {
            style.setFillOn(brush->fill);
            style.storeFillColor(brush->color);
            style.storeFillPattern(kNoPattern);
        } else if (const auto* font = std::get_if<FontEntryRecord>(&*m_table[index])) {
            m_state.font = *font;
        }
    }

    void createPen(const Params& p)
    {
        if (!p.has(5))
            return;
        PenEntry pen;
        const int style = p.u(0) & 0x0f;
        pen.stroke = style != int(PenStyle::Null);
        pen.color = colorOf(p.dword(3));
        switch (style) {
        case int(PenStyle::Dash):
            pen.dash = 0;
            break;
        case int(PenStyle::Dot):
            pen.dash = 1;
            break;
        case int(PenStyle::DashDot):
            pen.dash = 2;
            break;
        case int(PenStyle::DashDotDot):
            pen.dash = 3;
            break;
        default:
            pen.width = std::max(1.0f, float(std::abs(ratioX() * p.s(1))));
            break;
        }
        createEntry(pen);
    }

    void createBrush(const Params& p)
    {
        if (!p.has(3))
            return;
        BrushEntry brush;
        brush.fill = p.u(0) != 1; // BS_NULL (hollow)
        brush.color = colorOf(p.dword(1));
        createEntry(brush);
    }

    // A pattern brush fills with its first palette colour (the paper of a
    // two-colour pattern), the nearest a plain fill comes to it.
    void createDibPatternBrush(const Params& p)
    {
        BrushEntry brush;
        brush.color = Color { 50, 50, 50 };
        const std::span<const uint8_t> dib = p.bytesFrom(2);
        if (dib.size() >= 44) {
            const Params info(dib);
            const uint32_t headerSize = info.dword(0);
            if (headerSize == 40 && info.u(7) <= 8) {
                const uint8_t* quad = dib.data() + 40;
                brush.color = colorOf(makeColorRef(quad[2], quad[1], quad[0]));
            }
        }
        createEntry(brush);
    }

    void createFont(const Params& p)
    {
        if (!p.has(9))
            return;
        const std::span<const uint8_t> bytes = p.bytesFrom(0);
        std::string face;
        for (std::size_t i = 18; i < bytes.size() && i < 18 + 32 && bytes[i]; ++i)
            face.push_back(char(bytes[i]));
        FontEntryRecord entry;
        entry.font = matchFont(face, p.s(4) > 400, bytes[10] != 0);
        const int height = std::abs(int(p.s(0)));
        entry.size = height == 0 ? 12 : float(height);
        entry.escapement = float(p.s(2)) / 10;
        createEntry(entry);
    }

    void restoreState(int16_t which)
    {
        // Negative: that many saves back; positive: the n-th saved state.
        std::size_t pops = which < 0 ? std::size_t(-int(which))
            : which > 0 && std::size_t(which) <= m_saved.size() ? m_saved.size() - std::size_t(which) + 1
                                                                   : 0;
        pops = std::min(pops, m_saved.size());
        if (pops == 0)
            return;
        m_state = m_saved[m_saved.size() - pops];
        m_saved.resize(m_saved.size() - pops);
    }

    void addText(Point at, std::string text)
    {
        const FontEntryRecord& font = m_state.font;
        if (text.empty() || !font.font)
            return;
        // Embedded line breaks would reflow the object; they print as nothing here.
        std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == 0; }, ' ');
        const uint16_t align = m_state.textAlign;
        const TextAlign alignment = (align & kTextAlignCentre) == kTextAlignCentre ? TextAlign::Centre
            : (align & kTextAlignRight)                                          ? TextAlign::Right
                                                                                  : TextAlign::Left;
        auto object = std::make_unique<TextObject>(text, font.font, font.size, font.size * 1.1f, alignment);
        const float width = float(font.font->stringWidth(text, font.size));
        object->setFrame({ 0, 0 }, { width * 1.001f + 1, -font.size });
        // The reference point is the top, the baseline or the bottom of the
        // line, at its left, centre or right; the object's origin is the top left.
        const Rect frame = object->frameRect();
        float dx = 0;
        if (alignment == TextAlign::Centre)
            dx = -frame.width() / 2;
        else if (alignment == TextAlign::Right)
            dx = -frame.width();
        float dy = 0;
        const float ascent = float(font.font->ascent(font.size));
        if ((align & kTextAlignBaseline) == kTextAlignBaseline)
            dy = ascent;
        else if (align & kTextAlignBottom)
            dy = ascent - float(font.font->descent(font.size));
        const double turn = font.escapement * M_PI / 180;
        // Text stands upright on the device whichever way the mapping runs.
        const double sx = std::abs(ratioX()), sy = -std::abs(ratioY());
        const double cosA = std::cos(turn), sinA = std::sin(turn);
        // Object space: shift to the reference, rotate, scale by the mapping, move to the point.
        const double a = cosA * sx, b = sinA * sy, c = -sinA * sx, d = cosA * sy;
        object->setMatrix(Matrix { float(a), float(b), float(c), float(d), float(a * dx + c * dy + at.x),
            float(b * dx + d * dy + at.y) });
        PaintStyle style = object->style();
        style.setTextColor(m_state.textColor);
        add(std::move(object), style);
    }

    void extTextOut(const Params& p)
    {
        if (!p.has(4))
            return;
        const int count = p.s(2);
        const uint16_t options = p.u(3);
        std::size_t first = 4;
        if (options & 0x0006) // opaque or clipped: a rectangle comes first
            first += 4;
        const std::span<const uint8_t> bytes = p.bytesFrom(first);
        if (count <= 0 || std::size_t(count) > bytes.size())
            return;
        const Point at = (m_state.textAlign & kTextAlignUpdateCp) ? m_state.current : map(p.s(1), p.s(0));
        addText(at, std::string(bytes.begin(), bytes.begin() + count));
    }

    void textOut(const Params& p)
    {
        if (!p.has(1))
            return;
        const int count = p.s(0);
        if (count <= 0)
            return;
        const std::size_t stringWords = (std::size_t(count) + 1) / 2;
        if (!p.has(1 + stringWords + 2))
            return;
        const std::span<const uint8_t> bytes = p.bytesFrom(1);
        const Point at = (m_state.textAlign & kTextAlignUpdateCp)
            ? m_state.current
            : map(p.s(1 + stringWords + 1), p.s(1 + stringWords));
        addText(at, std::string(bytes.begin(), bytes.begin() + count));
    }

    void stretchDib(const Params& p)
    {
        if (!p.has(11))
            return;
        const int sourceHeight = p.s(3), sourceWidth = p.s(4), sourceY = p.s(5), sourceX = p.s(6);
        const Point corner = map(p.s(10), p.s(9));
        const Point far = map(p.s(10) + p.s(8), p.s(9) + p.s(7));
        auto image = decodeDib(p.bytesFrom(11), sourceX, sourceY, sourceWidth, sourceHeight);
        if (!image)
            return;
        // Row 0, the top of the unit square, goes to the destination's first corner.
        image->setMatrix(Matrix { far.x - corner.x, 0, 0, corner.y - far.y, corner.x, far.y });
        m_target.push_back(std::move(image));
    }

    // A device-independent bitmap (1, 4, 8, 24 or 32 bits, uncompressed),
    // cut to the source rectangle when that lies inside it.
    static std::unique_ptr<ImageObject> decodeDib(
        std::span<const uint8_t> dib, int sourceX, int sourceY, int sourceWidth, int sourceHeight)
    {
        if (dib.size() < 40)
            return nullptr;
        const Params info(dib);
        if (info.dword(0) < 40 || info.dword(0) > dib.size())
            return nullptr;
        const int32_t width = int32_t(info.dword(2));
        const int32_t rawHeight = int32_t(info.dword(4));
        const int bits = info.u(7);
        const uint32_t compression = info.dword(8);
        if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || compression != 0)
            return nullptr;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
            return nullptr;
        const bool topDown = rawHeight < 0;
        const int32_t height = topDown ? -rawHeight : rawHeight;
        std::size_t colours = 0;
        if (bits <= 8) {
            colours = info.dword(16) ? info.dword(16) : std::size_t(1) << bits;
            colours = std::min<std::size_t>(colours, 256);
        }
        const std::size_t paletteAt = info.dword(0);
        const std::size_t bitsAt = paletteAt + 4 * colours;
        const uint64_t rowBytes = ((uint64_t(width) * uint64_t(bits) + 31) / 32) * 4;
        // Checked before anything is allocated: the pixels must be in the record.
        if (bitsAt > dib.size() || rowBytes * uint64_t(height) > dib.size() - bitsAt)
            return nullptr;
        int32_t x0 = 0, y0 = 0, w = width, h = height;
        if (sourceWidth > 0 && sourceHeight > 0 && sourceX >= 0 && sourceY >= 0 && sourceX + sourceWidth <= width
            && sourceY + sourceHeight <= height) {
            // The source rectangle counts rows from the bottom of a bottom-up DIB.
            x0 = sourceX, w = sourceWidth, h = sourceHeight;
            y0 = topDown ? sourceY : height - sourceY - sourceHeight;
        }
        auto image = std::make_unique<ImageObject>();
        if (!image->allocatePixels(w, h))
            return nullptr;
        for (int32_t y = 0; y < h; ++y) {
            const int32_t fromTop = y0 + y;
            const int32_t stored = topDown ? fromTop : height - 1 - fromTop;
            const uint8_t* row = dib.data() + bitsAt + std::size_t(stored) * rowBytes;
            for (int32_t x = 0; x < w; ++x) {
                const int32_t col = x0 + x;
                std::array<uint8_t, 3> rgb {};
                if (bits >= 24) {
                    const uint8_t* px = row + std::size_t(col) * std::size_t(bits / 8);
                    rgb = { px[2], px[1], px[0] };
                } else {
                    const std::size_t bit = std::size_t(col) * std::size_t(bits);
                    const int shift = 8 - bits - int(bit % 8);
                    const std::size_t index = (row[bit / 8] >> shift) & ((1 << bits) - 1);
                    if (index < colours) {
                        const uint8_t* quad = dib.data() + paletteAt + 4 * index;
                        rgb = { quad[2], quad[1], quad[0] };
                    }
                }
                image->setPixel(x, y, rgb);
            }
        }
        return image;
    }

    void record(WmfRecord function, const Params& p)
    {
        ImportState& s = m_state;
        switch (function) {
        case WmfRecord::SetWindowExt:
            if (p.has(2)) {
                s.windowExtX = p.s(1), s.windowExtY = p.s(0);
                // The first window is the picture's frame: later windows scale against it.
                if (!s.viewportExtSet)
                    s.viewportExtX = std::abs(s.windowExtX), s.viewportExtY = std::abs(s.windowExtY), s.viewportExtSet = true;
            }
            break;
        case WmfRecord::SetWindowOrg:
            if (p.has(2))
                s.windowOrgX = p.s(1), s.windowOrgY = p.s(0);
            break;
        case WmfRecord::SetViewportExt:
            if (p.has(2))
                s.viewportExtX = p.s(1), s.viewportExtY = p.s(0), s.viewportExtSet = true;
            break;
        case WmfRecord::SetViewportOrg:
            if (p.has(2))
                s.viewportOrgX = p.s(1), s.viewportOrgY = p.s(0);
            break;
        case WmfRecord::SetTextAlign:
            if (p.has(1))
                s.textAlign = p.u(0);
            break;
        case WmfRecord::SetTextColor:
            if (p.has(2))
                s.textColor = colorOf(p.dword(0));
            break;
        case WmfRecord::MoveTo:
            if (p.has(2))
                s.current = map(p.s(1), p.s(0));
            break;
        case WmfRecord::LineTo:
            if (p.has(2)) {
                const Point to = map(p.s(1), p.s(0));
                // A line has no inside: the brush of the moment is not its fill.
                PaintStyle style = s.style;
                style.setFillOn(false);
                add(std::make_unique<LineObject>(s.current.x, s.current.y, to.x, to.y), style);
                s.current = to;
            }
            break;
        case WmfRecord::SaveDC:
            if (m_saved.size() < kMaxSavedStates)
                m_saved.push_back(s);
            break;
        case WmfRecord::RestoreDC:
            if (p.has(1))
                restoreState(p.s(0));
            break;
        case WmfRecord::CreatePenIndirect:
            createPen(p);
            break;
        case WmfRecord::CreateBrushIndirect:
            createBrush(p);
            break;
        case WmfRecord::CreateFontIndirect:
            createFont(p);
            break;
        case WmfRecord::DibCreatePatternBrush:
            createDibPatternBrush(p);
            break;
        case WmfRecord::CreatePalette:
        case WmfRecord::CreatePatternBrush:
        case WmfRecord::CreateRegion:
            createEntry(OtherEntry {});
            break;
        case WmfRecord::SelectObject:
            if (p.has(1))
                selectEntry(p.u(0));
            break;
        case WmfRecord::DeleteObject:
            if (p.has(1) && p.u(0) < m_table.size())
                m_table[p.u(0)].reset();
            break;
        case WmfRecord::Ellipse:
            if (auto b = box(p, 0)) {
                const auto [p1, p2] = *b;
                const float rx = float(std::abs(int(clampDeviceCoordinate(p2.x - p1.x))) / 2);
                const float ry = float(std::abs(int(clampDeviceCoordinate(p2.y - p1.y))) / 2);
                add(std::make_unique<EllipseObject>((p1.x + p2.x) / 2, (p1.y + p2.y) / 2, rx, ry), s.style);
            }
            break;
        case WmfRecord::Rectangle:
        case WmfRecord::RoundRect:
            if (auto b = box(p, function == WmfRecord::RoundRect ? 2 : 0))
                add(std::make_unique<RectangleObject>(b->first.x, b->first.y, b->second.x, b->second.y), s.style);
            break;
        case WmfRecord::Polygon:
        case WmfRecord::Polyline:
            if (p.has(1) && p.s(0) > 0) {
                if (auto list = points(p, 1, std::size_t(p.s(0))))
                    addPolygon(std::move(*list), function == WmfRecord::Polygon);
            }
            break;
        case WmfRecord::PolyPolygon:
            polyPolygon(p);
            break;
        case WmfRecord::ExtTextOut:
            extTextOut(p);
            break;
        case WmfRecord::TextOut:
            textOut(p);
            break;
        case WmfRecord::StretchDib:
            stretchDib(p);
            break;
        default:
            // Arcs, chords, pies, the map mode, clipping, escapes and the rest are ignored.
            break;
        }
    }

    void polyPolygon(const Params& p)
    {
        if (!p.has(1) || p.s(0) <= 0)
            return;
        const std::size_t lists = std::size_t(p.s(0));
        if (!p.has(1 + lists))
            return;
        // Every count is checked before any polygon is made: a lying record adds nothing.
        std::size_t total = 0;
        for (std::size_t i = 0; i < lists; ++i) {
            if (p.s(1 + i) < 0)
                return;
            total += std::size_t(p.s(1 + i));
        }
        if (!p.has(1 + lists + 2 * total))
            return;
        std::size_t next = 1 + lists;
        for (std::size_t i = 0; i < lists; ++i) {
            const std::size_t count = std::size_t(p.s(1 + i));
            addPolygon(*points(p, next, count), true);
            next += 2 * count;
        }
    }

    OwnedObjects& m_target;
    ImportState m_state;
    std::vector<ImportState> m_saved;
    std::vector<std::optional<TableEntry>> m_table;
};

Rect boxOf(const OwnedObjects& objects, std::size_t first)
{
    Rect box;
    bool any = false;
    for (std::size_t i = first; i < objects.size(); ++i) {
        const Rect r = objects[i]->boundingBox();
        if (!any) {
            box = r;
            any = true;
            continue;
        }
        box.left = std::min(box.left, r.left);
        box.bottom = std::min(box.bottom, r.bottom);
        box.right = std::max(box.right, r.right);
        box.top = std::max(box.top, r.top);
    }
    return box;
}

void translateAll(OwnedObjects& objects, std::size_t first, float dx, float dy)
{
    for (std::size_t i = first; i < objects.size(); ++i)
        objects[i]->translate(dx, dy);
}

void scaleAll(OwnedObjects& objects, std::size_t first, float sx, float sy)
{
    for (std::size_t i = first; i < objects.size(); ++i)
        objects[i]->scale(0, 0, sx, sy);
}

// The placeable header's bounding box and scale.
struct PlaceableBounds {
    int16_t left = 0, top = 0, right = 0, bottom = 0;
    uint16_t unitsPerInch = 0;
};

// The new objects turned upright (the metafile's y runs down), sized by the
// placeable header's units per inch when there is one, and centred on the
// paper. The header's scale, not a fit of the objects into its box: a
// picture with blank margins (our own exports have 9 points) keeps its size
// and proportions.
void placeImported(OwnedObjects& objects, std::size_t first, const PlaceableBounds* bounds, PaperSize paper)
{
    if (first >= objects.size())
        return;
    if (!bounds || bounds->unitsPerInch == 0) {
        const Rect box = boxOf(objects, first);
        translateAll(objects, first, 0, box.bottom - box.top);
        scaleAll(objects, first, 1, -1);
    } else {
        translateAll(objects, first, -bounds->left, -bounds->top - float(bounds->bottom - bounds->top));
        const float unit = 72.0f / float(bounds->unitsPerInch);
        scaleAll(objects, first, unit, -unit);
        // Pens keep their weight relative to the picture.
        for (std::size_t i = first; i < objects.size(); ++i) {
            PaintStyle style = objects[i]->style();
            if (!style.isDashed()) {
                style.storeLineWidth(std::max(0.1f, style.lineWidth() * unit));
                objects[i]->setStyle(style);
            }
        }
    }
    const Rect box = boxOf(objects, first);
    translateAll(objects, first, float(paper.width / 2) - (box.left + box.right) / 2,
        float(paper.height / 2) - (box.bottom + box.top) / 2);
}

// The records of a Windows metafile (its 18-byte header first), placed by
// `bounds` when there is a placeable header (else null); new objects are
// appended to `target`.
MetafileImportResult importMetafile(
    std::span<const uint8_t> metafile, const PlaceableBounds* bounds, OwnedObjects& target, PaperSize paper)
{
    const std::size_t first = target.size();
    MetafileReader reader(target);
    if (!reader.play(metafile))
        return MetafileImportResult::NotMetafile;
    if (target.size() == first)
        return MetafileImportResult::NothingFound;
    placeImported(target, first, bounds, paper);
    return MetafileImportResult::Imported;
}

} // namespace

MetafileImportResult importMetafileBytes(std::span<const uint8_t> bytes, OwnedObjects& target, PaperSize paper)
{
    if (bytes.size() >= kPlaceableHeaderSize && Params(bytes.first(4)).dword(0) == kPlaceableKey) {
        const Params header(bytes.first(kPlaceableHeaderSize));
        PlaceableBounds bounds;
        bounds.left = header.s(3);
        bounds.top = header.s(4);
        bounds.right = header.s(5);
        bounds.bottom = header.s(6);
        bounds.unitsPerInch = header.u(7);
        return importMetafile(bytes.subspan(kPlaceableHeaderSize), &bounds, target, paper);
    }
    return importMetafile(bytes, nullptr, target, paper);
}

MetafileImportResult importMetafileFile(const std::string& path, OwnedObjects& target, PaperSize paper)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return MetafileImportResult::CannotRead;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return MetafileImportResult::CannotRead;
    return importMetafileBytes(bytes, target, paper);
}

} // namespace zavora
