#include "raster/GifWriter.h"

#include "model/ProgressMonitor.h"
#include "platform/LittleEndianBytes.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace zavora {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr size_t kSubBlock = 255;
// Nearest-colour cells are cubes of 2^kCellBits levels each way.
constexpr int kCellBits = 3;

uint32_t colourAt(const RgbImageView& image, int32_t x, int32_t y)
{
    const uint8_t* p = image.pixels + size_t(y) * size_t(image.stride) + size_t(x) * 3;
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

uint32_t hashColour(uint32_t colour)
{
    return (colour * 2654435761u) >> 8;
}

// Colour -> slot number, open-addressed; far faster than a node map for the
// hundreds of thousands of colours of a scanned picture.
class ColourSlots {
public:
    ColourSlots()
        : m_keys(4096, kEmpty)
        , m_values(4096)
    { }
    // The colour's slot, and whether it was just added with `next`.
    std::pair<uint32_t, bool> find(uint32_t colour, uint32_t next)
    {
        size_t at = probe(colour);
        if (m_keys[at] == colour)
            return { m_values[at], false };
        m_keys[at] = colour;
        m_values[at] = next;
        if (++m_used * 2 > m_keys.size())
            grow();
        return { next, true };
    }

private:
    static constexpr uint32_t kEmpty = ~0u; // never a 24-bit colour
    size_t probe(uint32_t colour) const
    {
        const size_t mask = m_keys.size() - 1;
        size_t at = hashColour(colour) & mask;
        while (m_keys[at] != kEmpty && m_keys[at] != colour)
            at = (at + 1) & mask;
        return at;
    }
    void grow()
    {
        std::vector<uint32_t> keys(m_keys.size() * 2, kEmpty), values(m_keys.size() * 2);
        keys.swap(m_keys);
        values.swap(m_values);
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i] != kEmpty) {
                const size_t at = probe(keys[i]);
                m_keys[at] = keys[i];
                m_values[at] = values[i];
            }
    }
    std::vector<uint32_t> m_keys, m_values;
    size_t m_used = 0;
};

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
    GifPalette palette;
    // Each pixel's colour as a slot number, slots in order of first
    // appearance, so that equal counts sort the same way every time.
    std::vector<uint32_t> pixelSlots, slotColours, slotCounts;
    try {
        pixelSlots.resize(size_t(image.width) * size_t(image.height));
        palette.m_indexes.resize(pixelSlots.size());
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    ColourSlots slots;
    uint32_t* out = pixelSlots.data();
    for (int32_t y = 0; y < image.height; ++y) {
        if (monitor) {
            if (monitor->cancelled())
                return std::nullopt;
            monitor->step();
        }
        uint32_t previous = ~0u, previousSlot = 0;
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t colour = colourAt(image, x, y);
            if (colour != previous) {
                const auto [slot, added] = slots.find(colour, uint32_t(slotColours.size()));
                if (added) {
                    slotColours.push_back(colour);
                    slotCounts.push_back(0);
                }
                previous = colour;
                previousSlot = slot;
            }
            ++slotCounts[previousSlot];
            *out++ = previousSlot;
        }
    }
    if (monitor) {
        monitor->setMessage("Optimizing colors...");
        monitor->start(100);
        if (monitor->cancelled())
            return std::nullopt;
    }
    std::vector<uint32_t> bySlot(slotColours.size());
    for (uint32_t i = 0; i < bySlot.size(); ++i)
        bySlot[i] = i;
    const size_t kept = std::min<size_t>(bySlot.size(), 256);
    std::partial_sort(bySlot.begin(), bySlot.begin() + ptrdiff_t(kept), bySlot.end(), [&](uint32_t a, uint32_t b) {
        return slotCounts[a] != slotCounts[b] ? slotCounts[a] > slotCounts[b] : a < b;
    });
    palette.m_cells.resize(size_t(1) << 3 * (8 - kCellBits));
    std::vector<uint8_t> slotIndexes(slotColours.size());
    for (size_t i = 0; i < kept; ++i)
        palette.m_colours.push_back(slotColours[bySlot[i]]);
    for (size_t i = kept; i < bySlot.size(); ++i)
        slotIndexes[bySlot[i]] = palette.nearest(slotColours[bySlot[i]]);
    for (size_t i = 0; i < kept; ++i)
        slotIndexes[bySlot[i]] = uint8_t(i);
    for (size_t p = 0; p < pixelSlots.size(); ++p)
        palette.m_indexes[p] = slotIndexes[pixelSlots[p]];
    palette.m_width = image.width;
    palette.m_cells = {};
    return palette;
}

uint8_t GifPalette::nearest(uint32_t colour)
{
    const int r = int(colour >> 16), g = int(colour >> 8 & 0xFF), b = int(colour & 0xFF);
    int best = 0;
    int bestDistance = 1 << 30;
    // Nearest to the cell first: once an entry cannot come nearer than the
    // best so far, neither can the rest. Equally near ones: the lower index.
    const int cell = r >> kCellBits << 2 * (8 - kCellBits) | g >> kCellBits << (8 - kCellBits) | b >> kCellBits;
    for (const Candidate& candidate : candidates(cell)) {
        if (candidate.least > bestDistance)
            break;
        const uint32_t c = m_colours[candidate.index];
        const int dr = int(c >> 16) - r, dg = int(c >> 8 & 0xFF) - g, db = int(c & 0xFF) - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance || (distance == bestDistance && candidate.index < best)) {
            bestDistance = distance;
            best = candidate.index;
        }
    }
    return uint8_t(best);
}

const std::vector<GifPalette::Candidate>& GifPalette::candidates(int cell)
{
    std::vector<Candidate>& list = m_cells[size_t(cell)];
    if (!list.empty())
        return list;
    // The cell's colour cube. An entry can be nearest to some colour of it
    // only when its least distance to the cube is no more than the greatest
    // distance of the entry that is farthest at worst.
    constexpr int side = 1 << kCellBits, perAxis = 1 << (8 - kCellBits);
    const int low[3] = { (cell / (perAxis * perAxis)) * side, (cell / perAxis % perAxis) * side, (cell % perAxis) * side };
    std::vector<int> nearest(m_colours.size());
    int threshold = 1 << 30;
    for (size_t i = 0; i < m_colours.size(); ++i) {
        int least = 0, most = 0;
        for (int k = 0; k < 3; ++k) {
            const int v = int(m_colours[i] >> (16 - 8 * k) & 0xFF);
            const int below = low[k] - v, above = v - (low[k] + side - 1);
            const int outside = std::max({ below, above, 0 });
            const int far = std::max(std::abs(v - low[k]), std::abs(v - low[k] - side + 1));
            least += outside * outside;
            most += far * far;
        }
        nearest[i] = least;
        threshold = std::min(threshold, most);
    }
    for (size_t i = 0; i < m_colours.size(); ++i)
        if (nearest[i] <= threshold)
            list.push_back({ nearest[i], uint8_t(i) });
    std::sort(list.begin(), list.end(),
        [](const Candidate& a, const Candidate& b) { return a.least != b.least ? a.least < b.least : a.index < b.index; });
    return list;
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

    std::vector<uint8_t> indexes;
    indexes.reserve(size_t(image.width) * size_t(image.height));
    for (int32_t y : rowOrder(image.height, options.interlace))
        for (int32_t x = 0; x < image.width; ++x)
            indexes.push_back(palette->indexAt(x, y));
    const std::vector<uint8_t> codes = gifRunLengthCodes(indexes, codeSize);
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
