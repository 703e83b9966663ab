#include "model/UndoHistory.h"

#include "model/Drawing.h"
#include "model/UndoCommand.h"

namespace zavora {

UndoHistory::UndoHistory(Drawing& drawing)
    : m_drawing(drawing)
{ }

UndoHistory::~UndoHistory()
{
    clear();
}

void UndoHistory::pushLimited(Stack& stack, std::unique_ptr<UndoCommand> command)
{
    if (!command)
        return;
    if (stack.size() >= kDepth)
        stack.erase(stack.begin());
    stack.push_back(std::move(command));
}

void UndoHistory::destroyAll(Stack& stack)
{
    // Newest first, so a command is never destroyed before one made after it.
    while (!stack.empty())
        stack.pop_back();
}

void UndoHistory::push(std::unique_ptr<UndoCommand> command)
{
    if (!command)
        return;
    pushLimited(m_undo, std::move(command));
    clearRedo();
}

void UndoHistory::execute(std::unique_ptr<UndoCommand> command)
{
    if (!command)
        return;
    command->execute();
    push(std::move(command));
}

bool UndoHistory::undo()
{
    if (m_undo.empty())
        return false;
    std::unique_ptr<UndoCommand> command = std::move(m_undo.back());
    m_undo.pop_back();
    command->undo();
    pushLimited(m_redo, std::move(command));
    m_drawing.markEdited();
    return true;
}

bool UndoHistory::redo()
{
    if (m_redo.empty())
        return false;
    std::unique_ptr<UndoCommand> command = std::move(m_redo.back());
    m_redo.pop_back();
    command->execute();
    pushLimited(m_undo, std::move(command));
    m_drawing.markEdited();
    return true;
}

void UndoHistory::clearUndo()
{
    destroyAll(m_undo);
}

void UndoHistory::clearRedo()
{
    destroyAll(m_redo);
}

void UndoHistory::clear()
{
    clearRedo();
    clearUndo();
}

} // namespace zavora
