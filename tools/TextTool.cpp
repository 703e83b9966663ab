#include "tools/TextTool.h"

#include "model/FontEntry.h"
#include "model/ShapeObjects.h"
#include "model/TextPaintSinks.h"
#include "model/TextSinks.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"
#include "raster/ScreenCanvas.h"
#include "tools/ToolView.h"

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

// A click within this many pixels of a text's box opens it.
constexpr float kTextReach = 4;
// A box dragged smaller than this takes the default side.
constexpr float kNarrowestBox = 2;
constexpr float kLowestBox = 9;
// The overlay reaches this many pixels past the text's box: the caret and
// the box's outline stand on its edges.
constexpr int kOverlayPad = 5;

const char* const kPrompt = "Text: Key in text";

bool isBreak(char c)
{
    return c == '\r' || c == '\n';
}

bool isWordCharacter(char c)
{
    return c != ' ' && !isBreak(c);
}

// Top-left and bottom-right of two corners in any order.
std::pair<Point, Point> ordered(Point a, Point b)
{
    return { { std::min(a.x, b.x), std::max(a.y, b.y) }, { std::max(a.x, b.x), std::min(a.y, b.y) } };
}

} // namespace

TextTool::TextTool(ToolView& view)
    : Tool(view)
{
    drawing().addObserver(this);
}

TextTool::~TextTool()
{
    drawing().removeObserver(this);
}

TextObject* TextTool::editedText() const
{
    if (m_state == Typing)
        return m_creating.get();
    if (m_state == Editing)
        return m_object;
    return nullptr;
}

std::pair<std::size_t, std::size_t> TextTool::selection() const
{
    return { std::min(m_anchor, m_caret), std::max(m_anchor, m_caret) };
}

void TextTool::clearState()
{
    m_state = Idle;
    m_creating.reset();
    m_object = nullptr;
    m_caret = m_anchor = 0;
    m_dragSelecting = false;
    m_rubberShown = false;
    m_runsBefore.clear();
}

void TextTool::attach(DrawObject& object)
{
    if (editing())
        return; // the selection tool is not current while text is edited
    m_object = static_cast<TextObject*>(&object);
    m_state = Attached;
}

void TextTool::activate()
{
    if (m_state == Attached)
        clearState();
    m_caret = m_anchor = 0;
    m_view.setCursorShape(kCursorText);
    setStatus("Text: Click and drag a new text box (or click existing text)");
}

int TextTool::hitHandle(float x, float y)
{
    if (!m_object || (m_state != Attached && m_state != Reframing))
        return -1;
    const Rect frame = m_object->frameRect();
    const Point corners[4]
        = { { frame.left, frame.top }, { frame.right, frame.top }, { frame.right, frame.bottom },
              { frame.left, frame.bottom } };
    const Point pointer = m_view.toWindow(x, y);
    for (int i = 0; i < 4; ++i)
        if (onHandle(pointer, *m_object, corners[i]))
            return i;
    return -1;
}

std::size_t TextTool::charAt(Point p) const
{
    const TextObject* text = editedText();
    return text ? CharFromPointSink::instance().charAt(*text, p) : 0;
}

void TextTool::placeCaret(Point p)
{
    m_caret = m_anchor = std::min(charAt(p), editedText()->text().size());
}

void TextTool::keepStateBefore()
{
    m_runsBefore = m_object->runs();
    m_corner1Before = m_object->frame().corner1();
    m_corner2Before = m_object->frame().corner2();
}

void TextTool::startEditing(TextObject& text)
{
    m_object = &text;
    keepStateBefore();
    m_state = Editing;
    m_caretShown = true;
    Drawing& d = drawing();
    d.clearSelection();
    d.notifySelectionChanged();
}

void TextTool::editExisting(TextObject& text, Point at)
{
    if (editing())
        finishEditing();
    startEditing(text);
    placeCaret(at);
    m_view.setCursorShape(kCursorText);
    setStatus("%s", kPrompt);
    m_view.repaintArea(Rect(), 0);
}

