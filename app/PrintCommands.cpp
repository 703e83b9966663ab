// Print and Print Setup: the drawing as a PostScript job on the chosen CUPS
// queue (its filters fit the job to any printer), or into a file.
#include "app/CommandDispatcher.h"

#include "app/BusyStatus.h"
#include "app/MainFrame.h"
#include "app/Shell.h"
#include "app/dialogs/FileDialogs.h"
#include "export/Export.h"
#include "model/Drawing.h"
#include "platform/OutputStream.h"
#include "platform/cups/CupsPrinterStream.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace zavora {

CommandDispatcher::~CommandDispatcher() = default;

QPrinter& CommandDispatcher::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CommandDispatcher::printSetup()
{
    chooseSelectionTool();
    QPageSetupDialog dialog(&printer(), &m_frame);
    dialog.exec();
}

void CommandDispatcher::print()
{
    chooseSelectionTool();
    QPrinter& chosen = printer();
    QPrintDialog dialog(&chosen, &m_frame);
    dialog.setOption(QAbstractPrintDialog::PrintToFile);
    if (dialog.exec() != QDialog::Accepted)
        return;

    // The print dialog's file is a PDF unless it is named otherwise: a file
    // named .pdf gets a PDF, any other name the PostScript job.
    const QString file = chosen.outputFileName();
    if (file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        BusyStatus busy(m_frame.statusBar(), "Printing...");
        exportToFile(drawing(), ExportKind::Pdf, file.toStdString(), ExportOptions {}, nullptr);
        return;
    }
    const QString title = drawing().fileName().empty() ? QStringLiteral("Untitled") : baseNameOf(drawing().fileName());
    std::unique_ptr<OutputStream> stream;
    if (!file.isEmpty())
        stream = std::make_unique<FileOutputStream>(file.toStdString());
    else
        stream = std::make_unique<CupsPrinterStream>(chosen.printerName().toStdString(), title.toStdString(),
            chosen.copyCount(), chosen.pageLayout().pageSize().key().toStdString());
    // A queue that cannot be reached was reported; the drawing is untouched.
    if (!stream->open())
        return;
    WaitCursor wait;
    BusyStatus busy(m_frame.statusBar(), "Printing...");
    const FontDownloadForm form
        = m_shell.settings().type42Ok ? FontDownloadForm::Type42 : FontDownloadForm::Type3;
    if (printDrawing(drawing(), *stream, form))
        stream->close();
    else
        stream->abandon();
}

} // namespace zavora
