#pragma once
// An OutputPort that logs one line per call with its values, so tests can
// check exactly which primitive an object sends and with what.

#include "model/OutputPort.h"

#include <cstdio>
#include <string>
#include <vector>

namespace zavora::test {

class RecordingPort : public OutputPort {
public:
    std::vector<std::string> log;

    bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor*) override
    {
        add("beginPage " + info.title + " " + num(downloadFonts));
        return true;
    }
    void endPage(ProgressMonitor*) override { add("endPage"); }
    void beginGroup() override { add("beginGroup"); }
    void endGroup() override { add("endGroup"); }
    void beginCompoundPath() override { add("beginCompoundPath"); }
    void endCompoundPath() override { add("endCompoundPath"); }
    void beginLink(const std::string& url) override { add("beginLink " + url); }
    void endLink(const std::string& url) override { add("endLink " + url); }

    void ellipse(const PaintStyle& s, const Matrix& m, float cx, float cy, float rx, float ry) override
    {
        prim(s, "ellipse", m, { cx, cy, rx, ry });
    }
    void arc(const PaintStyle& s, const Matrix& m, float cx, float cy, float rx, float ry, float start,
        float end, int a1, int a2) override
    {
        prim(s, "arc", m, { cx, cy, rx, ry, start, end }, " arrows " + num(a1) + " " + num(a2));
    }
    void line(
        const PaintStyle& s, const Matrix& m, float x1, float y1, float x2, float y2, int a1, int a2) override
    {
        prim(s, "line", m, { x1, y1, x2, y2 }, " arrows " + num(a1) + " " + num(a2));
    }
    void polyline(
        const PaintStyle& s, const Matrix& m, const PointList& points, bool closed, int a1, int a2) override
    {
        std::vector<float> v;
        for (Point p : points) {
            v.push_back(p.x);
            v.push_back(p.y);
        }
        prim(s, "polyline", m, v, " closed " + num(closed) + " arrows " + num(a1) + " " + num(a2));
    }
    void curvePath(
        const PaintStyle& s, const Matrix& m, const NodeList& nodes, bool closed, int a1, int a2) override
    {
        std::vector<float> v;
        for (const BezierNode& n : nodes)
            v.insert(v.end(), { n.x, n.y, n.inX, n.inY, n.outX, n.outY, float(n.flags) });
        prim(s, "curvePath", m, v, " closed " + num(closed) + " arrows " + num(a1) + " " + num(a2));
    }
    void rectangle(const PaintStyle& s, const Matrix& m, float x1, float y1, float x2, float y2) override
    {
        prim(s, "rectangle", m, { x1, y1, x2, y2 });
    }
    void roundRectangle(const PaintStyle& s, const Matrix& m, float x1, float y1, float x2, float y2,
        float rx, float ry) override
    {
        prim(s, "roundRectangle", m, { x1, y1, x2, y2, rx, ry });
    }

    static std::string num(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", v);
        return buf;
    }

private:
    void add(std::string line) { log.push_back(std::move(line)); }

    void prim(const PaintStyle&, const char* name, const Matrix& m, const std::vector<float>& values,
        const std::string& tail = "")
    {
        std::string line = name;
        for (float v : values)
            line += " " + num(v);
        line += " [" + num(m.a) + " " + num(m.b) + " " + num(m.c) + " " + num(m.d) + " " + num(m.tx) + " "
            + num(m.ty) + "]" + tail;
        add(line);
    }
};

} // namespace zavora::test
