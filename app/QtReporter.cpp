#include "app/QtReporter.h"

#include "app/StatusBar.h"

#include <QMessageBox>

#include <cstdio>

namespace zavora {

namespace {

void showBox(QWidget* owner, QMessageBox::Icon icon, const char* caption, const std::string& text)
{
    QMessageBox box(icon, QString::fromLatin1(caption), QString::fromStdString(text), QMessageBox::Ok, owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace

QtReporter::QtReporter()
{
    setReporter(this);
}

QtReporter::~QtReporter()
{
    setReporter(nullptr);
}

void QtReporter::setOwner(QWidget* owner, StatusBar* status)
{
    m_owner = owner;
    m_status = status;
}

void QtReporter::error(const std::string& text)
{
    showBox(m_owner, QMessageBox::Critical, "Error", text);
}

void QtReporter::warning(const std::string& text)
{
    showBox(m_owner, QMessageBox::Warning, "Warning", text);
}

void QtReporter::info(const std::string& text)
{
    showBox(m_owner, QMessageBox::Information, "Zavora", text);
}

void QtReporter::status(const std::string& text)
{
    if (m_status)
        m_status->setMessage(QString::fromStdString(text));
}

} // namespace zavora
