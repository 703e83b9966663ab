#include "app/dialogs/EpsOptionsDialog.h"

#include "app/dialogs/DialogValues.h"
#include "platform/NumberFormat.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zavora {

EpsOptionsDialog::EpsOptionsDialog(QWidget* owner)
    : ModalDialog(owner, "EPSDLG", QStringLiteral("EPS Options"))
    , m_preview(new QCheckBox(QStringLiteral("Include screen preview"), this))
    , m_substitute(new QCheckBox(QStringLiteral("Substitute PostScript fonts for TrueType fonts"), this))
    , m_include(new QCheckBox(QStringLiteral("Include fonts"), this))
    , m_type3(new QRadioButton(QStringLiteral("Type 3")))
    , m_type42(new QRadioButton(QStringLiteral("Type 42")))
    , m_border(new QLineEdit(this))
{
    m_preview->setObjectName(QStringLiteral("preview"));
    m_substitute->setObjectName(QStringLiteral("substitute"));
    m_include->setObjectName(QStringLiteral("include"));
    m_type3->setObjectName(QStringLiteral("type3"));
    m_type42->setObjectName(QStringLiteral("type42"));
    m_border->setObjectName(QStringLiteral("border"));

    auto* group = new QGroupBox(QStringLiteral("TrueType fonts"), this);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_type3);
    groupLayout->addWidget(m_type42);
    auto* note = new QLabel(QStringLiteral("For highest quality choose Type 42 format.\n"
                                           "For compatibility with old PostScript printers\n"
                                           "choose Type 3 format."),
        group);
    note->setObjectName(QStringLiteral("note"));
    groupLayout->addWidget(note);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_preview);
    layout->addWidget(m_substitute);
    layout->addWidget(m_include);
    layout->addWidget(group);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Border width (points):"), m_border);
    layout->addLayout(form);
    addButtons(layout);

    connect(m_include, &QCheckBox::toggled, this, &EpsOptionsDialog::updateEnabling);
    connect(m_substitute, &QCheckBox::toggled, this, &EpsOptionsDialog::updateEnabling);
    setChoices(m_choices);
}

void EpsOptionsDialog::setChoices(const EpsChoices& choices)
{
    m_choices = choices;
    m_preview->setChecked(choices.preview);
    m_substitute->setChecked(choices.substitute);
    m_include->setChecked(choices.includeFonts);
    (choices.type42 ? m_type42 : m_type3)->setChecked(true);
    m_border->setText(QString::fromStdString(formatGeneral(choices.border)));
    updateEnabling();
}

void EpsOptionsDialog::updateEnabling()
{
    const bool fontFormat = m_include->isChecked() && !m_substitute->isChecked();
    m_type3->setEnabled(fontFormat);
    m_type42->setEnabled(fontFormat);
}

void EpsOptionsDialog::commit()
{
    m_choices.preview = m_preview->isChecked();
    m_choices.substitute = m_substitute->isChecked();
    m_choices.includeFonts = m_include->isChecked();
    m_choices.type42 = m_type42->isChecked();
    // A border that is no number, or a negative one, is no border.
    const double border = parseNumber(textOf(m_border)).value_or(0);
    m_choices.border = border > 0 ? border : 0;
}

} // namespace zavora
