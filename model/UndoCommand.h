#pragma once
// Recorded edits. A command keeps what it needs to redo and undo itself;
// execute() is also redo. Most commands are executed once and then pushed;
// the swap commands (shape, node, text and frame edits) are made by a tool
// after it has changed the object, hold the former state, and are pushed
// without an execute: their execute and undo are the same swap.
//
// Ownership: a DeleteCommand owns the objects it removed while it is done; an
// AddObjectCommand owns its object while it is undone. Every other command
// only refers to objects and owns its saved copies. Destructors never touch
// the objects they refer to, so the stacks may be destroyed in any order.

#include "model/Drawing.h"
#include "model/ObjectList.h"
#include "model/OutputPort.h"
#include "model/PaintStyle.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace zavora {

class UndoCommand {
public:
    virtual ~UndoCommand() = default;
    UndoCommand(const UndoCommand&) = delete;
    UndoCommand& operator=(const UndoCommand&) = delete;

    // Does the edit; also redo.
    virtual void execute() = 0;
    virtual void undo() = 0;

protected:
    explicit UndoCommand(Drawing& drawing)
        : m_drawing(drawing)
    { }
    Drawing& m_drawing;
};

// --- Membership ----------------------------------------------------------

// Clear: removes the objects (a private copy of the selection) and puts them
// back at their former stacking indices on undo.
class DeleteCommand : public UndoCommand {
public:
    DeleteCommand(Drawing& drawing, ObjectRefs objects);
    void execute() override;
    void undo() override;
    bool ownsObjects() const { return !m_removed.empty(); }

protected:
    const ObjectRefs& objects() const { return m_objects; }

private:
    ObjectRefs m_objects;
    std::vector<IndexedObject> m_removed; // ascending index, owned while done
};

// Cut: removes the selected objects like Clear (the clipboard holds copies of
// them), and undo selects them again where they were.
class CutCommand : public DeleteCommand {
public:
    using DeleteCommand::DeleteCommand;
    void undo() override;
};

// A new object from a creation tool: appended on execute, taken out on undo.
class AddObjectCommand : public UndoCommand {
public:
    AddObjectCommand(Drawing& drawing, std::unique_ptr<DrawObject> object);
    void execute() override;
    void undo() override;
    DrawObject* object() const { return m_object; }
    bool inDrawing() const { return !m_owned; }

private:
    DrawObject* m_object;
    std::unique_ptr<DrawObject> m_owned; // set while the object is out of the drawing
};

// Paste, Duplicate and Insert: objects appended at the front in one step,
// becoming the selection. Undo takes them out again and gives back the
// selection they replaced.
class AddObjectsCommand : public UndoCommand {
public:
    AddObjectsCommand(Drawing& drawing, OwnedObjects objects);
    void execute() override;
    void undo() override;

private:
    ObjectRefs m_objects; // in appending order
    OwnedObjects m_owned; // all of them while they are out of the drawing
    ObjectRefs m_selectionBefore;
};

// --- Swap commands made by the tools --------------------------------------

// A basic shape reshaped by a handle: swaps the whole state (common fields and
// geometry) with the copy taken before the reshape.
class ShapeEditCommand : public UndoCommand {
public:
    void execute() override { swap(); }
    void undo() override { swap(); }

protected:
    ShapeEditCommand(Drawing& drawing, DrawObject& object)
        : UndoCommand(drawing)
        , m_object(object)
    { }
    virtual void swap() = 0;
    DrawObject& m_object;
};

// One class per basic shape: LineEditCommand, RectangleEditCommand, ...
template <class Shape> class ShapeEditCommandFor : public ShapeEditCommand {
public:
    ShapeEditCommandFor(Drawing& drawing, Shape& object, const Shape& before)
        : ShapeEditCommand(drawing, object)
        , m_saved(std::make_unique<Shape>(before))
    { }

protected:
    void swap() override;

private:
    std::unique_ptr<Shape> m_saved;
};

using LineEditCommand = ShapeEditCommandFor<LineObject>;
using RectangleEditCommand = ShapeEditCommandFor<RectangleObject>;
using RoundRectEditCommand = ShapeEditCommandFor<RoundRectObject>;
using EllipseEditCommand = ShapeEditCommandFor<EllipseObject>;
using ArcEditCommand = ShapeEditCommandFor<ArcObject>;

// The reshape command for object, whose state before the reshape was `before`
// (same type): a basic shape's whole state, a polygon's or curve's nodes;
// nullptr for any other object or when the types differ.
std::unique_ptr<UndoCommand> makeShapeEditCommand(
    Drawing& drawing, DrawObject& object, const DrawObject& before);

// Polygon or curve nodes edited: swaps the node array and the closed flag.
class NodeEditCommand : public UndoCommand {
public:
    void execute() override { swap(); }
    void undo() override { swap(); }

protected:
    using UndoCommand::UndoCommand;
    virtual void swap() = 0;
};

