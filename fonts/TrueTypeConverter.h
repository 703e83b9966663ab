#pragma once
// The common half of the two TrueType converters: reading an sfnt in memory
// (offset table, table directory, 'head', 'name', 'post', 'maxp'), glyph
// names for CharStrings, and the buffered text output both write through.
// Every read is bounds-checked: a font is untrusted input.

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zavora {

class OutputStream;

// Big-endian numbers of a byte range; reads outside it give 0 and are caught
// by the callers' has() checks where the difference matters.
class BigEndianBytes {
public:
    BigEndianBytes() = default;
    explicit BigEndianBytes(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes)
    { }
    bool has(std::size_t at, std::size_t count) const
    {
        return at <= m_bytes.size() && count <= m_bytes.size() - at;
    }
    std::size_t size() const { return m_bytes.size(); }
    std::uint8_t u8(std::size_t at) const { return has(at, 1) ? m_bytes[at] : 0; }
    std::uint16_t u16(std::size_t at) const
    {
        return has(at, 2) ? std::uint16_t((m_bytes[at] << 8) | m_bytes[at + 1]) : 0;
    }
    std::int16_t s16(std::size_t at) const { return static_cast<std::int16_t>(u16(at)); }
    std::uint32_t u32(std::size_t at) const { return (std::uint32_t(u16(at)) << 16) | u16(at + 2); }
    std::span<const std::uint8_t> slice(std::size_t at, std::size_t count) const
    {
        return has(at, count) ? m_bytes.subspan(at, count) : std::span<const std::uint8_t> {};
    }

private:
    std::span<const std::uint8_t> m_bytes;
};

// A 16.16 fixed number as sfnt tables store it.
struct FixedNumber {
    std::int16_t integer = 0;
    std::uint16_t fraction = 0;
    static FixedNumber from(std::uint32_t raw)
    {
        return { static_cast<std::int16_t>(raw >> 16), static_cast<std::uint16_t>(raw & 0xFFFF) };
    }
    double value() const { return integer + fraction / 65536.0; }
};

// One string of an sfnt 'name' table.
struct NameRecord {
    int platform = 0;
    int encoding = 0;
    int nameId = 0;
    std::span<const std::uint8_t> bytes;
};

// The records of a 'name' table in table order; a record whose string is
// empty or lies outside the table is left out.
std::vector<NameRecord> nameRecords(std::span<const std::uint8_t> table);

class TrueTypeConverter {
public:
    // postScriptName, when not empty, names the font program (the name the
    // document's text asks for); else the font's own 'name' table does.
    explicit TrueTypeConverter(std::string postScriptName = {});
    virtual ~TrueTypeConverter() = default;
    TrueTypeConverter(const TrueTypeConverter&) = delete;
    TrueTypeConverter& operator=(const TrueTypeConverter&) = delete;

    // Writes the font program; false after a message that stopped it (what
    // was written before stays in the stream).
    bool convert(std::span<const std::uint8_t> sfnt, OutputStream& stream);

protected:
    struct TableEntry {
        std::uint32_t tag = 0;
        std::uint32_t checksum = 0;
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    struct Names {
        std::string notice, family, weight, fullName, version, postScript, trademark;
    };
    // The 'post' fields both converters write into FontInfo.
    struct PostInfo {
        std::uint32_t format = 0;
        FixedNumber italicAngle;
        std::int16_t underlinePosition = 0;
        std::int16_t underlineThickness = 0;
        bool fixedPitch = false;
        std::uint32_t minMemType42 = 0;
        std::uint32_t maxMemType42 = 0;
    };
    // How each converter words the messages that differ between them.
    enum class MessageStyle { NamedFont, Anonymous };

    // Writes the font after the reading succeeded.
    virtual bool writeFont() = 0;
    virtual MessageStyle messageStyle() const = 0;

    // The table's bytes, or nullopt after "missing table" / reason 3 / reason 4.
    std::optional<BigEndianBytes> table(std::uint32_t tag) const;
    const TableEntry* directoryEntry(std::uint32_t tag) const;
    // The font's full name for messages ("" before the 'name' table is read).
    const char* fullName() const { return m_names.fullName.c_str(); }
    // "TrueType font" and, for a NamedFont converter, its quoted full name:
    // how the messages that differ between the converters begin.
    std::string messageSubject() const;

    // Buffered output; flushed to the stream as it grows and at the end.
    void put(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void putText(std::string_view text) { m_out.append(text); }
    std::string& outputBuffer() { return m_out; }
    void flushOutput();

    // "/FontInfo 10 dict dup begin" ... "end readonly def"; the notice is cut
    // to 128 characters for Type 42 (noticeLimit), not for Type 3.
    void writeFontInfo(std::size_t noticeLimit);
    // "/CharStrings n dict dup begin", writeEntry for each glyph (and
    // notdefEntry when no glyph has that name: BuildGlyph falls back on
    // /.notdef), "end readonly def".
    void writeCharStrings(std::string_view notdefEntry,
        const std::function<void(int glyph, const std::string& name)>& writeEntry);
    // "/Encoding ... def": StandardEncoding, or a symbol font's own codes.
    void writeEncoding();
    // A string's text as a PostScript string body (escaped), and as comment text.
    static std::string stringBody(std::string_view text);
    static std::string commentText(std::string_view text);
    static std::string tagText(std::uint32_t tag);
    const std::string& fontName() const { return m_fontName; }

    // Glyph names: from a format 2.0 'post' table, else (after its message)
    // from the character map; every glyph gets a usable, distinct name.
    const std::vector<std::string>& glyphNames();
    // Scales font units to the 1000-unit em of the Type 3 program.
    int scaled(int value) const;

    BigEndianBytes m_data;
    std::vector<TableEntry> m_directory;
    std::uint32_t m_sfntVersion = 0;
    FixedNumber m_revision;
    int m_unitsPerEm = 1000;
    int m_indexToLocFormat = 0;
    int m_numGlyphs = 0;
    int m_bbox[4] = {}; // scaled to 1000 units
    Names m_names;
    PostInfo m_post;
    BigEndianBytes m_postTable;

private:
    bool readFont();
    void readNames(std::span<const std::uint8_t> table);
    std::vector<std::string> namesFromPost();
    std::vector<std::string> namesFromCharacterMap() const;
    enum class CharacterSet { Unicode, Symbol };
    // Each character of the font's Unicode or symbol character map with its
    // glyph (below the glyph count), lowest character first.
    void forEachCharacter(CharacterSet set, const std::function<void(char32_t, std::uint32_t)>& visit) const;

    std::string m_requestedName;
    std::string m_fontName;
    std::vector<std::string> m_glyphNames;
    bool m_glyphNamesRead = false;
    std::string m_out;
    OutputStream* m_stream = nullptr;
};

} // namespace zavora
