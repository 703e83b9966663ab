#pragma once
// One of the two rulers beside the drawing window: page coordinates in the
// current unit along its edge, and a mark where the pointer is.

#include <QWidget>

namespace zavora {

class View;

class Ruler : public QWidget {
    Q_OBJECT
public:
    Ruler(Qt::Orientation orientation, QWidget* parent);

    Qt::Orientation orientation() const { return m_orientation; }
    // The view to follow (not owned), the unit, and how far the drawing
    // window's first pixel lies from the ruler's along the ruler.
    void setView(const View* view, int unit, int clientOffset);
    // The pointer's drawing-window pixel along the ruler; -1 hides the mark.
    void setMarker(int clientPixel);
    int marker() const { return m_marker; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawMarker(QPainter& painter);

    Qt::Orientation m_orientation;
    const View* m_view = nullptr;
    int m_unit = 0;
    int m_clientOffset = 0;
    int m_marker = -1;
};

} // namespace zavora
