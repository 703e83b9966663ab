#pragma once
// Command identifiers the shell itself carries out or keeps in step with the
// state (the model's own commands are in model/CommandIds.h).

namespace zavora {

constexpr int kCmdUndo = 201;
constexpr int kCmdCut = 204;
constexpr int kCmdCopy = 205;
constexpr int kCmdPaste = 206;
constexpr int kCmdPreview = 302;
constexpr int kCmdFitInWindow = 304;
constexpr int kCmdFitWidth = 305;
constexpr int kCmdTextTool = 411;
constexpr int kCmdScaleTool = 451;
constexpr int kCmdRotateTool = 452;
constexpr int kCmdSkewTool = 454;
constexpr int kCmdReflectTool = 455;
constexpr int kCmdEditText = 602;
constexpr int kCmdRedo = 6076;
constexpr int kCmdRuler = 6093;
constexpr int kCmdColorBar = 6095;
constexpr int kCmdShapeLibrary = 6132;

// The style bar's selection-dependent buttons.
constexpr int kCmdStyleBarFirst = 6101;
constexpr int kCmdStyleBarLast = 6104;

} // namespace zavora
