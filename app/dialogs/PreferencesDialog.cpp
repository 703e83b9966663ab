#include "app/dialogs/PreferencesDialog.h"

#include "app/dialogs/DialogValues.h"
#include "platform/Reporter.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zavora {

namespace {

struct PaperSize {
    const char* name;
    int width, height;
};

constexpr PaperSize kPapers[] = { { "Letter", 612, 792 }, { "Legal", 612, 1008 }, { "A4", 595, 842 } };

} // namespace

PreferencesDialog::PreferencesDialog(QWidget* owner)
    : ModalDialog(owner, "Preferences", QStringLiteral("Preferences"))
    , m_tabs(new QTabWidget(this))
    , m_paper(new QButtonGroup(this))
    , m_unitGroup(new QButtonGroup(this))
    , m_widthBox(new QLineEdit)
    , m_heightBox(new QLineEdit)
{
    auto* paperPage = new QWidget;
    paperPage->setObjectName(QStringLiteral("PAPERDLG"));
    auto* paperLayout = new QVBoxLayout(paperPage);
    const char* paperNames[] = { "Letter", "Legal", "A4", "Custom" };
    for (int i = 0; i < 4; ++i) {
        auto* button = new QRadioButton(QString::fromLatin1(paperNames[i]));
        button->setObjectName(QString::fromLatin1(paperNames[i]).toLower());
        m_paper->addButton(button, i);
        paperLayout->addWidget(button);
    }
    m_widthBox->setObjectName(QStringLiteral("width"));
    m_heightBox->setObjectName(QStringLiteral("height"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Width (points):"), m_widthBox);
    form->addRow(QStringLiteral("Height (points):"), m_heightBox);
    paperLayout->addLayout(form);
    paperLayout->addStretch();

    auto* unitsPage = new QWidget;
    unitsPage->setObjectName(QStringLiteral("UNITSDLG"));
    auto* unitsLayout = new QVBoxLayout(unitsPage);
    const char* unitNames[] = { "Inches", "Points", "Centimeters" };
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(QString::fromLatin1(unitNames[i]));
        button->setObjectName(QString::fromLatin1(unitNames[i]).toLower());
        m_unitGroup->addButton(button, i);
        unitsLayout->addWidget(button);
    }
    unitsLayout->addStretch();

    m_tabs->setObjectName(QStringLiteral("pages"));
    m_tabs->addTab(paperPage, QStringLiteral("Paper"));
    m_tabs->addTab(unitsPage, QStringLiteral("Units"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    addButtons(layout);

    connect(m_paper, &QButtonGroup::idClicked, this, [this](int id) { choosePaper(static_cast<Paper>(id)); });
    connect(m_tabs, &QTabWidget::currentChanged, this, &PreferencesDialog::pageChanging);
    setPaper(m_width, m_height);
    setUnits(m_units);
}

void PreferencesDialog::setPaper(int width, int height)
{
    m_width = width;
    m_height = height;
    Paper paper = Custom;
    for (int i = 0; i < 3; ++i)
        if (kPapers[i].width == width && kPapers[i].height == height)
            paper = static_cast<Paper>(i);
    m_widthBox->setText(QString::number(width));
    m_heightBox->setText(QString::number(height));
    choosePaper(paper);
}

void PreferencesDialog::setUnits(int units)
{
    m_units = units >= 0 && units <= 2 ? units : 0;
    m_unitGroup->button(m_units)->setChecked(true);
}

void PreferencesDialog::choosePaper(Paper paper)
{
    m_paper->button(paper)->setChecked(true);
    if (paper != Custom) {
        m_widthBox->setText(QString::number(kPapers[paper].width));
        m_heightBox->setText(QString::number(kPapers[paper].height));
    }
    m_widthBox->setEnabled(paper == Custom);
    m_heightBox->setEnabled(paper == Custom);
}

void PreferencesDialog::showPage(int page)
{
    m_tabs->setCurrentIndex(page);
}

bool PreferencesDialog::paperValid()
{
    if (!paperSide(textOf(m_widthBox))) {
        errorBox("Invalid width specified");
        return false;
    }
    if (!paperSide(textOf(m_heightBox))) {
        errorBox("Invalid height specified");
        return false;
    }
    return true;
}

void PreferencesDialog::pageChanging(int index)
{
    if (m_page == 0 && index != 0 && !paperValid()) {
        // The paper page stays open until its sizes are acceptable.
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(0);
        m_widthBox->setFocus();
        return;
    }
    m_page = index;
}

bool PreferencesDialog::validate()
{
    if (paperValid())
        return true;
    const QSignalBlocker block(m_tabs);
    m_tabs->setCurrentIndex(0);
    m_page = 0;
    return false;
}

void PreferencesDialog::commit()
{
    m_width = *paperSide(textOf(m_widthBox));
    m_height = *paperSide(textOf(m_heightBox));
    m_units = m_unitGroup->checkedId();
}

} // namespace zavora
