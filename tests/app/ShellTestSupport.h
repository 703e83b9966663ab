#pragma once
// A shell on the offscreen platform with private settings and recorded
// messages, and answers to the modal windows a command opens.

#include "DialogTestSupport.h"

#include "app/Shell.h"
#include "platform/Reporter.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace zavora::shelltest {

namespace fs = std::filesystem;

// Runs the event loop for a while (the idle work runs then).
inline void runUntilIdle(int ms = 30)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs `script` on the next modal window, which it must end. The poll gives
// up after a few seconds: a test fails rather than hangs when none comes.
inline void onNextModal(std::function<void(QWidget*)> script)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, script = std::move(script)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && ++*tries < 1000)
            return;
        poll->stop();
        poll->deleteLater();
        if (modal)
            script(modal);
    });
    poll->start(5);
}

// Answers the next message box with `button`, recording its caption and text.
struct BoxAnswer {
    QString caption, text;
    bool seen = false;
};

inline void answerNextBox(QMessageBox::StandardButton button, BoxAnswer& answer)
{
    onNextModal([button, &answer](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        answer.caption = box->windowTitle();
        answer.text = box->text();
        answer.seen = true;
        box->button(button)->click();
    });
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialogtest::ensureApplication();
        char name[] = "/tmp/zavora-gui-XXXXXX";
        m_dir = mkdtemp(name);
        // The settings go where the platform's rule puts them.
        setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    }
    void TearDown() override
    {
        m_shell.reset();
        fs::remove_all(m_dir);
    }

    Shell& start(std::string commandLine = {}, std::string executable = "/usr/bin/zavora", bool loadFonts = false)
    {
        Shell::Options options;
        options.executablePath = std::move(executable);
        options.commandLine = std::move(commandLine);
        options.showSplash = false;
        options.installReporter = false;
        options.loadFonts = loadFonts;
        m_shell.reset();
        m_shell = std::make_unique<Shell>(std::move(options));
        EXPECT_TRUE(m_shell->start());
        return *m_shell;
    }

    fs::path settingsFile() const { return m_dir / "zavora" / "zavora.ini"; }

    fs::path m_dir;
    RecordingReporter m_messages;
    std::unique_ptr<Shell> m_shell;
};

} // namespace zavora::shelltest
