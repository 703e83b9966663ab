#include "model/FontEntry.h"

namespace zavora {

double FontEntry::ascent(double size) const { return metrics().ascent * size / 1000.0; }

double FontEntry::descent(double size) const { return metrics().descent * size / 1000.0; }

int FontEntry::charWidths(std::string_view text, double size, std::vector<int>& widths) const
{
    const FontMetrics& m = metrics();
    widths.resize(text.size());
    long long exactUnits = 0; // running sum in 1/1000 units, kept exact as an integer
    int given = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int w = m.widths[static_cast<unsigned char>(text[i])];
        exactUnits += w;
        // Own width truncated plus the truncated drift; together that is the
        // truncated distance from the integers given so far to the exact sum.
        double exact = static_cast<double>(exactUnits) * size / 1000.0;
        int own = static_cast<int>(w * size / 1000.0);
        int width = own + static_cast<int>(exact - given - own);
        widths[i] = width;
        given += width;
    }
    return given;
}

double FontEntry::stringWidth(std::string_view text, double size) const
{
    const FontMetrics& m = metrics();
    long long units = 0;
    for (unsigned char c : text)
        units += m.widths[c];
    return static_cast<double>(units) * size / 1000.0;
}

double FontEntry::charWidth(unsigned char c, double size) const { return metrics().widths[c] * size / 1000.0; }

} // namespace zavora
