#pragma once
// The rotate, scale, skew and reflect tools. A click places the origin (the
// release fixes it and shows its mark); a press away from it and a drag then
// show the selection's outline transformed about the origin, and the release
// records the transformation as one undo step.

#include "tools/Tool.h"

#include <memory>
#include <string>

namespace zavora {

class UndoCommand;

class TransformTool : public Tool {
public:
    enum Stage : int { NoOrigin = 0, OriginPlaced = 1, Dragging = 2 };

    void activate() override;
    void deactivate() override;
    void mouseDown(float x, float y, bool shift) override;
    void mouseDrag(float x, float y, bool shift) override;
    void mouseUp(float x, float y, bool shift) override;
    void repaintFeedback() override;

protected:
    // name: "Rotate"; verb: "rotate".
    TransformTool(ToolView& view, const char* name, const char* verb)
        : Tool(view)
        , m_name(name)
        , m_verb(verb)
    { }

    // The transformation about the origin for the drag from m_start to
    // m_current, kept for apply() and command(); shows the read-out.
    virtual void compute(bool shift) = 0;
    // Applies it to one object as the recorded command will, so the
    // outlines shown are the outcome.
    virtual void apply(DrawObject& object) const = 0;
    virtual std::unique_ptr<UndoCommand> command(Drawing& drawing) const = 0;

    Point m_origin, m_start, m_current;

private:
    // The origin mark, inverted: drawn twice, it is gone.
    void drawMark();
    void showOutlines();

    const char* m_name;
    const char* m_verb;
    Stage m_stage = NoOrigin;
    bool m_markShown = false;
    bool m_feedbackShown = false;
};

class RotateTool : public TransformTool {
public:
    explicit RotateTool(ToolView& view)
        : TransformTool(view, "Rotate", "rotate")
    { }

protected:
    void compute(bool shift) override;
    void apply(DrawObject& object) const override;
    std::unique_ptr<UndoCommand> command(Drawing& drawing) const override;

private:
    float m_degrees = 0;
};

class ScaleTool : public TransformTool {
public:
    explicit ScaleTool(ToolView& view)
        : TransformTool(view, "Scale", "scale")
    { }

protected:
    void compute(bool shift) override;
    void apply(DrawObject& object) const override;
    std::unique_ptr<UndoCommand> command(Drawing& drawing) const override;

private:
    float m_sx = 1, m_sy = 1;
};

class SkewTool : public TransformTool {
public:
    explicit SkewTool(ToolView& view)
        : TransformTool(view, "Skew", "skew")
    { }

protected:
    void compute(bool shift) override;
    void apply(DrawObject& object) const override;
    std::unique_ptr<UndoCommand> command(Drawing& drawing) const override;

private:
    float m_vertical = 0, m_horizontal = 0; // the matrix's b and c
};

// The axis runs from the origin through the pointer, wherever the drag began.
class ReflectTool : public TransformTool {
public:
    explicit ReflectTool(ToolView& view)
        : TransformTool(view, "Reflect", "reflect")
    { }

protected:
    void compute(bool shift) override;
    void apply(DrawObject& object) const override;
    std::unique_ptr<UndoCommand> command(Drawing& drawing) const override;

private:
    float m_degrees = 0;
};

} // namespace zavora
