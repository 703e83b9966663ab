#pragma once
// The range every number of a drawing is kept in. The file reader clamps what
// it reads to it, the dialogs refuse or limit entries beyond it, and the
// PostScript writers clamp what they write, so no file we write holds a number
// that a PostScript interpreter (or our own rasteriser) rejects or chokes on.

#include "model/Geometry.h"

namespace zavora {

// Coordinates, lengths and matrix entries, in points: nearly 200 times the
// largest page side (5184), so nothing a page can show is cut; the writers'
// %g still writes whole points there, and device coordinates stay far inside
// 32-bit integers at any zoom or print resolution.
constexpr float kMaxCoordinate = 1.0e6f;

// Font sizes: the Font command's range.
constexpr float kMinFontSize = 1;
constexpr float kMaxFontSize = 250;

// Leading: the Leading command's upper bound; a file may ask for none (0).
constexpr float kMaxLeading = 300;

// Scale command percentages: a largest page scaled by this stays inside the
// coordinate range.
constexpr int kMaxScalePercent = 10000;

// Arc angles within this many degrees either side of 0 are kept as they are.
constexpr float kMaxPlainArcAngle = 720;

// Not a number becomes 0; anything else is limited to +-kMaxCoordinate.
float clampCoordinate(double value);
float clampFontSize(double size);
float clampLeading(double leading);
float clampLineWidth(double width);

struct ArcAngles {
    float start = 0;
    float end = 0;
};
// The PostScript arc operator counts whole turns one by one: an angle of 1e8
// keeps an interpreter busy for minutes, 1e10 is refused. Angles beyond
// +-kMaxPlainArcAngle are brought to a start in [0, 360) and an end at the
// same sweep (at most one whole turn), which draws the same arc.
ArcAngles saneArcAngles(float start, float end);

// A text or image matrix must be invertible for an interpreter to show or
// place anything under it. Singular here also counts a determinant lost in
// rounding (0.1 0.3 0.2 0.6).
bool isSingular(const Matrix& m);
// The matrix with its linear part nudged to the nearest comfortably
// invertible one: a squashed matrix keeps its long side and gets a short one
// of a hundredth across it; an empty one becomes a small uniform scale. The
// translation stays.
Matrix invertibleMatrix(const Matrix& m);

} // namespace zavora
