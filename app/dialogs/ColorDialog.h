#pragma once
// Color: one colour shown as RGB, HSB or CMYK percentages, with a
// hue/saturation field, a brightness strip and a sample.

#include "app/dialogs/ColorModels.h"
#include "app/dialogs/ModalDialog.h"
#include "model/PaintStyle.h"

#include <array>

class QButtonGroup;
class QLabel;
class QSpinBox;

namespace zavora {

class ColorDialog : public ModalDialog {
    Q_OBJECT
public:
    enum Model { RgbModel, HsbModel, CmykModel };

    explicit ColorDialog(QWidget* owner);

    void setColor(const Color& color);
    Color color() const;
    void setModel(Model model);
    Model model() const { return m_model; }

    // The field spans hue (across) and saturation (up) at full brightness;
    // the strip is the brightness of the current hue and saturation.
    void pickInField(double hue, double saturation);
    void pickInStrip(double brightness);

    const Rgb& rgb() const { return m_rgb; }
    const Hsb& hsb() const { return m_hsb; }

private:
    void writeBoxes();
    void boxChanged();
    void colorChanged();

    Model m_model = RgbModel;
    Rgb m_rgb;
    Hsb m_hsb;
    bool m_writing = false;
    QButtonGroup* m_models;
    std::array<QLabel*, 4> m_labels {};
    std::array<QSpinBox*, 4> m_boxes {};
    QWidget* m_field;
    QWidget* m_strip;
    QWidget* m_sample;
};

} // namespace zavora
