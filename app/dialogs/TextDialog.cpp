#include "app/dialogs/TextDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zavora {

TextDialog::TextDialog(QWidget* owner, const char* templateName, const QString& title)
    : ModalDialog(owner, templateName, title)
    , m_box(new QLineEdit(this))
{
    m_box->setObjectName(QStringLiteral("text"));
    m_box->setMinimumWidth(320);
}

void TextDialog::setText(const std::string& text)
{
    m_text = text;
    m_box->setText(QString::fromStdString(text));
    m_box->selectAll();
}

void TextDialog::commit()
{
    m_text = textOf(m_box);
}

UrlDialog::UrlDialog(QWidget* owner)
    : TextDialog(owner, "URLDLG", QStringLiteral("Specify URL"))
{
    m_box->setMaxLength(kMaxLength);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Specify URL for selected objects"), this));
    layout->addWidget(m_box);
    layout->addWidget(new QLabel(QStringLiteral("URLs will become active when you export drawing to SVG format"), this));
    addButtons(layout);
}

InputDialog::InputDialog(QWidget* owner, const std::string& prompt, int maxLength)
    : TextDialog(owner, "INPUTDLG", QStringLiteral("Input"))
    , m_prompt(new QLabel(QString::fromStdString(prompt), this))
{
    m_prompt->setObjectName(QStringLiteral("prompt"));
    if (maxLength > 0)
        m_box->setMaxLength(maxLength);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_box);
    addButtons(layout);
}

} // namespace zavora