void TextTool::mouseDown(float x, float y, bool)
{
    const Point p { x, y };
    m_dragSelecting = false;
    if (m_state == Attached) {
        m_handle = hitHandle(x, y);
        if (m_handle < 0) {
            m_state = Idle;
            m_object = nullptr;
            return;
        }
        keepStateBefore();
        m_boxBefore = m_object->boundingBox();
        const Rect frame = m_object->frameRect();
        m_press = { frame.left, frame.top };
        m_corner = { frame.right, frame.bottom };
        m_state = Reframing;
        toggleRubberBand();
        return;
    }
    if (m_state != Idle && !editing())
        return;

    // A text whose box is within reach of the pointer, from the top down.
    const float reach = pixels(kTextReach);
    TextObject* found = nullptr;
    const auto& objects = drawing().objects();
    for (auto it = objects.rbegin(); it != objects.rend() && !found; ++it) {
        DrawObject& object = **it;
        if (object.type() != ObjectType::Text || object.isLocked() || object.isHidden())
            continue;
        auto& text = static_cast<TextObject&>(object);
        for (const Point probe : { p, Point { x - reach, y }, Point { x + reach, y }, Point { x, y - reach },
                 Point { x, y + reach } }) {
            if (text.boxContains(probe.x, probe.y)) {
                found = &text;
                break;
            }
        }
    }

    if (editing()) {
        TextObject* current = editedText();
        if (!found || found == current) {
            // The caret moves; a drag from here selects.
            const Rect before = caretBox();
            placeCaret(p);
            m_dragSelecting = true;
            m_caretShown = true;
            m_view.repaintArea(unionRect(before, caretBox()), kOverlayPad);
            return;
        }
        finishEditing();
        activate();
    }
    if (found) {
        m_object = found;
        m_state = Pressed;
        return;
    }
    m_press = m_corner = snap(p);
    m_state = Sizing;
    m_view.setCursorShape(kCursorGesture);
}

void TextTool::mouseDrag(float x, float y, bool shift)
{
    const Point p { x, y };
    if (editing() && m_dragSelecting) {
        const Rect before = overlayBox();
        m_caret = std::min(charAt(p), editedText()->text().size());
        m_view.repaintArea(unionRect(before, overlayBox()), kOverlayPad);
        return;
    }
    if (m_state != Sizing && m_state != Reframing)
        return;
    toggleRubberBand();
    if (m_state == Sizing) {
        Point q = snap(p);
        if (shift) {
            // Squared: the longer side wins, towards the pointer.
            const float side = std::max(std::fabs(q.x - m_press.x), std::fabs(q.y - m_press.y));
            q = { m_press.x + (q.x < m_press.x ? -side : side), m_press.y + (q.y < m_press.y ? -side : side) };
            setStatus("Text: Square: %.0f", side);
        } else {
            setStatus("Text: Rectangle: %.0fx%.0f", std::fabs(q.x - m_press.x), std::fabs(q.y - m_press.y));
        }
        m_corner = q;
    } else {
        const Point o = transformPoint(invert(KMatrix(m_object->matrix())), snap(p));
        moveBoxCorner(m_press, m_corner, m_handle, o);
        setStatus("Text: Rectangle: %.0fx%.0f", std::fabs(m_corner.x - m_press.x), std::fabs(m_corner.y - m_press.y));
    }
    toggleRubberBand();
}

