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

template <class T> const T& as(const DrawObject& o)
{
    return static_cast<const T&>(o);
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
    const auto points = [&out](std::initializer_list<Point> list) {
        for (Point p : list)
            dumpPoint(out, p);
    };
    switch (o.type()) {
    case ObjectType::Line:
        points({ as<LineObject>(o).first(), as<LineObject>(o).second() });
        break;
    case ObjectType::Rectangle:
        points({ as<RectangleObject>(o).corner1(), as<RectangleObject>(o).corner2() });
        break;
    case ObjectType::RoundRect: {
        const auto& r = as<RoundRectObject>(o);
        points({ r.corner1(), r.corner2(), { r.rx(), r.ry() } });
        break;
    }
    case ObjectType::Ellipse:
        points({ as<EllipseObject>(o).centre(), { as<EllipseObject>(o).rx(), as<EllipseObject>(o).ry() } });
        break;
    case ObjectType::Arc: {
        const auto& a = as<ArcObject>(o);
        points({ a.centre(), { a.rx(), a.ry() }, { a.startAngle(), a.endAngle() } });
        break;
    }
    case ObjectType::Polygon:
        out << "closed " << as<PolygonObject>(o).isClosed();
        for (Point v : as<PolygonObject>(o).vertices())
            dumpPoint(out, v);
        break;
    case ObjectType::Curve:
        out << "closed " << as<CurveObject>(o).isClosed();
        for (const BezierNode& n : as<CurveObject>(o).nodes()) {
            points({ { n.x, n.y }, { n.inX, n.inY }, { n.outX, n.outY } });
            out << n.flags << ';';
        }
        break;
    case ObjectType::Text: {
        const auto& t = as<TextObject>(o);
        for (const TextRun& run : t.runs())
            out << "run <" << run.text << "> " << static_cast<const void*>(run.font) << ' '
                << hexFloat(run.size) << "; ";
        out << "leading " << hexFloat(t.leading()) << " align " << int(t.alignment()) << " frame ";
        points({ t.frame().corner1(), t.frame().corner2() });
        break;
    }
    case ObjectType::Image: {
        const auto& i = as<ImageObject>(o);
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
