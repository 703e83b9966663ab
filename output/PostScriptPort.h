#pragma once
// PostScriptPort writes a drawing as DSC-conforming PostScript with our own
// procedure set (the plain PostScript export, and the parent of the EPS,
// printing, form and Illustrator ports); ZvxFilePort writes the native file,
// which is the same PostScript plus the hyperlink comments.
//
// Every line ends in CR LF. Numbers go through the locale-free formatter:
// coordinates as %g, matrix entries as %.4g with magnitudes below 0.0001
// written as 0. Style and font lines are written only when they change,
// against the port's own writer state, which every page starts afresh.

#include "model/OutputPort.h"
#include "output/WriterState.h"

#include <cstdarg>
#include <cstdint>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zavora {

class OutputStream;

// The creation date as the 24-character text "Sat Dec  5 21:49:31 2026"
// (English names whatever the locale; the weekday is computed from the date).
std::string creationDateText(const std::tm& time);

// The body of a PostScript string literal: "(", ")" and "\" get a backslash,
// bytes from 128 and control bytes become a backslash and three octal digits.
std::string escapePostScriptString(std::string_view text);

class PostScriptPort : public OutputPort {
public:
    // The local time, read when the header is written.
    using Clock = std::function<std::tm()>;

    // The port writes to the stream but does not own it.
    explicit PostScriptPort(OutputStream& stream);
    ~PostScriptPort() override;
    PostScriptPort(const PostScriptPort&) = delete;
    PostScriptPort& operator=(const PostScriptPort&) = delete;

    // Replaces the system clock, so that outputs can be repeated.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // The distinct fonts of the drawing's text objects in drawing order (the
    // export routine collects them); named in the header and re-encoded.
    void setDocumentFonts(std::vector<const FontEntry*> fonts) { m_documentFonts = std::move(fonts); }
    // TrueType fonts written under a standard font's name, and the form that
    // downloaded fonts take.
    void setFontOptions(bool substitute, DownloadOptions form)
    {
        m_state.substituteFonts = substitute;
        m_state.downloadForm = form;
    }
    // Paint the page's clip rectangle white at page setup (EPS with a preview).
    void setWhiteBackground(bool white) { m_whiteBackground = white; }

    bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor) override;
    void endPage(ProgressMonitor* monitor) override;
    void beginGroup() override;
    void endGroup() override;
    void beginCompoundPath() override;
    void endCompoundPath() override;

    void ellipse(
        const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry) override;
    void arc(const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry,
        float start, float end, int arrow1, int arrow2) override;
    void line(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2,
        int arrow1, int arrow2) override;
    void polyline(const PaintStyle& style, const Matrix& matrix, const PointList& points, bool closed,
        int arrow1, int arrow2) override;
    void curvePath(const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed,
        int arrow1, int arrow2) override;
    void text(const PaintStyle& style, const Matrix& matrix, const std::string& text, const FontEntry* font,
        float size, float leading, TextAlign align, const float box[4]) override;
    void rectangle(
        const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2) override;
    void roundRectangle(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2,
        float rx, float ry) override;
    void image(const Matrix& matrix, const ImageObject& image) override;

    // Family slots.
    // Whether a landscape page is turned to portrait in the output.
    virtual bool rotatesLandscape() const { return false; }
    // The pattern, colour, width and dash lines that differ from the cache.
    virtual void writeStyle(const PaintStyle& style);
    // B/b, F/f, S/s or N/n from the fill and stroke flags.
    virtual void writePaintOperator(const PaintStyle& style, bool closed);
    virtual void writeOrientation(bool landscape);

    // Hands everything written so far to the stream.
    void flush();

