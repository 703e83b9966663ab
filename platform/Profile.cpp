#include "platform/Profile.h"

#include "platform/DebugLog.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace zavora {

namespace {

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

} // namespace

std::filesystem::path Profile::defaultPath()
{
    std::filesystem::path base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Relative XDG_CONFIG_HOME values are ignored, as the base directory rules say.
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : ".") / ".config";
    }
    return base / "zavora" / "zavora.ini";
}

Profile::Profile(std::filesystem::path file)
    : m_path(std::move(file))
{
}

void Profile::parse(std::string_view text)
{
    m_lines.clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        std::string_view raw = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        if (end == std::string_view::npos) {
            pos = text.size();
        } else {
            pos = end + 1;
            if (text[end] == '\r' && pos < text.size() && text[pos] == '\n')
                ++pos;
        }
        Line line;
        line.text = std::string(raw);
        std::string_view body = trim(raw);
        if (!body.empty() && body.front() == '[') {
            std::size_t close = body.find(']');
            if (close != std::string_view::npos) {
                line.kind = Line::Kind::Section;
                line.value = std::string(trim(body.substr(1, close - 1)));
            }
        } else if (!body.empty() && body.front() != ';') {
            std::size_t eq = body.find('=');
            if (eq != std::string_view::npos && !trim(body.substr(0, eq)).empty()) {
                line.kind = Line::Kind::Entry;
                line.value = std::string(trim(body.substr(eq + 1)));
            }
        }
        m_lines.push_back(std::move(line));
    }
}

std::string Profile::serialize() const
{
    std::string out;
    for (const Line& line : m_lines) {
        out += line.text;
        out += "\r\n";
    }
    return out;
}

void Profile::refresh()
{
    std::error_code ec;
    auto status = std::filesystem::status(m_path, ec);
    if (ec || !std::filesystem::is_regular_file(status)) {
        m_lines.clear();
        m_loaded = false;
        return;
    }
    auto mtime = std::filesystem::last_write_time(m_path, ec);
    auto size = std::filesystem::file_size(m_path, ec);
    if (m_loaded && !ec && mtime == m_mtime && size == m_size)
        return;
    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
        debugLog("Can't read settings file %s", m_path.c_str());
        m_lines.clear();
        m_loaded = false;
        return;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    parse(text);
    m_loaded = true;
    m_mtime = mtime;
    m_size = size;
}

std::size_t Profile::findSection(std::string_view section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Line::Kind::Section && equalsIgnoreCase(m_lines[i].value, section))
            return i;
    return std::string::npos;
}

std::size_t Profile::sectionEnd(std::size_t sectionIndex) const
{
    std::size_t i = sectionIndex + 1;
    while (i < m_lines.size() && m_lines[i].kind != Line::Kind::Section)
        ++i;
    return i;
}

namespace {
std::string_view entryKey(std::string_view text)
{
    std::string_view body = trim(text);
    return trim(body.substr(0, body.find('=')));
}
} // namespace

std::size_t Profile::findEntry(std::size_t sectionIndex, std::string_view key) const
{
    std::size_t end = sectionEnd(sectionIndex);
    for (std::size_t i = sectionIndex + 1; i < end; ++i)
        if (m_lines[i].kind == Line::Kind::Entry && equalsIgnoreCase(entryKey(m_lines[i].text), key))
            return i;
    return std::string::npos;
}

std::optional<std::string> Profile::find(std::string_view section, std::string_view key)
{
    refresh();
    std::size_t s = findSection(section);
    if (s == std::string::npos)
        return std::nullopt;
    std::size_t e = findEntry(s, key);
    if (e == std::string::npos)
        return std::nullopt;
    return m_lines[e].value;
}

std::string Profile::getString(std::string_view section, std::string_view key, std::string_view fallback)
{
    auto value = find(section, key);
    return value ? *value : std::string(fallback);
}

int Profile::getInt(std::string_view section, std::string_view key, int fallback)
{
    auto value = find(section, key);
    if (!value)
        return fallback;
    const char* p = value->c_str();
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = *p++ == '-';
    long long result = 0;
    while (*p >= '0' && *p <= '9') {
        result = result * 10 + (*p++ - '0');
        if (result > 2147483648LL)
            result = 2147483648LL; // saturate rather than overflow on absurd values
    }
    if (negative)
        result = -result;
    if (result > 2147483647LL)
        result = 2147483647LL;
    return static_cast<int>(result);
}

bool Profile::putString(std::string_view section, std::string_view key, std::string_view value)
{
    section = trim(section);
    key = trim(key);
    if (section.empty() || key.empty() || hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)
        || section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos
        || key.front() == ';' || key.front() == '[') {
        debugLog("Refused settings entry [%.*s] %.*s", int(section.size()), section.data(), int(key.size()),
            key.data());
        return false;
    }
    value = trim(value);
    refresh();
    std::vector<Line> before = m_lines;
    std::size_t s = findSection(section);
    if (s == std::string::npos) {
        // A blank line between sections, as hand-written files have.
        if (!m_lines.empty() && !trim(m_lines.back().text).empty())
            m_lines.push_back(Line {});
        Line header;
        header.kind = Line::Kind::Section;
        header.text = "[" + std::string(section) + "]";
        header.value = std::string(section);
        m_lines.push_back(std::move(header));
        s = m_lines.size() - 1;
    }
    std::size_t e = findEntry(s, key);
    if (e != std::string::npos) {
        if (m_lines[e].value == value)
            return true;
        // Keep the key's spelling as the file has it.
        m_lines[e].text = std::string(entryKey(m_lines[e].text)) + "=" + std::string(value);
        m_lines[e].value = std::string(value);
    } else {
        // After the section's last non-blank line, so trailing blank lines stay between sections.
        std::size_t at = sectionEnd(s);
        while (at > s + 1 && trim(m_lines[at - 1].text).empty())
            --at;
        Line entry;
        entry.kind = Line::Kind::Entry;
        entry.text = std::string(key) + "=" + std::string(value);
        entry.value = std::string(value);
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    }
    if (!save()) {
        m_lines = std::move(before);
        return false;
    }
    return true;
}

bool Profile::putInt(std::string_view section, std::string_view key, int value)
{
    return putString(section, key, std::to_string(value));
}

bool Profile::save()
{
    std::error_code ec;
    std::filesystem::path folder = m_path.parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    std::string tmpl = (folder.empty() ? std::string(".") : folder.string()) + "/." + m_path.filename().string()
        + ".XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        debugLog("Can't write settings file %s: %s", m_path.c_str(), std::strerror(errno));
        return false;
    }
    std::string text = serialize();
    const char* p = text.data();
    std::size_t left = text.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    int savedErrno = errno;
    // Keep the permissions of an existing file; a new one is private to the user.
    struct stat st;
    if (ok && ::stat(m_path.c_str(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        savedErrno = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (ok && ::rename(tmpl.c_str(), m_path.c_str()) != 0) {
        ok = false;
        savedErrno = errno;
    }
    if (!ok) {
        ::unlink(tmpl.c_str());
        debugLog("Can't write settings file %s: %s", m_path.c_str(), std::strerror(savedErrno));
        return false;
    }
    m_mtime = std::filesystem::last_write_time(m_path, ec);
    m_size = std::filesystem::file_size(m_path, ec);
    m_loaded = !ec;
    return true;
}

} // namespace zavora
