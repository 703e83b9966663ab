#pragma once
// TrueType to a Type 3 font program: every glyph becomes a procedure that
// draws its outline with cubic curves in a 1000-unit em, for interpreters
// without a Type 42 rasteriser. Composite glyphs call their components.

#include "fonts/TrueTypeConverter.h"

#include <array>

namespace zavora {

class Type3Converter : public TrueTypeConverter {
public:
    using TrueTypeConverter::TrueTypeConverter;

    // Glyphs with more points than this are drawn by a chain of small
    // procedures, none costing more than kMaxProcedureCost, for interpreters
    // with small procedure limits.
    static constexpr int kSplitPoints = 25;
    static constexpr int kMaxProcedureCost = 100;

protected:
    bool writeFont() override;
    MessageStyle messageStyle() const override { return MessageStyle::Anonymous; }

private:
    struct Point {
        int x = 0, y = 0;
        bool onCurve = true;
    };
    struct Outline {
        std::vector<int> endPoints;
        std::vector<Point> points; // scaled to 1000 units
    };
    struct Component {
        int glyph = 0;
        bool offsets = true; // the arguments are x and y offsets (else point numbers)
        int arg1 = 0, arg2 = 0;
        std::array<double, 4> matrix { 1, 0, 0, 1 }; // xx, xy, yx, yy as a PostScript matrix
        bool transformed = false;
        bool scaledOffset = false;
        bool closesCycle = false; // drawing it would make a glyph draw itself
    };
    // The operators whose cost counts towards splitting a procedure.
    enum class Operator { SetCache, MoveTo, LineTo, CurveTo, Fill };

    void writeHeader();
    void writeGlyph(int glyph);
    std::span<const std::uint8_t> glyphData(int glyph) const;
    bool parseOutline(const BigEndianBytes& data, int contours, Outline& outline) const;
    std::vector<int> contourOrder(const Outline& outline) const;
    void writeContour(const Outline& outline, int contour);
    void writeCurves(Point from, const std::vector<Point>& offCurve, Point to);
    std::vector<Component> components(int glyph) const;
    void writeComposite(int glyph);
    // Every glyph's components, read once per font, with the ones that
    // close a cycle marked.
    void readComponents();

    void writeOperator(Operator op, const char* format, ...) __attribute__((format(printf, 3, 4)));

    BigEndianBytes m_loca, m_glyf, m_hmtx;
    int m_numberOfHMetrics = 0;
    bool m_splitting = false;
    int m_procedureCost = 0;
    std::vector<std::vector<Component>> m_components; // by glyph
};

} // namespace zavora
