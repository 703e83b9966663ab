#include "model/PaintStyle.h"

#include "model/CommandIds.h"

#include <array>

namespace zavora {

namespace {

constexpr int kDash0[] = { 10, 4 };
constexpr int kDash1[] = { 3, 3 };
constexpr int kDash2[] = { 10, 4, 3, 4 };
constexpr int kDash3[] = { 10, 4, 3, 4, 3, 4 };

constexpr std::array<std::span<const int>, kDashCount> kDashLengths = { kDash0, kDash1, kDash2, kDash3 };

constexpr std::array<const char*, kDashCount> kDashOperators = {
    "[10 4] 0 d",
    "[3 3] 0 d",
    "[10 4 3 4] 0 d",
    "[10 4 3 4 3 4] 0 d",
};

constexpr std::array<const char*, kPatternCount> kPatternNames = {
    "leftdiagonal",
    "rightdiagonal",
    "crossdiagonal",
    "horizontal",
    "vertical",
    "crosshatch",
    "fishscale",
    "wave",
    "brick",
};

constexpr std::array<Pen, kPenCount> kPens = { {
    { kCmdPen0, 0, 0.0f },
    { kCmdPen1, 1, 0.0f },
    { kCmdPen2, 2, 0.0f },
    { kCmdPen3, 3, 0.0f },
    { kCmdPen4, kSolidDash, 0.25f },
    { kCmdPen5, kSolidDash, 0.5f },
    { kCmdPen6, kSolidDash, 0.75f },
    { kCmdPen7, kSolidDash, 1.0f },
    { kCmdPen8, kSolidDash, 2.0f },
    { kCmdPen9, kSolidDash, 3.0f },
    { kCmdPen10, kSolidDash, 4.0f },
    { kCmdPen11, kSolidDash, 5.0f },
} };

StyleChange colorChange(StyleChange::Kind kind, ColorSlot slot, std::optional<Color> fixed)
{
    StyleChange change { kind };
    change.colorSlot = slot;
    change.fixedColor = fixed;
    return change;
}

StyleChange arrowChange(int first, int second)
{
    StyleChange change { StyleChange::Kind::Arrows };
    change.firstArrow = first;
    change.secondArrow = second;
    return change;
}

} // namespace

Color Color::fromInts(int red, int green, int blue)
{
    return { static_cast<float>(red & 0xff), static_cast<float>(green & 0xff),
        static_cast<float>(blue & 0xff) };
}

Cmyk toCmyk(const Color& color)
{
    return { (100 - color.red) / 100, (100 - color.green) / 100, (100 - color.blue) / 100, 0 };
}

bool isValidDashIndex(int dashIndex)
{
    return dashIndex >= 0 && dashIndex < kDashCount;
}

const char* dashOperator(int dashIndex)
{
    return isValidDashIndex(dashIndex) ? kDashOperators[dashIndex] : "[] 0 d";
}

std::span<const int> dashLengths(int dashIndex)
{
    return isValidDashIndex(dashIndex) ? kDashLengths[dashIndex] : std::span<const int> {};
}

bool isValidPattern(int pattern)
{
    return pattern >= 0 && pattern < kPatternCount;
}

const char* patternName(int pattern)
{
    return isValidPattern(pattern) ? kPatternNames[pattern] : nullptr;
}

bool isValidArrowCode(int code)
{
    return code >= kArrowNone && code <= kArrowSquare;
}

std::span<const Pen> pens()
{
    return kPens;
}

const Pen* penForCommand(int commandId)
{
    for (const Pen& pen : kPens)
        if (pen.commandId == commandId)
            return &pen;
    return nullptr;
}

void PaintStyle::setFillPattern(int pattern)
{
    m_fillPattern = pattern;
    m_fillOn = true;
}

void PaintStyle::setDash(int dashIndex)
{
    m_dashIndex = dashIndex;
    m_strokeOn = true;
}

void PaintStyle::setLineWidth(float width)
{
    m_lineWidth = width;
    m_dashIndex = kSolidDash;
    m_strokeOn = true;
}

void PaintStyle::setFillColor(const Color& color)
{
    m_fillColor = color;
    m_fillOn = true;
}

void PaintStyle::setTextColor(const Color& color)
{
    // The fill colour follows; whether the interior is filled stays as it was.
    m_textColor = color;
    m_fillColor = color;
}

void PaintStyle::setLineColor(const Color& color)
{
    m_lineColor = color;
    m_strokeOn = true;
}

void PaintStyle::setFillTransparent()
{
    m_fillOn = false;
    m_fillColor = Color::white();
    m_fillPattern = kNoPattern;
}

void PaintStyle::setLineInvisible()
{
    m_strokeOn = false;
    m_dashIndex = kSolidDash;
}

Color colorOf(const PaintStyle& style, ColorSlot slot)
{
    switch (slot) {
    case ColorSlot::Line:
        return style.lineColor();
    case ColorSlot::Fill:
        return style.fillColor();
    case ColorSlot::Text:
        return style.textColor();
    case ColorSlot::None:
        break;
    }
    return Color::black();
}

std::optional<StyleChange> styleChangeForCommand(int commandId)
{
    using Kind = StyleChange::Kind;
    if (const Pen* pen = penForCommand(commandId)) {
        if (pen->isDash()) {
            StyleChange change { Kind::Dash };
            change.index = pen->dashIndex;
            return change;
        }
        StyleChange change { Kind::LineWidth };
        change.width = pen->width;
        return change;
    }
    if (commandId >= kCmdPattern0 && commandId <= kCmdPattern8) {
        StyleChange change { Kind::FillPattern };
        change.index = commandId - kCmdPattern0;
        return change;
    }
    switch (commandId) {
    case kCmdLineInvisible:
        return StyleChange { Kind::LineInvisible };
    case kCmdLineBlack:
        return colorChange(Kind::LineColor, ColorSlot::Line, Color::black());
    case kCmdLineWhite:
        return colorChange(Kind::LineColor, ColorSlot::Line, Color::white());
    case kCmdLineColor:
        return colorChange(Kind::LineColor, ColorSlot::Line, std::nullopt);
    case kCmdFillTransparent:
        return StyleChange { Kind::FillTransparent };
    case kCmdFillBlack:
        return colorChange(Kind::FillColor, ColorSlot::Fill, Color::black());
    case kCmdFillWhite:
        return colorChange(Kind::FillColor, ColorSlot::Fill, Color::white());
    case kCmdFillColor:
        return colorChange(Kind::FillColor, ColorSlot::Fill, std::nullopt);
    case kCmdNoPattern: {
        StyleChange change { Kind::FillPattern };
        change.index = kNoPattern;
        return change;
    }
    case kCmdTextBlack:
        return colorChange(Kind::TextColor, ColorSlot::Text, Color::black());
    case kCmdTextWhite:
        return colorChange(Kind::TextColor, ColorSlot::Text, Color::white());
    case kCmdTextColor:
        return colorChange(Kind::TextColor, ColorSlot::Text, std::nullopt);
    case kCmdFirstNoArrow:
        return arrowChange(kArrowNone, kArrowUnchanged);
    case kCmdFirstSmallArrow:
        return arrowChange(kArrowSmall, kArrowUnchanged);
    case kCmdFirstBigArrow:
        return arrowChange(kArrowBig, kArrowUnchanged);
    case kCmdFirstFancyArrow:
        return arrowChange(kArrowFancy, kArrowUnchanged);
    case kCmdFirstCircle:
        return arrowChange(kArrowCircle, kArrowUnchanged);
    case kCmdFirstSquare:
        return arrowChange(kArrowSquare, kArrowUnchanged);
    case kCmdSecondNoArrow:
        return arrowChange(kArrowUnchanged, kArrowNone);
    case kCmdSecondSmallArrow:
        return arrowChange(kArrowUnchanged, kArrowSmall);
    case kCmdSecondBigArrow:
        return arrowChange(kArrowUnchanged, kArrowBig);
    case kCmdSecondFancyArrow:
        return arrowChange(kArrowUnchanged, kArrowFancy);
    case kCmdSecondCircle:
        return arrowChange(kArrowUnchanged, kArrowCircle);
    case kCmdSecondSquare:
        return arrowChange(kArrowUnchanged, kArrowSquare);
    case kCmdPickUpStyle:
        return StyleChange { Kind::PickUpStyle };
    case kCmdApplyDefaultStyle:
        return StyleChange { Kind::ApplyDefaultStyle };
    default:
        return std::nullopt;
    }
}

bool applyStyleChange(
    PaintStyle& style, const StyleChange& change, const Color* color, const PaintStyle* defaultStyle)
{
    using Kind = StyleChange::Kind;
    const Color* useColor = change.fixedColor ? &*change.fixedColor : color;
    switch (change.kind) {
    case Kind::LineInvisible:
        style.setLineInvisible();
        return true;
    case Kind::Dash:
        style.setDash(change.index);
        return true;
    case Kind::LineWidth:
        style.setLineWidth(change.width);
        return true;
    case Kind::FillTransparent:
        style.setFillTransparent();
        return true;
    case Kind::FillPattern:
        style.setFillPattern(change.index);
        return true;
    case Kind::LineColor:
    case Kind::FillColor:
    case Kind::TextColor:
        if (!useColor)
            return false;
        if (change.kind == Kind::LineColor)
            style.setLineColor(*useColor);
        else if (change.kind == Kind::FillColor)
            style.setFillColor(*useColor);
        else
            style.setTextColor(*useColor);
        return true;
    case Kind::ApplyDefaultStyle:
        if (!defaultStyle)
            return false;
        style = *defaultStyle;
        return true;
    case Kind::Arrows:
    case Kind::PickUpStyle:
        break;
    }
    return false;
}

bool applyStyleCommandToDefault(PaintStyle& defaultStyle, int commandId, const Color* chosen)
{
    using Kind = StyleChange::Kind;
    std::optional<StyleChange> change = styleChangeForCommand(commandId);
    if (!change)
        return false;
    const Color* color = change->fixedColor ? &*change->fixedColor : chosen;
    // The default takes a lighter update than the selection for these three.
    switch (change->kind) {
    case Kind::LineInvisible:
        defaultStyle.setStrokeOn(false);
        return true;
    case Kind::FillTransparent:
        defaultStyle.setFillOn(false);
        return true;
    case Kind::TextColor:
        if (!color)
            return false;
        defaultStyle.storeTextColor(*color);
        return true;
    case Kind::Arrows:
    case Kind::PickUpStyle:
    case Kind::ApplyDefaultStyle:
        return false;
    default:
        return applyStyleChange(defaultStyle, *change, chosen);
    }
}

} // namespace zavora
