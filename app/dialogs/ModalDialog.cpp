#include "app/dialogs/ModalDialog.h"

#include "app/WindowPlacement.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

namespace zavora {

ModalDialog::ModalDialog(QWidget* owner, const char* templateName, const QString& title)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QString::fromLatin1(templateName));
    setWindowTitle(title);
    setModal(true);
}

void ModalDialog::accept()
{
    if (!validate())
        return;
    commit();
    QDialog::accept();
}

QDialogButtonBox* ModalDialog::addButtons(QBoxLayout* layout)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ModalDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ModalDialog::reject);
    layout->addWidget(buttons);
    return buttons;
}

void ModalDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QWidget* owner = parentWidget()) {
        adjustSize();
        placeOnScreen(*this, owner);
    }
}

std::string ModalDialog::textOf(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

} // namespace zavora
