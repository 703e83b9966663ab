#include "app/help/HelpWindow.h"

#include "app/WindowPlacement.h"
#include "app/help/HelpIndex.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <map>

namespace zavora {

namespace {

constexpr int kTargetRole = Qt::UserRole;
constexpr int kFindRole = Qt::UserRole + 1;

// A page browser that stays inside the help: it makes the keyword index
// page from the index, and refuses any address outside the help pages.
class HelpBrowser : public QTextBrowser {
public:
    HelpBrowser(const HelpIndex& index, QWidget* parent)
        : QTextBrowser(parent)
        , m_index(index)
    { }

    static bool isHelpUrl(const QUrl& url)
    {
        return url.scheme() == QLatin1String("qrc") && url.path().startsWith(QLatin1String("/help/"));
    }

    QVariant loadResource(int type, const QUrl& name) override
    {
        if (type == QTextDocument::HtmlResource && isHelpUrl(name)
            && name.path() == QLatin1String("/help/") + QLatin1String(HelpIndex::kIndexPage))
            return m_index.indexPageHtml();
        return QTextBrowser::loadResource(type, name);
    }

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override
    {
        if (isHelpUrl(name))
            QTextBrowser::doSetSource(name, type);
    }

private:
    const HelpIndex& m_index;
};

std::map<const QWidget*, QPointer<HelpWindow>>& windows()
{
    static std::map<const QWidget*, QPointer<HelpWindow>> byOwner;
    return byOwner;
}

} // namespace

HelpWindow* HelpWindow::instance(QWidget* owner)
{
    QPointer<HelpWindow>& window = windows()[owner];
    if (!window)
        window = new HelpWindow(owner);
    return window;
}

HelpWindow::HelpWindow(QWidget* owner)
    : QWidget(owner, Qt::Window)
    , m_index(HelpIndex::shipped())
{
    setObjectName(QStringLiteral("zavora_help"));
    setWindowTitle(tr("Help"));

    m_contents = new QPushButton(tr("&Contents"), this);
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_back = new QPushButton(tr("< &Back"), this);
    m_back->setObjectName(QStringLiteral("helpBack"));
    m_back->setShortcut(QKeySequence::Back);
    m_back->setEnabled(false);
    m_forward = new QPushButton(tr("&Forward >"), this);
    m_forward->setObjectName(QStringLiteral("helpForward"));
    m_forward->setShortcut(QKeySequence::Forward);
    m_forward->setEnabled(false);

    auto* searchPanel = new QWidget(this);
    auto* searchLabel = new QLabel(tr("&Search:"), searchPanel);
    m_search = new QLineEdit(searchPanel);
    m_search->setObjectName(QStringLiteral("helpSearch"));
    m_search->setPlaceholderText(tr("Type a word"));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    searchLabel->setBuddy(m_search);
    m_results = new QListWidget(searchPanel);
    m_results->setObjectName(QStringLiteral("helpResults"));
    // Long page titles wrap rather than scroll sideways.
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_results->setWordWrap(true);
    auto* searchLayout = new QVBoxLayout(searchPanel);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    searchLayout->addWidget(searchLabel);
    searchLayout->addWidget(m_search);
    searchLayout->addWidget(m_results, 1);

    m_browser = new HelpBrowser(m_index, this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setSearchPaths({ m_index.folder() });
    m_browser->document()->setDocumentMargin(12);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(searchPanel);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 230, 590 });
    splitter->setChildrenCollapsible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_contents);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    resize(820, 600);

    connect(m_contents, &QPushButton::clicked, this,
        [this] { openTarget(QLatin1String(HelpIndex::kContentsPage)); });
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? tr("Help") : tr("Help - %1").arg(title));
    });
    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::fillResults);
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        QListWidgetItem* item = m_results->currentItem();
        for (int row = 0; !item && row < m_results->count(); ++row)
            if (m_results->item(row)->flags() & Qt::ItemIsEnabled)
                item = m_results->item(row);
        openResult(item);
    });
    connect(m_results, &QListWidget::itemActivated, this, &HelpWindow::openResult);
    connect(m_results, &QListWidget::itemClicked, this, &HelpWindow::openResult);
    fillResults(QString());
}

bool HelpWindow::showContents()
{
    return present(QLatin1String(HelpIndex::kContentsPage));
}

bool HelpWindow::showSearch(const QString& keyword)
{
    if (!present(QLatin1String(HelpIndex::kIndexPage)))
        return false;
    m_search->setText(keyword);
    fillResults(keyword); // also when the text did not change
    m_search->setFocus(Qt::OtherFocusReason);
    m_search->selectAll();
    return true;
}

bool HelpWindow::showHowToUse()
{
    return present(QLatin1String(HelpIndex::kHowToUsePage));
}

bool HelpWindow::present(const QString& target)
{
    if (!m_index.isValid())
        return false;
    openTarget(target);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    if (!m_placed) {
        m_placed = true;
        placeOnScreen(*this, parentWidget());
    }
    raise();
    activateWindow();
    return true;
}

void HelpWindow::openTarget(const QString& target)
{
    // A click may both click and activate a result: open it once.
    const QUrl url(HelpIndex::urlOf(target));
    if (url != m_browser->source())
        m_browser->setSource(url);
}

void HelpWindow::fillResults(const QString& text)
{
    m_results->clear();
    for (const HelpIndex::Keyword& keyword : m_index.matchingKeywords(text)) {
        auto* item = new QListWidgetItem(keyword.text, m_results);
        item->setData(kTargetRole, keyword.target);
    }
    const std::vector<const HelpIndex::Page*> pages = m_index.pagesContaining(text);
    if (pages.empty())
        return;
    auto* heading = new QListWidgetItem(tr("Pages containing \"%1\":").arg(text.simplified()), m_results);
    heading->setFlags(Qt::NoItemFlags);
    QFont font = heading->font();
    font.setItalic(true);
    heading->setFont(font);
    for (const HelpIndex::Page* page : pages) {
        auto* item = new QListWidgetItem(QStringLiteral("    ") + page->title, m_results);
        item->setData(kTargetRole, page->name);
        item->setData(kFindRole, text.simplified());
    }
}

void HelpWindow::openResult(QListWidgetItem* item)
{
    if (!item || !(item->flags() & Qt::ItemIsEnabled))
        return;
    openTarget(item->data(kTargetRole).toString());
    // A page found by its words opens at the first place that uses them.
    const QString words = item->data(kFindRole).toString();
    if (!words.isEmpty()) {
        const QString first = words.section(QLatin1Char(' '), 0, 0);
        m_browser->moveCursor(QTextCursor::Start);
        m_browser->find(first);
    }
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Down from the search box goes on into the list.
    if (watched == m_search && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down) {
        for (int row = 0; row < m_results->count(); ++row) {
            if (m_results->item(row)->flags() & Qt::ItemIsEnabled) {
                m_results->setCurrentRow(row);
                m_results->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zavora
