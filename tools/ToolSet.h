#pragma once
// The tools of one drawing window: one instance of each, the current tool and
// its command identifier, choosing a tool by command, and the keyboard tables
// that choose tools (single letters and function keys).

#include "model/DrawObject.h"

#include <array>
#include <memory>

namespace zavora {

class MoveTool;
class SelectionTool;
class Tool;
class ToolView;

enum class ToolKind : int {
    Line,
    Rectangle,
    RoundRect,
    Ellipse,
    Arc,
    Curve,
    Polygon,
    Text,
    Pan,
    Zoom,
    Move,
    Scale,
    Rotate,
    Skew,
    Reflect,
    Selection,
    Eyedropper,
    GroupEdit,
    CompoundPathEdit,
    ImageEdit,
    Count,
};

constexpr int kCmdSelectionTool = 456;
constexpr int kCmdMoveTool = 450;
constexpr int kCmdFirstTool = 401;
constexpr int kCmdLastTool = 459;

class ToolSet {
public:
    // Creates the tools this program has; the selection tool becomes current
    // and is activated.
    explicit ToolSet(ToolView& view);
    ~ToolSet();
    ToolSet(const ToolSet&) = delete;
    ToolSet& operator=(const ToolSet&) = delete;

    Tool* currentTool() const { return m_current; }
    int currentCommand() const { return m_currentCommand; }
    Tool* tool(ToolKind kind) const { return m_tools[size_t(kind)].get(); }
    SelectionTool& selectionTool() const;
    MoveTool& moveTool() const;
    // Tools that arrive later put their instance here.
    void install(ToolKind kind, std::unique_ptr<Tool> tool);

    // Deactivates the current tool, maps the id, updates the toolbox buttons
    // and activates the new tool. An id outside the table, or one whose tool
    // this program does not have, leaves the current tool; false then.
    bool selectTool(int commandId);

    // The tool kind of a command id; Count for ids that choose no tool.
    static ToolKind kindForCommand(int commandId);
    // The editing tool of an object; nullptr when none is installed.
    Tool* editTool(const DrawObject& object) const;
    // The command a tool key chooses (case-insensitive); 0 for other characters.
    static int letterCommand(char32_t character);
    // The command of function key n (2 ... 11); 0 for the others.
    static int functionKeyCommand(int n);
    // The status text that refuses a transform tool on an empty selection;
    // nullptr for commands that need no selection.
    static const char* emptySelectionRefusal(int commandId);

private:
    ToolView& m_view;
    std::array<std::unique_ptr<Tool>, size_t(ToolKind::Count)> m_tools;
    Tool* m_current = nullptr;
    int m_currentCommand = kCmdSelectionTool;
};

} // namespace zavora
