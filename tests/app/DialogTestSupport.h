#pragma once
// What the dialog tests share: one offscreen application, and running a
// dialog's exec() while a script fills it in and presses its buttons.

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>

namespace zavora::dialogtest {

inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = { name, nullptr };
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return QApplication::instance() ? static_cast<QApplication*>(QApplication::instance())
                                        : new QApplication(argc, argv);
    }();
    (void)app;
}

// exec()s the dialog; the script runs once it is showing and must end it.
inline int runDialog(QDialog& dialog, const std::function<void()>& script)
{
    QTimer::singleShot(0, &dialog, script);
    return dialog.exec();
}

template <class W> W* child(QWidget& parent, const char* name)
{
    W* widget = parent.findChild<W*>(QString::fromLatin1(name));
    if (!widget)
        std::abort();
    return widget;
}

// Check boxes and radio buttons on their indicator: a layout may widen them.
inline void click(QWidget& dialog, const char* name)
{
    auto* button = child<QAbstractButton>(dialog, name);
    const bool indicator = !qobject_cast<QPushButton*>(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, indicator ? QPoint(6, button->height() / 2) : QPoint());
}

// Replaces a line edit's text as typing over a selection would.
inline void retype(QWidget& dialog, const char* box, const QString& text)
{
    auto* edit = child<QLineEdit>(dialog, box);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

} // namespace zavora::dialogtest
