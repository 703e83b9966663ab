#include "output/PdfPort.h"

#include "fonts/FontCatalogue.h"
#include "model/DrawingLimits.h"
#include "model/FontEntry.h"
#include "model/ImageObject.h"
#include "model/OutlineGeometry.h"
#include "platform/NumberFormat.h"
#include "platform/OutputStream.h"

#include <algorithm>
#include <array>

namespace zavora {

namespace {

// Objects 1 to 10 are the file's fixed frame; fonts start at 11.
constexpr int kContentLengthObject = 8;
constexpr int kXObjectsObject = 9;
constexpr int kFontsObject = 10;
constexpr int kFirstFontObject = 11;

// Longer lines are cut: some readers stop at 512 bytes of a string.
constexpr std::size_t kMaxTextLine = 511;
constexpr int kWidthsPerLine = 16;
constexpr int kPixelsPerLine = 12;
constexpr std::size_t kMaxFaceName = 100;

} // namespace

std::string pdfNameText(std::string_view name)
{
    static const std::string_view delimiters = "()<>[]{}/%#";
    std::string out;
    for (unsigned char ch : name) {
        if (ch < 33 || ch > 126 || delimiters.find(char(ch)) != std::string_view::npos)
            out += formatLocaleFree("#%02X", ch);
        else
            out += char(ch);
    }
    return out;
}

// Every font by its own name: a symbol font named "Symbol" would be drawn
// with the Symbol font's glyphs (dingbats as Greek letters).
std::string pdfBaseFontName(const FontEntry& font)
{
    if (!font.isTrueType())
        return font.postScriptName();
    std::string face = font.faceName();
    if (face.size() > kMaxFaceName)
        return "Arial";
    face.erase(std::remove(face.begin(), face.end(), ' '), face.end());
    const int style = font.styleBits();
    const bool bold = style & FontEntry::kBold, italic = style & FontEntry::kItalic;
    if (bold && italic)
        return face + ",BoldItalic";
    if (bold)
        return face + ",Bold";
    if (italic)
        return face + ",Italic";
    return face;
}

std::vector<std::string_view> cutLongLine(std::string_view line, std::size_t limit)
{
    std::vector<std::string_view> pieces;
    while (line.size() > limit) {
        // The space stays at the end of the first piece: nothing is lost.
        std::size_t cut = line.rfind(' ', limit - 1);
        cut = cut == std::string_view::npos ? limit : cut + 1;
        pieces.push_back(line.substr(0, cut));
        line.remove_prefix(cut);
    }
    pieces.push_back(line);
    return pieces;
}

int PdfPort::newObject()
{
    return static_cast<int>(m_offsets.size());
}

void PdfPort::beginObject(int number)
{
    if (m_offsets.size() <= std::size_t(number))
        m_offsets.resize(std::size_t(number) + 1, 0);
    m_offsets[std::size_t(number)] = writtenBytes();
    put("%d 0 obj\r\n", number);
}

bool PdfPort::beginPage(const DocumentInfo& info, bool, ProgressMonitor*)
{
    writerState().resetCache();
    m_offsets.assign(1, 0);
    m_images.clear();
    m_compoundDepth = 0;
    m_compoundPath.clear();
    m_fonts.clear();
    for (const FontEntry* font : documentFonts())
        if (font)
            m_fonts.push_back(font);

    putText("%PDF-1.0\r\n");
    beginObject(1);
    putText("<<\r\n/Creator (Zavora Draw 3.6)\r\n>>\r\nendobj\r\n");
    beginObject(2);
    putText("<<\r\n/Type /Catalog\r\n/Pages 4 0 R\r\n/Outlines 3 0 R\r\n>>\r\nendobj\r\n");
    beginObject(3);
    putText("<<\r\n/Type /Outlines\r\n/Count 0\r\n>>\r\nendobj\r\n");
    beginObject(4);
    putText("<<\r\n/Type /Pages\r\n/Count 1\r\n/Kids [ 5 0 R ]\r\n>>\r\nendobj\r\n");
    beginObject(5);
    putText("<<\r\n/Type /Page\r\n/Parent 4 0 R\r\n");
    put("/MediaBox [ %d %d %d %d ]\r\n", info.x0, info.y0, info.x1, info.y1);
    putText("/Resources <<\r\n/ProcSet 6 0 R\r\n/XObject 9 0 R\r\n/Font 10 0 R\r\n>>\r\n");
    putText("/Contents 7 0 R\r\n>>\r\nendobj\r\n");
    beginObject(6);
    putText("[ /PDF /Text ]\r\nendobj\r\n");
    beginObject(7);
    putText("<< /Length 8 0 R >>\r\nstream\r\n");
    m_contentStart = writtenBytes();
    // The cache starts from white fill; the page's initial black line holds.
    putText("1 1 1 rg\r\n");
    writerState().fillColorWritten = true;
    return true;
}

void PdfPort::endPage(ProgressMonitor*)
{
    const std::size_t contentLength = writtenBytes() - m_contentStart;
    putText("endstream\r\nendobj\r\n");
    beginObject(kContentLengthObject);
    put("%zu\r\nendobj\r\n", contentLength);
    m_offsets.resize(kFontsObject, 0); // object 9 comes after the images
    writeFonts();

    const int firstImage = newObject();
    for (std::size_t k = 0; k < m_images.size(); ++k)
        writeImage(int(k), firstImage + 2 * int(k));

    beginObject(kXObjectsObject);
    putText("<<\r\n");
    for (std::size_t k = 0; k < m_images.size(); ++k)
        put("/Im%zu %d 0 R\r\n", k, firstImage + 2 * int(k));
    putText(">>\r\nendobj\r\n");

    const std::size_t xref = writtenBytes();
    const int count = newObject();
    put("xref\r\n0 %d\r\n0000000000 65535 f\r\n", count);
    for (int i = 1; i < count; ++i)
        put("%010zu 00000 n\r\n", m_offsets[std::size_t(i)]);
    put("trailer\r\n<<\r\n/Size %d\r\n/Root 2 0 R\r\n/Info 1 0 R\r\n>>\r\n", count);
    put("startxref\r\n%zu\r\n%%%%EOF\r\n", xref);
    flush();
    m_images.clear();
}

void PdfPort::writeFonts()
{
    const std::vector<const FontEntry*>& fonts = m_fonts;

    beginObject(kFontsObject);
    putText("<<\r\n");
    for (std::size_t i = 0; i < fonts.size(); ++i)
        put("/F%zu %zu 0 R\r\n", i + 1, kFirstFontObject + i);
    putText(">>\r\nendobj\r\n");

    int descriptor = kFirstFontObject + int(fonts.size());
    std::vector<const FontEntry*> described;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const FontEntry& font = *fonts[i];
        const FontMetrics& m = font.metrics();
        beginObject(kFirstFontObject + int(i));
        putText("<<\r\n/Type /Font\r\n");
        put("/Subtype /%s\r\n/Name /F%zu\r\n", font.isTrueType() ? "TrueType" : "Type1", i + 1);
        put("/BaseFont /%s\r\n", pdfNameText(pdfBaseFontName(font)).c_str());
        // A symbol font keeps its own encoding: PDF has no named symbol encoding.
        if (!m.symbol)
            putText("/Encoding /WinAnsiEncoding\r\n");
        if (!isStandardFont(font)) {
            const int first = std::clamp(m.firstChar, 0, 255);
            const int last = std::clamp(m.lastChar, first, 255);
            put("/FirstChar %d\r\n/LastChar %d\r\n/Widths [", first, last);
            for (int c = first, n = 0; c <= last; ++c, ++n) {
                if (n > 0 && n % kWidthsPerLine == 0)
                    putText("\r\n");
                put(" %d", m.widths[std::size_t(c)]);
            }
            put("]\r\n/FontDescriptor %d 0 R\r\n", descriptor++);
            described.push_back(&font);
        }
        putText(">>\r\nendobj\r\n");
    }

