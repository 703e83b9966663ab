#include "model/UndoCommand.h"

#include "model/GroupObject.h"

#include <algorithm>
#include <unordered_map>

namespace zavora {

namespace {

// Calls f for the object and every member at any depth, containers before their members.
template <class F> void forEachDeep(DrawObject& object, F&& f)
{
    f(object);
    if (const OwnedObjects* children = childrenOf(object))
        for (const auto& child : *children)
            forEachDeep(*child, f);
}

} // namespace

// --- DeleteCommand -----------------------------------------------------------

DeleteCommand::DeleteCommand(Drawing& drawing, ObjectRefs objects)
    : UndoCommand(drawing)
    , m_objects(std::move(objects))
{ }

void DeleteCommand::execute()
{
    m_removed = m_drawing.takeObjects(m_objects);
    m_drawing.deselectAll();
    m_drawing.markEdited();
}

void DeleteCommand::undo()
{
    m_drawing.restoreObjects(std::exchange(m_removed, {}));
}

void CutCommand::undo()
{
    DeleteCommand::undo();
    m_drawing.setSelection(objects());
    m_drawing.notifySelectionChanged();
}

// --- AddObjectCommand ------------------------------------------------------

AddObjectCommand::AddObjectCommand(Drawing& drawing, std::unique_ptr<DrawObject> object)
    : UndoCommand(drawing)
    , m_object(object.get())
    , m_owned(std::move(object))
{ }

void AddObjectCommand::execute()
{
    if (!m_owned)
        return;
    m_drawing.append(std::move(m_owned));
    m_drawing.markEdited();
}

void AddObjectCommand::undo()
{
    if (m_owned)
        return;
    m_owned = m_drawing.take(m_object);
    m_drawing.deselectAll();
}

// --- AddObjectsCommand -----------------------------------------------------

AddObjectsCommand::AddObjectsCommand(Drawing& drawing, OwnedObjects objects)
    : UndoCommand(drawing)
{
    for (auto& object : objects) {
        if (!object)
            continue;
        m_objects.push_back(object.get());
        m_owned.push_back(std::move(object));
    }
}

void AddObjectsCommand::execute()
{
    if (m_owned.empty())
        return;
    m_selectionBefore = m_drawing.selection();
    for (auto& object : m_owned)
        m_drawing.append(std::move(object));
    m_owned.clear();
    m_drawing.setSelection(m_objects);
    m_drawing.markEdited();
    m_drawing.notifySelectionChanged();
}

void AddObjectsCommand::undo()
{
    if (!m_owned.empty())
        return;
    std::vector<IndexedObject> taken = m_drawing.takeObjects(m_objects);
    // Back into appending order, so a redo stacks them as the first time did.
    std::unordered_map<const DrawObject*, std::size_t> order;
    for (std::size_t i = 0; i < m_objects.size(); ++i)
        order.emplace(m_objects[i], i);
    std::sort(taken.begin(), taken.end(), [&order](const IndexedObject& a, const IndexedObject& b) {
        return order.at(a.object.get()) < order.at(b.object.get());
    });
    for (IndexedObject& item : taken)
        m_owned.push_back(std::move(item.object));
    m_drawing.setSelection(m_selectionBefore);
    m_drawing.notifySelectionChanged();
}

// --- Shape edits -------------------------------------------------------------

namespace {

void copyGeometry(LineObject& to, const LineObject& from)
{
    to.setEnds(from.first(), from.second());
}

void copyGeometry(RectangleObject& to, const RectangleObject& from)
{
    to.setCorners(from.corner1(), from.corner2());
}

void copyGeometry(RoundRectObject& to, const RoundRectObject& from)
{
    to.setCorners(from.corner1(), from.corner2());
    to.setRadii(from.rx(), from.ry());
}

void copyGeometry(EllipseObject& to, const EllipseObject& from)
{
    const Point c = from.centre();
    to.setGeometry(c.x, c.y, from.rx(), from.ry());
}

void copyGeometry(ArcObject& to, const ArcObject& from)
{
    const Point c = from.centre();
    to.setGeometry(c.x, c.y, from.rx(), from.ry());
    to.setAngles(from.startAngle(), from.endAngle());
}

} // namespace

template <class Shape> void ShapeEditCommandFor<Shape>::swap()
{
    auto& object = static_cast<Shape&>(m_object);
    auto current = std::make_unique<Shape>(object);
    object.copyCommonFrom(*m_saved);
    copyGeometry(object, *m_saved);
    object.invalidateBox();
    m_saved = std::move(current);
    m_drawing.markEdited();
}

template class ShapeEditCommandFor<LineObject>;
template class ShapeEditCommandFor<RectangleObject>;
template class ShapeEditCommandFor<RoundRectObject>;
template class ShapeEditCommandFor<EllipseObject>;
template class ShapeEditCommandFor<ArcObject>;

std::unique_ptr<UndoCommand> makeShapeEditCommand(
    Drawing& drawing, DrawObject& object, const DrawObject& before)
{
    if (object.type() != before.type())
        return nullptr;
    switch (object.type()) {
    case ObjectType::Line:
        return std::make_unique<LineEditCommand>(
            drawing, static_cast<LineObject&>(object), static_cast<const LineObject&>(before));
    case ObjectType::Rectangle:
        return std::make_unique<RectangleEditCommand>(
            drawing, static_cast<RectangleObject&>(object), static_cast<const RectangleObject&>(before));
    case ObjectType::RoundRect:
        return std::make_unique<RoundRectEditCommand>(
            drawing, static_cast<RoundRectObject&>(object), static_cast<const RoundRectObject&>(before));
    case ObjectType::Ellipse:
        return std::make_unique<EllipseEditCommand>(
            drawing, static_cast<EllipseObject&>(object), static_cast<const EllipseObject&>(before));
    case ObjectType::Arc:
        return std::make_unique<ArcEditCommand>(
            drawing, static_cast<ArcObject&>(object), static_cast<const ArcObject&>(before));
    case ObjectType::Polygon: {
        const auto& saved = static_cast<const PolygonObject&>(before);
        return std::make_unique<PolygonEditCommand>(
            drawing, static_cast<PolygonObject&>(object), saved.vertices(), saved.isClosed());
    }
    case ObjectType::Curve: {
        const auto& saved = static_cast<const CurveObject&>(before);
        return std::make_unique<CurveEditCommand>(
            drawing, static_cast<CurveObject&>(object), saved.nodes(), saved.isClosed());
    }
    default:
        return nullptr;
    }
}

// --- Node edits --------------------------------------------------------------

PolygonEditCommand::PolygonEditCommand(
    Drawing& drawing, PolygonObject& object, PointList before, bool closedBefore)
    : NodeEditCommand(drawing)
    , m_object(object)
    , m_vertices(std::move(before))
    , m_closed(closedBefore)
{ }

void PolygonEditCommand::swap()
{
    PointList current = m_object.vertices();
    const bool closed = m_object.isClosed();
    m_object.setVertices(std::move(m_vertices), m_closed);
    m_vertices = std::move(current);
    m_closed = closed;
    m_drawing.markEdited();
}

CurveEditCommand::CurveEditCommand(Drawing& drawing, CurveObject& object, NodeList before, bool closedBefore)
    : NodeEditCommand(drawing)
    , m_object(object)
    , m_nodes(std::move(before))
    , m_closed(closedBefore)
{ }

void CurveEditCommand::swap()
{
    NodeList current = m_object.nodes();
    const bool closed = m_object.isClosed();
    m_object.setNodes(std::move(m_nodes), m_closed);
    m_nodes = std::move(current);
    m_closed = closed;
    m_drawing.markEdited();
}

// --- Text edits --------------------------------------------------------------

TextEditCommand::TextEditCommand(Drawing& drawing, TextObject& object, std::vector<TextRun> runsBefore,
    Point corner1Before, Point corner2Before)
    : UndoCommand(drawing)
    , m_object(object)
    , m_runs(std::move(runsBefore))
    , m_corner1(corner1Before)
    , m_corner2(corner2Before)
{ }

void TextEditCommand::swap()
{
    std::vector<TextRun> runs = m_object.runs();
    const Point c1 = m_object.frame().corner1(), c2 = m_object.frame().corner2();
    m_object.restoreText(std::move(m_runs), m_object.leading(), m_object.alignment(), m_corner1, m_corner2);
    m_runs = std::move(runs);
    m_corner1 = c1;
    m_corner2 = c2;
    m_drawing.markEdited();
}

// --- Text attributes ---------------------------------------------------------

void TextAttributeCommand::execute()
{
    m_saved.clear();
    for (DrawObject* object : m_objects)
        forEachTextObject(*object, [&](TextObject& text) {
            m_saved.push_back({ &text, text.runs(), text.leading(), text.alignment(), text.frame().corner1(),
                text.frame().corner2() });
            applyTo(text);
        });
    m_drawing.markEdited();
}

void TextAttributeCommand::undo()
{
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
        it->text->restoreText(std::move(it->runs), it->leading, it->alignment, it->corner1, it->corner2);
    m_saved.clear();
}

TextFontCommand::TextFontCommand(Drawing& drawing, ObjectRefs objects, const FontEntry* font, float size)
    : TextAttributeCommand(drawing, std::move(objects))
    , m_font(font)
    , m_size(size)
{ }

void TextFontCommand::applyTo(TextObject& text) const
{
    text.setFontAndSize(m_font, m_size);
}

TextLeadingCommand::TextLeadingCommand(Drawing& drawing, ObjectRefs objects, float leading)
    : TextAttributeCommand(drawing, std::move(objects))
    , m_leading(leading)
{ }

void TextLeadingCommand::applyTo(TextObject& text) const
{
    text.setLeading(m_leading);
}

TextAlignmentCommand::TextAlignmentCommand(Drawing& drawing, ObjectRefs objects, TextAlign alignment)
    : TextAttributeCommand(drawing, std::move(objects))
    , m_alignment(alignment)
{ }

void TextAlignmentCommand::applyTo(TextObject& text) const
{
    text.setAlignment(m_alignment);
}

// --- Styles ------------------------------------------------------------------

void StyleCommand::execute()
{
    // Each object's own record, read and written past the containers' virtuals,
    // which would spread one record over all members.
    m_saved.clear();
    for (DrawObject* object : m_objects)
        forEachDeep(*object, [&](DrawObject& o) { m_saved.emplace_back(&o, o.DrawObject::style()); });
    for (DrawObject* object : m_objects)
        applyTo(*object);
    m_drawing.markEdited();
}

void StyleCommand::undo()
{
    for (auto& [object, style] : m_saved)
        object->DrawObject::setStyle(style);
    m_saved.clear();
}

FillOrTextColorCommand::FillOrTextColorCommand(Drawing& drawing, ObjectRefs objects, Color color)
    : StyleCommand(drawing, std::move(objects))
    , m_color(color)
{ }

void FillOrTextColorCommand::applyTo(DrawObject& object) const
{
    if (object.type() == ObjectType::Group) {
        for (const auto& child : static_cast<GroupObject&>(object).children())
            applyTo(*child);
    } else if (object.type() == ObjectType::Text) {
        object.setTextColor(m_color);
    } else {
        object.setFillColor(m_color);
    }
}

std::unique_ptr<StyleCommand> makeStyleCommand(Drawing& drawing, ObjectRefs objects,
    const StyleChange& change, const Color* color, const PaintStyle& defaultStyle)
{
    using Kind = StyleChange::Kind;
    const Color* use = change.fixedColor ? &*change.fixedColor : color;
    switch (change.kind) {
    case Kind::LineInvisible:
        return std::make_unique<LineInvisibleCommand>(drawing, std::move(objects));
    case Kind::Dash:
        return std::make_unique<DashCommand>(drawing, std::move(objects), change.index);
    case Kind::LineWidth:
        return std::make_unique<LineWidthCommand>(drawing, std::move(objects), change.width);
    case Kind::FillTransparent:
        return std::make_unique<FillTransparentCommand>(drawing, std::move(objects));
    case Kind::FillPattern:
        return std::make_unique<FillPatternCommand>(drawing, std::move(objects), change.index);
    case Kind::ApplyDefaultStyle:
        return std::make_unique<WholeStyleCommand>(drawing, std::move(objects), defaultStyle);
    case Kind::LineColor:
        if (use)
            return std::make_unique<LineColorCommand>(drawing, std::move(objects), *use);
        return nullptr;
    case Kind::FillColor:
        if (use)
            return std::make_unique<FillColorCommand>(drawing, std::move(objects), *use);
        return nullptr;
    case Kind::TextColor:
        if (use)
            return std::make_unique<TextColorCommand>(drawing, std::move(objects), *use);
        return nullptr;
    case Kind::Arrows:
    case Kind::PickUpStyle:
        break;
    }
    return nullptr;
}

// --- URL -----------------------------------------------------------------------

UrlCommand::UrlCommand(Drawing& drawing, ObjectRefs objects, std::optional<std::string> url)
    : UndoCommand(drawing)
    , m_objects(std::move(objects))
    , m_url(std::move(url))
{ }

void UrlCommand::execute()
{
    m_former.clear();
    m_former.reserve(m_objects.size());
    for (DrawObject* object : m_objects) {
        m_former.push_back(object->url());
        object->setUrl(m_url);
    }
    m_drawing.markEdited();
}

void UrlCommand::undo()
{
    for (std::size_t i = 0; i < m_objects.size() && i < m_former.size(); ++i)
        m_objects[i]->setUrl(std::move(m_former[i]));
    m_former.clear();
}

// --- Transforms ----------------------------------------------------------------

void TransformCommand::execute()
{
    m_saved.clear();
    for (DrawObject* object : m_objects)
        forEachDeep(*object, [&](DrawObject& o) { m_saved.emplace_back(&o, o.matrix()); });
    for (std::size_t i = 0; i < m_objects.size(); ++i)
        applyTo(*m_objects[i], i);
    m_drawing.markEdited();
}

void TransformCommand::undo()
{
    for (auto& [object, matrix] : m_saved)
        object->setMatrix(matrix);
    m_saved.clear();
}

MoveCommand::MoveCommand(Drawing& drawing, ObjectRefs objects, float dx, float dy)
    : TransformCommand(drawing, std::move(objects))
    , m_dx(dx)
    , m_dy(dy)
{ }

ScaleCommand::ScaleCommand(Drawing& drawing, ObjectRefs objects, Point centre, float sx, float sy)
    : TransformCommand(drawing, std::move(objects))
    , m_centre(centre)
    , m_sx(sx)
    , m_sy(sy)
{ }

void ScaleCommand::applyTo(DrawObject& object, std::size_t) const
{
    object.scale(m_centre.x, m_centre.y, m_sx, m_sy);
}

RotateCommand::RotateCommand(Drawing& drawing, ObjectRefs objects, Point centre, float degrees)
    : TransformCommand(drawing, std::move(objects))
    , m_centre(centre)
    , m_degrees(degrees)
{ }

void RotateCommand::applyTo(DrawObject& object, std::size_t) const
{
    object.rotate(m_centre.x, m_centre.y, m_degrees);
}

ReflectCommand::ReflectCommand(Drawing& drawing, ObjectRefs objects, Point centre, float degrees)
    : TransformCommand(drawing, std::move(objects))
    , m_centre(centre)
    , m_degrees(degrees)
{ }

void ReflectCommand::applyTo(DrawObject& object, std::size_t) const
{
    object.reflect(m_centre.x, m_centre.y, m_degrees);
}

SkewCommand::SkewCommand(Drawing& drawing, ObjectRefs objects, Point centre, float kx, float ky)
    : TransformCommand(drawing, std::move(objects))
    , m_centre(centre)
    , m_kx(kx)
    , m_ky(ky)
{ }

void SkewCommand::applyTo(DrawObject& object, std::size_t) const
{
    object.skew(m_centre.x, m_centre.y, m_kx, m_ky);
}

OffsetsCommand::OffsetsCommand(Drawing& drawing, ObjectRefs objects, int code, std::vector<Point> offsets)
    : TransformCommand(drawing, std::move(objects))
    , m_code(code)
    , m_offsets(std::move(offsets))
{ }

void OffsetsCommand::applyTo(DrawObject& object, std::size_t index) const
{
    if (index < m_offsets.size() && (m_offsets[index].x != 0 || m_offsets[index].y != 0))
        object.translate(m_offsets[index].x, m_offsets[index].y);
}

AlignCommand::AlignCommand(Drawing& drawing, int code)
    : OffsetsCommand(drawing, drawing.selection(), code, drawing.alignOffsets(code))
{ }

SpaceEvenlyCommand::SpaceEvenlyCommand(Drawing& drawing, int code)
    : OffsetsCommand(drawing, drawing.selection(), code, drawing.spaceEvenlyOffsets(code))
{ }

} // namespace zavora
