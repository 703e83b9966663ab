#pragma once
// DeviceTextCanvas: the text canvas of the raster outputs, so the screen,
// the rendered page and the bitmap exports draw text the same way. Glyphs
// are masks the font's own rasteriser renders (hinted, every stem kept;
// smoothed where the context smooths) at any turn or skew, painted in the
// text colour; a context that takes no masks, and glyphs too large for one,
// get the glyph outlines filled as one path per string instead. Baselines
// are one-pixel strokes; highlights invert the pixels (drawn twice they
// vanish).

#include "model/GraphicsKernel.h"
#include "model/TextPaintSinks.h"
#include "platform/DeviceContext.h"

#include <cstdint>
#include <vector>

namespace zavora {

class FontRenderer;

class DeviceTextCanvas : public TextCanvas {
public:
    // `base` maps the walk's outer space (drawing or page points) to device
    // pixels. With `inverted` every mark inverts what lies under it (the
    // tools' direct drawing).
    DeviceTextCanvas(DeviceContext& dc, const KMatrix& base, bool inverted = false);

    void saveState() override;
    void restoreState() override;
    void concat(const Matrix& m) override;
    void setTextColor(const Color& color) override;
    void selectFont(const FontEntry* font, float size) override;
    void drawText(float x, float y, std::string_view text, double extraPerSpace) override;
    void strokeSegment(Point from, Point to) override;
    void invertRect(float left, float bottom, float right, float top) override;

    // The device pixels painted so far, both corners inclusive; false when
    // nothing was painted.
    bool touched(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) const;

    // The renderer that draws this font in the installed catalogue, or nullptr.
    static const FontRenderer* rendererFor(const FontEntry& font);

private:
    DcPoint device(double x, double y) const;
    void note(DcPoint p);
    // The glyphs of `text`, each at its pen position on the baseline y:
    // painted as masks (false when the context takes none), or filled as outlines.
    bool drawMasks(const FontRenderer& renderer, double y, std::string_view text, const std::vector<double>& pens);
    void drawOutlines(
        const FontRenderer& renderer, double y, std::string_view text, const std::vector<double>& pens);

    DeviceContext& m_dc;
    KMatrix m_matrix;
    std::vector<KMatrix> m_saved;
    bool m_inverted;
    ColorRef m_color = kBlackRef;
    const FontEntry* m_font = nullptr;
    float m_size = 0;
    bool m_any = false;
    int32_t m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
};

} // namespace zavora
