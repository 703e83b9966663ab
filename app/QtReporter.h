#pragma once
// The shell's Reporter: message boxes with the program's captions and icons,
// owned by the frame, and status texts in the frame's status bar.

#include "platform/Reporter.h"

class QWidget;

namespace zavora {

class StatusBar;

class QtReporter : public Reporter {
public:
    // Installs itself; the previous reporter comes back on destruction.
    QtReporter();
    ~QtReporter() override;
    QtReporter(const QtReporter&) = delete;
    QtReporter& operator=(const QtReporter&) = delete;

    void setOwner(QWidget* owner, StatusBar* status);

    void error(const std::string& text) override;
    void warning(const std::string& text) override;
    void info(const std::string& text) override;
    void status(const std::string& text) override;

private:
    QWidget* m_owner = nullptr;
    StatusBar* m_status = nullptr;
};

} // namespace zavora
