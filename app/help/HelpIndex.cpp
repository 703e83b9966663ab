#include "app/help/HelpIndex.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>

#include <algorithm>

// The resource initialiser lives outside any namespace; naming it here also
// keeps the pages linked in from the static library.
static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace zavora {

namespace {

bool readText(const QString& path, QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    text = QString::fromUtf8(file.readAll());
    return true;
}

// Keywords sort and file under their first letter or digit (".zvx files"
// under Z).
QStringView sortKey(const QString& keyword)
{
    qsizetype start = 0;
    while (start < keyword.size() && !keyword[start].isLetterOrNumber())
        ++start;
    return start < keyword.size() ? QStringView(keyword).mid(start) : QStringView(keyword);
}

// "keyword | target" per line; '#' starts a comment line.
std::vector<HelpIndex::Keyword> parseKeywords(const QString& text)
{
    std::vector<HelpIndex::Keyword> keywords;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype bar = line.lastIndexOf(QLatin1Char('|'));
        if (bar <= 0)
            continue;
        HelpIndex::Keyword keyword { line.left(bar).trimmed(), line.mid(bar + 1).trimmed() };
        if (!keyword.text.isEmpty() && !keyword.target.isEmpty())
            keywords.push_back(std::move(keyword));
    }
    std::stable_sort(keywords.begin(), keywords.end(), [](const auto& a, const auto& b) {
        return sortKey(a.text).compare(sortKey(b.text), Qt::CaseInsensitive) < 0;
    });
    return keywords;
}

// The pages the contents page links to, in its order.
QStringList contentsOrder(const QString& html)
{
    static const QRegularExpression href(QStringLiteral("href=\"([^\"#]+)"));
    QStringList names;
    for (auto it = href.globalMatch(html); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (!names.contains(name))
            names.push_back(name);
    }
    return names;
}

// How well a keyword matches: 0 starts with the text, 1 a word starts with
// it, 2 contains it, 3 contains each of its words, -1 not at all.
int matchRank(const QString& keyword, const QString& text)
{
    const qsizetype at = keyword.indexOf(text, 0, Qt::CaseInsensitive);
    if (at < 0) {
        const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const bool all = words.size() > 1
            && std::all_of(words.begin(), words.end(),
                [&](const QString& word) { return keyword.contains(word, Qt::CaseInsensitive); });
        return all ? 3 : -1;
    }
    if (at == 0)
        return 0;
    for (qsizetype from = at; from >= 0; from = keyword.indexOf(text, from + 1, Qt::CaseInsensitive))
        if (!keyword[from - 1].isLetterOrNumber())
            return 1;
    return 2;
}

} // namespace

HelpIndex::HelpIndex(const QString& folder)
    : m_folder(folder)
{
    const QDir dir(folder);
    QString contents;
    QString keywordText;
    if (!readText(dir.filePath(QLatin1String(kContentsPage)), contents)
        || !readText(dir.filePath(QStringLiteral("keywords.txt")), keywordText))
        return;
    m_keywords = parseKeywords(keywordText);

    QStringList names = contentsOrder(contents);
    names.prepend(QLatin1String(kContentsPage));
    QStringList others = dir.entryList({ QStringLiteral("*.html") }, QDir::Files, QDir::Name);
    for (const QString& name : others)
        if (!names.contains(name))
            names.push_back(name);
    for (const QString& name : names) {
        QString html;
        if (!readText(dir.filePath(name), html))
            continue; // a link to a missing page; the page list leaves it out
        QTextDocument document;
        document.setHtml(html);
        Page page { name, document.metaInformation(QTextDocument::DocumentTitle), document.toPlainText() };
        if (page.title.isEmpty())
            page.title = name;
        m_pages.push_back(std::move(page));
    }
    m_valid = !m_pages.empty() && !m_keywords.empty();
}

const HelpIndex& HelpIndex::shipped()
{
    static const HelpIndex index = [] {
        initHelpResources();
        return HelpIndex(QStringLiteral(":/help"));
    }();
    return index;
}

QString HelpIndex::urlOf(const QString& target)
{
    return QStringLiteral("qrc:/help/") + target;
}

const HelpIndex::Page* HelpIndex::page(const QString& name) const
{
    for (const Page& p : m_pages)
        if (p.name == name)
            return &p;
    return nullptr;
}

std::vector<HelpIndex::Keyword> HelpIndex::matchingKeywords(const QString& text) const
{
    const QString wanted = text.simplified();
    if (wanted.isEmpty())
        return m_keywords;
    std::vector<std::pair<int, const Keyword*>> ranked;
    for (const Keyword& keyword : m_keywords)
        if (const int rank = matchRank(keyword.text, wanted); rank >= 0)
            ranked.emplace_back(rank, &keyword);
    std::stable_sort(
        ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Keyword> found;
    found.reserve(ranked.size());
    for (const auto& entry : ranked)
        found.push_back(*entry.second);
    return found;
}

std::vector<const HelpIndex::Page*> HelpIndex::pagesContaining(const QString& text) const
{
    const QStringList words = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::vector<const Page*> found;
    if (words.isEmpty())
        return found;
    for (const Page& page : m_pages) {
        const bool all = std::all_of(words.begin(), words.end(),
            [&](const QString& word) { return page.plainText.contains(word, Qt::CaseInsensitive); });
        if (all)
            found.push_back(&page);
    }
    return found;
}

QString HelpIndex::indexPageHtml() const
{
    QString html = QStringLiteral("<html><head><title>Index</title></head><body>\n<h1>Index</h1>\n"
                                  "<p>Every keyword of the help, with a link to where it is explained. "
                                  "Type a word in the <b>Search</b> box to narrow the list at the left "
                                  "and to find every page that uses the word.</p>\n");
    QChar letter;
    for (const Keyword& keyword : m_keywords) {
        const QChar initial = sortKey(keyword.text).at(0).toUpper();
        if (initial != letter) {
            html += letter.isNull() ? QString() : QStringLiteral("</p>\n");
            html += QStringLiteral("<h2>%1</h2>\n<p>").arg(QString(initial).toHtmlEscaped());
            letter = initial;
        } else {
            html += QStringLiteral("<br/>\n");
        }
        html += QStringLiteral("<a href=\"%1\">%2</a>")
                    .arg(keyword.target.toHtmlEscaped(), keyword.text.toHtmlEscaped());
    }
    if (!letter.isNull())
        html += QStringLiteral("</p>\n");
    html += QStringLiteral("</body></html>\n");
    return html;
}

} // namespace zavora
