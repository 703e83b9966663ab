#pragma once
// Command identifiers. Menu items, accelerators, bar buttons and tool keys all
// become one of these 16-bit ids and end in the shell's dispatcher.

namespace zavora {

// Fill menu.
constexpr int kCmdFillTransparent = 6011;
constexpr int kCmdFillBlack = 6012;
constexpr int kCmdFillWhite = 6013;
constexpr int kCmdPattern0 = 6014; // Pattern 0..8 are 6014..6022
constexpr int kCmdPattern8 = 6022;
constexpr int kCmdFillColor = 6023;
constexpr int kCmdNoPattern = 6048;

// Line menu.
constexpr int kCmdLineInvisible = 6024;
constexpr int kCmdPen0 = 6025;
constexpr int kCmdPen1 = 6026;
constexpr int kCmdPen2 = 6027;
constexpr int kCmdPen3 = 6028;
constexpr int kCmdPen4 = 6029;
constexpr int kCmdPen5 = 6030;
constexpr int kCmdPen6 = 6031;
constexpr int kCmdPen7 = 6032;
constexpr int kCmdPen8 = 6033;
constexpr int kCmdPen9 = 6041;
constexpr int kCmdPen10 = 6042;
constexpr int kCmdPen11 = 6043;
constexpr int kCmdLineColor = 6044;
constexpr int kCmdLineBlack = 6049;
constexpr int kCmdLineWhite = 6051;

// Text colour.
constexpr int kCmdTextBlack = 6060;
constexpr int kCmdTextWhite = 6061;
constexpr int kCmdTextColor = 6062;

// Arrowheads, first end.
constexpr int kCmdFirstNoArrow = 6119;
constexpr int kCmdFirstSmallArrow = 6121;
constexpr int kCmdFirstBigArrow = 6122;
constexpr int kCmdFirstFancyArrow = 6123;
constexpr int kCmdFirstCircle = 6124;
constexpr int kCmdFirstSquare = 6125;

// Arrowheads, second end.
constexpr int kCmdSecondNoArrow = 6120;
constexpr int kCmdSecondSmallArrow = 6038;
constexpr int kCmdSecondBigArrow = 6039;
constexpr int kCmdSecondFancyArrow = 6040;
constexpr int kCmdSecondCircle = 6126;
constexpr int kCmdSecondSquare = 6127;

// Whole-style commands.
constexpr int kCmdPickUpStyle = 6045;
constexpr int kCmdApplyDefaultStyle = 6046;

// Edit and arrange commands carried out by the Drawing.
constexpr int kCmdNew = 101;
constexpr int kCmdUndo = 201;
constexpr int kCmdCut = 204;
constexpr int kCmdCopy = 205;
constexpr int kCmdPaste = 206; // needs the view's visible rectangle
constexpr int kCmdRedo = 6076;
constexpr int kCmdDuplicate = 6114;
constexpr int kCmdClear = 202;
constexpr int kCmdSelectAll = 203;
constexpr int kCmdGroup = 207;
constexpr int kCmdUngroup = 208;
constexpr int kCmdBringToFront = 209;
constexpr int kCmdSendToBack = 210;
constexpr int kCmdMove = 453;
constexpr int kCmdAlignLeft = 6063;
constexpr int kCmdAlignRight = 6064;
constexpr int kCmdAlignTops = 6065;
constexpr int kCmdAlignBottoms = 6066;
constexpr int kCmdAlignCentersVertically = 6067;
constexpr int kCmdAlignCentersHorizontally = 6068;
constexpr int kCmdSpaceEdgesVertically = 6070;
constexpr int kCmdSpaceEdgesHorizontally = 6071;
constexpr int kCmdSpaceCentersHorizontally = 6072;
constexpr int kCmdSpaceCentersVertically = 6073;
constexpr int kCmdScale = 6074;
constexpr int kCmdRotate = 6075;
constexpr int kCmdMoveForward = 6083;
constexpr int kCmdMoveBackward = 6084;
constexpr int kCmdMakeCompoundPath = 6089;
constexpr int kCmdReleaseCompoundPath = 6090;
constexpr int kCmdLock = 6091;
constexpr int kCmdUnlockAll = 6092;
constexpr int kCmdRotatePlus90 = 6101;
constexpr int kCmdRotateMinus90 = 6102;
constexpr int kCmdDeselectAll = 6113;
constexpr int kCmdDeselectAll2 = 6128;

} // namespace zavora
