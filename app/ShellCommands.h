#pragma once
// Command identifiers the shell itself carries out (the model's own commands
// are in model/CommandIds.h; the tools' in tools/ToolSet.h).

#include "model/CommandIds.h"

namespace zavora {

// File.
constexpr int kCmdOpen = 102;
constexpr int kCmdSave = 103;
constexpr int kCmdSaveAs = 104;
constexpr int kCmdPrint = 105;
constexpr int kCmdPrintSetup = 106;
constexpr int kCmdExit = 107;
constexpr int kCmdExport = 6052;
constexpr int kCmdOpenForeign = 6053;
constexpr int kCmdInsert = 6054;
constexpr int kCmdRevert = 6082;
constexpr int kCmdRecentFile1 = 6115; // 6115 ... 6118

// Edit.
constexpr int kCmdPreferences = 6008;

// View.
constexpr int kCmdRedraw = 301;
constexpr int kCmdPreview = 302;
constexpr int kCmdGrid = 303;
constexpr int kCmdFitInWindow = 304;
constexpr int kCmdFitWidth = 305;
constexpr int kCmdZoom = 306;
constexpr int kCmdPortrait = 504;
constexpr int kCmdLandscape = 505;
constexpr int kCmdRuler = 6093;
constexpr int kCmdColorBar = 6095;
constexpr int kCmdShapeLibrary = 6132;

// Object.
constexpr int kCmdObjectSnap = 6094;
constexpr int kCmdFlipHorizontal = 6103;
constexpr int kCmdFlipVertical = 6104;
constexpr int kCmdSpecifyUrl = 6131;

// Text.
constexpr int kCmdFont = 501;
constexpr int kCmdLeading = 6055;
constexpr int kCmdAlignTextLeft = 6056; // 6056 ... 6059: left, centred, right, justified
constexpr int kCmdAlignTextJustified = 6059;

// Tools and help.
constexpr int kCmdTextTool = 411;
constexpr int kCmdScaleTool = 451;
constexpr int kCmdRotateTool = 452;
constexpr int kCmdSkewTool = 454;
constexpr int kCmdReflectTool = 455;
constexpr int kCmdAbout = 601;
constexpr int kCmdEditText = 602;
constexpr int kCmdHelpContents = 6003;
constexpr int kCmdHelpSearch = 6004;
constexpr int kCmdHelpHowTo = 6005;

// The node menu (the selection tool's right click on a path).
constexpr int kCmdInsertNode = 6077;
constexpr int kCmdDeleteNode = 6078;
constexpr int kCmdCornerNode = 6079;
constexpr int kCmdCloseNode = 6080;

} // namespace zavora
