#pragma once
// PdfPort writes the drawing as a one-page PDF 1.0 file: the Illustrator
// port's curve conversions, every point in page space (only text and images
// carry a matrix), the PostScript writers' paint-state cache, Type 1 and
// TrueType fonts by name with widths from the catalogue, and images as
// ASCIIHex XObjects of their pixels.
//
// It lives beside the PostScript family because it needs nothing of the
// raster layer: the page is described, never drawn.

#include "output/IllustratorPort.h"

#include <string>
#include <vector>

namespace zavora {

class PdfPort : public IllustratorPort {
public:
    using IllustratorPort::IllustratorPort;

    bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor) override;
    void endPage(ProgressMonitor* monitor) override;
    void beginGroup() override { }
    void endGroup() override { }
    void beginCompoundPath() override;
    void endCompoundPath() override;

    void text(const PaintStyle& style, const Matrix& matrix, const std::string& text, const FontEntry* font,
        float size, float leading, TextAlign align, const float box[4]) override;
    void rectangle(
        const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2) override;
    void image(const Matrix& matrix, const ImageObject& image) override;

    // b* B* f* s S n; inside a compound path only the style is kept.
    void writePaintOperator(const PaintStyle& style, bool closed) override;

protected:
    void writeColor(const Color& color, bool fill) override;

    // The Illustrator port's paths with PDF's operators; inside a compound
    // path they are collected and painted once at its end.
    const char* lineTo() const override { return "l"; }
    const char* curveTo(const BezierNode&) const override { return "c"; }
    void paintPath(const PaintStyle& style, const std::string& path, bool closed) override;
    void strokeLine(const PaintStyle& style, const std::string& path) override;

private:
    // Notes where the object starts and writes "n 0 obj".
    void beginObject(int number);
    int newObject();
    void writeFonts();
    void writeImage(int index, int objectNumber);
    void writeTextLine(std::string_view line, TextAlign align, std::size_t index, double width,
        double boxWidth, bool endsParagraph, double leading, double& previousDx);

    std::vector<std::size_t> m_offsets; // by object number; 0 is the free entry
    std::size_t m_contentStart = 0;
    int m_compoundDepth = 0;
    PaintStyle m_compoundStyle;
    std::string m_compoundPath;
    std::vector<const ImageObject*> m_images; // in the order they are drawn
    std::vector<const FontEntry*> m_fonts; // the document fonts; /Fn is the n-th
};

// A PDF name's characters: those PDF forbids in a name (white space,
// delimiters, '#', bytes outside 33..126) as "#xx".
std::string pdfNameText(std::string_view name);

// The BaseFont name: "Symbol" for a symbol font, a Type 1 font's PostScript
// name, or a TrueType face name without spaces and with ",Bold",
// ",Italic" or ",BoldItalic" by its style.
std::string pdfBaseFontName(const FontEntry& font);

// The text line cut so that no piece is longer than `limit` bytes: after the
// last space that fits, or at the limit when a word alone is longer.
std::vector<std::string_view> cutLongLine(std::string_view line, std::size_t limit);

} // namespace zavora
