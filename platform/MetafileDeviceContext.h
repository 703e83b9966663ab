#pragma once
// MetafileDeviceContext: the device-context backend that records Windows
// metafile (16-bit) records instead of drawing. Attributes are written lazily:
// a figure first brings the recorded pen, brush and modes up to date, so the
// SaveDC stack of the base class never needs SaveDC records, and pens and
// brushes live in the object table only while selected.
//
// Coordinates are 16-bit in the format; larger values are clamped.

#include "platform/DeviceContext.h"
#include "platform/LittleEndianBytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zavora {

// The record functions (META_ values) the recorder and the reader share.
enum class WmfRecord : uint16_t {
    Eof = 0x0000,
    SaveDC = 0x001E,
    CreatePalette = 0x00F7,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SetRop2 = 0x0104,
    SetPolyFillMode = 0x0106,
    RestoreDC = 0x0127,
    SelectObject = 0x012D,
    SetTextAlign = 0x012E,
    DibCreatePatternBrush = 0x0142,
    DeleteObject = 0x01F0,
    CreatePatternBrush = 0x01F9,
    SetBkColor = 0x0201,
    SetTextColor = 0x0209,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    SetViewportOrg = 0x020D,
    SetViewportExt = 0x020E,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    Polygon = 0x0324,
    Polyline = 0x0325,
    Ellipse = 0x0418,
    Rectangle = 0x041B,
    SetPixel = 0x041F,
    TextOut = 0x0521,
    PolyPolygon = 0x0538,
    RoundRect = 0x061C,
    PatBlt = 0x061D,
    CreateRegion = 0x06FF,
    Arc = 0x0817,
    Pie = 0x081A,
    Chord = 0x0830,
    ExtTextOut = 0x0A32,
    StretchDib = 0x0F43,
};

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderSize = 22;
constexpr std::size_t kMetafileHeaderSize = 18;
constexpr int16_t kMapModeAnisotropic = 8;

// Text alignment flags (TA_ values).
constexpr uint16_t kTextAlignUpdateCp = 1;
constexpr uint16_t kTextAlignRight = 2;
constexpr uint16_t kTextAlignCentre = 6;
constexpr uint16_t kTextAlignBottom = 8;
constexpr uint16_t kTextAlignBaseline = 24;

// A logical font as CreateFontIndirect takes it.
struct MetafileFont {
    std::string faceName; // at most 31 bytes are written
    int16_t height = 0; // negative: the em height
    int16_t escapement = 0; // tenths of a degree, counter-clockwise
    int16_t weight = 400;
    bool italic = false;
    bool operator==(const MetafileFont&) const = default;
};

// The 22-byte placeable header with its checksum (the exclusive-or of the
// ten 16-bit words before it).
std::vector<uint8_t> placeableHeader(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t unitsPerInch);

class MetafileDeviceContext : public DeviceContext {
public:
    MetafileDeviceContext();

    // --- mapping and text, which only the metafile port needs -------------
    void setMapMode(int16_t mode);
    void setWindowOrg(int16_t x, int16_t y);
    void setWindowExt(int16_t x, int16_t y);
    // Selects the font for textOut; returns the previous one.
    MetafileFont selectFont(const MetafileFont& font);
    uint16_t setTextAlign(uint16_t flags);
    // One line of single-byte text at the reference point.
    void textOut(DcPoint point, std::string_view text);

    // Closes the metafile: the 18-byte header, the records, the end record.
    // Drawing afterwards starts nothing new.
    std::vector<uint8_t> finish();

    // --- DeviceContext ------------------------------------------------------
    void moveTo(DcPoint point) override;
    void lineTo(DcPoint point) override;
    void polyline(std::span<const DcPoint> points) override;
    void polygon(std::span<const DcPoint> points) override;
    void polyPolygon(std::span<const DcPoint> points, std::span<const int32_t> counts) override;
    void polyPolyline(std::span<const DcPoint> points, std::span<const int32_t> counts) override;
    void beginPath() override;
    void polyBezierTo(std::span<const DcPoint> points) override;
    void closeFigure() override;
    void endPath() override;
    void abortPath() override;
    void fillPath() override;
    void strokePath() override;
    void strokeAndFillPath() override;
    void setPixel(DcPoint point, ColorRef color) override;
    bool patBlt(int32_t x, int32_t y, int32_t width, int32_t height, RasterOp op) override;
    // A recorder has no pixels to copy from.
    bool bitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const DeviceContext& source,
        int32_t sourceX, int32_t sourceY, RasterOp op) override;
    bool stretchDIBits(int32_t x, int32_t y, int32_t width, int32_t height, const RgbImageView& image,
        int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight) override;

private:
    // One figure of a path bracket, flattened.
    struct Figure {
        std::vector<DcPoint> points;
        bool closed = false;
    };

    void beginRecord(WmfRecord function);
    void endRecord();
    void word(int32_t value);
    void dword(uint32_t value);
    void point(DcPoint p); // x, y order (point lists)
    void reversedPoint(DcPoint p); // y, x order (single-point records)

    // Object table: the lowest free slot, as the players allocate.
    uint16_t allocateSlot();
    void deleteSlot(uint16_t slot);
    // Selects the object just created in `slot` and deletes the one it replaces.
    void selectInPlaceOf(uint16_t slot, int& selectedSlot);
    void syncPen();
    void syncBrush();
    void syncModes(bool text);
    void syncPosition();
    void recordPolyline(std::span<const DcPoint> points);
    void recordPolygon(std::span<const DcPoint> points);
    void paintPath(bool fill, bool stroke);

    LittleEndianBytes m_records;
    std::size_t m_recordStart = 0;
    uint32_t m_maxRecordWords = 3;
    std::vector<bool> m_slots;

    // What the recorded metafile has selected (slot -1: nothing yet).
    int m_penSlot = -1;
    DcPen m_recordedPen;
    int m_brushSlot = -1;
    DcBrush m_recordedBrush;
    ColorRef m_brushText = 0, m_brushBack = 0; // the colours a pattern brush was made with
    int m_fontSlot = -1;
    MetafileFont m_font;
    MetafileFont m_recordedFont;
    uint16_t m_textAlign = 0;
    uint16_t m_recordedTextAlign = 0;
    DcState m_recorded;
    bool m_modesKnown = false;
    bool m_positionKnown = false;

    // A bracket being recorded, or ended and waiting to be painted.
    enum class PathState { None, Open, Closed } m_pathState = PathState::None;
    std::vector<Figure> m_path;
    bool m_finished = false;
};

} // namespace zavora
