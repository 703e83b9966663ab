#include "output/PostScriptPort.h"

#include "model/DrawingLimits.h"
#include "model/ImageObject.h"
#include "model/OutlineGeometry.h"
#include "output/PostScriptProlog.h"
#include "platform/NumberFormat.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace zavora {

namespace {

// The buffer is handed to the stream in blocks of about this size: a file
// stream makes one system call per write.
constexpr std::size_t kFlushSize = 64 * 1024;

// DSC lines and the lines the reader scans are at most this long.
constexpr std::size_t kMaxLine = 255;

// The image procedure reads its hex data this many bytes at a time.
constexpr long long kImageChunk = 768;
constexpr int kPixelsPerLine = 12;

constexpr std::string_view kUrlPrefix = "%ZVX u ";
constexpr std::string_view kUrlContinuation = "%ZVX+ ";

const char* const kResidentFonts[] = { "Times-Roman", "Times-Italic", "Times-Bold", "Times-BoldItalic",
    "Helvetica", "Helvetica-Oblique", "Helvetica-Bold", "Helvetica-BoldOblique", "Courier", "Courier-Oblique",
    "Courier-Bold", "Courier-BoldOblique", "Symbol" };

std::tm localNow()
{
    std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    return local;
}

// Sakamoto's day-of-week rule: 0 = Sunday.
int weekday(int year, int month, int day)
{
    static const int offsets[] = { 0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4 };
    if (month < 3)
        year -= 1;
    int w = (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
    return w < 0 ? w + 7 : w;
}

// Control bytes in a one-line header value would start a new DSC line.
std::string headerValue(std::string_view text, std::size_t limit)
{
    std::string out;
    for (unsigned char ch : text) {
        if (out.size() >= limit)
            break;
        out += (ch < 32 || ch == 127) ? '?' : static_cast<char>(ch);
    }
    // Do not leave half a UTF-8 sequence at the cut.
    if (text.size() > out.size()) {
        std::size_t end = out.size();
        while (end > 0 && (static_cast<unsigned char>(out[end - 1]) & 0xC0) == 0x80)
            --end;
        if (end > 0 && static_cast<unsigned char>(out[end - 1]) >= 0xC0)
            --end;
        out.resize(end);
    }
    return out;
}

void appendMatrixNumber(std::string& out, float value)
{
    char buf[kNumberBufferSize];
    out.append(buf, formatMatrixNumber(buf, clampCoordinate(value)));
}

// The matrix entry a reader of our file gets back.
float matrixEntryAsWritten(float value)
{
    char buf[kNumberBufferSize];
    const std::size_t length = formatMatrixNumber(buf, clampCoordinate(value));
    float out = 0;
    std::from_chars(buf, buf + length, out);
    return out;
}

Matrix matrixAsWritten(const Matrix& m)
{
    return { matrixEntryAsWritten(m.a), matrixEntryAsWritten(m.b), matrixEntryAsWritten(m.c),
        matrixEntryAsWritten(m.d), matrixEntryAsWritten(m.tx), matrixEntryAsWritten(m.ty) };
}

// Text and images show nothing, or stop the interpreter, under a matrix that
// cannot be inverted; small entries are written as 0, so check what is written.
Matrix invertibleAsWritten(const Matrix& m)
{
    const Matrix written = matrixAsWritten(m);
    return isSingular(written) ? matrixAsWritten(invertibleMatrix(written)) : written;
}

constexpr std::array<char, 512> makeHexTable()
{
    std::array<char, 512> table {};
    const char* digits = "0123456789abcdef";
    for (int i = 0; i < 256; ++i) {
        table[2 * i] = digits[i >> 4];
        table[2 * i + 1] = digits[i & 15];
    }
    return table;
}

constexpr std::array<char, 512> kHexTable = makeHexTable();

} // namespace

std::string creationDateText(const std::tm& time)
{
    static const char* const days[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
    static const char* const months[]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    int month = std::clamp(time.tm_mon, 0, 11);
    int year = std::clamp(time.tm_year + 1900, 0, 9999);
    int day = std::clamp(time.tm_mday, 1, 31);
    return formatLocaleFree("%s %s %2d %02d:%02d:%02d %04d", days[weekday(year, month + 1, day)],
        months[month], day, std::clamp(time.tm_hour, 0, 23), std::clamp(time.tm_min, 0, 59),
        std::clamp(time.tm_sec, 0, 60), year);
}

std::string escapePostScriptString(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (unsigned char ch : text) {
        if (ch == '(' || ch == ')' || ch == '\\') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch >= 128 || ch < 32 || ch == 127) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", ch);
            out += buf;
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out;
}

std::string urlLineText(std::string_view url)
{
    std::string out;
    std::size_t first = 0, last = url.size();
    while (first < last && url[first] == ' ')
        ++first;
    while (last > first && url[last - 1] == ' ')
        --last;
    for (std::size_t i = 0; i < url.size(); ++i) {
        unsigned char ch = static_cast<unsigned char>(url[i]);
        bool edgeSpace = ch == ' ' && (i < first || i >= last);
        if (ch < 32 || ch == 127 || edgeSpace)
            out += formatLocaleFree("%%%02X", ch);
        else
            out += static_cast<char>(ch);
    }
    return out;
}

PostScriptPort::PostScriptPort(OutputStream& stream)
    : m_stream(stream)
    , m_clock(localNow)
{
    m_buffer.reserve(kFlushSize + 4096);
}

// Bytes still buffered stay unwritten: the caller may already have closed the
// stream of an abandoned output.
PostScriptPort::~PostScriptPort() = default;

void PostScriptPort::flush()
{
    if (!m_buffer.empty()) {
        m_stream.write(m_buffer.data(), m_buffer.size());
        m_flushedBytes += m_buffer.size();
        m_buffer.clear();
    }
}

OutputStream& PostScriptPort::stream()
{
    flush();
    return m_stream;
}

void PostScriptPort::flushIfFull()
{
    if (m_buffer.size() >= kFlushSize)
        flush();
}

void PostScriptPort::put(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vput(format, args);
    va_end(args);
}

void PostScriptPort::vput(const char* format, va_list args)
{
    appendFormatted(m_buffer, format, args);
    flushIfFull();
}

void PostScriptPort::putText(std::string_view text)
{
    m_buffer.append(text);
    flushIfFull();
}

void PostScriptPort::putNumbers(std::initializer_list<double> values)
{
    char buf[kNumberBufferSize];
    bool first = true;
    for (double value : values) {
        if (!first)
            m_buffer += ' ';
        first = false;
        m_buffer.append(buf, formatGeneral(buf, clampCoordinate(value)));
    }
}

void PostScriptPort::putMatrix(const Matrix& m, bool bracketed)
{
    if (bracketed)
        m_buffer += '[';
    const float values[6] = { m.a, m.b, m.c, m.d, m.tx, m.ty };
    for (int i = 0; i < 6; ++i) {
        if (i)
            m_buffer += ' ';
        appendMatrixNumber(m_buffer, values[i]);
    }
    if (bracketed)
        m_buffer += ']';
}

void PostScriptPort::putInvertibleMatrix(const Matrix& matrix, bool bracketed)
{
    putMatrix(invertibleAsWritten(matrix), bracketed);
}

const std::vector<UsedFont>& PostScriptPort::usedFonts() const
{
    return writerState().usedFonts;
}

void PostScriptPort::fillUsedFonts()
{
    WriterState& state = writerState();
    state.usedFonts.clear();
    for (const FontEntry* font : m_documentFonts) {
        if (!font)
            continue;
        std::string name = state.fontName(*font);
        if (name.size() > kMaxUsedFontName)
            continue;
        bool known = std::any_of(state.usedFonts.begin(), state.usedFonts.end(),
            [&](const UsedFont& used) { return used.name == name; });
        if (!known)
            state.usedFonts.push_back({ std::move(name), font->metrics().symbol });
    }
}

bool PostScriptPort::beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor*)
{
    // A port that writes a second document must not inherit the attributes
    // of the first.
    writerState().resetCache();
    fillUsedFonts();
    writeHeader(info, downloadFonts);
    writePageSetup(info);
    return true;
}

void PostScriptPort::writeComments(const DocumentInfo& info, std::string_view firstLine, bool downloadFonts)
{
    const std::vector<UsedFont>& fonts = usedFonts();
    putText(firstLine);
    putText("\r\n%%Creator: Zavora Draw, Version 3.6\r\n");
    put("%%%%Title: %s\r\n", headerValue(info.title, kMaxLine - 9).c_str());
    put("%%%%CreationDate: %s\r\n", creationDateText(m_clock()).c_str());
    int x0 = info.x0, y0 = info.y0, x1 = info.x1, y1 = info.y1;
    if (rotatesLandscape() && info.landscape) {
        x1 = info.x0 + (info.y1 - info.y0);
        y1 = info.y0 + (info.x1 - info.x0);
    }
    put("%%%%BoundingBox: %d %d %d %d\r\n", x0, y0, x1, y1);
    for (std::size_t i = 0; i < fonts.size(); ++i)
        put(i == 0 ? "%%%%DocumentFonts: %s\r\n" : "%%%%+ %s\r\n", fonts[i].name.c_str());
    writeOrientation(info.landscape);
    putText("%%EndComments\r\n");
    putText("%%BeginProlog\r\n");
    if (downloadFonts)
        writeFontResources();
    putText("%%BeginResource: procset ZavoraDraw_ops\r\n");
    putText("%%Version: 3.6\r\n");
    putText("%%Copyright: (C) The Zavora Draw authors. This procedure set may be copied freely "
            "with the drawings that use it.\r\n");
}

void PostScriptPort::writeHeader(const DocumentInfo& info, bool downloadFonts)
{
    writeComments(info, "%!PS-Adobe-3.0 EPSF-3.0", downloadFonts);
    put("/%s 100 dict def\r\n", kProcSetDictionary.data());
    put("%s begin\r\n", kProcSetDictionary.data());
    putText(postScriptProcSet());
    putText("end\r\n%%EndResource\r\n%%EndProlog\r\n");
    putText("%%BeginSetup\r\n");
    const Grid& grid = info.gridSettings;
    put("%%ZVX g %d %d %d %d\r\n", grid.gx, grid.gy, grid.spare, grid.snap);
    if (!downloadFonts) {
        for (const UsedFont& font : usedFonts())
            put("%%%%IncludeFont: %s\r\n", font.name.c_str());
    }
    put("%s begin\r\n", kProcSetDictionary.data());
    putText("%%EndSetup\r\n%%Page: 1 1\r\n%%BeginPageSetup\r\n");
}

void PostScriptPort::writeFontSetup()
{
    putText(postScriptPatternFonts());
    const std::vector<UsedFont>& fonts = usedFonts();
    for (const UsedFont& font : fonts) {
        put("%s /_%s /%s RE\r\n", std::string(font.reencoding()).c_str(), font.name.c_str(), font.name.c_str());
    }
    if (!fonts.empty())
        putText("\r\n");
}

void PostScriptPort::writeInitialGraphicsState()
{
    putText("newpath 0 setlinecap 0 setlinejoin 10 setmiterlimit\r\n");
    putText("1 setlinewidth [] 0 setdash\r\n");
}

void PostScriptPort::writePageSetup(const DocumentInfo& info)
{
    putText("/_ZVX_savepage save def\r\n\r\n");
    writeFontSetup();
    writeInitialGraphicsState();
    const int x0 = info.x0, y0 = info.y0, x1 = info.x1, y1 = info.y1;
    if (rotatesLandscape() && info.landscape) {
        put("%d %d translate\r\n", x0, y0);
        putText("-90 rotate\r\n");
        put("%d %d translate\r\n", -x0, -y0);
        put("%d 0 translate\r\n", -(x1 - x0));
    }
    put("%d %d moveto %d %d lineto %d %d lineto %d %d lineto closepath clip\r\n", x0, y0, x0, y1, x1, y1, x1,
        y0);
    putText(m_whiteBackground ? "1 1 1 setrgbcolor fill\r\n" : "newpath\r\n");
    putText("%%EndPageSetup\r\n");
}

void PostScriptPort::writeFontResources()
{
    const WriterState& state = writerState();
    for (const FontEntry* font : m_documentFonts) {
        if (!font)
            continue;
        const std::string name = font->postScriptName();
        if (font->isTrueType() && state.substituteFonts)
            continue;
        if (!font->isTrueType()
            && std::find(std::begin(kResidentFonts), std::end(kResidentFonts), name)
                != std::end(kResidentFonts))
            continue;
        put("%%%%BeginResource: font %s\r\n", postScriptNameText(name).c_str());
        if (!font->download(stream(), state.downloadForm))
            errorBox("Error downloading %s", name.c_str());
        putText("%%EndResource\r\n");
    }
}

void PostScriptPort::writeTrailer(std::string_view showpageLine)
{
    putText("%%PageTrailer\r\n_ZVX_savepage restore\r\n%%Trailer\r\nend\r\n");
    putText(showpageLine);
    putText("\r\n%%EOF\r\n");
    flush();
}

void PostScriptPort::endPage(ProgressMonitor*)
{
    writeTrailer("showpage");
}

void PostScriptPort::writeOrientation(bool landscape)
{
    putText(landscape ? "%%Orientation: Landscape\r\n" : "%%Orientation: Portrait\r\n");
}

void PostScriptPort::beginGroup()
{
    putText("u\r\n");
}
void PostScriptPort::endGroup()
{
    putText("U\r\n");
}
void PostScriptPort::beginCompoundPath()
{
    putText("*u\r\n");
}
void PostScriptPort::endCompoundPath()
{
    putText("*U\r\n");
}

void PostScriptPort::writeFillColor(const PaintStyle& style, bool forText)
{
    WriterState& state = writerState();
    PaintStyle& last = state.lastStyle;
    // A reader takes text for black until a file sets a fill colour, while the
    // prolog starts from white: text states its colour at least once.
    if (style.fillColor() != last.fillColor() || (forText && !state.fillColorWritten)) {
        writeColor(style.fillColor(), true);
        last.storeFillColor(style.fillColor());
        state.fillColorWritten = true;
    }
}

void PostScriptPort::writeColor(const Color& color, bool fill)
{
    const Cmyk c = toCmyk(color);
    putNumbers({ c.cyan, c.magenta, c.yellow, c.black });
    putText(fill ? " k\r\n" : " K\r\n");
}

void PostScriptPort::writeLineAttributes(const PaintStyle& style)
{
    PaintStyle& last = writerState().lastStyle;
    if (style.lineColor() != last.lineColor()) {
        writeColor(style.lineColor(), false);
        last.storeLineColor(style.lineColor());
    }
    const float width = style.dashIndex() == kSolidDash ? clampLineWidth(style.lineWidth()) : 1.0f;
    const float lastWidth = last.dashIndex() == kSolidDash ? clampLineWidth(last.lineWidth()) : 1.0f;
    if (width != lastWidth) {
        putNumbers({ width });
        putText(" w\r\n");
    }
    last.storeLineWidth(style.lineWidth());
    if (style.dashIndex() != last.dashIndex()) {
        put("%s\r\n", dashOperator(style.dashIndex()));
        last.storeDashIndex(style.dashIndex());
    }
}

void PostScriptPort::writeStyle(const PaintStyle& style)
{
    PaintStyle& last = writerState().lastStyle;
    if (style.fillPattern() != last.fillPattern()) {
        put("%d Pat\r\n", style.fillPattern());
        last.storeFillPattern(style.fillPattern());
    }
    writeFillColor(style);
    writeLineAttributes(style);
}

void PostScriptPort::writePaintOperator(const PaintStyle& style, bool closed)
{
    char op;
    if (style.fillOn())
        op = style.strokeOn() ? 'B' : 'F';
    else
        op = style.strokeOn() ? 'S' : 'N';
    if (closed)
        op = static_cast<char>(op - 'A' + 'a');
    m_buffer += op;
    m_buffer += "\r\n";
    flushIfFull();
}

void PostScriptPort::writeArrowheads(const Matrix& matrix, Point firstTip, Point firstPrevious, Point lastTip,
    Point lastPrevious, int arrow1, int arrow2)
{
    if (arrow1 == kArrowNone && arrow2 == kArrowNone)
        return;
    putText("q\r\n");
    putMatrix(matrix, false);
    putText(" cm\r\n");
    if (arrow1 != kArrowNone) {
        putNumbers({ firstPrevious.x, firstPrevious.y, firstTip.x, firstTip.y });
        put(" %d 1 Ah\r\n", arrow1);
    }
    if (arrow2 != kArrowNone) {
        putNumbers({ lastPrevious.x, lastPrevious.y, lastTip.x, lastTip.y });
        put(" %d 2 Ah\r\n", arrow2);
    }
    putText("Q\r\n");
}

void PostScriptPort::ellipse(
    const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry)
{
    writeStyle(style);
    putNumbers({ rx, ry, cx, cy });
    m_buffer += ' ';
    putMatrix(matrix, true);
    putText(" Ov\r\n");
    writePaintOperator(style, true);
}

void PostScriptPort::arc(const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx,
    float ry, float start, float end, int arrow1, int arrow2)
{
    const ArcAngles angles = saneArcAngles(start, end);
    writeStyle(style);
    putText("q\r\n");
    putMatrix(matrix, false);
    putText(" cm\r\n");
    putNumbers({ angles.start, angles.end, rx, ry, cx, cy });
    putText(" Arc\r\nQ\r\n");
    writePaintOperator(style, false);
    if (arrow1 == kArrowNone && arrow2 == kArrowNone)
        return;
    NodeList nodes;
    appendArcNodes(nodes, cx, cy, rx, ry, angles.start, angles.end);
    if (auto ends = curveEnds(nodes))
        writeArrowheads(
            matrix, ends->firstTip, ends->firstPrevious, ends->lastTip, ends->lastPrevious, arrow1, arrow2);
}

void PostScriptPort::line(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2,
    float y2, int arrow1, int arrow2)
{
    writeLineAttributes(style);
    putText("q\r\n");
    putMatrix(matrix, false);
    putText(" cm\r\n");
    putNumbers({ x1, y1 });
    putText(" m\r\n");
    putNumbers({ x2, y2 });
    putText(" L\r\n");
    putText("Q\r\n");
    putText(style.strokeOn() ? "S\r\n" : "N\r\n");
    writeArrowheads(matrix, { x1, y1 }, { x2, y2 }, { x2, y2 }, { x1, y1 }, arrow1, arrow2);
}

void PostScriptPort::polyline(const PaintStyle& style, const Matrix& matrix, const PointList& points,
    bool closed, int arrow1, int arrow2)
{
    // Nothing to move to: an empty outline has no line to stand on.
    if (points.empty())
        return;
    writeStyle(style);
    putText("q\r\n");
    putMatrix(matrix, false);
    putText(" cm\r\n");
    putNumbers({ points[0].x, points[0].y });
    putText(" m\r\n");
    for (std::size_t i = 1; i < points.size(); ++i) {
        putNumbers({ points[i].x, points[i].y });
        putText(" L\r\n");
    }
    if (closed) {
        putNumbers({ points[0].x, points[0].y });
        putText(" L\r\n");
    }
    putText("Q\r\n");
    writePaintOperator(style, closed);
    // Arrowheads belong to the ends of open outlines only, as on screen.
    if (closed)
        return;
    if (auto ends = polylineEnds(points))
        writeArrowheads(
            matrix, ends->firstTip, ends->firstPrevious, ends->lastTip, ends->lastPrevious, arrow1, arrow2);
}

void PostScriptPort::curvePath(
    const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed, int arrow1, int arrow2)
{
    if (nodes.empty())
        return;
    writeStyle(style);
    putText("q\r\n");
    putMatrix(matrix, false);
    putText(" cm\r\n");
    putNumbers({ nodes[0].x, nodes[0].y });
    putText(" m\r\n");
    auto segment = [&](const BezierNode& from, const BezierNode& to) {
        putNumbers({ from.outX, from.outY, to.inX, to.inY, to.x, to.y });
        putText((to.flags & kCornerNode) ? " C\r\n" : " c\r\n");
    };
    for (std::size_t j = 1; j < nodes.size(); ++j)
        segment(nodes[j - 1], nodes[j]);
    if (closed)
        segment(nodes.back(), nodes.front());
    putText("Q\r\n");
    writePaintOperator(style, closed);
    if (closed)
        return;
    if (auto ends = curveEnds(nodes))
        writeArrowheads(
            matrix, ends->firstTip, ends->firstPrevious, ends->lastTip, ends->lastPrevious, arrow1, arrow2);
}

void PostScriptPort::rectangle(
    const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2)
{
    writeStyle(style);
    putNumbers({ x2, y2, x1, y1 });
    m_buffer += ' ';
    putMatrix(matrix, true);
    putText(" Bx\r\n");
    writePaintOperator(style, true);
}

void PostScriptPort::roundRectangle(
    const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2, float rx, float ry)
{
    writeStyle(style);
    putNumbers({ y1, y2, x1, x2, rx, ry });
    m_buffer += ' ';
    putMatrix(matrix, true);
    putText(" Rr\r\n");
    writePaintOperator(style, true);
}

void PostScriptPort::writeFontLine(const std::string& name, float size, float leading, TextAlign align)
{
    WriterState& state = writerState();
    const float alignValue = static_cast<float>(static_cast<int>(align));
    if (name == state.lastFontName && size == state.lastFontSize && leading == state.lastLeading
        && alignValue == state.lastAlign)
        return;
    put("/_%s ", name.c_str());
    putNumbers({ size, leading });
    put(" 0 %d z\r\n", static_cast<int>(align));
    state.lastFontName = name;
    state.lastFontSize = size;
    state.lastLeading = leading;
    state.lastAlign = alignValue;
}

PostScriptPort::TextAnchor PostScriptPort::textAnchor(const float box[4], TextAlign align, double ascent)
{
    static const float noBox[4] = { 0, 0, 0, 0 };
    if (!box)
        box = noBox;
    TextAnchor anchor;
    anchor.left = std::min(box[0], box[2]);
    anchor.right = std::max(box[0], box[2]);
    anchor.top = std::max(box[1], box[3]);
    anchor.bottom = std::min(box[1], box[3]);
    anchor.x = anchor.left;
    if (align == TextAlign::Centre)
        anchor.x = (anchor.left + anchor.right) / 2;
    else if (align == TextAlign::Right)
        anchor.x = anchor.right;
    anchor.ascent = ascent;
    anchor.baseline = anchor.top - ascent;
    return anchor;
}

Matrix PostScriptPort::anchoredTextMatrix(const Matrix& matrix, const TextAnchor& anchor)
{
    Matrix textMatrix = matrix;
    textMatrix.tx = static_cast<float>(matrix.tx + matrix.a * anchor.x + matrix.c * anchor.baseline);
    textMatrix.ty = static_cast<float>(matrix.ty + matrix.b * anchor.x + matrix.d * anchor.baseline);
    return invertibleAsWritten(textMatrix);
}

PostScriptPort::TextAnchor PostScriptPort::beginTextBlock(const PaintStyle& style, const Matrix& matrix,
    const FontEntry* font, float size, float leading, TextAlign align, const float box[4])
{
    writeFillColor(style, true);

    // Without a font the reader's default stands in. A size of 0 or below
    // makes a font no interpreter can show.
    const std::string name = font ? writerState().fontName(*font) : std::string("Helvetica");
    size = clampFontSize(size);
    leading = clampLeading(leading);
    writeFontLine(name, size, leading, align);

    const TextAnchor anchor = textAnchor(box, align, font ? font->ascent(size) : 0.0);
    putMatrix(anchoredTextMatrix(matrix, anchor), true);
    putText(" e\r\n");
    return anchor;
}

void PostScriptPort::text(const PaintStyle& style, const Matrix& matrix, const std::string& text,
    const FontEntry* font, float size, float leading, TextAlign align, const float box[4])
{
    const TextAnchor anchor = beginTextBlock(style, matrix, font, size, leading, align, box);
    putNumbers({ anchor.right - anchor.x, anchor.ascent + anchor.bottom - anchor.top, anchor.left - anchor.x,
        anchor.ascent });
    putText(" tbx\r\n");
    writeTextLines(text, align);
    putText("T\r\n");
}

void PostScriptPort::writeTextLines(std::string_view text, TextAlign align)
{
    std::size_t start = 0;
    for (;;) {
        std::size_t stop = text.find_first_of("\r\n", start);
        const bool atEnd = stop == std::string_view::npos;
        const std::string_view piece = text.substr(start, atEnd ? std::string_view::npos : stop - start);
        // A text ending in a break has nothing after it to show.
        if (atEnd && piece.empty() && start > 0)
            break;
        const bool hardEnd = atEnd || text[stop] == '\r';
        const bool unstretched = align == TextAlign::Justified && hardEnd;
        put(unstretched ? "(%s) Tx\r\n" : "(%s) t\r\n", escapePostScriptString(piece).c_str());
        if (atEnd)
            break;
        if (text[stop] == '\r')
            putText("(\\r) TX\r\n");
        start = stop + 1;
    }
}

void PostScriptPort::appendHexByte(std::string& out, std::uint8_t byte)
{
    out.append(&kHexTable[2 * std::size_t(byte)], 2);
}

void PostScriptPort::image(const Matrix& matrix, const ImageObject& image)
{
    const int32_t width = image.hasPixels() ? image.width() : 0;
    const int32_t height = image.hasPixels() ? image.height() : 0;
    putInvertibleMatrix(matrix);
    put(" %d %d img\r\n", width, height);
    const std::vector<uint8_t>& pixels = image.pixels();
    const long long pixelCount = static_cast<long long>(width) * height;
    long long padded = pixelCount;
    while ((padded * 3) % kImageChunk != 0)
        ++padded;
    int onLine = 0;
    for (long long i = 0; i < padded; ++i) {
        if (i < pixelCount) {
            const uint8_t* p = &pixels[static_cast<std::size_t>(i) * 3];
            for (int k = 0; k < 3; ++k)
                appendHexByte(m_buffer, p[k]);
        } else {
            m_buffer.append("000000", 6);
        }
        if (++onLine == kPixelsPerLine) {
            m_buffer += "\r\n";
            onLine = 0;
            flushIfFull();
        }
    }
    if (onLine)
        m_buffer += "\r\n";
    flushIfFull();
}

void ZvxFilePort::endLink(const std::string& url)
{
    // Lines are read back in pieces of 255 bytes; a longer URL goes on in
    // comment lines that older readers skip.
    const std::string text = urlLineText(url);
    std::string_view rest = text;
    std::string_view prefix = kUrlPrefix;
    do {
        std::size_t take = std::min(rest.size(), kMaxLine - prefix.size());
        if (take < rest.size()) {
            // Keep UTF-8 sequences and %XX escapes whole.
            std::size_t cut = take;
            while (cut > 1 && (static_cast<unsigned char>(rest[cut]) & 0xC0) == 0x80)
                --cut;
            if (cut >= 1 && rest[cut - 1] == '%')
                cut -= 1;
            else if (cut >= 2 && rest[cut - 2] == '%')
                cut -= 2;
            take = cut > 0 ? cut : take;
        }
        putText(prefix);
        putText(rest.substr(0, take));
        putText("\r\n");
        rest.remove_prefix(take);
        prefix = kUrlContinuation;
    } while (!rest.empty());
}

} // namespace zavora
