#include "raster/MetafilePort.h"

#include "model/FontEntry.h"
#include "model/TextObject.h"
#include "platform/OutputStream.h"

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

int16_t extent(int32_t v)
{
    return int16_t(std::clamp<int32_t>(v, 0, 0x7fff));
}

} // namespace

MetafilePort::MetafilePort(OutputStream& stream)
    : m_stream(stream)
{ }

MetafilePort::~MetafilePort() = default;

bool MetafilePort::beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor)
{
    (void)downloadFonts, (void)monitor;
    const int32_t width = info.x1 - info.x0;
    const int32_t height = info.y1 - info.y0;
    const int16_t right = extent(info.landscape ? height : width);
    const int16_t bottom = extent(info.landscape ? width : height);
    const std::vector<uint8_t> header = placeableHeader(0, 0, right, bottom, 72);
    m_stream.write(header.data(), header.size());
    m_recorder = std::make_unique<MetafileDeviceContext>();
    m_recorder->setMapMode(kMapModeAnisotropic);
    m_recorder->setWindowOrg(0, 0);
    m_recorder->setWindowExt(right, bottom);
    // One unit per point, y downwards; a landscape page turns so the drawing
    // fills the swapped extents.
    Matrix toDevice;
    if (info.landscape)
        toDevice = { 0, 1, 1, 0, float(-info.y0), float(-info.x0) };
    else
        toDevice = { 1, 0, 0, -1, float(-info.x0), float(info.y1) };
    bind(*m_recorder, toDevice);
    return true;
}

void MetafilePort::endPage(ProgressMonitor* monitor)
{
    GdiPort::endPage(monitor);
    if (!m_recorder)
        return;
    std::vector<uint8_t> records = m_recorder->finish();
    m_stream.write(records.data(), records.size());
}

void MetafilePort::textBlock(const TextObject& object)
{
    OutputPort::textBlock(object);
}

void MetafilePort::text(const PaintStyle& style, const Matrix& matrix, const std::string& text,
    const FontEntry* font, float size, float leading, TextAlign align, const float box[4])
{
    if (!m_recorder || !font || text.empty() || !(size > 0))
        return;
    const auto [left, right, top] = textFrame(box);

    // The font turns with the object: the angle and length of its x unit
    // vector on the device (whose y runs down).
    const KMatrix m = deviceMatrix(matrix);
    const double angle = std::atan2(-m.b, m.a) * 180 / M_PI;
    const double scale = std::hypot(m.a, m.b);
    MetafileFont logical;
    logical.faceName = font->faceName();
    logical.height = int16_t(-std::clamp(std::lround(size * scale), 1L, 0x7fffL));
    logical.escapement = int16_t(std::lround(angle * 10));
    logical.weight = (font->styleBits() & FontEntry::kBold) ? 700 : 400;
    logical.italic = (font->styleBits() & FontEntry::kItalic) != 0;

    MetafileDeviceContext& recorder = *m_recorder;
    const MetafileFont previousFont = recorder.selectFont(logical);
    const ColorRef previousColor = recorder.setTextColor(gdiColor(style.textColor()));
    const BkMode previousMode = recorder.setBkMode(BkMode::Transparent);
    uint16_t alignFlags = kTextAlignBaseline;
    double x = left;
    if (align == TextAlign::Centre) {
        alignFlags |= kTextAlignCentre;
        x = (left + right) / 2;
    } else if (align == TextAlign::Right) {
        alignFlags |= kTextAlignRight;
        x = right;
    }
    const uint16_t previousAlign = recorder.setTextAlign(alignFlags);

    double baseline = top - font->ascent(size);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string::npos)
            stop = text.size();
        const Point anchor = transformPoint(m, { float(x), float(baseline) });
        recorder.textOut({ roundToDevice(anchor.x), roundToDevice(anchor.y) },
            std::string_view(text).substr(start, stop - start));
        baseline -= leading;
        start = stop + 1;
    }

    recorder.setTextAlign(previousAlign);
    recorder.setBkMode(previousMode);
    recorder.setTextColor(previousColor);
    recorder.selectFont(previousFont);
}

} // namespace zavora
