#pragma once
// EPS export choices: preview, font substitution, font embedding and its
// format, and the border width.

#include "app/dialogs/ModalDialog.h"

class QCheckBox;
class QRadioButton;

namespace zavora {

struct EpsChoices {
    bool preview = false;
    bool substitute = false; // standard PostScript fonts for TrueType fonts
    bool includeFonts = false;
    bool type42 = true; // else Type 3
    double border = 9; // points
    bool operator==(const EpsChoices&) const = default;
};

class EpsOptionsDialog : public ModalDialog {
    Q_OBJECT
public:
    explicit EpsOptionsDialog(QWidget* owner);

    void setChoices(const EpsChoices& choices);
    const EpsChoices& choices() const { return m_choices; }

protected:
    void commit() override;

private:
    void updateEnabling();

    EpsChoices m_choices;
    QCheckBox* m_preview;
    QCheckBox* m_substitute;
    QCheckBox* m_include;
    QRadioButton* m_type3;
    QRadioButton* m_type42;
    QLineEdit* m_border;
};

} // namespace zavora
