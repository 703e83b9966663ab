#include "app/dialogs/ProgressWindow.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zavora {

namespace {

bool g_cancelFlag = false;

} // namespace

bool ProgressWindow::cancelFlag()
{
    return g_cancelFlag;
}

ProgressWindow::~ProgressWindow()
{
    dismiss(false);
}

void ProgressWindow::open(QWidget* owner)
{
    dismiss(false);
    g_cancelFlag = false;
    m_done = m_total = 0;
    m_owner = owner;

    m_dialog = new QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    m_dialog->setObjectName(QStringLiteral("PROGRESSDLG"));
    m_dialog->setWindowTitle(QCoreApplication::applicationName());
    m_dialog->setModal(false);
    auto* text = new QLabel(QStringLiteral("Working..."), m_dialog);
    text->setObjectName(QStringLiteral("text"));
    text->setMinimumWidth(260);
    m_text = text;
    m_bar = new QProgressBar(m_dialog);
    m_bar->setObjectName(QStringLiteral("bar"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, m_dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    auto* layout = new QVBoxLayout(m_dialog);
    layout->addWidget(text);
    layout->addWidget(m_bar);
    layout->addWidget(buttons);
    // Escape and the Cancel button both end up in rejected().
    QObject::connect(buttons, &QDialogButtonBox::rejected, m_dialog, &QDialog::reject);
    QObject::connect(m_dialog, &QDialog::rejected, m_dialog, [this] { cancel(); });

    if (owner)
        owner->setEnabled(false);
    m_dialog->show();
    // Disabling the owner must not take the dialog with it.
    m_dialog->setEnabled(true);
    if (owner) {
        const QPoint centre = owner->mapToGlobal(owner->rect().center());
        m_dialog->adjustSize();
        m_dialog->move(centre - QPoint(m_dialog->width() / 2, m_dialog->height() / 2));
    }
}

void ProgressWindow::setProgress(int done, int total)
{
    m_done = done;
    m_total = total;
    if (m_dialog) {
        const long long whole = total == 0 ? 1 : total;
        // The bar ignores values outside its range, so an overrun shows as full.
        m_bar->setValue(static_cast<int>(std::clamp(static_cast<long long>(done) * 100 / whole, 0LL, 100LL)));
    }
    QCoreApplication::processEvents();
}

void ProgressWindow::start(int total)
{
    setProgress(0, total);
}

void ProgressWindow::step()
{
    setProgress(m_done + 1, m_total);
}

void ProgressWindow::setMessage(const char* text)
{
    if (m_dialog && m_text)
        m_text->setText(QString::fromUtf8(text));
}

void ProgressWindow::close()
{
    dismiss(false);
}

void ProgressWindow::cancel()
{
    g_cancelFlag = true;
    // We are inside the dialog's own signal: it goes once the job lets events run.
    dismiss(true);
}

void ProgressWindow::dismiss(bool later)
{
    if (m_owner)
        m_owner->setEnabled(true);
    m_owner = nullptr;
    if (!m_dialog)
        return;
    QDialog* dialog = m_dialog;
    m_dialog = nullptr;
    m_bar = nullptr;
    m_text = nullptr;
    dialog->hide();
    if (later)
        dialog->deleteLater();
    else
        delete dialog;
}

} // namespace zavora
