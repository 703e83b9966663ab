#pragma once
// Bitmap export choices: smoothing for every bitmap format, interlace and
// a transparent background for GIF, the quality for JPEG.

#include "app/dialogs/ModalDialog.h"

class QButtonGroup;
class QCheckBox;

namespace zavora {

struct BitmapChoices {
    int smoothing = 0; // 0 off, 1 normal, 2 maximum
    bool interlace = false;
    bool transparent = false;
    int quality = 75; // JPEG: 25, 75 or 100
    bool operator==(const BitmapChoices&) const = default;
};

class BitmapOptionsDialog : public ModalDialog {
    Q_OBJECT
public:
    enum class Format { Bmp, Gif, Jpeg };

    BitmapOptionsDialog(QWidget* owner, Format format);

    void setChoices(const BitmapChoices& choices);
    // The choices the format does not show come back as they were set.
    const BitmapChoices& choices() const { return m_choices; }

protected:
    void commit() override;

private:
    Format m_format;
    BitmapChoices m_choices;
    QButtonGroup* m_smoothing;
    QButtonGroup* m_quality = nullptr;
    QCheckBox* m_interlace = nullptr;
    QCheckBox* m_transparent = nullptr;
};

} // namespace zavora
