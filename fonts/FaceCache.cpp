#include "fonts/FaceCache.h"

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

std::int64_t quantized(double v, double steps)
{
    return std::isfinite(v) ? std::int64_t(std::llround(v * steps)) : 0;
}

} // namespace

std::size_t FaceCache::Face::KeyHash::operator()(const Key& k) const
{
    // Fields folded in by multiply and rotate, finished with a full mix so
    // that every bit of the key reaches the bucket index.
    std::uint64_t h = k.code | std::uint64_t(k.kind) << 32 | std::uint64_t(k.depth) << 40;
    for (std::uint64_t v : { std::uint64_t(k.xx), std::uint64_t(k.yx), std::uint64_t(k.xy), std::uint64_t(k.yy),
             std::uint64_t(std::uint32_t(k.penX)) << 32 | std::uint32_t(k.penY) })
        h = (h ^ v) * 0x9E3779B97F4A7C15ull, h ^= h >> 31;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return std::size_t(h);
}

FaceCache::Face::Face(std::unique_ptr<FontFace> face)
    : m_face(std::move(face))
    , m_unitsPerEm(m_face->metrics().unitsPerEm)
{
    m_masks.reserve(1024);
}

const GlyphMask* FaceCache::Face::mask(std::uint32_t code, CharCode kind, const GlyphRaster& raster)
{
    const Key key { code, kind, raster.depth, quantized(raster.xx, 1024), quantized(raster.yx, 1024),
        quantized(raster.xy, 1024), quantized(raster.yy, 1024), std::int32_t(quantized(raster.penX, 64)),
        std::int32_t(quantized(raster.penY, 64)) };
    auto found = m_masks.find(key);
    if (found == m_masks.end()) {
        if (m_maskBytes > kMaskBudgetBytes) {
            m_masks.clear();
            m_maskBytes = 0;
        }
        std::optional<GlyphMask> mask = m_face->renderGlyph(code, kind, raster);
        m_maskBytes += sizeof(Key) + sizeof(GlyphMask) + (mask ? mask->bits.size() : 0);
        found = m_masks.emplace(key, std::move(mask)).first;
    }
    return found->second ? &*found->second : nullptr;
}

FaceCache::FaceCache(FontSystem& fonts, std::size_t capacity)
    : m_fonts(fonts)
    , m_capacity(std::max<std::size_t>(capacity, 1))
{
}

std::shared_ptr<FaceCache::Face> FaceCache::open(const std::filesystem::path& path, int index)
{
    ++m_clock;
    for (Entry& entry : m_entries) {
        if (entry.index == index && entry.path.native() == path.native()) {
            entry.lastUse = m_clock;
            return entry.face;
        }
    }
    if (m_entries.size() >= m_capacity) {
        // Whoever still holds the evicted face keeps it alive until done.
        auto oldest = std::min_element(m_entries.begin(), m_entries.end(),
            [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
        m_entries.erase(oldest);
    }
    std::unique_ptr<FontFace> opened = m_fonts.open(path, index);
    std::shared_ptr<Face> face = opened ? std::make_shared<Face>(std::move(opened)) : nullptr;
    m_entries.push_back({ path, index, face, m_clock });
    return face;
}

} // namespace zavora
