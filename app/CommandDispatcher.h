#pragma once
// What every command identifier does: the file, edit, view, object, paint,
// text, tool and help commands, each in its frame (choose the selection
// tool first or keep the current tool) and with its dialogs and refusals.
// The frame calls run() for every identifier; run() answers false for an
// identifier it does not know.

#include "app/dialogs/BitmapOptionsDialog.h"
#include "app/dialogs/EpsOptionsDialog.h"
#include "output/ZvxReader.h"

#include <memory>
#include <optional>
#include <string>

class QPrinter;

namespace zavora {

class Drawing;
class DrawingWindow;
class MainFrame;
class Shell;
struct Color;

class CommandDispatcher {
public:
    CommandDispatcher(Shell& shell, MainFrame& frame);
    ~CommandDispatcher();

    bool run(int commandId);

private:
    Drawing& drawing();
    DrawingWindow& window();
    // Frame S and R: end any tool gesture by choosing the selection tool.
    void chooseSelectionTool();

    // File (FileCommands.cpp).
    bool runFile(int id);
    void newDrawing();
    void open();
    void saveAs();
    void revert();
    void insert();
    void exportDrawing();
    void openRecent(int index);
    void exit();
    void openForeign();
    // Print and Print Setup (PrintCommands.cpp).
    void print();
    void printSetup();
    QPrinter& printer();
    // After the save question, the open dialog; nothing when either is cancelled.
    std::optional<std::string> askDrawingToOpen();

    // Edit, view and object commands (CommandDispatcher.cpp).
    bool runEdit(int id);
    bool runView(int id);
    bool runObject(int id);
    void preferences();
    void setOrientation(bool landscape);
    void grid();
    void zoom();
    void specifyUrl();
    void moveDialog();
    void scaleDialog();
    void rotateDialog();
    void objectSnap();
    bool runTool(int id);
    bool runHelp(int id);

    // Paint and text commands (PaintCommands.cpp).
    bool runPaint(int id);
    std::optional<Color> chooseColor(int id);
    bool runText(int id);
    void font();
    void leading();

    Shell& m_shell;
    MainFrame& m_frame;
    // The values the Move and Rotate dialogs start from next time.
    int m_moveX = 0, m_moveY = 0;
    int m_rotation = 0;
    EpsChoices m_epsChoices;
    BitmapChoices m_bmpChoices, m_gifChoices, m_jpegChoices;
    std::string m_formName;
    // The printer and page setup chosen last, kept between the two dialogs.
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace zavora
