#pragma once
// How an object is stroked, filled and how its text is coloured; the paint
// menu commands and the default-style updates they make.

#include <optional>
#include <span>

namespace zavora {

// Colour components in percent of full intensity (black 0,0,0; white 100,100,100).
struct Color {
    float red = 0;
    float green = 0;
    float blue = 0;

    bool operator==(const Color&) const = default;

    // Each integer is masked to 0..255 (so 256 becomes 0) before it becomes a percentage.
    static Color fromInts(int red, int green, int blue);
    static Color black() { return { 0, 0, 0 }; }
    static Color white() { return { 100, 100, 100 }; }
};

// Fractions 0..1 for the outputs that paint in CMYK; K is always 0.
struct Cmyk {
    float cyan = 0;
    float magenta = 0;
    float yellow = 0;
    float black = 0;
    bool operator==(const Cmyk&) const = default;
};

Cmyk toCmyk(const Color& color);

// Dash index -1 is a solid line of the style's width; 0..3 are 1-point dashed lines.
constexpr int kSolidDash = -1;
constexpr int kDashCount = 4;
bool isValidDashIndex(int dashIndex);
// The PostScript setdash text ("[] 0 d", "[10 4] 0 d", ...); anything out of range is solid.
const char* dashOperator(int dashIndex);
// The on/off lengths in points (empty for solid or out of range).
std::span<const int> dashLengths(int dashIndex);

// Hatch patterns 0..8 drawn in black over the fill colour; -1 is none.
constexpr int kNoPattern = -1;
constexpr int kPatternCount = 9;
bool isValidPattern(int pattern);
// "leftdiagonal" ... "brick"; nullptr out of range.
const char* patternName(int pattern);

// Arrowhead codes of an open outline's ends. 0 and 1 are drawable shapes that no command makes.
constexpr int kArrowNone = -1;
constexpr int kArrowFancy = 2;
constexpr int kArrowSmall = 3;
constexpr int kArrowBig = 4;
constexpr int kArrowCircle = 5;
constexpr int kArrowSquare = 6;
bool isValidArrowCode(int code);

// The twelve pens of the Line menu: Pen 0..3 set a dash index, Pen 4..11 a width.
struct Pen {
    int commandId;
    int dashIndex; // kSolidDash for the width pens
    float width; // 0 for the dash pens
    bool isDash() const { return dashIndex != kSolidDash; }
};
constexpr int kPenCount = 12;
std::span<const Pen> pens();
const Pen* penForCommand(int commandId);

// The fourteen-word paint record, copied by value and never shared.
class PaintStyle {
public:
    PaintStyle() = default;
    bool operator==(const PaintStyle&) const = default;

    float lineWidth() const { return m_lineWidth; }
    bool strokeOn() const { return m_strokeOn; }
    bool fillOn() const { return m_fillOn; }
    const Color& lineColor() const { return m_lineColor; }
    const Color& fillColor() const { return m_fillColor; }
    const Color& textColor() const { return m_textColor; }
    int fillPattern() const { return m_fillPattern; }
    int dashIndex() const { return m_dashIndex; }

    // True for dash indices 0..3; anything else strokes solid.
    bool isDashed() const { return isValidDashIndex(m_dashIndex); }
    // The width the outline is stroked with: 1 point when dashed. Arrowheads scale by it too.
    float strokeWidth() const { return isDashed() ? 1.0f : m_lineWidth; }
    bool hasPattern() const { return isValidPattern(m_fillPattern); }

    // The style commands, with their side effects on the other fields.
    void setFillPattern(int pattern); // fill on
    void setDash(int dashIndex); // stroke on; the width field is kept
    void setLineWidth(float width); // solid, stroke on
    void setFillColor(const Color& color); // fill on
    void setTextColor(const Color& color); // also the fill colour; fill on unchanged
    void setLineColor(const Color& color); // stroke on
    void setFillTransparent(); // fill off, white fill colour, no pattern
    void setLineInvisible(); // stroke off, solid

    // Plain field stores without side effects, for readers that rebuild a record.
    void setStrokeOn(bool on) { m_strokeOn = on; }
    void setFillOn(bool on) { m_fillOn = on; }
    void storeLineWidth(float width) { m_lineWidth = width; }
    void storeDashIndex(int dashIndex) { m_dashIndex = dashIndex; }
    void storeFillPattern(int pattern) { m_fillPattern = pattern; }
    void storeLineColor(const Color& color) { m_lineColor = color; }
    void storeFillColor(const Color& color) { m_fillColor = color; }
    void storeTextColor(const Color& color) { m_textColor = color; }

private:
    float m_lineWidth = 1.0f;
    bool m_strokeOn = true;
    bool m_fillOn = false;
    Color m_lineColor = Color::black();
    Color m_fillColor = Color::white();
    Color m_textColor = Color::black();
    int m_fillPattern = kNoPattern;
    int m_dashIndex = kSolidDash;
};

// Which colour of a style a colour command edits (and presets its dialog with).
enum class ColorSlot { None, Line, Fill, Text };
Color colorOf(const PaintStyle& style, ColorSlot slot);

// Arrow argument that leaves that end of the object as it is.
constexpr int kArrowUnchanged = -2;

// What a paint command does to each selected object.
struct StyleChange {
    enum class Kind {
        LineInvisible,
        LineColor,
        Dash,
        LineWidth,
        FillTransparent,
        FillColor,
        FillPattern,
        TextColor,
        Arrows, // not undoable: changes the objects directly and empties both undo stacks
        PickUpStyle, // changes only the default style (from the first selected object)
        ApplyDefaultStyle, // set style to the whole default record
    };

    explicit StyleChange(Kind kind)
        : kind(kind)
    { }

    Kind kind;
    ColorSlot colorSlot = ColorSlot::None;
    // For colour commands: the fixed colour, or nothing when the colour dialog chooses it.
    std::optional<Color> fixedColor;
    int index = 0; // dash index or pattern
    float width = 0; // LineWidth
    int firstArrow = kArrowUnchanged;
    int secondArrow = kArrowUnchanged;

    bool needsColorDialog() const { return colorSlot != ColorSlot::None && !fixedColor; }
    bool isUndoable() const { return kind != Kind::Arrows && kind != Kind::PickUpStyle; }
};

// The selection change of a paint command id; nothing for other ids.
std::optional<StyleChange> styleChangeForCommand(int commandId);

// Applies a style-record change (every kind but Arrows and PickUpStyle) to a style.
// `color` is used by the colour kinds when the change has no fixed colour;
// `defaultStyle` by ApplyDefaultStyle. Returns false when nothing applies.
bool applyStyleChange(PaintStyle& style, const StyleChange& change, const Color* color = nullptr,
    const PaintStyle* defaultStyle = nullptr);

// Updates the default style as a paint menu command does. `chosen` is the
// dialog's colour for the "Color..." commands (nothing changes without it).
// Returns false, changing nothing, for a colour command without a chosen
// colour and for ids that leave the default alone: arrowheads, apply default
// style, and pick up style (the caller copies the first selected object's style).
bool applyStyleCommandToDefault(PaintStyle& defaultStyle, int commandId, const Color* chosen = nullptr);

} // namespace zavora
