#pragma once
// Object snap: the flag and the aperture (1..20 pixels) with a preview square.

#include "app/dialogs/ModalDialog.h"

class QCheckBox;
class QSlider;

namespace zavora {

class ObjectSnapDialog : public ModalDialog {
    Q_OBJECT
public:
    explicit ObjectSnapDialog(QWidget* owner);

    // A distance outside 1..20 shows at the nearest end.
    void setSnap(bool enabled, int distance);
    bool enabled() const { return m_enabled; }
    int distance() const { return m_distance; }

    static constexpr int kMinAperture = 1;
    static constexpr int kMaxAperture = 20;

protected:
    void commit() override;

private:
    void updateEnabling();

    bool m_enabled = false;
    int m_distance = kMinAperture;
    QCheckBox* m_check;
    QSlider* m_slider;
    QWidget* m_preview;
};

} // namespace zavora
