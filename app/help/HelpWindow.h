#pragma once
// The help window ("zavora_help"): the program's manual, shown in a page
// browser with a contents button, back and forward, and a search box whose
// list holds the matching index keywords and the pages that use the words.
// One non-modal top-level window per owner, reused every time.

#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTextBrowser;

namespace zavora {

class HelpIndex;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // The owner's help window, created on first use; it closes with its owner.
    static HelpWindow* instance(QWidget* owner);

    // Each shows and raises the window and answers false, showing nothing,
    // when the help pages cannot be loaded.
    // The contents page.
    bool showContents();
    // The keyword index, with the keyword in the search box (empty allowed)
    // and the list narrowed to it.
    bool showSearch(const QString& keyword);
    // The page on using the help window itself.
    bool showHowToUse();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit HelpWindow(QWidget* owner);

    // Opens "page.html" or "page.html#anchor" of the help.
    void openTarget(const QString& target);
    bool present(const QString& target);
    void fillResults(const QString& text);
    void openResult(QListWidgetItem* item);

    const HelpIndex& m_index;
    QTextBrowser* m_browser;
    QLineEdit* m_search;
    QListWidget* m_results;
    QPushButton* m_contents;
    QPushButton* m_back;
    QPushButton* m_forward;
    bool m_placed = false; // placed on screen at its first showing; the user moves it after that
};

} // namespace zavora
