#pragma once
// How the dialogs read what was typed into their boxes: strict numbers, and
// the value a field falls back to when its text is not acceptable.

#include <optional>
#include <string_view>

namespace zavora {

// A signed whole number, surrounding blanks allowed; nullopt for anything
// else (empty, trailing text, out of int range).
std::optional<int> parseWholeNumber(std::string_view text);
// A decimal number ("12", "-1.5", "2e1"), surrounding blanks allowed.
std::optional<double> parseNumber(std::string_view text);

// Grid spacing: 1..72, anything else 1.
int gridSpacing(std::string_view text);
// Move distance: a signed whole number, else 0; limited to the coordinate range.
int moveDistance(std::string_view text);
// Scale: a whole number other than 0, else 100; limited to +-kMaxScalePercent.
int scalePercent(std::string_view text);
// Rotate: a signed whole number, else 0.
int rotateAngle(std::string_view text);

constexpr int kMinZoomPercent = 25;
constexpr int kMaxZoomPercent = 1200;
// The box's number (the current zoom when it holds none), limited to 25..1200.
int zoomPercent(std::string_view text, int currentPercent);

constexpr int kMinPaperSize = 72;
constexpr int kMaxPaperSize = 5184;
// A custom paper side: a whole number of points in 72..5184.
std::optional<int> paperSide(std::string_view text);

// JPEG quality and the three choices Low (0), Medium (1) and High (2).
int jpegQualityForLevel(int level);
int jpegLevelForQuality(int quality);

} // namespace zavora
