#include "model/TextObject.h"

#include "model/FontEntry.h"
#include "model/FontLookup.h"
#include "model/GroupObject.h"
#include "model/ScreenPainter.h"
#include "model/TextLayout.h"
#include "model/TextPaintSinks.h"
#include "model/TextSinks.h"

#include "platform/Reporter.h"

#include <algorithm>
#include <set>

namespace zavora {

const std::vector<std::string_view>& preferredTextFontNames()
{
    static const std::vector<std::string_view> names { "Helvetica", "Times-Roman", "Courier", "ArialMT",
        "Arial-BoldMT", "Arial-BoldItalicMT", "Arial-ItalicMT", "TimesNewRomanPSMT", "TimesNewRomanPS-BoldMT",
        "TimesNewRomanPS-BoldItalicMT", "TimesNewRomanPS-ItalicMT", "CourierNewPSMT", "CourierNewPS-BoldMT",
        "CourierNewPS-BoldItalicMT", "CourierNewPS-ItalicMT", "Baskerville-Normal", "Bodoni-Normal",
        "Agate-Normal", "Eras-Normal", "GraphicLight", "Architect", "BlackChancery", "PostScrypt",
        "SaintFrancis" };
    return names;
}

const FontEntry* defaultTextFont(const FontLookup& catalogue)
{
    for (std::string_view name : preferredTextFontNames())
        if (const FontEntry* font = catalogue.find(name))
            return font;
    return catalogue.firstFont();
}

const FontEntry* defaultTextFont()
{
    const FontLookup* catalogue = FontLookup::current();
    return catalogue ? defaultTextFont(*catalogue) : nullptr;
}

const FontEntry* drawableFont(const FontEntry* font)
{
    if (!font || !font->metrics().metricsFailed)
        return font;
    const FontEntry* fallback = defaultTextFont();
    if (!fallback || fallback == font || fallback->metrics().metricsFailed)
        return font;
    // Reported by name: catalogues come and go, the name is what the user knows.
    static std::set<std::string> reported;
    if (reported.insert(font->postScriptName()).second)
        errorBox("Error: FreeType can't image selected font %s.", font->postScriptName().c_str());
    return fallback;
}

TextObject::TextObject(
    std::string_view text, const FontEntry* font, float size, float leading, TextAlign alignment)
    : m_leading(leading)
    , m_alignment(alignment)
    , m_frame(0, 0, kDefaultFrameSide, -kDefaultFrameSide)
    , m_runs { TextRun { std::string(text), font, size } }
{
    PaintStyle s = style();
    s.setFillColor(Color::black());
    setStyle(s);
    reflow();
}

std::unique_ptr<TextObject> TextObject::fromTextFile(std::string_view fileText)
{
    std::string text;
    text.reserve(fileText.size());
    for (std::size_t i = 0; i < fileText.size(); ++i) {
        if (fileText[i] == '\n' && i + 1 < fileText.size() && fileText[i + 1] == '\n') {
            text += "\r\r";
            ++i;
        } else {
            text += fileText[i];
        }
    }
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return std::make_unique<TextObject>(text, defaultTextFont(), 24, 26, TextAlign::Left);
}

std::vector<Point> TextObject::handlePoints() const
{
    const Point a = m_frame.corner1(), b = m_frame.corner2();
    std::vector<Point> out;
    appendMapped(out, { a.x, a.y });
    appendMapped(out, { a.x, b.y });
    appendMapped(out, { b.x, b.y });
    appendMapped(out, { b.x, a.y });
    return out;
}

void TextObject::drawOnScreen(ScreenPainter& painter, int mode) const
{
    painter.paintText([&](TextCanvas& canvas) {
        if (mode == kDrawFinal)
            TextDrawSink::instance().draw(*this, canvas);
        else
            TextBaselineSink::instance().draw(*this, canvas);
    });
}

void TextObject::emit(OutputPort& port) const
{
    port.textBlock(*this);
}

std::unique_ptr<DrawObject> TextObject::clone() const
{
    return std::make_unique<TextObject>(*this);
}

bool TextObject::containsPoint(float, float) const
{
    return false;
}

bool TextObject::nearestOutlinePoint(Point&, float, float&) const
{
    return false;
}

bool TextObject::touchesRect(float x1, float y1, float x2, float y2) const
{
    const Rect box = boundingBox();
    if (box.right < std::min(x1, x2) || box.left > std::max(x1, x2) || box.top < std::min(y1, y2)
        || box.bottom > std::max(y1, y2))
        return false;
    if (!font())
        return true;
    return TextOutlineHitSink::instance().hit(*this, { x1, y1, x2, y2 });
}

bool TextObject::linesContain(float x, float y) const
{
    return font() && TextInteriorHitSink::instance().hit(*this, { x, y });
}

bool TextObject::boxContains(float x, float y) const
{
    const Rect box = boundingBox();
    return x >= box.left && x <= box.right && y >= box.bottom && y <= box.top;
}

std::string TextObject::text() const
{
    std::string all;
    for (const TextRun& run : m_runs)
        all += run.text;
    return all;
}

void TextObject::setRuns(std::vector<TextRun> runs)
{
    if (runs.empty())
        runs.push_back(TextRun { std::string(), font(), size() });
    m_runs = std::move(runs);
    reflow();
}

void TextObject::setText(std::string text)
{
    m_runs.resize(1);
    m_runs.front().text = std::move(text);
    reflow();
}

void TextObject::setFontAndSize(const FontEntry* font, float size)
{
    m_runs.front().font = font;
    m_runs.front().size = size;
    reflow();
}

void TextObject::setLeading(float leading)
{
    m_leading = leading;
    reflow();
}

void TextObject::setAlignment(TextAlign alignment)
{
    m_alignment = alignment;
    reflow();
}

void TextObject::setFrame(Point corner1, Point corner2)
{
    m_frame.setCorners(corner1, corner2);
    reflow();
}

Rect TextObject::frameRect() const
{
    const Point a = m_frame.corner1(), b = m_frame.corner2();
    return { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y) };
}

