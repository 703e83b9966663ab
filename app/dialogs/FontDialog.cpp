#include "app/dialogs/FontDialog.h"

#include "app/dialogs/DialogValues.h"
#include "fonts/FontCatalogue.h"
#include "model/DrawingLimits.h"
#include "model/FontEntry.h"
#include "platform/NumberFormat.h"
#include "platform/Reporter.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

namespace zavora {

namespace {

class FontSample : public QWidget {
public:
    explicit FontSample(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("sample"));
        setMinimumSize(300, 90);
    }

    // An empty family draws nothing.
    void setSample(const QString& family, bool bold, bool italic, double size)
    {
        m_family = family;
        m_bold = bold;
        m_italic = italic;
        m_size = size;
        update();
    }

    bool showing() const { return !m_family.isEmpty(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        if (m_family.isEmpty())
            return;
        QFont font(m_family);
        font.setBold(m_bold);
        font.setItalic(m_italic);
        font.setPointSizeF(m_size);
        p.setFont(font);
        p.setPen(Qt::black);
        p.setClipRect(rect().adjusted(1, 1, -1, -1));
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("AaBbYyZz"));
    }

private:
    QString m_family;
    bool m_bold = false;
    bool m_italic = false;
    double m_size = 12;
};

QString sizeText(double size)
{
    return QString::fromStdString(formatGeneral(size));
}

} // namespace

FontDialog::FontDialog(QWidget* owner)
    : ModalDialog(owner, "FONTDLG", QStringLiteral("Font"))
    , m_names(new QComboBox(this))
    , m_sizes(new QComboBox(this))
    , m_sample(new FontSample(this))
{
    m_names->setObjectName(QStringLiteral("names"));
    m_sizes->setObjectName(QStringLiteral("sizes"));
    m_names->setEditable(true);
    m_sizes->setEditable(true);
    m_names->setInsertPolicy(QComboBox::NoInsert);
    m_sizes->setInsertPolicy(QComboBox::NoInsert);
    m_names->setMinimumWidth(220);
    for (double size : standardSizes())
        m_sizes->addItem(sizeText(size));

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Font:"), m_names);
    form->addRow(QStringLiteral("Size:"), m_sizes);
    layout->addLayout(form);
    layout->addWidget(m_sample);
    addButtons(layout);

    connect(m_names, &QComboBox::currentTextChanged, this, &FontDialog::updateSample);
    connect(m_sizes, &QComboBox::currentTextChanged, this, &FontDialog::updateSample);
}

std::vector<FontDialog::Choice> FontDialog::choicesFrom(const FontCatalogue& catalogue)
{
    std::vector<Choice> choices;
    for (const FontEntry* entry : catalogue.entries())
        choices.push_back({ entry->postScriptName(), entry->faceName(), (entry->styleBits() & FontEntry::kBold) != 0,
            (entry->styleBits() & FontEntry::kItalic) != 0 });
    return choices;
}

const std::vector<double>& FontDialog::standardSizes()
{
    static const std::vector<double> sizes { 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72 };
    return sizes;
}

void FontDialog::setChoices(std::vector<Choice> choices)
{
    m_choices = std::move(choices);
    m_names->clear();
    for (const Choice& choice : m_choices)
        m_names->addItem(QString::fromStdString(choice.name));
    setFont(m_name, m_size);
}

void FontDialog::setFont(const std::string& name, double size)
{
    m_name = name;
    m_size = size;
    m_names->setCurrentText(QString::fromStdString(name));
    m_sizes->setCurrentText(sizeText(size));
    updateSample();
}

const FontDialog::Choice* FontDialog::findChoice(const std::string& name) const
{
    for (const Choice& choice : m_choices)
        if (choice.name == name)
            return &choice;
    return nullptr;
}

void FontDialog::updateSample()
{
    auto* sample = static_cast<FontSample*>(m_sample);
    const Choice* choice = findChoice(m_names->currentText().toStdString());
    const auto size = parseNumber(m_sizes->currentText().toStdString());
    if (!choice || !size || *size < 1 || *size > 72)
        sample->setSample({}, false, false, 0);
    else
        sample->setSample(QString::fromStdString(choice->family), choice->bold, choice->italic, *size);
}

bool FontDialog::validate()
{
    const auto size = parseNumber(m_sizes->currentText().toStdString());
    if (!size || *size < kMinFontSize || *size > kMaxFontSize) {
        errorBox("Font size must be between 1 and %d", static_cast<int>(kMaxFontSize));
        m_sizes->setFocus();
        return false;
    }
    if (!findChoice(m_names->currentText().toStdString())) {
        errorBox("Can't find specified font");
        m_names->setFocus();
        return false;
    }
    return true;
}

void FontDialog::commit()
{
    m_name = m_names->currentText().toStdString();
    m_size = *parseNumber(m_sizes->currentText().toStdString());
}

} // namespace zavora
