#pragma once
// The shape library panel at the frame's right: a title strip with a close
// button over an etched frame, and an empty library area below it.

#include "app/BarWindow.h"

namespace zavora {

class BarButton;

class ShapeLibraryPanel : public BarWindow {
    Q_OBJECT
public:
    explicit ShapeLibraryPanel(QWidget* parent);

    BarButton* closeButton() const { return m_close; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QFont m_captionFont;
    int m_titleHeight;
    BarButton* m_close;
    QWidget* m_library;
};

} // namespace zavora
