#pragma once
// TrueType to a Type 42 font program: the font's own tables carried in the
// sfnts array of hex strings, glyph names in CharStrings, and a trailer that
// falls back on TrueDict where the interpreter has no Type 42 support.

#include "fonts/TrueTypeConverter.h"

namespace zavora {

class Type42Converter : public TrueTypeConverter {
public:
    using TrueTypeConverter::TrueTypeConverter;

    // PostScript strings are at most 65535 bytes; each sfnts string stays
    // below this, padding byte included.
    static constexpr std::size_t kMaxStringBytes = 65528;

protected:
    bool writeFont() override;
    MessageStyle messageStyle() const override { return MessageStyle::NamedFont; }

private:
    struct CarriedTable {
        TableEntry entry;
        std::uint32_t newOffset = 0;
    };

    void writeHeader();
    bool writeSfnts();
    bool writeGlyf(const CarriedTable& glyf);

    // The hex writer.
    void openString();
    void closeString();
    // Closes the open string when `length` more bytes would not fit in it.
    void makeRoom(std::size_t length);
    void putBytes(std::span<const std::uint8_t> bytes);
    void putZeros(std::size_t count);
    void put32(std::uint32_t value);
    void put16(std::uint16_t value);

    std::size_t m_stringBytes = 0;
    int m_column = 0;
    bool m_stringOpen = false;
};

} // namespace zavora