protected:
    // The stream, with every buffered byte already written to it.
    OutputStream& stream();

    // Every byte written through the buffer so far, flushed or not: the
    // offsets a file format keeps of its own parts.
    std::size_t writtenBytes() const { return m_flushedBytes + m_buffer.size(); }

    // printf with the stream's locale-free conversions, into the write buffer.
    void put(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void putText(std::string_view text);
    // The numbers as "%g", separated by single spaces, each limited to the
    // coordinate range (not a number as 0), so no file holds nan or inf.
    void putNumbers(std::initializer_list<double> values);
    // "[a b c d tx ty]" (operand) or "a b c d tx ty" (before " cm").
    void putMatrix(const Matrix& matrix, bool bracketed);
    // An image's matrix as putMatrix writes it, made invertible as written:
    // images show nothing, or stop an interpreter, under a singular one.
    void putInvertibleMatrix(const Matrix& matrix, bool bracketed = true);
    // The byte as two lower-case hex digits on the end of `out`.
    static void appendHexByte(std::string& out, std::uint8_t byte);

    // The fonts the header names, from the document fonts and the options.
    void fillUsedFonts();
    // The header from its first line to the procedure set's resource
    // comments, with the embedded fonts when told to download them.
    void writeComments(const DocumentInfo& info, std::string_view firstLine, bool downloadFonts);
    // The pattern fonts and the re-encoded fonts.
    void writeFontSetup();
    // Line caps, joins, width and dash as the procedure set expects them.
    void writeInitialGraphicsState();
    // The embedded fonts inside the prolog, when beginPage is told to download them.
    virtual void writeFontResources();
    // "%%PageTrailer" ... "%%EOF" with the given page-ending line ("showpage").
    void writeTrailer(std::string_view showpageLine);

    // The fill colour line when it differs from the cache (text states its
    // colour at least once), and the line colour, width and dash lines.
    void writeFillColor(const PaintStyle& style, bool forText = false);
    void writeLineAttributes(const PaintStyle& style);
    // One colour line: CMYK "k" (fill) or "K" (line) here.
    virtual void writeColor(const Color& color, bool fill);
    // The "z" font line, written when name, size, leading or alignment change.
    void writeFontLine(const std::string& name, float size, float leading, TextAlign align);

    // Where a text block's first baseline starts: the box's left edge, centre
    // or right edge by alignment, one ascent below its top.
    struct TextAnchor {
        double left = 0, right = 0, top = 0, bottom = 0;
        double x = 0, baseline = 0, ascent = 0;
    };
    static TextAnchor textAnchor(const float box[4], TextAlign align, double ascent);
    // The object matrix moved to the anchor, as a reader gets it back and
    // never singular.
    static Matrix anchoredTextMatrix(const Matrix& matrix, const TextAnchor& anchor);
    // The fill colour, the "z" font line and the "[matrix] e" line that open
    // a text block, the size and leading made showable; where it is anchored.
    TextAnchor beginTextBlock(const PaintStyle& style, const Matrix& matrix, const FontEntry* font, float size,
        float leading, TextAlign align, const float box[4]);

    // The fonts the header names, after beginPage filled the table.
    const std::vector<UsedFont>& usedFonts() const;
    const std::vector<const FontEntry*>& documentFonts() const { return m_documentFonts; }
    // What the output's graphics state already holds, and the font options.
    WriterState& writerState() { return m_state; }
    const WriterState& writerState() const { return m_state; }

private:
    void writeHeader(const DocumentInfo& info, bool downloadFonts);
    void writePageSetup(const DocumentInfo& info);
    void writeArrowheads(const Matrix& matrix, Point firstTip, Point firstPrevious, Point lastTip,
        Point lastPrevious, int arrow1, int arrow2);
    void writeTextLines(std::string_view text, TextAlign align);
    void vput(const char* format, va_list args);
    void flushIfFull();

    OutputStream& m_stream;
    bool m_whiteBackground = false;
    Clock m_clock;
    std::vector<const FontEntry*> m_documentFonts;
    WriterState m_state;
    std::string m_buffer;
    std::size_t m_flushedBytes = 0;
};

// The native drawing file: PostScript plus one "%ZVX u" line after each
// object that carries a hyperlink.
class ZvxFilePort : public PostScriptPort {
public:
    using PostScriptPort::PostScriptPort;

    void endLink(const std::string& url) override;
};

// The URL as it is written after "%ZVX u ": control bytes, and spaces at
// either end, percent-encoded so the line stays one line and reads back whole.
std::string urlLineText(std::string_view url);

} // namespace zavora
