#pragma once
// The tools' nine cursors by index (tools/ToolView.h): the system's wait and
// arrow cursors and seven drawn here (creation crosshair, transform, gesture,
// hand, I-beam, eyedropper empty and carrying a style).

#include <QCursor>

namespace zavora {

QCursor makeToolCursor(int index);

} // namespace zavora
