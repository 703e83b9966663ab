#pragma once
// A byte buffer filled with little-endian fields: the bitmap writers' headers
// and the metafile recorder's records.

#include <cstdint>
#include <vector>

namespace zavora {

struct LittleEndianBytes {
    std::vector<uint8_t> bytes;

    void u8(uint32_t value) { bytes.push_back(uint8_t(value)); }
    void u16(uint32_t value)
    {
        u8(value);
        u8(value >> 8);
    }
    void u32(uint32_t value)
    {
        u16(value);
        u16(value >> 16);
    }
    void text(const char* ascii)
    {
        while (*ascii)
            u8(uint8_t(*ascii++));
    }
};

} // namespace zavora
