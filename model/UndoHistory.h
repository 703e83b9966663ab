#pragma once
// The undo and redo stacks, 25 commands each. Pushing onto a full stack first
// destroys its oldest command. The Drawing owns one and empties it after every
// structural edit that is not recorded, so no command outlives the state it
// refers to.

#include <cstddef>
#include <memory>
#include <vector>

namespace zavora {

class Drawing;
class UndoCommand;

class UndoHistory {
public:
    static constexpr std::size_t kDepth = 25;

    explicit UndoHistory(Drawing& drawing);
    ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // A command whose change already stands goes on the undo stack; the redo
    // stack is emptied.
    void push(std::unique_ptr<UndoCommand> command);
    // Executes the command, then pushes it.
    void execute(std::unique_ptr<UndoCommand> command);
    // Undo: the top command is undone and moves to the redo stack; the
    // drawing is marked modified. False (nothing happens) when empty.
    bool undo();
    // Redo: the redo stack's top is executed again and moves to the undo
    // stack; marks modified. False when empty.
    bool redo();

    void clearUndo();
    void clearRedo();
    void clear();

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    std::size_t undoCount() const { return m_undo.size(); }
    std::size_t redoCount() const { return m_redo.size(); }
    // The most recent command, or nullptr.
    const UndoCommand* top() const { return m_undo.empty() ? nullptr : m_undo.back().get(); }

private:
    using Stack = std::vector<std::unique_ptr<UndoCommand>>;
    static void pushLimited(Stack& stack, std::unique_ptr<UndoCommand> command);
    static void destroyAll(Stack& stack);

    Drawing& m_drawing;
    Stack m_undo; // oldest first
    Stack m_redo;
};

} // namespace zavora
