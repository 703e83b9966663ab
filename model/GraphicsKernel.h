#pragma once
// The geometry kernel: one process-wide PostScript-like graphics state with a
// current transformation matrix (CTM), a graphics-state stack, a matrix stack
// and a current path kept in device coordinates. Drawing objects build their
// outlines here for hit tests and bounding boxes; the screen port paints the
// same path. Single-threaded and not re-entrant, like a PostScript interpreter.
//
// Every user brackets its work with gsave()/grestore() and leaves both stacks
// as it found them. Popping an empty stack writes "Stack underflow" to the
// debug log and changes nothing.

#include "model/Geometry.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zavora {

enum class PathKind : int32_t { Move = 1, Line = 2, Curve = 3, Close = 4 };

// One element of the current path, in device coordinates.
// Move/Line use (x1, y1); Curve uses both control points and the end point.
struct PathElement {
    PathKind kind = PathKind::Move;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
    bool operator==(const PathElement&) const = default;
};

// The saved-and-restored part of the graphics state.
struct GraphicsState {
    float currentX = 0;          // user space
    float currentY = 0;
    int32_t hasCurrentPoint = 0;
    float lineWidth = 1;         // device units
    float red = 0, green = 0, blue = 0; // fractions 0..1
    int32_t fillPattern = -1;    // -1 = none
    int32_t pen = -1;            // dash index, -1 = solid
    int32_t spare = 0;
    KMatrix ctm;
};

// Where the nearest-point search found the probe on a curve: the curve point
// and the control points of the two halves of the curve split there (device
// coordinates). Used to insert a node without changing the shape.
struct CurveSplit {
    bool onCurve = false;   // false when the nearest element was a line or close
    int elementIndex = -1;  // index of the nearest element in the path
    float t = 0;            // parameter on that curve
    Point start, c1, c2, mid;   // first half: start, c1, c2, mid
    Point c3, c4, end;          // second half: mid, c3, c4, end
};

class GraphicsKernel {
public:
    static GraphicsKernel& instance();

    // Back to start-up state: identity CTM, no current point, empty path and stacks.
    void reset();

    // --- graphics state and matrices -----------------------------------
    void gsave();
    void grestore();
    const GraphicsState& state() const { return m_state; }
    std::size_t saveDepth() const { return m_saved.size(); }

    void pushIdentity();            // push the identity onto the matrix stack
    void replaceTopWithCtm();       // top of the matrix stack := CTM
    void popIntoCtm();              // CTM := popped top
    bool popInto(Matrix& out);      // popped top converted to floats; false on underflow
    std::size_t matrixDepth() const { return m_matrices.size(); }

    // CTM := M x CTM; a current point keeps its device position.
    void translate(double tx, double ty);
    void scale(double sx, double sy);
    void rotate(double degrees);
    void concat(const Matrix& m);
    void concat(const KMatrix& m);
    void flip();                    // CTM := (1, 0, 0, -1, 0, 0)
    const KMatrix& ctm() const { return m_state.ctm; }
    void setCtm(const KMatrix& m);

    Point transform(Point user) const;        // user -> device
    Point dtransform(Point user) const;       // linear part only
    Point itransform(Point device) const;     // device -> user

    void setLineWidth(float w);     // stored in device units (x of dtransform(w, w))
    void setColor(float r, float g, float b);
    void setGray(float g);
    void setFillPattern(int32_t pattern);
    void setPen(int32_t pen);

    // --- path construction (user space in, device space stored) --------
    void moveto(float x, float y);
    void lineto(float x, float y);
    void curveto(float x1, float y1, float x2, float y2, float x3, float y3);
    void closepath();
    // Counter-clockwise arc from a1 to a2 degrees, in at most 90-degree Bezier pieces.
    void arc(float cx, float cy, float r, float a1, float a2);
    // Ellipse or elliptic arc by scaling a unit arc (inside its own gsave/grestore).
    void ellipticArc(float cx, float cy, float rx, float ry, float a1, float a2);
    void newpath();

    const std::vector<PathElement>& path() const { return m_path; }
    // The path as the hit tests see it: one polygon per subpath, curves
    // subdivided, vertices rounded to integer device pixels (consecutive
    // duplicates dropped).
    static std::vector<std::vector<IntPoint>> flattenPath(const std::vector<PathElement>& path);
    // Hands the current path to a painter and clears it (and the current point).
    std::vector<PathElement> takePath();
    // Makes `path` the current path again (elements in device space).
    void restorePath(std::vector<PathElement> path);

    // --- hit tests on the current path (each one empties the path) -----
    // Even-odd test of a user-space point against the path flattened to
    // integer device polygons.
    bool pointInPath(float x, float y);
    // Whether the device rectangle spanned by two user-space corners overlaps
    // the filled area.
    bool rectOverlapsPath(float x1, float y1, float x2, float y2);
    // Nearest point of the outline to `devicePoint` within `tolerance` (device
    // units). On success writes the point back, its squared distance, and,
    // when `split` is given, where a curve was hit.
    bool nearestPointOnPath(Point& devicePoint, float tolerance, float& distanceSquared,
                            CurveSplit* split = nullptr);

private:
    GraphicsKernel() = default;
    void append(const PathElement& e);
    void applyOperand(const KMatrix& m);

    GraphicsState m_state;
    std::vector<GraphicsState> m_saved;
    std::vector<KMatrix> m_matrices;
    std::vector<PathElement> m_path;
};

// Shortcut for GraphicsKernel::instance().
inline GraphicsKernel& kernel() { return GraphicsKernel::instance(); }

// RAII bracket: gsave on construction, grestore on destruction.
class StateSaver {
public:
    StateSaver() { kernel().gsave(); }
    ~StateSaver() { kernel().grestore(); }
    StateSaver(const StateSaver&) = delete;
    StateSaver& operator=(const StateSaver&) = delete;
};

// RAII bracket for a query (hit test, bounding box) that builds an outline of
// its own: the graphics state is saved and the caller's current path set
// aside, both put back as they were when the query ends.
class PathScope {
public:
    PathScope()
    {
        kernel().gsave();
        m_callerPath = kernel().takePath();
    }
    ~PathScope()
    {
        kernel().restorePath(std::move(m_callerPath));
        kernel().grestore();
    }
    PathScope(const PathScope&) = delete;
    PathScope& operator=(const PathScope&) = delete;

private:
    std::vector<PathElement> m_callerPath;
};

} // namespace zavora