void TextObject::reflow()
{
    invalidateBox();
    const TextRun& first = m_runs.front();
    if (!first.font)
        return;
    Rect frame = frameRect();
    breakRuns(m_runs, static_cast<double>(frame.right) - frame.left);
    const float ascent = static_cast<float>(first.font->ascent(first.size));
    const Rect measured = TextMetricsSink::instance().measure(*this, { frame.left, frame.top - ascent });
    if (measured.width() > frame.width())
        frame.right = frame.left + measured.width();
    frame.bottom = frame.top - measured.height();
    m_frame.setCorners({ frame.left, frame.top }, { frame.right, frame.bottom });
}

void TextObject::restoreText(
    std::vector<TextRun> runs, float leading, TextAlign alignment, Point corner1, Point corner2)
{
    if (!runs.empty())
        m_runs = std::move(runs);
    m_leading = leading;
    m_alignment = alignment;
    m_frame.setCorners(corner1, corner2);
    invalidateBox();
}

Rect TextObject::computeBox() const
{
    const Point a = m_frame.corner1(), b = m_frame.corner2();
    const Point points[] = { { a.x, a.y }, { a.x, b.y }, { b.x, b.y }, { b.x, a.y } };
    return boxOfPoints(points, 4);
}

void forEachTextObject(DrawObject& object, const std::function<void(TextObject&)>& f)
{
    if (object.type() == ObjectType::Text) {
        f(static_cast<TextObject&>(object));
    } else if (object.type() == ObjectType::Group) {
        for (const auto& child : static_cast<GroupObject&>(object).children())
            forEachTextObject(*child, f);
    }
}

void forEachTextObject(const DrawObject& object, const std::function<void(const TextObject&)>& f)
{
    if (object.type() == ObjectType::Text) {
        f(static_cast<const TextObject&>(object));
    } else if (object.type() == ObjectType::Group) {
        for (const auto& child : static_cast<const GroupObject&>(object).children())
            forEachTextObject(static_cast<const DrawObject&>(*child), f);
    }
}

} // namespace zavora
