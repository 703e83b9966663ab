#pragma once
// Where a dialog or a secondary window opens: centred over its owner, and
// always wholly inside the available area of the screen (a window that is
// larger than that area is shrunk to it where it can be).

class QWidget;

namespace zavora {

// For a shown top-level window, whose frame size is known by then. `owner`
// may be null: the window then stays where it is, only brought on screen.
void placeOnScreen(QWidget& window, const QWidget* owner);

} // namespace zavora