class PolygonEditCommand : public NodeEditCommand {
public:
    PolygonEditCommand(Drawing& drawing, PolygonObject& object, PointList before, bool closedBefore);

protected:
    void swap() override;

private:
    PolygonObject& m_object;
    PointList m_vertices;
    bool m_closed;
};

class CurveEditCommand : public NodeEditCommand {
public:
    CurveEditCommand(Drawing& drawing, CurveObject& object, NodeList before, bool closedBefore);

protected:
    void swap() override;

private:
    CurveObject& m_object;
    NodeList m_nodes;
    bool m_closed;
};

// The text tool changed the text: swaps the runs and the frame with the ones
// from before the edit. All runs, not only the edited first one: laying the
// text out rewrites the soft breaks of every run and may widen the frame.
class TextEditCommand : public UndoCommand {
public:
    TextEditCommand(Drawing& drawing, TextObject& object, std::vector<TextRun> runsBefore,
        Point corner1Before, Point corner2Before);
    void execute() override { swap(); }
    void undo() override { swap(); }

private:
    void swap();
    TextObject& m_object;
    std::vector<TextRun> m_runs;
    Point m_corner1;
    Point m_corner2;
};

// The text tool resized the frame, which laid the text out again: the same
// swap of runs and frame.
class TextFrameCommand : public TextEditCommand {
public:
    using TextEditCommand::TextEditCommand;
};

// --- Attribute commands on the selection ------------------------------------

// Font and size, leading or alignment of every text object in the selection
// (groups searched too). The base saves and restores all four values, the
// frame (which the new layout may have widened) and the text (whose soft
// breaks it rewrote).
class TextAttributeCommand : public UndoCommand {
public:
    void execute() override;
    void undo() override;

protected:
    TextAttributeCommand(Drawing& drawing, ObjectRefs objects)
        : UndoCommand(drawing)
        , m_objects(std::move(objects))
    { }
    virtual void applyTo(TextObject& text) const = 0;

private:
    struct Saved {
        TextObject* text;
        std::vector<TextRun> runs;
        float leading;
        TextAlign alignment;
        Point corner1;
        Point corner2;
    };
    ObjectRefs m_objects;
    std::vector<Saved> m_saved;
};

class TextFontCommand : public TextAttributeCommand {
public:
    TextFontCommand(Drawing& drawing, ObjectRefs objects, const FontEntry* font, float size);

protected:
    void applyTo(TextObject& text) const override;

private:
    const FontEntry* m_font;
    float m_size;
};

class TextLeadingCommand : public TextAttributeCommand {
public:
    TextLeadingCommand(Drawing& drawing, ObjectRefs objects, float leading);

protected:
    void applyTo(TextObject& text) const override;

private:
    float m_leading;
};

class TextAlignmentCommand : public TextAttributeCommand {
public:
    TextAlignmentCommand(Drawing& drawing, ObjectRefs objects, TextAlign alignment);

protected:
    void applyTo(TextObject& text) const override;

private:
    TextAlign m_alignment;
};

// A paint setter on every object of the selection. The styles are saved per
// object at every depth, so undoing a change to a group gives each member its
// own former style back, not one shared record.
class StyleCommand : public UndoCommand {
public:
    void execute() override;
    void undo() override;

protected:
    StyleCommand(Drawing& drawing, ObjectRefs objects)
        : UndoCommand(drawing)
        , m_objects(std::move(objects))
    { }
    virtual void applyTo(DrawObject& object) const = 0;

private:
    ObjectRefs m_objects;
    std::vector<std::pair<DrawObject*, PaintStyle>> m_saved;
};

// One style setter with its value, called on each recorded object (containers
// pass it on to their members).
template <class Arg, void (DrawObject::*Set)(Arg)> class StyleSetterCommand : public StyleCommand {
public:
    StyleSetterCommand(Drawing& drawing, ObjectRefs objects, std::decay_t<Arg> value)
        : StyleCommand(drawing, std::move(objects))
        , m_value(std::move(value))
    { }

protected:
    void applyTo(DrawObject& object) const override { (object.*Set)(m_value); }

private:
    std::decay_t<Arg> m_value;
};

// The same for the setters without a value.
template <void (DrawObject::*Set)()> class StyleResetCommand : public StyleCommand {
public:
    StyleResetCommand(Drawing& drawing, ObjectRefs objects)
        : StyleCommand(drawing, std::move(objects))
    { }

protected:
    void applyTo(DrawObject& object) const override { (object.*Set)(); }
};

