#pragma once
// A structural text dump of a drawing's objects: every object's type, flags,
// matrix, own and effective style, arrows, URL, box and geometry, members
// recursively. Floats are written exactly (hex), so two dumps are equal only
// when the states are bit for bit the same.

#include "tests/support/TestFonts.h"
#include "model/Drawing.h"
#include "model/FontEntry.h"
#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>

namespace zavora::test {

// Every glyph half an em wide, so texts lay out without a font file.
using EvenFont = testfonts::FixedFont;

inline std::string hexFloat(float v)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%a", double(v));
    return buf;
}

inline void dumpPoint(std::ostream& out, Point p)
{
    out << '(' << hexFloat(p.x) << ',' << hexFloat(p.y) << ')';
}

inline void dumpStyle(std::ostream& out, const PaintStyle& s)
{
    out << "w" << hexFloat(s.lineWidth()) << " s" << s.strokeOn() << " f" << s.fillOn();
    for (const Color& c : { s.lineColor(), s.fillColor(), s.textColor() })
        out << " rgb" << hexFloat(c.red) << '/' << hexFloat(c.green) << '/' << hexFloat(c.blue);
    out << " p" << s.fillPattern() << " d" << s.dashIndex();
}

inline void dumpObject(std::ostream& out, const DrawObject& o, int depth)
{
    out << std::string(std::size_t(depth) * 2, ' ') << "type " << int(o.type()) << " flags " << o.flags();
    const Matrix& m = o.matrix();
    out << " m[" << hexFloat(m.a) << ' ' << hexFloat(m.b) << ' ' << hexFloat(m.c) << ' ' << hexFloat(m.d)
        << ' ' << hexFloat(m.tx) << ' ' << hexFloat(m.ty) << "]\n  own ";
    dumpStyle(out, o.DrawObject::style());
    out << "\n  eff ";
    dumpStyle(out, o.style());
    const auto [a1, a2] = o.arrows();
    out << "\n  arrows " << a1 << ' ' << a2 << " url " << (o.url() ? "<" + *o.url() + ">" : "none");
    const Rect b = o.boundingBox();
    out << " box " << hexFloat(b.left) << ' ' << hexFloat(b.bottom) << ' ' << hexFloat(b.right) << ' '
        << hexFloat(b.top) << "\n  geo ";
    switch (o.type()) {
    case ObjectType::Line: {
        const auto& l = static_cast<const LineObject&>(o);
        dumpPoint(out, l.first());
        dumpPoint(out, l.second());
        break;
    }
    case ObjectType::Rectangle: {
        const auto& r = static_cast<const RectangleObject&>(o);
        dumpPoint(out, r.corner1());
        dumpPoint(out, r.corner2());
        break;
    }
    case ObjectType::RoundRect: {
        const auto& r = static_cast<const RoundRectObject&>(o);
        dumpPoint(out, r.corner1());
        dumpPoint(out, r.corner2());
        dumpPoint(out, { r.rx(), r.ry() });
        break;
    }
    case ObjectType::Ellipse: {
        const auto& e = static_cast<const EllipseObject&>(o);
        dumpPoint(out, e.centre());
        dumpPoint(out, { e.rx(), e.ry() });
        break;
    }
    case ObjectType::Arc: {
        const auto& a = static_cast<const ArcObject&>(o);
        dumpPoint(out, a.centre());
        dumpPoint(out, { a.rx(), a.ry() });
        dumpPoint(out, { a.startAngle(), a.endAngle() });
        break;
    }
    case ObjectType::Polygon: {
        const auto& p = static_cast<const PolygonObject&>(o);
        out << "closed " << p.isClosed();
        for (Point v : p.vertices())
            dumpPoint(out, v);
        break;
    }
    case ObjectType::Curve: {
        const auto& c = static_cast<const CurveObject&>(o);
        out << "closed " << c.isClosed();
        for (const BezierNode& n : c.nodes()) {
            dumpPoint(out, { n.x, n.y });
            dumpPoint(out, { n.inX, n.inY });
            dumpPoint(out, { n.outX, n.outY });
            out << n.flags << ';';
        }
        break;
    }
    case ObjectType::Text: {
        const auto& t = static_cast<const TextObject&>(o);
        for (const TextRun& run : t.runs())
            out << "run <" << run.text << "> " << static_cast<const void*>(run.font) << ' '
                << hexFloat(run.size) << "; ";
        out << "leading " << hexFloat(t.leading()) << " align " << int(t.alignment()) << " frame ";
        dumpPoint(out, t.frame().corner1());
        dumpPoint(out, t.frame().corner2());
        break;
    }
    case ObjectType::Image: {
        const auto& i = static_cast<const ImageObject&>(o);
        out << i.width() << 'x' << i.height() << " hash "
            << std::hash<std::string>()(std::string(i.pixels().begin(), i.pixels().end()));
        break;
    }
    case ObjectType::Group:
    case ObjectType::CompoundPath:
        break;
    }
    out << '\n';
    if (const OwnedObjects* children = childrenOf(o))
        for (const auto& child : *children)
            dumpObject(out, *child, depth + 1);
}

inline std::string dumpDrawing(const Drawing& drawing)
{
    std::ostringstream out;
    for (const auto& object : drawing.objects())
        dumpObject(out, *object, 0);
    return out.str();
}

} // namespace zavora::test
