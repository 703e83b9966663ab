#include "raster/GifWriter.h"

#include "model/ProgressMonitor.h"
#include "raster/LittleEndianBytes.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace zavora {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr size_t kSubBlock = 255;

uint32_t colourAt(const RgbImageView& image, int32_t x, int32_t y)
{
    const uint8_t* p = image.pixels + size_t(y) * size_t(image.stride) + size_t(x) * 3;
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

uint32_t hashColour(uint32_t colour)
{
    return (colour * 2654435761u) >> 8;
}

// Codes packed least significant bit first.
class CodeWriter {
public:
    void put(uint32_t code, int width)
    {
        m_bits |= uint64_t(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            bytes.push_back(uint8_t(m_bits));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    void finish()
    {
        if (m_count > 0)
            bytes.push_back(uint8_t(m_bits));
        m_bits = 0;
        m_count = 0;
    }
    std::vector<uint8_t> bytes;

private:
    uint64_t m_bits = 0;
    int m_count = 0;
};

// A valid variable-width LZW stream in which the decoder's dictionary is only
// relied on for runs of one index: after a clear, emitting runs of lengths 1,
// 2, 3, ... makes each new code the next free one, so no string table is kept.
class RunLengthCoder {
public:
    explicit RunLengthCoder(int codeSize)
        : m_codeSize(codeSize)
        , m_clear(1u << codeSize)
        , m_end(m_clear + 1)
        , m_runBase(m_clear + 2)
        , m_initialClearAt(codeSize <= 2 ? 9 : (1u << codeSize) - 2)
        , m_maxCodes(4096 - ((1u << codeSize) + 3))
    {
        reset();
        m_out.put(m_clear, m_width);
    }

    void pixel(uint8_t index)
    {
        if (m_runCount > 0 && index != m_runIndex)
            flush();
        if (m_runCount > 0) {
            ++m_runCount;
        } else {
            m_runIndex = index;
            m_runCount = 1;
        }
    }

    std::vector<uint8_t> finish()
    {
        if (m_runCount > 0)
            flush();
        m_out.put(m_end, m_width);
        m_out.finish();
        return std::move(m_out.bytes);
    }

private:
    void reset()
    {
        m_width = m_codeSize + 1;
        m_bump = (1u << m_codeSize) - 1;
        m_clearAt = m_initialClearAt;
        m_count = 0;
        m_tableSize = 0;
        m_justCleared = true;
    }

    void clearNow()
    {
        m_out.put(m_clear, m_width);
        reset();
    }

    void plain(uint32_t code)
    {
        m_justCleared = false;
        m_out.put(code, m_width);
        ++m_count;
        if (m_count >= m_bump) {
            ++m_width;
            m_bump += 1u << (m_width - 1);
        }
        if (m_count >= m_clearAt)
            clearNow();
    }

    void restoreClearAt()
    {
        m_clearAt = m_initialClearAt;
        if (m_count >= m_clearAt)
            clearNow();
    }

    // Codes that runs of growing length need for k pixels.
    uint32_t triangleCount(uint32_t k) const
    {
        uint32_t cost = 0;
        const uint32_t perRepeat = m_maxCodes * (m_maxCodes + 1) / 2;
        while (k >= perRepeat) {
            cost += m_maxCodes;
            k -= perRepeat;
        }
        if (k > 0) {
            uint64_t m = uint64_t(std::sqrt(double(k)));
            while (m > 0 && m * (m + 1) >= 2 * uint64_t(k))
                --m;
            while (m * (m + 1) < 2 * uint64_t(k))
                ++m;
            cost += uint32_t(m);
        }
        return cost;
    }

    void flush()
    {
        const uint32_t k = m_runCount;
        m_runCount = 0;
        if (k == 1)
            plain(m_runIndex);
        else if (m_justCleared)
            fromClear(k);
        else if (m_tableSize < 2 || m_tableIndex != m_runIndex)
            clearOrRepeat(k);
        else
            withTable(k);
    }

    void fromClear(uint32_t k)
    {
        m_clearAt = m_maxCodes;
        m_tableIndex = m_runIndex;
        uint32_t s = 1;
        while (k > 0) {
            if (s == 1) {
                m_tableSize = 1;
                plain(m_runIndex);
                k -= 1;
            } else if (k >= s) {
                m_tableSize = s;
                plain(m_runBase + s - 2);
                k -= s;
            } else if (k == 1) {
                ++m_tableSize;
                plain(m_runIndex);
                k = 0;
            } else {
                ++m_tableSize;
                plain(m_runBase + k - 2);
                k = 0;
            }
            s = m_count == 0 ? 1 : s + 1;
        }
        restoreClearAt();
    }

    void clearOrRepeat(uint32_t k)
    {
        if (1 + triangleCount(k) < k) {
            clearNow();
            fromClear(k);
        } else {
            for (; k > 0; --k)
                plain(m_runIndex);
        }
    }

    void withTable(uint32_t k)
    {
        const uint32_t t = m_tableSize;
        uint32_t repeats = k / t;
        uint32_t leftover = k % t;
        uint32_t leftoverCost = leftover ? 1 : 0;
        if (m_count + repeats + leftoverCost > m_maxCodes) {
            repeats = m_maxCodes - m_count;
            leftover = k - repeats * t;
            leftoverCost = 1 + triangleCount(leftover);
        }
        if (1 + triangleCount(k) < repeats + leftoverCost) {
            clearNow();
            fromClear(k);
            return;
        }
        m_clearAt = m_maxCodes;
        for (; repeats > 0; --repeats)
            plain(m_runBase + t - 2);
        if (leftover) {
            if (m_justCleared)
                fromClear(leftover);
            else if (leftover == 1)
                plain(m_runIndex);
            else
                plain(m_runBase + leftover - 2);
        }
        restoreClearAt();
    }

    const int m_codeSize;
    const uint32_t m_clear, m_end, m_runBase, m_initialClearAt, m_maxCodes;
    CodeWriter m_out;
    int m_width = 0;
    uint32_t m_bump = 0, m_clearAt = 0, m_count = 0;
    uint32_t m_tableSize = 0;
    uint8_t m_tableIndex = 0;
    bool m_justCleared = true;
    uint8_t m_runIndex = 0;
    uint32_t m_runCount = 0;
};

// Bits for a colour table of `size` entries: 1 up to 2 colours, ... 8 up to 256.
int tableBits(size_t size)
{
    int bits = 1;
    while ((size_t(1) << bits) < size)
        ++bits;
    return bits;
}

// Row order of an interlaced image: every 8th from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
std::vector<int32_t> rowOrder(int32_t height, bool interlace)
{
    std::vector<int32_t> rows;
    rows.reserve(size_t(height));
    if (!interlace) {
        for (int32_t y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    static const int32_t passes[4][2] = { { 0, 8 }, { 4, 8 }, { 2, 4 }, { 1, 2 } };
    for (const auto& pass : passes)
        for (int32_t y = pass[0]; y < height; y += pass[1])
            rows.push_back(y);
    return rows;
}

} // namespace

std::optional<GifPalette> GifPalette::build(const RgbImageView& image, ProgressMonitor* monitor)
{
    if (monitor) {
        monitor->setMessage("Processing...");
        monitor->start(image.height);
    }
    // Counts in order of first appearance, so that equal counts sort the same
    // way every time.
    std::unordered_map<uint32_t, uint32_t> slot;
    struct Count {
        uint32_t colour, count, order;
    };
    std::vector<Count> counts;
    for (int32_t y = 0; y < image.height; ++y) {
        if (monitor) {
            if (monitor->cancelled())
                return std::nullopt;
            monitor->step();
        }
        uint32_t previous = ~0u;
        uint32_t* previousCount = nullptr;
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t colour = colourAt(image, x, y);
            if (colour == previous) {
                ++*previousCount;
                continue;
            }
            const auto [it, added] = slot.try_emplace(colour, uint32_t(counts.size()));
            if (added)
                counts.push_back({ colour, 0, uint32_t(counts.size()) });
            previous = colour;
            previousCount = &counts[it->second].count;
            ++*previousCount;
        }
    }
    if (monitor) {
        monitor->setMessage("Optimizing colors...");
        monitor->start(100);
        if (monitor->cancelled())
            return std::nullopt;
    }
    const size_t kept = std::min<size_t>(counts.size(), 256);
    std::partial_sort(counts.begin(), counts.begin() + ptrdiff_t(kept), counts.end(),
        [](const Count& a, const Count& b) { return a.count != b.count ? a.count > b.count : a.order < b.order; });
    GifPalette palette;
    for (size_t i = 0; i < kept; ++i)
        palette.m_colours.push_back(counts[i].colour);
    // Room for every colour of the image at under half load, so no rehash.
    size_t capacity = 1024;
    while (capacity < counts.size() * 2)
        capacity *= 2;
    palette.m_cache.assign(capacity, { ~0u, 0 });
    return palette;
}

uint8_t GifPalette::indexOf(uint32_t colour)
{
    const size_t mask = m_cache.size() - 1;
    size_t at = hashColour(colour) & mask;
    while (m_cache[at].first != ~0u) {
        if (m_cache[at].first == colour)
            return m_cache[at].second;
        at = (at + 1) & mask;
    }
    const int r = int(colour >> 16), g = int(colour >> 8 & 0xFF), b = int(colour & 0xFF);
    uint8_t best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < m_colours.size(); ++i) {
        const uint32_t c = m_colours[i];
        const int dr = int(c >> 16) - r, dg = int(c >> 8 & 0xFF) - g, db = int(c & 0xFF) - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = uint8_t(i);
            if (distance == 0)
                break;
        }
    }
    // The cache never fills: the palette was built from this image's colours.
    if (m_cacheUsed * 2 < m_cache.size()) {
        m_cache[at] = { colour, best };
        ++m_cacheUsed;
    }
    return best;
}

std::vector<uint8_t> gifRunLengthCodes(const std::vector<uint8_t>& indexes, int codeSize)
{
    RunLengthCoder coder(codeSize);
    for (uint8_t index : indexes)
        coder.pixel(index);
    return coder.finish();
}

std::optional<std::vector<uint8_t>> encodeGif(
    const RgbImageView& image, const GifOptions& options, ProgressMonitor* monitor)
{
    if (!image.isValid() || image.width > kGifMaxSide || image.height > kGifMaxSide)
        return std::nullopt;
    std::optional<GifPalette> palette = GifPalette::build(image, monitor);
    if (!palette)
        return std::nullopt;
    const std::vector<uint32_t>& colours = palette->colours();
    const int bits = tableBits(colours.size());
    const int codeSize = std::max(bits, 2);

    std::optional<uint8_t> transparent;
    if (options.transparent) {
        const auto white = std::find(colours.begin(), colours.end(), kWhite);
        transparent = white == colours.end() ? 0 : uint8_t(white - colours.begin());
    }

    LittleEndianBytes out;
    out.text(transparent ? "GIF89a" : "GIF87a");
    out.u16(uint32_t(image.width));
    out.u16(uint32_t(image.height));
    out.u8(0x80 | (bits - 1) << 4 | (bits - 1));
    out.u8(0); // background
    out.u8(0); // aspect ratio
    for (size_t i = 0; i < (size_t(1) << bits); ++i) {
        const uint32_t c = i < colours.size() ? colours[i] : 0;
        out.u8(c >> 16);
        out.u8(c >> 8);
        out.u8(c);
    }
    if (transparent) {
        for (uint32_t byte : { 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00 })
            out.u8(byte);
        out.u8(*transparent);
        out.u8(0);
    }
    out.u8(0x2C);
    out.u16(0);
    out.u16(0);
    out.u16(uint32_t(image.width));
    out.u16(uint32_t(image.height));
    out.u8(options.interlace ? 0x40 : 0x00);
    out.u8(uint32_t(codeSize));

    RunLengthCoder coder(codeSize);
    for (int32_t y : rowOrder(image.height, options.interlace))
        for (int32_t x = 0; x < image.width; ++x)
            coder.pixel(palette->indexOf(colourAt(image, x, y)));
    const std::vector<uint8_t> codes = coder.finish();
    for (size_t at = 0; at < codes.size(); at += kSubBlock) {
        const size_t length = std::min(kSubBlock, codes.size() - at);
        out.u8(uint32_t(length));
        out.bytes.insert(out.bytes.end(), codes.begin() + ptrdiff_t(at), codes.begin() + ptrdiff_t(at + length));
    }
    out.u8(0x00);
    out.u8(0x3B);
    return std::move(out.bytes);
}

} // namespace zavora