using FillColorCommand = StyleSetterCommand<const Color&, &DrawObject::setFillColor>;
using FillPatternCommand = StyleSetterCommand<int, &DrawObject::setFillPattern>;
using FillTransparentCommand = StyleResetCommand<&DrawObject::setFillTransparent>;
using LineColorCommand = StyleSetterCommand<const Color&, &DrawObject::setLineColor>;
using LineInvisibleCommand = StyleResetCommand<&DrawObject::setLineInvisible>;
using DashCommand = StyleSetterCommand<int, &DrawObject::setDash>;
using LineWidthCommand = StyleSetterCommand<float, &DrawObject::setLineWidth>;
using TextColorCommand = StyleSetterCommand<const Color&, &DrawObject::setTextColor>;
// Apply default style: the whole record.
using WholeStyleCommand = StyleSetterCommand<const PaintStyle&, &DrawObject::setStyle>;

// The colour bar's left click: text objects (also inside groups) get the text
// colour, every other object the fill colour.
class FillOrTextColorCommand : public StyleCommand {
public:
    FillOrTextColorCommand(Drawing& drawing, ObjectRefs objects, Color color);

protected:
    void applyTo(DrawObject& object) const override;

private:
    Color m_color;
};

// The command for a paint-menu change, or nullptr when the change is not a
// recorded one (arrowheads, pick up style) or lacks its colour. `color` is the
// dialog's colour for changes without a fixed one; `defaultStyle` is what
// Apply default style applies.
std::unique_ptr<StyleCommand> makeStyleCommand(Drawing& drawing, ObjectRefs objects,
    const StyleChange& change, const Color* color, const PaintStyle& defaultStyle);

// Specify URL: sets (or with an empty text removes) the link of every object.
class UrlCommand : public UndoCommand {
public:
    UrlCommand(Drawing& drawing, ObjectRefs objects, std::optional<std::string> url);
    void execute() override;
    void undo() override;

private:
    ObjectRefs m_objects;
    std::optional<std::string> m_url;
    std::vector<std::optional<std::string>> m_former;
};

// --- Transforms -------------------------------------------------------------

// Saves the matrix of every object at every depth (groups and compound paths
// pass transforms on to their members), applies the transform, and writes the
// saved matrices back on undo.
class TransformCommand : public UndoCommand {
public:
    void execute() override;
    void undo() override;

protected:
    TransformCommand(Drawing& drawing, ObjectRefs objects)
        : UndoCommand(drawing)
        , m_objects(std::move(objects))
    { }
    // index is the object's place in the recorded list.
    virtual void applyTo(DrawObject& object, std::size_t index) const = 0;

private:
    ObjectRefs m_objects;
    std::vector<std::pair<DrawObject*, Matrix>> m_saved;
};

class MoveCommand : public TransformCommand {
public:
    MoveCommand(Drawing& drawing, ObjectRefs objects, float dx, float dy);

protected:
    void applyTo(DrawObject& object, std::size_t) const override { object.translate(m_dx, m_dy); }

private:
    float m_dx, m_dy;
};

class ScaleCommand : public TransformCommand {
public:
    // Factors (1 = unchanged) about the centre.
    ScaleCommand(Drawing& drawing, ObjectRefs objects, Point centre, float sx, float sy);

protected:
    void applyTo(DrawObject& object, std::size_t) const override;

private:
    Point m_centre;
    float m_sx, m_sy;
};

class RotateCommand : public TransformCommand {
public:
    // Degrees counter-clockwise about the centre.
    RotateCommand(Drawing& drawing, ObjectRefs objects, Point centre, float degrees);

protected:
    void applyTo(DrawObject& object, std::size_t) const override;

private:
    Point m_centre;
    float m_degrees;
};

class ReflectCommand : public TransformCommand {
public:
    // Mirror in the line through the centre at the given angle.
    ReflectCommand(Drawing& drawing, ObjectRefs objects, Point centre, float degrees);

protected:
    void applyTo(DrawObject& object, std::size_t) const override;

private:
    Point m_centre;
    float m_degrees;
};

class SkewCommand : public TransformCommand {
public:
    SkewCommand(Drawing& drawing, ObjectRefs objects, Point centre, float kx, float ky);

protected:
    void applyTo(DrawObject& object, std::size_t) const override;

private:
    Point m_centre;
    float m_kx, m_ky;
};

// Align and Space evenly: each object moves by its own offset, computed when
// the command is made (so redo moves exactly as the first time did).
class OffsetsCommand : public TransformCommand {
public:
    int code() const { return m_code; }

protected:
    OffsetsCommand(Drawing& drawing, ObjectRefs objects, int code, std::vector<Point> offsets);
    void applyTo(DrawObject& object, std::size_t index) const override;

private:
    int m_code;
    std::vector<Point> m_offsets;
};

class AlignCommand : public OffsetsCommand {
public:
    // The drawing's current selection, aligned by the code.
    AlignCommand(Drawing& drawing, int code);
};

class SpaceEvenlyCommand : public OffsetsCommand {
public:
    // The drawing's current selection, spaced by the code.
    SpaceEvenlyCommand(Drawing& drawing, int code);
};

} // namespace zavora
