#pragma once
// Small TrueType fonts built in memory: glyphs as contours, components or raw
// bytes, with 'name' (full name "Test Font") and 'post' 2.0 names.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace zavora::test {

using Bytes = std::vector<std::uint8_t>;

struct SfntPoint {
    int x = 0, y = 0;
    bool on = true;
};

struct SfntComponent {
    int glyph = 0;
    int dx = 0, dy = 0;
    std::optional<double> scale; // uniform, as WE_HAVE_A_SCALE
};

struct SfntGlyph {
    std::string name;
    int advance = 500;
    std::vector<std::vector<SfntPoint>> contours;
    std::vector<SfntComponent> components;
    Bytes raw; // glyph data as it stands, when not empty
};

class SfntBuilder {
public:
    int unitsPerEm = 1000;
    std::string notice; // name id 0, when not empty
    std::vector<SfntGlyph> glyphs { SfntGlyph { ".notdef" } };
    std::map<std::string, Bytes> extraTables;

    void add(SfntGlyph g) { glyphs.push_back(std::move(g)); }

    Bytes build() const
    {
        std::map<std::string, Bytes> t = extraTables;
        int box[4] = { 0, 0, 0, 0 };
        for (const SfntGlyph& g : glyphs) {
            put32(t["loca"], std::uint32_t(t["glyf"].size()));
            const Bytes data = glyphData(g, box);
            t["glyf"].insert(t["glyf"].end(), data.begin(), data.end());
            put16s(t["hmtx"], { g.advance, 0 });
        }
        put32(t["loca"], std::uint32_t(t["glyf"].size()));
        const int count = int(glyphs.size());
        // Version, revision 1.5, checksum adjustment, magic, flags, units per
        // em, dates; the box; style, smallest size, direction, long 'loca'.
        put16s(t["head"], { 1, 0, 1, 0x8000, 0, 0, 0x5F0F, 0x3CF5, 0, unitsPerEm });
        t["head"].resize(36, 0);
        put16s(t["head"], { box[0], box[1], box[2], box[3], 0, 3, 2, 1, 0 });
        t["hhea"].resize(34, 0);
        put16s(t["hhea"], { count });
        put16s(t["maxp"], { 1, 0, count });
        t["maxp"].resize(32, 0);
        put16s(t["post"], { 2, 0 });
        t["post"].resize(32, 0);
        put16s(t["post"], { count });
        std::string strings;
        int stored = 0;
        for (const SfntGlyph& g : glyphs) {
            const bool standard = g.name == ".notdef";
            put16s(t["post"], { standard ? 0 : 258 + stored++ });
            if (!standard)
                strings += char(g.name.size()) + g.name;
        }
        t["post"].insert(t["post"].end(), strings.begin(), strings.end());

        std::vector<NameRecord> records = { { 1, 4, "Test Font" }, { 1, 6, "TestFont" } };
        if (!notice.empty())
            records.insert(records.begin(), { 1, 0, notice });
        t["name"] = nameTable(records);
        return assemble(t);
    }

    // Platform, name id and the bytes as stored; Windows records (platform 3)
    // are Unicode, US English.
    using NameRecord = std::tuple<int, int, std::string>;
    static Bytes nameTable(const std::vector<NameRecord>& records)
    {
        Bytes t;
        put16s(t, { 0, int(records.size()), 6 + 12 * int(records.size()) });
        std::string storage;
        for (const auto& [platform, id, text] : records) {
            const bool windows = platform == 3;
            put16s(t,
                { platform, windows ? 1 : 0, windows ? 0x409 : 0, id, int(text.size()),
                    int(storage.size()) });
            storage += text;
        }
        t.insert(t.end(), storage.begin(), storage.end());
        return t;
    }

    static void put16s(Bytes& out, std::initializer_list<int> values)
    {
        for (int v : values) {
            out.push_back(std::uint8_t(v >> 8));
            out.push_back(std::uint8_t(v));
        }
    }
    static void put32(Bytes& out, std::uint32_t v) { put16s(out, { int(v >> 16), int(v & 0xFFFF) }); }

    // Tables in tag order, each on a 4-byte boundary.
    static Bytes assemble(const std::map<std::string, Bytes>& tables)
    {
        Bytes out;
        put16s(out, { 1, 0, int(tables.size()), 0, 0, 0 });
        out.resize(12 + 16 * tables.size(), 0);
        std::size_t entry = 12;
        for (const auto& [tag, bytes] : tables) {
            Bytes e(tag.begin(), tag.end());
            put32(e, 0);
            put32(e, std::uint32_t(out.size()));
            put32(e, std::uint32_t(bytes.size()));
            std::copy(e.begin(), e.end(), out.begin() + std::ptrdiff_t(entry));
            entry += 16;
            out.insert(out.end(), bytes.begin(), bytes.end());
            out.resize((out.size() + 3) & ~std::size_t(3), 0);
        }
        return out;
    }

private:
    // Points as 16-bit deltas, one flag a point (on-curve or not).
    static Bytes glyphData(const SfntGlyph& g, int (&fontBox)[4])
    {
        Bytes d = g.raw;
        if (!d.empty() || (g.contours.empty() && g.components.empty()))
            return d;
        int box[4] = { 0, 0, 0, 0 };
        if (!g.contours.empty())
            box[0] = box[1] = 32767, box[2] = box[3] = -32768;
        for (const auto& c : g.contours)
            for (const SfntPoint& p : c)
                box[0] = std::min(box[0], p.x), box[1] = std::min(box[1], p.y),
                box[2] = std::max(box[2], p.x), box[3] = std::max(box[3], p.y);
        for (int k = 0; k < 4; ++k)
            fontBox[k] = k < 2 ? std::min(fontBox[k], box[k]) : std::max(fontBox[k], box[k]);
        put16s(d, { g.contours.empty() ? -1 : int(g.contours.size()), box[0], box[1], box[2], box[3] });
        if (!g.contours.empty()) {
            int end = -1;
            for (const auto& c : g.contours)
                put16s(d, { end += int(c.size()) });
            put16s(d, { 0 }); // no instructions
            for (const auto& c : g.contours)
                for (const SfntPoint& p : c)
                    d.push_back(p.on ? 1 : 0);
            for (int axis = 0; axis < 2; ++axis) {
                int previous = 0;
                for (const auto& c : g.contours)
                    for (const SfntPoint& p : c) {
                        put16s(d, { (axis == 0 ? p.x : p.y) - previous });
                        previous = axis == 0 ? p.x : p.y;
                    }
            }
        }
        for (std::size_t i = 0; i < g.components.size(); ++i) {
            const SfntComponent& c = g.components[i];
            // Word arguments that are offsets; more components; a scale.
            const int flags = 0x0003 | (i + 1 < g.components.size() ? 0x0020 : 0) | (c.scale ? 0x0008 : 0);
            put16s(d, { flags, c.glyph, c.dx, c.dy });
            if (c.scale)
                put16s(d, { int(*c.scale * 16384) });
        }
        d.resize((d.size() + 3) & ~std::size_t(3), 0);
        return d;
    }
};

} // namespace zavora::test
