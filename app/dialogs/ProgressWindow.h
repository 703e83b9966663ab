#pragma once
// The modeless progress window of long output jobs. While it is open its
// owner is disabled; its Cancel button raises the program-wide cancel flag,
// which the running job polls through ProgressMonitor::cancelled().

#include "model/ProgressMonitor.h"

#include <QPointer>

class QDialog;
class QLabel;
class QProgressBar;
class QWidget;

namespace zavora {

class ProgressWindow : public ProgressMonitor {
public:
    ProgressWindow() = default;
    ~ProgressWindow() override;
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Disables the owner and shows the window with "Working..."; clears the
    // cancel flag, since a new job begins.
    void open(QWidget* owner);
    // Enables the owner again and removes the window.
    void close();
    bool isOpen() const { return !m_dialog.isNull(); }

    // ProgressMonitor: start sets the total, step advances by one.
    void start(int total) override;
    void step() override;
    bool cancelled() const override { return cancelFlag(); }
    // Replaces "Working..." with the stage's text.
    void setMessage(const char* text) override;

    // The program-wide cancel flag.
    static bool cancelFlag();

    QDialog* dialog() const { return m_dialog; }

private:
    // done × 100 / total percent (a total of 0 counts as 1), then lets waiting
    // events run so the window answers.
    void setProgress(int done, int total);
    void cancel();
    void dismiss(bool later);

    QPointer<QDialog> m_dialog;
    QPointer<QWidget> m_owner;
    QProgressBar* m_bar = nullptr;
    QLabel* m_text = nullptr;
    int m_done = 0;
    int m_total = 0;
};

} // namespace zavora
