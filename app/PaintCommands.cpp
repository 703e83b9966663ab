// The paint and text commands of the dispatcher.
#include "app/CommandDispatcher.h"

#include "app/DrawingWindow.h"
#include "app/MainFrame.h"
#include "app/Shell.h"
#include "app/ShellCommands.h"
#include "app/dialogs/ColorDialog.h"
#include "app/dialogs/FontDialog.h"
#include "app/dialogs/NumberDialog.h"
#include "fonts/FontCatalogue.h"
#include "model/Drawing.h"
#include "model/FontEntry.h"
#include "model/FontLookup.h"
#include "model/TextObject.h"
#include "model/UndoCommand.h"
#include "tools/TextTool.h"

#include <set>

namespace zavora {

namespace {

// The text objects of the selection, groups searched too.
std::vector<const TextObject*> selectedTexts(const Drawing& drawing)
{
    std::vector<const TextObject*> texts;
    for (const DrawObject* object : drawing.selection())
        forEachTextObject(*object, [&texts](const TextObject& text) { texts.push_back(&text); });
    return texts;
}

} // namespace

bool CommandDispatcher::runPaint(int id)
{
    const std::optional<StyleChange> change = styleChangeForCommand(id);
    if (!change)
        return false;
    if (change->kind == StyleChange::Kind::PickUpStyle || change->kind == StyleChange::Kind::ApplyDefaultStyle)
        chooseSelectionTool();
    if (!change->needsColorDialog()) {
        drawing().applyPaintCommand(id);
    } else if (const std::optional<Color> chosen = chooseColor(id)) {
        drawing().applyPaintCommand(id, &*chosen);
    } else {
        return true;
    }
    if (TextTool* typing = window().editingTextTool(); typing && change->kind == StyleChange::Kind::TextColor)
        typing->takeTextColor(drawing().defaultStyle().textColor());
    return true;
}

std::optional<Color> CommandDispatcher::chooseColor(int id)
{
    const ColorSlot slot = styleChangeForCommand(id)->colorSlot;
    // From the first selected object, else from the style new objects get.
    const ObjectRefs& selection = drawing().selection();
    const PaintStyle& from = selection.empty() ? drawing().defaultStyle() : selection.front()->style();
    ColorDialog dialog(&m_frame);
    dialog.setColor(colorOf(from, slot));
    if (dialog.exec() != 1)
        return std::nullopt;
    return dialog.color();
}

bool CommandDispatcher::runText(int id)
{
    switch (id) {
    case kCmdFont:
        font();
        return true;
    case kCmdLeading:
        leading();
        return true;
    default:
        break;
    }
    if (id < kCmdAlignTextLeft || id > kCmdAlignTextJustified)
        return false;
    chooseSelectionTool();
    if (!selectedTexts(drawing()).empty()) {
        drawing().history().execute(std::make_unique<TextAlignmentCommand>(
            drawing(), drawing().selection(), TextAlign(id - kCmdAlignTextLeft)));
    }
    return true;
}

void CommandDispatcher::font()
{
    chooseSelectionTool();
    TextDefaults& defaults = m_shell.textDefaults();
    const std::vector<const TextObject*> texts = selectedTexts(drawing());
    std::set<const FontEntry*> fonts;
    for (const TextObject* text : texts)
        fonts.insert(text->font());
    const bool editSelection = fonts.size() == 1 && *fonts.begin();

    FontDialog dialog(&m_frame);
    if (const FontCatalogue* catalogue = m_shell.fonts())
        dialog.setChoices(FontDialog::choicesFrom(*catalogue));
    if (editSelection)
        dialog.setFont((*fonts.begin())->postScriptName(), texts.front()->size());
    else
        dialog.setFont(defaults.fontName, defaults.fontSize);
    if (dialog.exec() != 1)
        return;
    defaults.fontName = dialog.fontName();
    defaults.fontSize = float(dialog.size());
    if (!editSelection)
        return;
    const FontLookup* lookup = FontLookup::current();
    const FontEntry* chosen = lookup ? lookup->find(dialog.fontName()) : nullptr;
    if (chosen) {
        drawing().history().execute(
            std::make_unique<TextFontCommand>(drawing(), drawing().selection(), chosen, float(dialog.size())));
    }
}

void CommandDispatcher::leading()
{
    const std::vector<const TextObject*> texts = selectedTexts(drawing());
    LeadingDialog dialog(&m_frame);
    dialog.setLeading(texts.empty() ? 0.0 : double(texts.front()->leading()));
    if (dialog.exec() != 1 || !LeadingDialog::acceptable(dialog.leading()) || texts.empty())
        return;
    drawing().history().execute(
        std::make_unique<TextLeadingCommand>(drawing(), drawing().selection(), float(dialog.leading())));
    window().invalidateAll();
}

} // namespace zavora
