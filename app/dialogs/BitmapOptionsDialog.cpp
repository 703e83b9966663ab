#include "app/dialogs/BitmapOptionsDialog.h"

#include "app/dialogs/DialogValues.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zavora {

namespace {

const char* templateFor(BitmapOptionsDialog::Format format)
{
    switch (format) {
    case BitmapOptionsDialog::Format::Gif: return "GIFDLG";
    case BitmapOptionsDialog::Format::Jpeg: return "JPGDLG";
    default: return "BMPDLG";
    }
}

QString titleFor(BitmapOptionsDialog::Format format)
{
    switch (format) {
    case BitmapOptionsDialog::Format::Gif: return QStringLiteral("GIF Options");
    case BitmapOptionsDialog::Format::Jpeg: return QStringLiteral("JPEG Options");
    default: return QStringLiteral("Bitmap Options");
    }
}

QGroupBox* radioGroup(QWidget* parent, const QString& title, QButtonGroup* group,
    std::initializer_list<std::pair<const char*, const char*>> buttons)
{
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    int id = 0;
    for (const auto& [text, name] : buttons) {
        auto* button = new QRadioButton(QString::fromLatin1(text), box);
        button->setObjectName(QString::fromLatin1(name));
        group->addButton(button, id++);
        layout->addWidget(button);
    }
    return box;
}

} // namespace

BitmapOptionsDialog::BitmapOptionsDialog(QWidget* owner, Format format)
    : ModalDialog(owner, templateFor(format), titleFor(format))
    , m_format(format)
    , m_smoothing(new QButtonGroup(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(radioGroup(this, QStringLiteral("Smoothing"), m_smoothing,
        { { "Off", "smoothOff" }, { "Normal", "smoothNormal" }, { "Maximum", "smoothMaximum" } }));
    if (format == Format::Gif) {
        m_interlace = new QCheckBox(QStringLiteral("Interlace"), this);
        m_interlace->setObjectName(QStringLiteral("interlace"));
        m_transparent = new QCheckBox(QStringLiteral("Transparent background"), this);
        m_transparent->setObjectName(QStringLiteral("transparent"));
        layout->addWidget(m_interlace);
        layout->addWidget(m_transparent);
    }
    if (format == Format::Jpeg) {
        m_quality = new QButtonGroup(this);
        layout->addWidget(radioGroup(this, QStringLiteral("Quality"), m_quality,
            { { "Low", "qualityLow" }, { "Medium", "qualityMedium" }, { "High", "qualityHigh" } }));
    }
    addButtons(layout);
    setChoices(m_choices);
}

void BitmapOptionsDialog::setChoices(const BitmapChoices& choices)
{
    m_choices = choices;
    m_smoothing->button(std::clamp(choices.smoothing, 0, 2))->setChecked(true);
    if (m_interlace) {
        m_interlace->setChecked(choices.interlace);
        m_transparent->setChecked(choices.transparent);
    }
    if (m_quality)
        m_quality->button(jpegLevelForQuality(choices.quality))->setChecked(true);
}

void BitmapOptionsDialog::commit()
{
    m_choices.smoothing = m_smoothing->checkedId();
    if (m_interlace) {
        m_choices.interlace = m_interlace->isChecked();
        m_choices.transparent = m_transparent->isChecked();
    }
    if (m_quality)
        m_choices.quality = jpegQualityForLevel(m_quality->checkedId());
}

} // namespace zavora
