#pragma once
// The settings file: an INI file read and written with private-profile
// semantics. Sections and keys compare case-insensitively, values are text
// (integers are written as decimal text), the file is created on the first
// write and every write replaces the file atomically (temporary file in the
// same folder, then rename). Lines the parser does not understand are kept
// verbatim, so a hand-edited or damaged file loses nothing on rewrite.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zavora {

class Profile {
public:
    // The program's settings file: $XDG_CONFIG_HOME/zavora/zavora.ini, or
    // ~/.config/zavora/zavora.ini when XDG_CONFIG_HOME is unset or relative.
    static std::filesystem::path defaultPath();

    explicit Profile(std::filesystem::path file);

    const std::filesystem::path& path() const { return m_path; }

    // The value of (section, key) with surrounding blanks removed, or nullopt.
    std::optional<std::string> find(std::string_view section, std::string_view key);
    std::string getString(std::string_view section, std::string_view key, std::string_view fallback);
    // The leading decimal integer of the value ("12px" gives 12, "abc" 0);
    // the fallback only when the key is absent.
    int getInt(std::string_view section, std::string_view key, int fallback);

    // Write through to the file. False when the names or value would not
    // survive a round trip (line breaks, '=' in a key, ']' in a section) or
    // the file cannot be written; the file is then unchanged.
    bool putString(std::string_view section, std::string_view key, std::string_view value);
    bool putInt(std::string_view section, std::string_view key, int value);

    // Parses profile text (any of CR LF, LF or CR line ends). Public so the
    // fuzzer and tests can drive the parser without files.
    void parse(std::string_view text);
    // The text the file would hold (CR LF line ends).
    std::string serialize() const;

private:
    struct Line {
        enum class Kind { Section, Entry, Other } kind = Kind::Other;
        std::string text; // the original line for Other, the name for Section/Entry
        std::string value; // Entry only
    };

    void refresh();
    bool save();
    // Index of the first section header matching name, or npos.
    std::size_t findSection(std::string_view section) const;
    // Index of the entry in the section that starts at sectionIndex, or npos.
    std::size_t findEntry(std::size_t sectionIndex, std::string_view key) const;
    std::size_t sectionEnd(std::size_t sectionIndex) const;

    std::filesystem::path m_path;
    std::vector<Line> m_lines;
    // What the cached lines were read from; a changed file is read again.
    bool m_loaded = false;
    std::filesystem::file_time_type m_mtime {};
    std::uintmax_t m_size = 0;
};

} // namespace zavora
