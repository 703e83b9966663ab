#include "raster/TiffWriter.h"

#include "platform/LittleEndianBytes.h"
#include "platform/OutputStream.h"

#include <algorithm>
#include <limits>

namespace zavora {

namespace {

enum class TiffType : uint16_t { Short = 3, Long = 4, Rational = 5 };

enum class TiffTag : uint16_t {
    NewSubfileType = 254,
    ImageWidth = 256,
    ImageLength = 257,
    BitsPerSample = 258,
    Compression = 259,
    PhotometricInterpretation = 262,
    StripOffsets = 273,
    SamplesPerPixel = 277,
    RowsPerStrip = 278,
    StripByteCounts = 279,
    XResolution = 282,
    YResolution = 283,
    ResolutionUnit = 296,
};

constexpr uint32_t kEntries = 13;
constexpr uint32_t kHeaderSize = 8;
// Entry count, the entries and the next-directory offset.
constexpr uint32_t kDirectorySize = 2 + kEntries * 12 + 4;

void entry(LittleEndianBytes& out, TiffTag tag, TiffType type, uint32_t count, uint32_t value)
{
    out.u16(uint16_t(tag));
    out.u16(uint16_t(type));
    out.u32(count);
    out.u32(value); // a SHORT in place is its 16 bits then 16 zero bits
}

// As many rows as fit in 8 KB; rows wider than 2730 pixels get a strip each.
int32_t tiffRowsPerStrip(int32_t width)
{
    return width > 0 ? std::max<int32_t>(1, 8192 / (width * 3)) : 1;
}

} // namespace

bool writeTiff(OutputStream& stream, const RgbImageView& image)
{
    if (!image.isValid())
        return false;
    const uint64_t rowBytes = uint64_t(image.width) * 3;
    const uint64_t pixelBytes = rowBytes * uint64_t(image.height);
    const uint32_t rowsPerStrip = uint32_t(tiffRowsPerStrip(image.width));
    const uint32_t strips = (uint32_t(image.height) + rowsPerStrip - 1) / rowsPerStrip;
    const uint64_t directory = (kHeaderSize + pixelBytes + 3) / 4 * 4;
    const uint64_t end = directory + kDirectorySize + 8 + 8 + 6 + uint64_t(strips) * 8;
    if (end > std::numeric_limits<uint32_t>::max())
        return false;
    const long base = stream.tell();
    if (base < 0)
        return false;

    LittleEndianBytes header;
    header.text("II");
    header.u16(42);
    header.u32(0); // the directory offset, patched below
    bool ok = stream.write(header.bytes.data(), header.bytes.size());
    for (int32_t y = 0; y < image.height && ok; ++y)
        ok = stream.write(image.pixels + size_t(y) * size_t(image.stride), rowBytes);

    LittleEndianBytes tail;
    for (uint64_t at = kHeaderSize + pixelBytes; at < directory; ++at)
        tail.u8(0);
    const uint32_t xResolution = uint32_t(directory) + kDirectorySize;
    const uint32_t yResolution = xResolution + 8;
    const uint32_t bitsPerSample = yResolution + 8;
    const uint32_t stripOffsets = bitsPerSample + 6;
    const uint32_t stripByteCounts = stripOffsets + strips * 4;
    const uint32_t stripBytes = rowsPerStrip * uint32_t(rowBytes);
    const uint32_t lastStripBytes = uint32_t(pixelBytes) - (strips - 1) * stripBytes;
    // A count of one holds its value in place, tables or not.
    const bool oneStrip = strips == 1;

    tail.u16(kEntries);
    entry(tail, TiffTag::NewSubfileType, TiffType::Long, 1, 0);
    entry(tail, TiffTag::ImageWidth, TiffType::Long, 1, uint32_t(image.width));
    entry(tail, TiffTag::ImageLength, TiffType::Long, 1, uint32_t(image.height));
    entry(tail, TiffTag::BitsPerSample, TiffType::Short, 3, bitsPerSample);
    entry(tail, TiffTag::Compression, TiffType::Short, 1, 1);
    entry(tail, TiffTag::PhotometricInterpretation, TiffType::Short, 1, 2);
    entry(tail, TiffTag::StripOffsets, TiffType::Long, strips, oneStrip ? kHeaderSize : stripOffsets);
    entry(tail, TiffTag::SamplesPerPixel, TiffType::Short, 1, 3);
    entry(tail, TiffTag::RowsPerStrip, TiffType::Long, 1, rowsPerStrip);
    entry(tail, TiffTag::StripByteCounts, TiffType::Long, strips, oneStrip ? lastStripBytes : stripByteCounts);
    entry(tail, TiffTag::XResolution, TiffType::Rational, 1, xResolution);
    entry(tail, TiffTag::YResolution, TiffType::Rational, 1, yResolution);
    entry(tail, TiffTag::ResolutionUnit, TiffType::Short, 1, 2);
    tail.u32(0);
    for (int i = 0; i < 2; ++i) {
        tail.u32(72);
        tail.u32(1);
    }
    for (int i = 0; i < 3; ++i)
        tail.u16(8);
    if (!oneStrip) {
        for (uint32_t i = 0; i < strips; ++i)
            tail.u32(kHeaderSize + i * stripBytes);
        for (uint32_t i = 0; i < strips; ++i)
            tail.u32(i + 1 < strips ? stripBytes : lastStripBytes);
    }
    ok = ok && stream.write(tail.bytes.data(), tail.bytes.size());

    LittleEndianBytes offset;
    offset.u32(uint32_t(directory));
    const long after = stream.tell();
    return ok && stream.seek(base + 4) && stream.write(offset.bytes.data(), offset.bytes.size())
        && stream.seek(after);
}

} // namespace zavora
