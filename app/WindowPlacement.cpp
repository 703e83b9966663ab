#include "app/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace zavora {

namespace {

// The start of a span of `length` inside [low, low + room), as near `wanted`
// as it can be; the low end when it does not fit.
int keepInside(int wanted, int length, int low, int room)
{
    return std::max(low, std::min(wanted, low + room - length));
}

} // namespace

void placeOnScreen(QWidget& window, const QWidget* owner)
{
    QScreen* screen = owner ? owner->screen() : window.screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QSize decorations = window.frameGeometry().size() - window.size();
    const QSize fitted = window.size().boundedTo(available.size() - decorations);
    if (fitted != window.size())
        window.resize(fitted.expandedTo(window.minimumSize()));
    const QSize frame = window.size() + decorations;
    QPoint wanted = window.frameGeometry().topLeft();
    if (owner) {
        const QPoint centre = owner->mapToGlobal(owner->rect().center());
        wanted = centre - QPoint(frame.width() / 2, frame.height() / 2);
    }
    window.move(keepInside(wanted.x(), frame.width(), available.left(), available.width()),
        keepInside(wanted.y(), frame.height(), available.top(), available.height()));
}

} // namespace zavora