    descriptor = kFirstFontObject + int(fonts.size());
    for (const FontEntry* font : described) {
        const FontMetrics& m = font->metrics();
        beginObject(descriptor++);
        putText("<<\r\n/Type /FontDescriptor\r\n");
        put("/FontName /%s\r\n", pdfNameText(pdfBaseFontName(*font)).c_str());
        put("/FontBBox [ %d %d %d %d ]\r\n", m.bbox[0], m.bbox[1], m.bbox[2], m.bbox[3]);
        put("/Ascent %d\r\n/Descent %d\r\n/CapHeight %d\r\n/XHeight %d\r\n/ItalicAngle %d\r\n", m.ascent,
            m.descent, m.capHeight, m.xHeight, int(m.italicAngle));
        int flags = (m.italic ? 64 : 0) + (m.fixedPitch ? 1 : 0) + (m.serif ? 2 : 0) + (m.script ? 8 : 0);
        flags += m.symbol ? 4 : 32;
        put("/Flags %d\r\n/StemV %d\r\n>>\r\nendobj\r\n", flags, m.bold ? 120 : 70);
    }
}

void PdfPort::writeImage(int index, int number)
{
    const ImageObject& image = *m_images[std::size_t(index)];
    beginObject(number);
    put("<<\r\n/Type /XObject\r\n/Subtype /Image\r\n/Name /Im%d\r\n/Filter /ASCIIHexDecode\r\n", index);
    put("/Width %d\r\n/Height %d\r\n", image.width(), image.height());
    put("/BitsPerComponent 8\r\n/ColorSpace /DeviceRGB\r\n/Length %d 0 R\r\n>>\r\nstream\r\n", number + 1);
    const std::size_t start = writtenBytes();
    const std::vector<uint8_t>& pixels = image.pixels();
    const std::size_t count = std::size_t(image.width()) * std::size_t(image.height());
    std::string line;
    for (std::size_t i = 0; i < count; ++i) {
        for (int k = 0; k < 3; ++k)
            appendHexByte(line, pixels[i * 3 + std::size_t(k)]);
        if ((i + 1) % kPixelsPerLine == 0) {
            line += "\r\n";
            putText(line);
            line.clear();
        }
    }
    if (!line.empty())
        line += "\r\n";
    line += ">\r\n";
    putText(line);
    const std::size_t length = writtenBytes() - start;
    putText("endstream\r\nendobj\r\n");
    beginObject(number + 1);
    put("%zu\r\nendobj\r\n", length);
}

