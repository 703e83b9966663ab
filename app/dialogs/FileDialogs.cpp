#include "app/dialogs/FileDialogs.h"

#include "platform/jpeg/TurboJpegEncoder.h"
#include "platform/qt/QtPngEncoder.h"
#include "platform/qt/QtRasterSurface.h"

#include <QFileDialog>
#include <QRegularExpression>

#include <filesystem>

namespace zavora {

namespace {

// The table of export formats in the order the list shows them.
constexpr ExportFormat kExportTable[] = {
    { ExportKind::Svg, "SVG (*.svg)" },
    { ExportKind::Eps, "EPS (*.eps)" },
    { ExportKind::PostScript, "PostScript (*.ps)" },
    { ExportKind::Illustrator, "Adobe Illustrator (*.ai)" },
    { ExportKind::Pdf, "Adobe Acrobat (*.pdf)" },
    { ExportKind::Metafile, "Windows Metafile (*.wmf)" },
    { ExportKind::Jpeg, "JPEG (*.jpg)" },
    { ExportKind::Gif, "GIF (*.gif)" },
    { ExportKind::Bmp, "BMP (*.bmp)" },
    { ExportKind::Tiff, "TIFF (*.tif)" },
    { ExportKind::Png, "PNG (*.png)" },
    { ExportKind::Form, "PS Level II Form (*.ps)" },
};

// ".svg" from "SVG (*.svg)"; empty for "*" or no pattern.
QString extensionOf(const QString& filter)
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*(\\.[A-Za-z0-9]+)")).match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

std::optional<FileChoice> chooseFile(QWidget* owner, const FileDialogRequest& request)
{
    QFileDialog dialog(owner, request.title, QString::fromStdString(request.directory));
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setNameFilters(request.filters);
    const int index = std::clamp(request.filterIndex, 1, std::max(1, int(request.filters.size())));
    if (!request.filters.isEmpty())
        dialog.selectNameFilter(request.filters.at(index - 1));
    if (request.save) {
        // A name typed without an extension takes the chosen filter's before
        // the dialog checks for a file to replace.
        auto suffixFor = [](const QString& filter) { return extensionOf(filter).mid(1); };
        if (!request.filters.isEmpty())
            dialog.setDefaultSuffix(suffixFor(request.filters.at(index - 1)));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog, suffixFor](const QString& filter) { dialog.setDefaultSuffix(suffixFor(filter)); });
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!request.proposedName.isEmpty())
            dialog.selectFile(request.proposedName);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FileChoice choice;
    choice.filterIndex = std::max(1, int(request.filters.indexOf(dialog.selectedNameFilter())) + 1);
    choice.path = dialog.selectedFiles().constFirst().toStdString();
    return choice;
}

std::vector<ExportFormat> exportFormats(bool formsEdition)
{
    const ExportOptions services = exportServices();
    std::vector<ExportFormat> rows;
    for (const ExportFormat& row : kExportTable) {
        if (row.kind == ExportKind::Form && !formsEdition)
            continue;
        if (isExportAvailable(row.kind, services))
            rows.push_back(row);
    }
    return rows;
}

std::size_t exportRowFor(const std::vector<ExportFormat>& rows, std::size_t chosen, const std::string& path)
{
    const std::optional<ExportKind> typed = exportKindForPath(path);
    if (chosen >= rows.size() || !typed || rows[chosen].kind == *typed
        || extensionOf(QString::fromLatin1(rows[chosen].filter))
                .compare(QStringLiteral(".") + QString::fromStdString(fileExtension(path)), Qt::CaseInsensitive)
            == 0)
        return chosen; // the form shares .ps with PostScript
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].kind == *typed)
            return i;
    return chosen;
}

ExportOptions exportServices()
{
    static QtSurfaceFactory surfaces;
    static QtPngEncoder png;
    static TurboJpegEncoder jpeg;
    ExportOptions options;
    options.surfaces = &surfaces;
    options.pngEncoder = &png;
    options.jpegEncoder = &jpeg;
    return options;
}

QString baseNameOf(const std::string& path)
{
    return QString::fromStdString(std::filesystem::path(path).stem().string());
}

std::string folderOf(const std::string& path)
{
    const std::string parent = std::filesystem::path(path).parent_path().string();
    return parent.empty() ? "." : parent;
}

} // namespace zavora
