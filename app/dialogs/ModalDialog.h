#pragma once
// The common frame of the program's dialogs: named after its template,
// centred over its owner, OK (result 1) only when validate() agrees, Cancel
// or closing the window result 0.

#include <QDialog>

#include <string>

class QBoxLayout;
class QDialogButtonBox;
class QLineEdit;

namespace zavora {

class ModalDialog : public QDialog {
    Q_OBJECT
public:
    ModalDialog(QWidget* owner, const char* templateName, const QString& title);

    // Runs the validation, then accepts; a refused entry keeps the dialog open.
    void accept() override;

protected:
    // Reports what is wrong (through the Reporter) and answers false to keep
    // the dialog open.
    virtual bool validate() { return true; }
    // Reads the controls into the dialog's values once validate() agreed.
    virtual void commit() { }

    // OK and Cancel at the bottom of `layout`.
    QDialogButtonBox* addButtons(QBoxLayout* layout);
    void showEvent(QShowEvent* event) override;

    static std::string textOf(const QLineEdit* edit);
};

} // namespace zavora