void TextTool::mouseUp(float x, float y, bool)
{
    const Point p { x, y };
    switch (m_state) {
    case Sizing: {
        toggleRubberBand();
        const bool landscape = drawing().isLandscape();
        const float dx = std::fabs(m_corner.x - m_press.x), dy = std::fabs(m_corner.y - m_press.y);
        // The page is shown turned in landscape: the box's width runs along y.
        float width = landscape ? dy : dx;
        float height = landscape ? dx : dy;
        if (width < kNarrowestBox)
            width = TextObject::kDefaultFrameSide;
        if (height < kLowestBox)
            height = TextObject::kDefaultFrameSide;
        const Point origin { std::min(m_press.x, m_corner.x),
            landscape ? std::min(m_press.y, m_corner.y) : std::max(m_press.y, m_corner.y) };
        const NewTextFont font = m_view.newTextFont();
        m_creating = std::make_unique<TextObject>("", font.font, font.size, font.size * 13 / 12, TextAlign::Left);
        PaintStyle style = m_creating->style();
        style.setTextColor(drawing().defaultStyle().textColor());
        m_creating->setStyle(style);
        m_creating->setFrame(origin, { origin.x + width, origin.y - height });
        if (landscape)
            m_creating->rotate(origin.x, origin.y, 90);
        m_state = Typing;
        m_caret = m_anchor = 0;
        m_caretShown = true;
        m_view.setCursorShape(kCursorText);
        drawing().clearSelection();
        drawing().notifySelectionChanged();
        showCaret(overlayBox());
        return;
    }
    case Reframing: {
        toggleRubberBand();
        m_state = Idle;
        const auto [c1, c2] = ordered(m_press, m_corner);
        m_object->setFrame(c1, c2);
        Drawing& d = drawing();
        d.history().push(std::make_unique<TextFrameCommand>(
            d, *m_object, std::move(m_runsBefore), m_corner1Before, m_corner2Before));
        d.markEdited();
        m_view.repaintArea(
            m_view.previewMode() ? unionRect(m_boxBefore, m_object->boundingBox()) : Rect(), 3);
        m_object = nullptr;
        return;
    }
    case Pressed:
        startEditing(*m_object);
        placeCaret(p);
        m_view.repaintArea(Rect(), 0);
        showCaret(overlayBox());
        return;
    case Typing:
    case Editing:
        m_dragSelecting = false;
        showCaret(overlayBox());
        return;
    default:
        return;
    }
}

void TextTool::doubleClick(float x, float y, bool)
{
    TextObject* text = editedText();
    if (!text)
        return;
    const std::string s = text->text();
    std::size_t first = std::min(charAt({ x, y }), s.size());
    std::size_t last = first;
    while (first > 0 && isWordCharacter(s[first - 1]))
        --first;
    while (last < s.size() && isWordCharacter(s[last]))
        ++last;
    const Rect before = overlayBox();
    m_anchor = first;
    m_caret = last;
    m_dragSelecting = false;
    m_view.repaintArea(unionRect(before, overlayBox()), kOverlayPad);
}

void TextTool::erase(std::size_t first, std::size_t last)
{
    TextObject& text = *editedText();
    std::string s = text.text();
    last = std::min(last, s.size());
    if (first < last) {
        s.erase(first, last - first);
        text.setText(std::move(s));
    }
    m_caret = m_anchor = std::min(first, text.text().size());
}

void TextTool::applyKey(int key)
{
    TextObject& text = *editedText();
    std::string s = text.text();
    const std::size_t length = s.size();
    std::size_t& c = m_caret;
    switch (key) {
    case kKeyEnd:
        c = length;
        break;
    case kKeyHome:
        c = 0;
        break;
    case kKeyLeft:
        c = c > 0 ? c - 1 : 0;
        break;
    case kKeyUp:
        if (c > 0)
            --c;
        while (c > 0 && !isBreak(s[c]))
            --c;
        break;
    case kKeyRight:
        c = std::min(c + 1, length);
        break;
    case kKeyDown:
        while (c < length && !isBreak(s[c]))
            ++c;
        if (c < length)
            ++c;
        break;
    case kKeyDelete:
        if (c < length)
            erase(c, c + 1);
        break;
    case kKeyBackspace:
        if (c > 0)
            erase(c - 1, c);
        break;
    default:
        if (key == kKeyEnter || (key >= 32 && key <= 255)) {
            s.insert(s.begin() + std::ptrdiff_t(c), static_cast<char>(key));
            text.setText(std::move(s));
            ++c;
        }
        break;
    }
}

