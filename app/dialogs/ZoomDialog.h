#pragma once
// Zoom: a percentage typed or chosen on a 25..1200 slider, the two linked.

#include "app/dialogs/ModalDialog.h"

class QSlider;

namespace zavora {

class ZoomDialog : public ModalDialog {
    Q_OBJECT
public:
    explicit ZoomDialog(QWidget* owner);

    // The current zoom; also the answer when the box holds no number.
    void setPercent(int percent);
    // Limited to 25..1200.
    int percent() const { return m_percent; }

protected:
    void commit() override;

private:
    void typed(const QString& text);
    void slid(int value);

    int m_current = 100;
    int m_percent = 100;
    QSlider* m_slider;
    QLineEdit* m_box;
};

} // namespace zavora
