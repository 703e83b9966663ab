#include "tools/ToolSet.h"

#include "tools/MoveTool.h"
#include "tools/PathTool.h"
#include "tools/SelectionTool.h"
#include "tools/ShapeTool.h"
#include "tools/TextTool.h"
#include "tools/Tool.h"
#include "tools/ToolView.h"
#include "tools/TransformTool.h"
#include "tools/ViewTools.h"

namespace zavora {

ToolSet::ToolSet(ToolView& view)
    : m_view(view)
{
    auto& move = m_tools[size_t(ToolKind::Move)];
    move = std::make_unique<MoveTool>(view);
    m_tools[size_t(ToolKind::Selection)]
        = std::make_unique<SelectionTool>(view, *this, static_cast<MoveTool&>(*move));
    m_tools[size_t(ToolKind::Line)] = std::make_unique<LineTool>(view);
    m_tools[size_t(ToolKind::Rectangle)] = std::make_unique<RectangleTool>(view);
    m_tools[size_t(ToolKind::RoundRect)] = std::make_unique<RoundRectTool>(view);
    m_tools[size_t(ToolKind::Ellipse)] = std::make_unique<EllipseTool>(view);
    m_tools[size_t(ToolKind::Arc)] = std::make_unique<ArcTool>(view);
    m_tools[size_t(ToolKind::Text)] = std::make_unique<TextTool>(view);
    m_tools[size_t(ToolKind::Curve)] = std::make_unique<CurveTool>(view);
    m_tools[size_t(ToolKind::Polygon)] = std::make_unique<PolygonTool>(view);
    m_tools[size_t(ToolKind::Rotate)] = std::make_unique<RotateTool>(view);
    m_tools[size_t(ToolKind::Scale)] = std::make_unique<ScaleTool>(view);
    m_tools[size_t(ToolKind::Skew)] = std::make_unique<SkewTool>(view);
    m_tools[size_t(ToolKind::Reflect)] = std::make_unique<ReflectTool>(view);
    m_tools[size_t(ToolKind::Pan)] = std::make_unique<PanTool>(view);
    m_tools[size_t(ToolKind::Zoom)] = std::make_unique<ZoomTool>(view);
    m_tools[size_t(ToolKind::Eyedropper)] = std::make_unique<EyedropperTool>(view);
    for (ToolKind inert : { ToolKind::GroupEdit, ToolKind::CompoundPathEdit, ToolKind::ImageEdit })
        m_tools[size_t(inert)] = std::make_unique<InertTool>(view);
    m_current = tool(ToolKind::Selection);
    m_view.setToolButtonPressed(m_currentCommand, true);
    m_current->activate();
}

ToolSet::~ToolSet() = default;

SelectionTool& ToolSet::selectionTool() const
{
    return static_cast<SelectionTool&>(*tool(ToolKind::Selection));
}

MoveTool& ToolSet::moveTool() const
{
    return static_cast<MoveTool&>(*tool(ToolKind::Move));
}

void ToolSet::install(ToolKind kind, std::unique_ptr<Tool> tool)
{
    // The selection and move tools are wired to each other; they stay.
    if (kind == ToolKind::Selection || kind == ToolKind::Move || kind == ToolKind::Count || !tool)
        return;
    if (m_current == m_tools[size_t(kind)].get() && m_current)
        return; // never pull the current tool from under a gesture
    m_tools[size_t(kind)] = std::move(tool);
}

ToolKind ToolSet::kindForCommand(int id)
{
    switch (id) {
    case 401:
    case 402:
    case 403:
        return ToolKind::Line;
    case 404:
    case 405:
        return ToolKind::Rectangle;
    case 406:
    case 407:
        return ToolKind::Ellipse;
    case 408:
        return ToolKind::Arc;
    case 410:
    case 415:
        return ToolKind::Curve;
    case 411:
        return ToolKind::Text;
    case 414:
        return ToolKind::Polygon;
    case 416:
        return ToolKind::Pan;
    case 417:
        return ToolKind::Zoom;
    case 450:
        return ToolKind::Move;
    case 451:
        return ToolKind::Scale;
    case 452:
        return ToolKind::Rotate;
    case 454:
        return ToolKind::Skew;
    case 455:
        return ToolKind::Reflect;
    case 456:
        return ToolKind::Selection;
    case 458:
        return ToolKind::RoundRect;
    case 459:
        return ToolKind::Eyedropper;
    default:
        return ToolKind::Count;
    }
}

bool ToolSet::selectTool(int commandId)
{
    const ToolKind kind = kindForCommand(commandId);
    Tool* next = kind == ToolKind::Count ? nullptr : tool(kind);
    // Every choice ends the gesture in progress, even one that changes nothing.
    m_current->deactivate();
    if (next) {
        m_current = next;
        m_view.setToolButtonPressed(m_currentCommand, false);
        m_view.setToolButtonPressed(commandId, true);
        m_currentCommand = commandId;
    }
    m_current->activate();
    return next != nullptr;
}

Tool* ToolSet::editTool(const DrawObject& object) const
{
    switch (object.editTool()) {
    case EditToolId::Line:
        return tool(ToolKind::Line);
    case EditToolId::Rectangle:
        return tool(ToolKind::Rectangle);
    case EditToolId::RoundRect:
        return tool(ToolKind::RoundRect);
    case EditToolId::Ellipse:
        return tool(ToolKind::Ellipse);
    case EditToolId::Arc:
        return tool(ToolKind::Arc);
    case EditToolId::Polygon:
        return tool(ToolKind::Polygon);
    case EditToolId::Curve:
        return tool(ToolKind::Curve);
    case EditToolId::Text:
        return tool(ToolKind::Text);
    case EditToolId::ImageEdit:
        return tool(ToolKind::ImageEdit);
    case EditToolId::GroupEdit:
        return tool(ToolKind::GroupEdit);
    case EditToolId::CompoundPathEdit:
        return tool(ToolKind::CompoundPathEdit);
    }
    return nullptr;
}

int ToolSet::letterCommand(char32_t c)
{
    if (c >= 'A' && c <= 'Z')
        c = c - 'A' + 'a';
    switch (c) {
    case 'n':
        return 456;
    case 'a':
        return 408;
    case 'c':
        return 410;
    case 'e':
        return 407;
    case 'f':
        return 455;
    case 'h':
        return 416;
    case 'k':
        return 454;
    case 'l':
        return 401;
    case 'o':
        return 452;
    case 'p':
        return 414;
    case 'r':
        return 405;
    case 's':
        return 451;
    case 't':
        return 411;
    case 'u':
        return 458;
    case 'y':
        return 459;
    case 'z':
        return 417;
    default:
        return 0;
    }
}

int ToolSet::functionKeyCommand(int n)
{
    static constexpr int kCommands[] = { 416, 417, 401, 405, 407, 414, 410, 451, 452, 454 };
    return n >= 2 && n <= 11 ? kCommands[n - 2] : 0;
}

const char* ToolSet::emptySelectionRefusal(int id)
{
    switch (id) {
    case 451:
        return "Scale: You must select one or more objects first";
    case 452:
        return "Rotate: You must select one or more objects first";
    case 454:
        return "Skew: You must select one or more objects first";
    case 455:
        return "Reflect: You must select one or more objects first";
    case 450:
        return ""; // refused without a word
    default:
        return nullptr;
    }
}

} // namespace zavora
