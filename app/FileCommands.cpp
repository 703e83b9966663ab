// The file commands of the dispatcher: new, open, save as, revert, insert,
// export, the recent files, exit and opening a drawing of another format.
#include "app/CommandDispatcher.h"

#include "app/BusyStatus.h"
#include "app/DrawingWindow.h"
#include "app/MainFrame.h"
#include "app/Shell.h"
#include "app/ShellCommands.h"
#include "app/ShellRules.h"
#include "app/dialogs/FileDialogs.h"
#include "app/dialogs/ProgressWindow.h"
#include "app/dialogs/TextDialog.h"
#include "export/Export.h"
#include "export/Insert.h"
#include "model/Drawing.h"
#include "platform/Reporter.h"
#include "platform/qt/QtImageDecoder.h"

#include <QMessageBox>

#include <algorithm>

namespace zavora {

namespace {

const QStringList kDrawingFilters { QStringLiteral("Zavora Drawing (*.zvx)"),
    QStringLiteral("Illustrator 88 (*.ai)"), QStringLiteral("All Files (*)") };
// Insert takes pictures and text files too.
const QStringList kInsertFilters { QStringLiteral("Zavora Drawing (*.zvx)"),
    QStringLiteral("Illustrator 88 (*.ai)"), QStringLiteral("Windows Metafile (*.wmf)"),
    QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("JPEG Image (*.jpg *.jpeg)"), QStringLiteral("GIF Image (*.gif)"),
    QStringLiteral("PNG Image (*.png)"), QStringLiteral("Text (*.txt)"), QStringLiteral("All Files (*)") };

} // namespace

bool CommandDispatcher::runFile(int id)
{
    switch (id) {
    case kCmdNew:
        newDrawing();
        return true;
    case kCmdOpen:
        open();
        return true;
    case kCmdSave:
        chooseSelectionTool();
        m_shell.save();
        return true;
    case kCmdSaveAs:
        saveAs();
        return true;
    case kCmdRevert:
        revert();
        return true;
    case kCmdInsert:
        insert();
        return true;
    case kCmdExport:
        exportDrawing();
        return true;
    case kCmdPrint:
        print();
        return true;
    case kCmdPrintSetup:
        printSetup();
        return true;
    case kCmdExit:
        exit();
        return true;
    case kCmdOpenForeign:
        openForeign();
        return true;
    default:
        break;
    }
    if (id >= kCmdRecentFile1 && id < kCmdRecentFile1 + RecentFiles::kCount) {
        openRecent(id - kCmdRecentFile1);
        return true;
    }
    return false;
}

void CommandDispatcher::newDrawing()
{
    chooseSelectionTool();
    if (!m_shell.confirmDiscard())
        return;
    drawing().newDrawing();
    drawing().setModified(false);
    drawing().setFileName(std::string());
    m_shell.setTitle();
    window().drawingReplaced();
    m_frame.postCommand(kCmdFitInWindow);
}

std::optional<std::string> CommandDispatcher::askDrawingToOpen()
{
    chooseSelectionTool();
    if (!m_shell.confirmDiscard())
        return std::nullopt;
    FileDialogRequest request;
    request.title = QStringLiteral("Open");
    request.directory = m_shell.settings().openDir;
    request.filters = kDrawingFilters;
    const std::optional<FileChoice> choice = chooseFile(&m_frame, request);
    if (!choice)
        return std::nullopt;
    m_shell.settings().openDir = folderOf(choice->path);
    return choice->path;
}

void CommandDispatcher::open()
{
    if (const std::optional<std::string> path = askDrawingToOpen())
        m_shell.openDrawing(*path, true);
}

void CommandDispatcher::saveAs()
{
    chooseSelectionTool();
    const std::optional<std::string> path = m_shell.chooseSaveAsName();
    if (path)
        m_shell.saveAs(*path);
}

void CommandDispatcher::revert()
{
    const std::string path = drawing().fileName();
    // A drawing read from another program's file carries the native name it
    // will be saved under; until then there is no saved drawing to go back to.
    if (!m_shell.hasSavedFile()) {
        errorBox("This drawing has not been saved");
        return;
    }
    if (!drawing().isModified()) {
        infoBox("No changes to revert");
        return;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Confirm"),
        QStringLiteral("Lose changes since drawing was last saved?"), QMessageBox::Yes | QMessageBox::No, &m_frame);
    if (box.exec() != QMessageBox::Yes)
        return;
    m_shell.openDrawing(path, false);
}

void CommandDispatcher::insert()
{
    chooseSelectionTool();
    ShellSettings& settings = m_shell.settings();
    FileDialogRequest request;
    request.title = QStringLiteral("Insert");
    request.directory = settings.insertDir;
    request.filters = kInsertFilters;
    request.filterIndex = settings.insertFilter;
    const std::optional<FileChoice> choice = chooseFile(&m_frame, request);
    if (!choice)
        return;
    settings.insertDir = folderOf(choice->path);
    settings.insertFilter = choice->filterIndex;
    BusyStatus busy(m_frame.statusBar(), "Inserting...");
    QtImageDecoder images;
    insertFile(drawing(), choice->path, window().insertPlacement(), images);
}

void CommandDispatcher::exportDrawing()
{
    ShellSettings& settings = m_shell.settings();
    const std::vector<ExportFormat> formats = exportFormats(m_shell.formsEdition());
    FileDialogRequest request;
    request.title = QStringLiteral("Export");
    request.directory = settings.exportDir;
    request.proposedName = baseNameOf(drawing().fileName());
    for (const ExportFormat& format : formats)
        request.filters << QString::fromLatin1(format.filter);
    request.filterIndex = settings.exportFilter;
    request.save = true;
    const std::optional<FileChoice> choice = chooseFile(&m_frame, request);
    if (!choice || formats.empty())
        return;
    settings.exportDir = folderOf(choice->path);
    settings.exportFilter = choice->filterIndex;
    const ExportKind kind = formats[exportRowFor(formats, size_t(choice->filterIndex - 1), choice->path)].kind;

    ExportOptions options = exportServices();
    options.substituteFonts = settings.substitutePsForTt != 0;
    options.downloadForm = settings.type42Ok ? FontDownloadForm::Type42 : FontDownloadForm::Type3;
    switch (kind) {
    case ExportKind::Form: {
        InputDialog dialog(&m_frame, "Enter PostScript name for form:", kMaxFormNameLength);
        dialog.setText(m_formName);
        if (dialog.exec() != 1)
            return;
        m_formName = dialog.text();
        options.formName = m_formName;
        break;
    }
    case ExportKind::Eps: {
        EpsOptionsDialog dialog(&m_frame);
        m_epsChoices.type42 = settings.type42Ok != 0;
        m_epsChoices.substitute = settings.substitutePsForTt != 0;
        dialog.setChoices(m_epsChoices);
        if (dialog.exec() != 1)
            return;
        m_epsChoices = dialog.choices();
        settings.type42Ok = m_epsChoices.type42 ? 1 : 0;
        settings.substitutePsForTt = m_epsChoices.substitute ? 1 : 0;
        options.preview = m_epsChoices.preview;
        options.substituteFonts = m_epsChoices.substitute;
        options.includeFonts = m_epsChoices.includeFonts;
        options.downloadForm = m_epsChoices.type42 ? FontDownloadForm::Type42 : FontDownloadForm::Type3;
        options.border = float(m_epsChoices.border);
        break;
    }
    case ExportKind::Bmp:
    case ExportKind::Gif:
    case ExportKind::Jpeg: {
        using Format = BitmapOptionsDialog::Format;
        const Format format = kind == ExportKind::Bmp ? Format::Bmp : kind == ExportKind::Gif ? Format::Gif : Format::Jpeg;
        BitmapChoices& choices = kind == ExportKind::Bmp ? m_bmpChoices
            : kind == ExportKind::Gif                    ? m_gifChoices
                                                         : m_jpegChoices;
        BitmapOptionsDialog dialog(&m_frame, format);
        dialog.setChoices(choices);
        if (dialog.exec() != 1)
            return;
        choices = dialog.choices();
        static constexpr Smoothing kSmoothing[] = { Smoothing::None, Smoothing::Double, Smoothing::Quadruple };
        options.smoothing = kSmoothing[std::clamp(choices.smoothing, 0, 2)];
        options.jpegQuality = choices.quality;
        options.gifInterlace = choices.interlace;
        options.gifTransparent = choices.transparent;
        break;
    }
    default:
        break;
    }

    WaitCursor wait;
    ProgressWindow progress;
    progress.open(&m_frame);
    exportToFile(drawing(), kind, choice->path, options, &progress);
    progress.close();
    // The next JPEG export starts from the default quality again.
    if (kind == ExportKind::Svg)
        m_jpegChoices.quality = 75;
}

void CommandDispatcher::openRecent(int index)
{
    chooseSelectionTool();
    RecentFiles& recent = m_shell.settings().recentFiles;
    const std::string path = recent.at(index);
    if (path.empty() || path == drawing().fileName() || !m_shell.confirmDiscard())
        return;
    if (!m_shell.openDrawing(path, false))
        recent.remove(index);
}

void CommandDispatcher::exit()
{
    chooseSelectionTool();
    if (!m_shell.confirmDiscard())
        return;
    m_frame.closeWithoutAsking();
}

void CommandDispatcher::openForeign()
{
    const std::optional<std::string> path = askDrawingToOpen();
    if (!path)
        return;
    // Whatever format it came in, the drawing is now a native one to be
    // saved under its own name; a failed read leaves the drawing shown alone.
    if (m_shell.openDrawing(*path, false)) {
        drawing().setFileName(nativeNameFor(*path));
        drawing().setModified(true);
        m_shell.setTitle();
    }
}

} // namespace zavora
