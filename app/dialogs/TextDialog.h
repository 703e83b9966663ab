#pragma once
// The dialogs that ask for one line of text: the URL of the selected
// objects, and the generic prompt (the form name of an export).

#include "app/dialogs/ModalDialog.h"

#include <string>

class QLabel;

namespace zavora {

class TextDialog : public ModalDialog {
    Q_OBJECT
public:
    void setText(const std::string& text);
    // As typed, up to the box's limit.
    const std::string& text() const { return m_text; }

protected:
    TextDialog(QWidget* owner, const char* templateName, const QString& title);
    void commit() override;

    std::string m_text;
    QLineEdit* m_box;
};

class UrlDialog : public TextDialog {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 1023;
    explicit UrlDialog(QWidget* owner);
};

class InputDialog : public TextDialog {
    Q_OBJECT
public:
    // maxLength: the caller's buffer size less its terminator.
    InputDialog(QWidget* owner, const std::string& prompt, int maxLength);

private:
    QLabel* m_prompt;
};

} // namespace zavora
