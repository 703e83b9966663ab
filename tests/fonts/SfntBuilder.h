#pragma once
// Builds small TrueType fonts in memory for the converter tests: glyphs given
// as contours of points or as components, with the tables a converter reads.

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zavora::test {

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
    std::vector<std::uint8_t> raw; // glyph data as it stands, when not empty
};

class SfntBuilder {
public:
    int unitsPerEm = 1000;
    std::uint32_t postFormat = 0x00020000;
    bool hinting = false; // adds 'cvt ', 'fpgm' and 'prep'
    std::string postScriptName = "TestFont";
    std::string notice; // name id 0, when not empty
    std::vector<SfntGlyph> glyphs { SfntGlyph { ".notdef" } };
    std::map<std::string, std::vector<std::uint8_t>> extraTables;

    int add(SfntGlyph g)
    {
        glyphs.push_back(std::move(g));
        return int(glyphs.size()) - 1;
    }

    std::vector<std::uint8_t> build() const
    {
        std::map<std::string, std::vector<std::uint8_t>> tables = extraTables;
        std::vector<std::uint8_t> glyf, loca, hmtx;
        int box[4] = { 0, 0, 0, 0 };
        for (const SfntGlyph& g : glyphs) {
            put32(loca, std::uint32_t(glyf.size()));
            std::vector<std::uint8_t> data = glyphData(g, box);
            glyf.insert(glyf.end(), data.begin(), data.end());
            put16(hmtx, g.advance);
            put16(hmtx, 0);
        }
        put32(loca, std::uint32_t(glyf.size()));
        tables["glyf"] = glyf;
        tables["loca"] = loca;
        tables["hmtx"] = hmtx;

        std::vector<std::uint8_t> head;
        put32(head, 0x00010000);
        put32(head, 0x00018000); // revision 1.5
        put32(head, 0);
        put32(head, 0x5F0F3CF5);
        put16(head, 0);
        put16(head, unitsPerEm);
        head.resize(36, 0);
        for (int v : box)
            put16(head, v);
        put16(head, 0);
        put16(head, 3);
        put16(head, 2);
        put16(head, 1); // long offsets
        put16(head, 0);
        tables["head"] = head;

        std::vector<std::uint8_t> hhea(34, 0);
        put16(hhea, int(glyphs.size()));
        tables["hhea"] = hhea;

        std::vector<std::uint8_t> maxp;
        put32(maxp, 0x00010000);
        put16(maxp, int(glyphs.size()));
        maxp.resize(32, 0);
        tables["maxp"] = maxp;

        std::vector<std::uint8_t> post;
        put32(post, postFormat);
        post.resize(32, 0);
        if (postFormat == 0x00020000) {
            put16(post, int(glyphs.size()));
            std::string strings;
            int stored = 0;
            for (std::size_t i = 0; i < glyphs.size(); ++i) {
                if (glyphs[i].name == ".notdef") {
                    put16(post, 0);
                    continue;
                }
                put16(post, 258 + stored++);
                strings += char(glyphs[i].name.size());
                strings += glyphs[i].name;
            }
            post.insert(post.end(), strings.begin(), strings.end());
        }
        tables["post"] = post;

        std::vector<std::uint8_t> name;
        std::vector<std::pair<int, std::string>> records = { { 4, "Test Font" }, { 6, postScriptName } };
        if (!notice.empty())
            records.insert(records.begin(), { 0, notice });
        put16(name, 0);
        put16(name, int(records.size()));
        put16(name, 6 + 12 * int(records.size()));
        std::string storage;
        for (const auto& [id, text] : records) {
            put16(name, 1);
            put16(name, 0);
            put16(name, 0);
            put16(name, id);
            put16(name, int(text.size()));
            put16(name, int(storage.size()));
            storage += text;
        }
        name.insert(name.end(), storage.begin(), storage.end());
        tables["name"] = name;
        if (hinting)
            tables["cvt "] = tables["fpgm"] = tables["prep"] = { 0, 0, 0, 0 };
        return assemble(tables);
    }

    static void put16(std::vector<std::uint8_t>& out, int v)
    {
        out.push_back(std::uint8_t(v >> 8));
        out.push_back(std::uint8_t(v));
    }
    static void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
    {
        put16(out, int(v >> 16));
        put16(out, int(v & 0xFFFF));
    }

    // Tables in tag order, each on a 4-byte boundary.
    static std::vector<std::uint8_t> assemble(const std::map<std::string, std::vector<std::uint8_t>>& tables)
    {
        std::vector<std::uint8_t> out;
        put32(out, 0x00010000);
        put16(out, int(tables.size()));
        out.resize(12 + 16 * tables.size(), 0);
        std::size_t entry = 12;
        for (const auto& [tag, bytes] : tables) {
            std::vector<std::uint8_t> e;
            for (char c : tag)
                e.push_back(std::uint8_t(c));
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
    static std::vector<std::uint8_t> glyphData(const SfntGlyph& g, int (&fontBox)[4])
    {
        std::vector<std::uint8_t> d = g.raw;
        if (!d.empty() || (g.contours.empty() && g.components.empty()))
            return d;
        int box[4] = { 32767, 32767, -32768, -32768 };
        for (const auto& c : g.contours)
            for (const SfntPoint& p : c) {
                box[0] = std::min(box[0], p.x);
                box[1] = std::min(box[1], p.y);
                box[2] = std::max(box[2], p.x);
                box[3] = std::max(box[3], p.y);
            }
        if (g.contours.empty())
            std::fill(box, box + 4, 0);
        for (int k = 0; k < 4; ++k)
            fontBox[k] = k < 2 ? std::min(fontBox[k], box[k]) : std::max(fontBox[k], box[k]);
        put16(d, g.contours.empty() ? -1 : int(g.contours.size()));
        for (int v : box)
            put16(d, v);
        if (!g.contours.empty()) {
            int end = -1;
            for (const auto& c : g.contours)
                put16(d, end += int(c.size()));
            put16(d, 0); // no instructions
            for (const auto& c : g.contours)
                for (const SfntPoint& p : c)
                    d.push_back(p.on ? 1 : 0);
            for (int axis = 0; axis < 2; ++axis) {
                int previous = 0;
                for (const auto& c : g.contours)
                    for (const SfntPoint& p : c) {
                        const int v = axis == 0 ? p.x : p.y;
                        put16(d, v - previous);
                        previous = v;
                    }
            }
        }
        for (std::size_t i = 0; i < g.components.size(); ++i) {
            const SfntComponent& c = g.components[i];
            int flags = 0x0001 | 0x0002; // word arguments, offsets
            if (i + 1 < g.components.size())
                flags |= 0x0020;
            if (c.scale)
                flags |= 0x0008;
            put16(d, flags);
            put16(d, c.glyph);
            put16(d, c.dx);
            put16(d, c.dy);
            if (c.scale)
                put16(d, int(*c.scale * 16384));
        }
        d.resize((d.size() + 3) & ~std::size_t(3), 0);
        return d;
    }
};

} // namespace zavora::test