void PdfPort::writeColor(const Color& color, bool fill)
{
    putNumbers({ color.red / 100.0, color.green / 100.0, color.blue / 100.0 });
    putText(fill ? " rg\r\n" : " RG\r\n");
}

void PdfPort::writePaintOperator(const PaintStyle& style, bool closed)
{
    if (m_compoundDepth > 0) {
        m_compoundStyle = style;
        return;
    }
    const char* op;
    if (style.fillOn())
        op = style.strokeOn() ? (closed ? "b*" : "B*") : "f*";
    else
        op = style.strokeOn() ? (closed ? "s" : "S") : "n";
    put("%s\r\n", op);
}

void PdfPort::beginCompoundPath()
{
    ++m_compoundDepth;
}

// The outlines were collected without their style: a colour may not change
// while a path is being built.
void PdfPort::endCompoundPath()
{
    if (m_compoundDepth == 0)
        return;
    if (--m_compoundDepth > 0 || m_compoundPath.empty())
        return;
    writeStyle(m_compoundStyle);
    putText(m_compoundPath);
    m_compoundPath.clear();
    writePaintOperator(m_compoundStyle, false);
}

void PdfPort::paintPath(const PaintStyle& style, const std::string& path, bool closed)
{
    if (m_compoundDepth > 0) {
        m_compoundPath += path;
        writePaintOperator(style, closed);
        return;
    }
    IllustratorPort::paintPath(style, path, closed);
}

void PdfPort::strokeLine(const PaintStyle& style, const std::string& path)
{
    if (m_compoundDepth > 0) {
        paintPath(style, path, false);
        return;
    }
    IllustratorPort::strokeLine(style, path);
}

