#include "fonts/AtmIni.h"

#include "model/FontEntry.h"

#include <optional>

namespace zavora {

namespace {

// Lines were read into a 256-byte buffer. A longer line is skipped whole: read
// in pieces, its first piece could pass for an entry with a cut-off path.
constexpr std::size_t kMaxLine = 255;

struct Token {
    enum class Kind { Comma, Equals, Word } kind;
    std::string text;
};

std::vector<Token> tokenize(std::string_view line)
{
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ') {
            ++i;
        } else if (c == ',') {
            tokens.push_back({ Token::Kind::Comma, "," });
            ++i;
        } else if (c == '=') {
            tokens.push_back({ Token::Kind::Equals, "=" });
            ++i;
        } else {
            std::size_t end = line.find_first_of(",=", i);
            if (end == std::string_view::npos)
                end = line.size();
            tokens.push_back({ Token::Kind::Word, std::string(line.substr(i, end - i)) });
            i = end;
        }
    }
    return tokens;
}

std::optional<AtmIni::Entry> parseEntry(std::string_view line)
{
    std::vector<Token> t = tokenize(line);
    std::size_t i = 0;
    auto is = [&](Token::Kind kind) { return i < t.size() && t[i].kind == kind; };
    AtmIni::Entry entry;
    if (!is(Token::Kind::Word))
        return std::nullopt;
    entry.menuName = t[i++].text;
    if (is(Token::Kind::Comma)) {
        ++i;
        if (!is(Token::Kind::Word))
            return std::nullopt;
        entry.styleWord = t[i++].text;
        if (entry.styleWord == "BOLD")
            entry.styleBits = FontEntry::kBold;
        else if (entry.styleWord == "ITALIC")
            entry.styleBits = FontEntry::kItalic;
        else if (entry.styleWord == "BOLDITALIC")
            entry.styleBits = FontEntry::kBold | FontEntry::kItalic;
        else
            return std::nullopt;
    }
    if (!is(Token::Kind::Equals))
        return std::nullopt;
    ++i;
    if (!is(Token::Kind::Word))
        return std::nullopt;
    entry.pfmPath = t[i++].text;
    if (!is(Token::Kind::Comma))
        return std::nullopt;
    ++i;
    if (!is(Token::Kind::Word))
        return std::nullopt;
    entry.pfbPath = t[i++].text;
    if (i != t.size())
        return std::nullopt;
    return entry;
}

} // namespace

std::string AtmIni::Entry::settingsKey() const
{
    return styleWord.empty() ? menuName : menuName + "," + styleWord;
}

AtmIni AtmIni::parse(std::string_view text)
{
    AtmIni result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t newline = text.find('\n', pos);
        std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() > kMaxLine)
            continue;
        if (!line.empty() && line.front() == ';')
            continue;
        if (!result.sectionFound) {
            if (line.substr(0, 7) == "[Fonts]")
                result.sectionFound = true;
            continue;
        }
        if (line.empty())
            break;
        auto entry = parseEntry(line);
        if (!entry)
            continue;
        const std::string& menu = entry->menuName;
        if (menu.size() >= 2 && menu.compare(menu.size() - 2, 2, "MM") == 0)
            continue; // multiple-master fonts are not listed
        result.entries.push_back(std::move(*entry));
    }
    return result;
}

} // namespace zavora
