#pragma once
// The open, save, insert and export file dialogs: a file name (and the
// chosen filter) or nothing when cancelled. The export list is built from
// the formats this build can write, in the program's fixed order.

#include "export/Export.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace zavora {

struct FileChoice {
    std::string path;
    int filterIndex = 1; // 1-based among the filters shown
};

struct FileDialogRequest {
    QString title;
    std::string directory;
    QString proposedName; // without directory
    QStringList filters; // "Name (*.ext)"
    int filterIndex = 1;
    bool save = false; // asks before replacing a file
};

// Runs the dialog; a saved name without an extension gets the chosen
// filter's. Nothing when cancelled.
std::optional<FileChoice> chooseFile(QWidget* owner, const FileDialogRequest& request);

// One row of the export list.
struct ExportFormat {
    ExportKind kind;
    const char* filter; // "SVG (*.svg)"
};
// The rows shown: every format this build writes, the form only in the forms edition.
std::vector<ExportFormat> exportFormats(bool formsEdition);
// The row to write a chosen name with: the chosen row, unless the name was
// typed with the extension of another row, which is then the one meant.
std::size_t exportRowFor(const std::vector<ExportFormat>& rows, std::size_t chosen, const std::string& path);
// Export options holding the platform's surfaces and encoders, which the
// bitmap exports draw and encode with.
ExportOptions exportServices();

// The drawing's file name without directory and extension ("" when unnamed).
QString baseNameOf(const std::string& path);
// The folder of a path ("." for a bare name).
std::string folderOf(const std::string& path);

} // namespace zavora
