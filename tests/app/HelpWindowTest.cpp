// The help window and its pages: every page and link of the shipped manual,
// the keyword index, the two searches, and the window's three entry points.

#include "app/help/HelpWindow.h"
#include "app/help/HelpIndex.h"

#include "DialogTestSupport.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace zavora {
namespace {

using dialogtest::child;

struct PageScan {
    QStringList hrefs;
    QSet<QString> anchors;
};

// The links and anchor names of a document as Qt laid it out.
PageScan scan(const QTextDocument& document)
{
    PageScan result;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isAnchor())
                continue;
            if (!format.anchorHref().isEmpty())
                result.hrefs.push_back(format.anchorHref());
            for (const QString& name : format.anchorNames())
                result.anchors.insert(name);
        }
    }
    return result;
}

QString pageName(const QUrl& url)
{
    return url.path().section(QLatin1Char('/'), -1);
}

class HelpWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialogtest::ensureApplication();
        owner = std::make_unique<QWidget>();
        window = HelpWindow::instance(owner.get());
        browser = child<QTextBrowser>(*window, "helpBrowser");
        search = child<QLineEdit>(*window, "helpSearch");
        results = child<QListWidget>(*window, "helpResults");
    }

    // Loads a page in the window's browser and reads it.
    PageScan load(const QString& name)
    {
        browser->setSource(QUrl(HelpIndex::urlOf(name)));
        return scan(*browser->document());
    }

    QString shownTarget() const
    {
        const QUrl url = browser->source();
        return pageName(url) + (url.hasFragment() ? QLatin1Char('#') + url.fragment() : QString());
    }

    // Every page of the help, the made index page included.
    QStringList allPages() const
    {
        QStringList names;
        for (const HelpIndex::Page& page : HelpIndex::shipped().pages())
            names.push_back(page.name);
        names.push_back(QLatin1String(HelpIndex::kIndexPage));
        return names;
    }

    // Why a target ("page.html#anchor", relative to a page) does not resolve;
    // empty when it does.
    QString brokenReason(const QString& from, const QString& href, std::map<QString, PageScan>& scans)
    {
        const QUrl url = QUrl(HelpIndex::urlOf(from)).resolved(QUrl(href));
        if (url.scheme() != QLatin1String("qrc") || !url.path().startsWith(QLatin1String("/help/")))
            return QStringLiteral("leaves the help");
        const QString name = pageName(url);
        if (!allPages().contains(name))
            return QStringLiteral("no such page");
        if (!scans.count(name))
            scans[name] = load(name);
        if (url.hasFragment() && !scans[name].anchors.contains(url.fragment()))
            return QStringLiteral("no such anchor");
        return {};
    }

    std::unique_ptr<QWidget> owner;
    HelpWindow* window = nullptr;
    QTextBrowser* browser = nullptr;
    QLineEdit* search = nullptr;
    QListWidget* results = nullptr;
};

TEST_F(HelpWindowTest, EveryPageLinkAndKeywordResolves)
{
    const HelpIndex& index = HelpIndex::shipped();
    ASSERT_TRUE(index.isValid());
    ASSERT_GE(index.keywords().size(), 100u);
    std::map<QString, PageScan> scans;
    for (const QString& name : allPages()) {
        scans[name] = load(name);
        EXPECT_FALSE(browser->documentTitle().isEmpty()) << name.toStdString();
        EXPECT_GT(browser->document()->toPlainText().size(), 200) << name.toStdString();
    }
    for (const QString& name : allPages())
        for (const QString& href : scans[name].hrefs)
            EXPECT_EQ(brokenReason(name, href, scans), QString())
                << name.toStdString() << " -> " << href.toStdString();
    for (const HelpIndex::Keyword& keyword : index.keywords())
        EXPECT_EQ(brokenReason(QLatin1String(HelpIndex::kContentsPage), keyword.target, scans), QString())
            << keyword.text.toStdString() << " -> " << keyword.target.toStdString();
    // The made index page lists every keyword.
    EXPECT_EQ(scans[QLatin1String(HelpIndex::kIndexPage)].hrefs.size(), qsizetype(index.keywords().size()));

    // Every page can be reached from the contents page.
    QSet<QString> linked;
    for (const QString& href : scans[QLatin1String(HelpIndex::kContentsPage)].hrefs)
        linked.insert(pageName(QUrl(href)));
    for (const QString& name : allPages())
        EXPECT_TRUE(name == QLatin1String(HelpIndex::kContentsPage) || linked.contains(name))
            << name.toStdString() << " is not in the contents";
}

TEST_F(HelpWindowTest, SearchesRankKeywordsAndNeedEveryWordOfAPage)
{
    const HelpIndex& index = HelpIndex::shipped();
    const auto tools = index.matchingKeywords(QStringLiteral("TOOL"));
    ASSERT_FALSE(tools.empty());
    EXPECT_EQ(tools.front().text, QStringLiteral("toolbox")); // starts with the text
    EXPECT_TRUE(index.matchingKeywords(QStringLiteral("xyzzy")).empty());

    struct Row {
        const char* text;
        const char* page; // found among the pages, or none found when null
    };
    for (const Row& row : std::initializer_list<Row> { { "--substitute-fonts", "converter.html" },
             { "FISH SCALE", "paint.html" }, { "zavora-convert xyzzy", nullptr }, { "   ", nullptr } }) {
        QStringList found;
        for (const HelpIndex::Page* page : index.pagesContaining(QString::fromLatin1(row.text)))
            found.push_back(page->name);
        if (row.page)
            EXPECT_TRUE(found.contains(QString::fromLatin1(row.page))) << row.text;
        else
            EXPECT_TRUE(found.isEmpty()) << row.text;
    }
}

TEST_F(HelpWindowTest, ShowCommandsOpenTheirPagesInOneReusedWindow)
{
    EXPECT_EQ(HelpWindow::instance(owner.get()), window);
    ASSERT_TRUE(window->showContents());
    EXPECT_TRUE(window->isVisible() && !window->isModal());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Help - Contents"));

    ASSERT_TRUE(window->showHowToUse());
    EXPECT_EQ(shownTarget(), QStringLiteral("using-help.html"));

    ASSERT_TRUE(window->showSearch(QStringLiteral("grid")));
    EXPECT_EQ(shownTarget(), QStringLiteral("index.html"));
    EXPECT_EQ(results->item(0)->text(), QStringLiteral("grid"));

    // An empty keyword lists the whole index, even after a narrower search.
    ASSERT_TRUE(window->showSearch(QString()));
    EXPECT_EQ(results->count(), int(HelpIndex::shipped().keywords().size()));
    // Typing filters the list; Return opens the first keyword's place.
    QTest::keyClicks(search, QStringLiteral("eyedrop"));
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_EQ(shownTarget(), QStringLiteral("paint.html#eyedropper"));

    // Another owner has a window of its own; a window goes with its owner.
    QWidget other;
    EXPECT_NE(HelpWindow::instance(&other), window);
    QPointer<HelpWindow> watched(window);
    owner.reset();
    EXPECT_TRUE(watched.isNull());
}

} // namespace
} // namespace zavora
