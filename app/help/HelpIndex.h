#pragma once
// The help pages shipped inside the program: their titles and plain text, the
// keyword index that points into them, and the two searches the help window
// offers (keywords as you type, and the words of every page).

#include <QString>

#include <vector>

namespace zavora {

class HelpIndex {
public:
    struct Keyword {
        QString text; // as listed in the index
        QString target; // "page.html" or "page.html#anchor"
    };
    struct Page {
        QString name; // file name, "drawing.html"
        QString title; // the page's <title>
        QString plainText; // the words shown, for the full-text search
    };

    static constexpr const char* kContentsPage = "contents.html";
    static constexpr const char* kHowToUsePage = "using-help.html";
    // Made from the keyword list rather than stored.
    static constexpr const char* kIndexPage = "index.html";

    // Reads the pages and the keyword list ("keywords.txt") from a folder,
    // normally the resource folder ":/help".
    explicit HelpIndex(const QString& folder);

    // The pages compiled into the program, read once.
    static const HelpIndex& shipped();
    // The URL of a page (or "page#anchor") of the shipped help.
    static QString urlOf(const QString& target);

    // False when the contents page or the keyword list could not be read.
    bool isValid() const { return m_valid; }
    const QString& folder() const { return m_folder; }

    // In the order the contents page lists them, then any others by name.
    const std::vector<Page>& pages() const { return m_pages; }
    const Page* page(const QString& name) const;
    // Sorted without regard to case.
    const std::vector<Keyword>& keywords() const { return m_keywords; }

    // Keywords containing the text (case ignored): those starting with it
    // first, then those with a word starting with it, then the rest. An
    // empty text gives every keyword.
    std::vector<Keyword> matchingKeywords(const QString& text) const;
    // Pages whose text holds every word of the text, case ignored, in
    // contents order. An empty text finds nothing.
    std::vector<const Page*> pagesContaining(const QString& text) const;

    // The keyword index as a page: every keyword under its initial letter,
    // linked to its target.
    QString indexPageHtml() const;

private:
    QString m_folder;
    bool m_valid = false;
    std::vector<Page> m_pages;
    std::vector<Keyword> m_keywords;
};

} // namespace zavora