void PdfPort::rectangle(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2)
{
    std::string path;
    appendPoint(path, matrix, x1, y1, "m");
    appendPoint(path, matrix, x2, y1, "l");
    appendPoint(path, matrix, x2, y2, "l");
    appendPoint(path, matrix, x1, y2, "l");
    appendPoint(path, matrix, x1, y1, "l");
    paintPath(style, path, true);
}

void PdfPort::image(const Matrix& matrix, const ImageObject& image)
{
    // An image without pixels would be an XObject no reader accepts.
    if (!image.hasPixels() || image.width() <= 0 || image.height() <= 0)
        return;
    putText("q\r\n");
    putInvertibleMatrix(matrix, false);
    put(" cm\r\n/Im%zu Do\r\nQ\r\n", m_images.size());
    m_images.push_back(&image);
}

void PdfPort::text(const PaintStyle& style, const Matrix& matrix, const std::string& text, const FontEntry* font,
    float size, float leading, TextAlign align, const float box[4])
{
    // Without a font resource there is nothing to show the text with.
    const auto found = std::find(m_fonts.begin(), m_fonts.end(), font);
    if (!font || found == m_fonts.end())
        return;
    size = clampFontSize(size);
    leading = clampLeading(leading);
    writeFillColor(style);
    put("BT\r\n/F%d ", int(found - m_fonts.begin()) + 1);
    putNumbers({ size });
    putText(" Tf\r\n");
    putNumbers({ leading });
    putText(" TL\r\n");
    const TextAlign anchorAlign = align == TextAlign::Justified ? TextAlign::Left : align;
    const TextAnchor anchor = textAnchor(box, anchorAlign, font->ascent(size));
    putMatrix(anchoredTextMatrix(matrix, anchor), false);
    putText(" Tm\r\n");
    if (align != TextAlign::Justified)
        putText("0 Tw\r\n");

    const std::string_view all = text;
    const double boxWidth = anchor.right - anchor.left;
    std::size_t index = 0;
    double previousDx = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t stop = all.find_first_of("\r\n", start);
        const bool atEnd = stop == std::string_view::npos;
        const std::string_view whole = all.substr(start, atEnd ? std::string_view::npos : stop - start);
        if (atEnd && whole.empty() && start > 0)
            break;
        const bool paragraphEnd = atEnd || all[stop] == '\r';
        const std::vector<std::string_view> pieces = cutLongLine(whole, kMaxTextLine);
        for (std::size_t p = 0; p < pieces.size(); ++p) {
            const bool endsParagraph = paragraphEnd && p + 1 == pieces.size();
            writeTextLine(pieces[p], align, index++, font->stringWidth(pieces[p], size), boxWidth, endsParagraph,
                leading, previousDx);
        }
        if (atEnd)
            break;
        start = stop + 1;
    }
    putText("ET\r\n");
}

void PdfPort::writeTextLine(std::string_view line, TextAlign align, std::size_t index, double width,
    double boxWidth, bool endsParagraph, double leading, double& previousDx)
{
    const std::string escaped = escapePostScriptString(line);
    switch (align) {
    case TextAlign::Left:
        put(index == 0 ? "(%s) Tj\r\n" : "(%s) '\r\n", escaped.c_str());
        return;
    case TextAlign::Justified: {
        const auto spaces = std::count(line.begin(), line.end(), ' ');
        double spacing = spaces > 0 && !endsParagraph ? (boxWidth - width) / double(spaces) : 0;
        if (std::abs(spacing) < 0.0001)
            spacing = 0;
        if (index == 0) {
            putNumbers({ spacing });
            put(" Tw\r\n(%s) Tj\r\n", escaped.c_str());
        } else {
            putNumbers({ spacing });
            put(" 0 (%s) \"\r\n", escaped.c_str());
        }
        return;
    }
    case TextAlign::Centre:
    case TextAlign::Right: {
        const double start = align == TextAlign::Centre ? -width / 2 : -width;
        putNumbers({ start - previousDx, index == 0 ? 0.0 : -leading });
        put(" Td\r\n(%s) Tj\r\n", escaped.c_str());
        previousDx = start;
        return;
    }
    }
}

} // namespace zavora