void TextTool::keyDown(int key, bool shiftHeld)
{
    if (!editedText() || key == kKeyNone)
        return;
    const Rect before = overlayBox();
    const bool navigation = key >= kKeyEnd && key <= kKeyDown;
    bool done = false;
    if (!shiftHeld && m_anchor != m_caret) {
        const auto [first, last] = selection();
        if (navigation) {
            m_caret = key == kKeyLeft || key == kKeyUp || key == kKeyHome ? first : last;
            if (key == kKeyLeft || key == kKeyRight)
                done = true; // the arrows end at the selection's edge
        } else {
            erase(first, last);
            done = key == kKeyDelete || key == kKeyBackspace;
        }
        m_anchor = m_caret;
    }
    if (!done)
        applyKey(key);
    if (!(shiftHeld && navigation))
        m_anchor = m_caret;
    showCaret(before);
}

void TextTool::showCaret(const Rect& before)
{
    m_caretShown = true;
    textChanged(before);
    setStatus("%s", kPrompt);
}

void TextTool::textChanged(const Rect& before)
{
    m_view.repaintArea(unionRect(before, overlayBox()), kOverlayPad);
}

std::string TextTool::selectedCharacters() const
{
    const TextObject* text = editedText();
    if (!text)
        return {};
    const auto [first, last] = selection();
    std::string s = text->text().substr(first, last - first);
    // Soft breaks are spaces the layout chose to break at.
    std::replace(s.begin(), s.end(), '\n', ' ');
    return s;
}

void TextTool::selectAll()
{
    TextObject* text = editedText();
    if (!text)
        return;
    const Rect before = overlayBox();
    m_anchor = 0;
    m_caret = text->text().size();
    textChanged(before);
}

void TextTool::insertCharacters(std::string_view characters)
{
    TextObject* text = editedText();
    if (!text)
        return;
    const Rect before = overlayBox();
    const auto [first, last] = selection();
    erase(first, last);
    std::string s = text->text();
    std::string added;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const char c = characters[i];
        if (c == '\r' && i + 1 < characters.size() && characters[i + 1] == '\n')
            continue; // CR LF is one break
        if (c == '\n' || c == '\r')
            added += '\r';
        else if (static_cast<unsigned char>(c) >= 32 || c == '\t')
            added += c == '\t' ? ' ' : c;
    }
    s.insert(m_caret, added);
    text->setText(std::move(s));
    m_caret = m_anchor = std::min(m_caret + added.size(), text->text().size());
    m_caretShown = true;
    textChanged(before);
}

void TextTool::takeTextColor(const Color& color)
{
    TextObject* text = editedText();
    if (!text)
        return;
    if (m_state == Typing) {
        text->setTextColor(color);
    } else {
        Drawing& d = drawing();
        d.history().execute(std::make_unique<TextColorCommand>(d, ObjectRefs { text }, color));
    }
    textChanged(overlayBox());
}

void TextTool::blink()
{
    if (!editing())
        return;
    m_caretShown = !m_caretShown;
    m_view.repaintArea(caretBox(), 2);
}

std::pair<Point, Point> TextTool::caretSegment() const
{
    const TextObject& text = *editedText();
    PointFromCharSink& sink = PointFromCharSink::instance();
    sink.pointAt(text, m_caret);
    const Point foot = sink.objectPoint();
    const FontEntry* font = drawableFont(text.font());
    const float ascent = font ? float(font->ascent(text.size())) : text.size();
    const float descent = font ? float(font->descent(text.size())) : 0;
    const KMatrix m(text.matrix());
    return { transformPoint(m, { foot.x, foot.y + descent }), transformPoint(m, { foot.x, foot.y + ascent }) };
}

Rect TextTool::caretBox() const
{
    if (!editedText())
        return Rect();
    const auto [a, b] = caretSegment();
    return { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y) };
}

Rect TextTool::overlayBox() const
{
    const TextObject* text = editedText();
    if (!text)
        return Rect();
    return unionRect(text->boundingBox(), caretBox());
}

