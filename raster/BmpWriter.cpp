#include "raster/BmpWriter.h"

#include "platform/LittleEndianBytes.h"
#include "platform/OutputStream.h"

#include <limits>

namespace zavora {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBitsPerPixel = 24;

} // namespace

bool writeBmp(OutputStream& stream, const RgbImageView& image)
{
    if (!image.isValid())
        return false;
    const uint64_t rowBytes = (uint64_t(image.width) * kBitsPerPixel + 31) / 32 * 4;
    const uint64_t imageSize = rowBytes * uint64_t(image.height);
    const uint64_t offBits = kFileHeaderSize + kInfoHeaderSize; // no colour table at 24 bits
    if (offBits + imageSize > std::numeric_limits<int32_t>::max())
        return false;

    LittleEndianBytes header;
    header.text("BM");
    header.u32(uint32_t(offBits + imageSize));
    header.u32(0);
    header.u32(uint32_t(offBits));
    header.u32(kInfoHeaderSize);
    header.u32(uint32_t(image.width));
    header.u32(uint32_t(image.height)); // positive: bottom-up
    header.u16(1); // planes
    header.u16(kBitsPerPixel);
    header.u32(0); // uncompressed
    header.u32(uint32_t(imageSize));
    header.u32(0); // resolution unspecified, as the platform writes it
    header.u32(0);
    header.u32(0); // colours used
    header.u32(0); // colours important
    bool ok = stream.write(header.bytes.data(), header.bytes.size());

    std::vector<uint8_t> row(size_t(rowBytes), 0);
    for (int32_t y = image.height - 1; y >= 0 && ok; --y) {
        const uint8_t* source = image.pixels + size_t(y) * size_t(image.stride);
        for (int32_t x = 0; x < image.width; ++x) {
            row[size_t(x) * 3] = source[x * 3 + 2];
            row[size_t(x) * 3 + 1] = source[x * 3 + 1];
            row[size_t(x) * 3 + 2] = source[x * 3];
        }
        ok = stream.write(row.data(), row.size());
    }
    return ok;
}

} // namespace zavora