void TextTool::drawOverlay()
{
    const TextObject* text = editedText();
    if (!text)
        return;
    ScreenCanvas& canvas = m_view.canvas();
    const DrawTarget target = canvas.target();
    canvas.setTarget(DrawTarget::Direct);
    // A new text is not in the drawing yet: it is drawn here. Wireframe
    // shows text as its baselines; the text being edited is drawn in full
    // over them, or the user would type blind.
    if (m_state == Typing || !m_view.previewMode())
        canvas.drawObject(*text, kDrawFinal);

    // The box, dotted, so the user sees where the lines will wrap.
    const KMatrix m(text->matrix());
    const Rect frame = text->frameRect();
    const Point corners[4] = { { frame.left, frame.top }, { frame.right, frame.top },
        { frame.right, frame.bottom }, { frame.left, frame.bottom } };
    DcPoint outline[5];
    for (int i = 0; i < 5; ++i) {
        const Point d = transformPoint(m, corners[i % 4]);
        const Point w = m_view.toWindow(d.x, d.y);
        outline[i] = { roundToDevice(w.x), roundToDevice(w.y) };
    }
    const int32_t counts[1] = { 5 };
    canvas.polylines(outline, counts, Color { 50, 50, 50 }, 1, 1);

    canvas.setTarget(DrawTarget::Inverted);
    if (m_anchor != m_caret) {
        const std::pair<std::size_t, std::size_t> range = selection();
        StateSaver saver;
        kernel().setCtm(canvas.viewMatrix());
        canvas.paintText(
            [&](TextCanvas& c) { TextRangeHighlightSink::instance().highlight(*text, c, range.first, range.second); });
    } else if (m_caretShown) {
        const auto [a, b] = caretSegment();
        const Point wa = m_view.toWindow(a.x, a.y), wb = m_view.toWindow(b.x, b.y);
        const DcPoint caret[2] = { { roundToDevice(wa.x), roundToDevice(wa.y) },
            { roundToDevice(wb.x), roundToDevice(wb.y) } };
        const int32_t caretCount[1] = { 2 };
        canvas.polylines(caret, caretCount, Color {}, 2, kSolidDash);
    }
    canvas.setTarget(target);
}

void TextTool::toggleRubberBand()
{
    const bool reframing = m_state == Reframing;
    RectangleObject band(m_press.x, m_press.y, m_corner.x, m_corner.y);
    if (reframing)
        band.setMatrix(m_object->matrix());
    ScreenCanvas& canvas = m_view.canvas();
    const DrawTarget target = canvas.target();
    canvas.setTarget(DrawTarget::Inverted);
    canvas.drawObject(band, kDrawOutline);
    canvas.setTarget(target);
    m_rubberShown = !m_rubberShown;
}

bool TextTool::hasPendingStep() const
{
    if (m_state == Typing)
        return m_creating && !m_creating->text().empty();
    if (m_state != Editing || !m_object)
        return false;
    return m_object->runs() != m_runsBefore || m_object->frame().corner1() != m_corner1Before
        || m_object->frame().corner2() != m_corner2Before;
}

void TextTool::finishEditing()
{
    Drawing& d = drawing();
    DrawObject* result = nullptr;
    if (m_state == Typing) {
        std::unique_ptr<TextObject> text = std::move(m_creating);
        if (text && !text->text().empty()) {
            auto command = std::make_unique<AddObjectCommand>(d, std::move(text));
            result = command->object();
            d.history().execute(std::move(command));
        }
    } else if (m_state == Editing && m_object) {
        // Only a session that changed something is a step.
        if (hasPendingStep()) {
            d.history().push(std::make_unique<TextEditCommand>(
                d, *m_object, std::move(m_runsBefore), m_corner1Before, m_corner2Before));
            d.markEdited();
        }
        result = m_object;
    }
    clearState();
    if (result) {
        d.setSelection({ result });
        d.notifySelectionChanged();
    }
    m_view.repaintArea(Rect(), 0);
    m_view.redrawStatus();
}

void TextTool::deactivate()
{
    if (m_rubberShown)
        toggleRubberBand();
    if (editing())
        finishEditing();
    else
        clearState();
    m_view.redrawStatus();
}

void TextTool::objectsRemoved()
{
    if (m_object && !drawing().indexOf(m_object)) {
        // The text went (an undo while editing): nothing is left to record.
        const bool shown = editing() || m_rubberShown;
        m_rubberShown = false;
        clearState();
        if (shown)
            m_view.repaintArea(Rect(), 0);
    }
}

} // namespace zavora
