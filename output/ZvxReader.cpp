#include "output/ZvxReader.h"

#include "model/DrawingLimits.h"
#include "model/FontEntry.h"
#include "model/FontLookup.h"
#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "platform/Reporter.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <sys/stat.h>

namespace zavora {

namespace {

// Deeper brackets are read into the innermost list: nested containers are
// destroyed and measured recursively, and no drawing needs this many levels.
constexpr std::size_t kMaxNesting = 200;

// The image procedure reads its data in blocks of this many bytes, so the
// writer pads the pixels to a multiple of it.
constexpr std::size_t kImageBlock = 768;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// What a scan format found: numbers (from %g and %d) in order, and the word of %s.
struct Operands {
    double num[16] = {};
    std::string_view word;
    int count = 0;
};

// A scanf of "%g", "%d", "%s", white space (any run, also none) and literal
// characters, independent of the locale. Returns the number of conversions
// made before the first mismatch. Numbers that are not finite as floats, and
// integers beyond int, do not convert: they would poison the geometry.
int scanOperands(std::string_view in, std::string_view format, Operands& out)
{
    std::size_t i = 0;
    int n = 0; // conversions made
    int numbers = 0;
    for (std::size_t f = 0; f < format.size(); ++f) {
        const char fc = format[f];
        if (isSpace(fc)) {
            while (i < in.size() && isSpace(in[i]))
                ++i;
            continue;
        }
        if (fc != '%' || f + 1 >= format.size()) {
            if (i >= in.size() || in[i] != fc)
                return n;
            ++i;
            continue;
        }
        const char conv = format[++f];
        while (i < in.size() && isSpace(in[i]))
            ++i;
        if (i >= in.size())
            return n;
        if (conv == 's') {
            const std::size_t start = i;
            while (i < in.size() && !isSpace(in[i]))
                ++i;
            out.word = in.substr(start, i - start);
            ++n;
            continue;
        }
        bool negative = false;
        if (in[i] == '+' || in[i] == '-') {
            negative = in[i] == '-';
            ++i;
            if (i >= in.size() || in[i] == '+' || in[i] == '-')
                return n;
        }
        if (conv == 'd') {
            long long value = 0;
            const std::size_t digits = i;
            while (i < in.size() && in[i] >= '0' && in[i] <= '9') {
                value = value * 10 + (in[i] - '0');
                if (value > std::numeric_limits<int>::max())
                    return n;
                ++i;
            }
            if (i == digits)
                return n;
            out.num[numbers++] = static_cast<double>(negative ? -value : value);
            ++n;
        } else {
            double value = 0;
            const auto [end, ec] = std::from_chars(in.data() + i, in.data() + in.size(), value);
            if (ec != std::errc() || end == in.data() + i)
                return n;
            i = static_cast<std::size_t>(end - in.data());
            if (negative)
                value = -value;
            if (!std::isfinite(value) || !std::isfinite(static_cast<float>(value)))
                return n;
            out.num[numbers++] = value;
            ++n;
        }
        if (numbers >= 16)
            return n;
    }
    return n;
}

bool scanAll(std::string_view line, std::string_view format, int expected, Operands& out)
{
    return scanOperands(line, format, out) == expected;
}

// A number of the file as the model keeps it: a float within the coordinate
// range, so that no product of the geometry overflows.
float f(double v)
{
    return clampCoordinate(v);
}

Matrix matrixFrom(const Operands& o, int first)
{
    return Matrix { f(o.num[first]), f(o.num[first + 1]), f(o.num[first + 2]), f(o.num[first + 3]),
        f(o.num[first + 4]), f(o.num[first + 5]) };
}

// "a1 a2 rx ry cx cy": angles normalised, so that the arc our files write
// back draws in every interpreter.
std::unique_ptr<ArcObject> makeArc(const Operands& o)
{
    const ArcAngles angles = saneArcAngles(f(o.num[0]), f(o.num[1]));
    return std::make_unique<ArcObject>(
        f(o.num[4]), f(o.num[5]), f(o.num[2]), f(o.num[3]), angles.start, angles.end);
}

// A colour fraction as an integer percentage, truncated toward zero. The
// fractions come from six-digit text, so a product that falls short of an
// integer by rounding noise alone (1 - 0.9 is 0.0999...) counts as that integer.
int percentOf(double fraction)
{
    double p = fraction * 100;
    p = std::clamp(p, -1.0e6, 1.0e6);
    const double up = std::ceil(p);
    if (up - p < 1e-7)
        p = up;
    return static_cast<int>(std::trunc(p));
}

std::string_view trimTrailing(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string_view trimLeading(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

// The string operand: the text between the first "(" and the last ")", with
// the escapes removed.
bool stringOperand(std::string_view line, std::string& out)
{
    const std::size_t open = line.find('(');
    const std::size_t close = line.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close <= open)
        return false;
    const std::string_view body = line.substr(open + 1, close - open - 1);
    out.clear();
    out.reserve(body.size());
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c != '\\' || i + 1 >= body.size()) {
            out += c;
            continue;
        }
        const char next = body[i + 1];
        if (next == '(' || next == ')' || next == '\\') {
            out += next;
            ++i;
        } else if (next == 'r') {
            out += '\r';
            ++i;
        } else if (next >= '0' && next <= '7') {
            int value = 0;
            std::size_t j = i + 1;
            for (int k = 0; k < 3 && j < body.size() && body[j] >= '0' && body[j] <= '7'; ++k, ++j)
                value = value * 8 + (body[j] - '0');
            out += static_cast<char>(value & 0xff);
            i = j - 1;
        } else {
            out += c;
        }
    }
    return true;
}

// "/_Helvetica" names the re-encoded copy of Helvetica.
std::string fontNameOperand(std::string_view word)
{
    if (!word.empty() && word.front() == '/')
        word.remove_prefix(1);
    if (!word.empty() && word.front() == '_')
        word.remove_prefix(1);
    return std::string(word);
}

bool startsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// The frame of a text read without "tbx": as wide as the longest of the
// lines the file gave (with a little room, so that laying the text out again
// in it measures no line too wide), one leading per line, its top one ascent
// above the first baseline at the origin. The text object lays itself out in
// it.
void sizeFrameFromText(TextObject& text, std::string_view lines)
{
    constexpr double kRoom = 0.5;
    const FontEntry* font = text.font();
    const double size = text.size();
    const double ascent = font ? font->ascent(size) : size * 0.8;
    double width = 0;
    std::size_t count = 1;
    std::size_t start = 0;
    for (;;) {
        const std::size_t stop = lines.find_first_of("\r\n", start);
        const std::string_view line
            = lines.substr(start, stop == std::string_view::npos ? std::string_view::npos : stop - start);
        const double w = font ? font->stringWidth(line, size) : 0.5 * size * static_cast<double>(line.size());
        width = std::max(width, w);
        if (stop == std::string_view::npos)
            break;
        ++count;
        start = stop + 1;
    }
    width += kRoom;
    double left = 0;
    if (text.alignment() == TextAlign::Centre)
        left = -width / 2;
    else if (text.alignment() == TextAlign::Right)
        left = -width;
    const double height = static_cast<double>(count) * text.leading();
    text.setFrame({ f(left), f(ascent) }, { f(left + width), f(ascent - height) });
}

} // namespace

// Lines as the file delivers them: a line ends at LF, a CR right before the LF
// belongs to the line end, and any other CR splits the line (files with lines
// ending in CR alone). Lines may be of any length.
class ZvxReader::LineSource {
public:
    explicit LineSource(std::string_view data)
        : m_data(data)
    { }

    bool next(std::string_view& line)
    {
        if (!m_inLine) {
            if (m_pos >= m_data.size())
                return false;
            const std::size_t lf = m_data.find('\n', m_pos);
            m_end = lf == std::string_view::npos ? m_data.size() : lf;
            m_after = lf == std::string_view::npos ? m_data.size() : lf + 1;
            if (lf != std::string_view::npos && m_end > m_pos && m_data[m_end - 1] == '\r')
                --m_end;
            m_inLine = true;
        }
        const std::size_t cr = m_data.find('\r', m_pos);
        if (cr != std::string_view::npos && cr < m_end) {
            line = m_data.substr(m_pos, cr - m_pos);
            m_pos = cr + 1;
        } else {
            line = m_data.substr(m_pos, m_end - m_pos);
            m_pos = m_after;
            m_inLine = false;
        }
        return true;
    }

    // Bytes not yet delivered (the rest of the current line included).
    std::size_t remaining() const { return m_data.size() - std::min(m_pos, m_data.size()); }

private:
    std::string_view m_data;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::size_t m_after = 0;
    bool m_inLine = false;
};

struct ZvxReader::OpenList {
    OwnedObjects objects;
    bool compound = false;
};

enum class ZvxReader::Op {
    PaintClosedFillStroke,
    PaintFillStroke,
    CurveTo,
    CurveToCorner,
    Dash,
    TextBegin,
    PaintClosedFill,
    PaintFill,
    FillGrey,
    LineGrey,
    FillCmyk,
    LineCmyk,
    LineTo,
    LineToUpper,
    MoveTo,
    PaintClosedNone,
    PaintNone,
    PaintClosedStroke,
    PaintStroke,
    TextLine,
    TextEnd,
    FontAndSize,
    TextLineTj,
    TextEndTO,
    TextMatrix,
    TextLineTx,
    TextLineTX,
    TextBox,
    BeginGroup,
    BeginCompound,
    EndGroup,
    EndCompound,
    CurveV,
    CurveVCorner,
    FillCmykX,
    LineCmykX,
    FillRgb,
    LineRgb,
    CurveY,
    CurveYCorner,
    LineWidth,
    Clip,
    Font,
    ConcatMatrix,
    Save,
    Restore,
    Arrowhead,
    ArcWithMatrix,
    Arc,
    ArrowCode,
    Box,
    RoundRect,
    Image,
    Line,
    Oval,
    Pattern,
};

ZvxReader::ZvxReader(OwnedObjects& target, DocumentInfo* info, std::vector<std::string>* missingFonts)
    : m_target(target)
    , m_info(info)
    , m_missingFonts(missingFonts)
    , m_current(&target)
{ }

ZvxReader::~ZvxReader() = default;

void ZvxReader::reset()
{
    m_stack.clear();
    m_current = &m_target;
    m_ignoredOpens = 0;
    m_style = PaintStyle();
    m_path.clear();
    m_pathKind = 0;
    m_pending.reset();
    m_pendingMatrix = Matrix();
    m_pendingMatrixOn = false;
    m_arrowCode = kArrowNone;
    m_text.clear();
    m_textLines = 0;
    m_textMarkerLast = false;
    m_textMatrix = Matrix();
    m_fontName = "Helvetica";
    m_fontSize = 0;
    m_leading = 0;
    m_align = TextAlign::Left;
    std::fill(std::begin(m_textBox), std::end(m_textBox), 0.0f);
    m_textBoxOn = false;
    m_url.clear();
    m_urlObject = nullptr;
    m_imageFailed = false;
    m_fillColorSet = false;
    m_ourFile = false;
}

namespace {

ZvxReadResult cannotOpen(const std::string& path, const char* why)
{
    errorBox("Unable to open %s\n%s", path.c_str(), why);
    return ZvxReadResult::CannotOpen;
}

ZvxReadResult noMemory(const std::string& path)
{
    return cannotOpen(path, "Not enough memory");
}

// The whole file into bytes; CannotOpen (reported) when it cannot be opened
// or read, Read otherwise.
ZvxReadResult loadFile(const std::string& path, std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return cannotOpen(path, std::strerror(errno));
    int error = 0;
    struct stat info { };
    if (::fstat(::fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = EISDIR;
    } else {
        try {
            if (info.st_size > 0)
                bytes.reserve(static_cast<std::size_t>(info.st_size));
            char block[64 * 1024];
            std::size_t got;
            while ((got = std::fread(block, 1, sizeof block, file)) > 0)
                bytes.append(block, got);
            if (std::ferror(file))
                error = errno ? errno : EIO;
        } catch (const std::bad_alloc&) {
            std::fclose(file);
            bytes = std::string();
            return noMemory(path);
        }
    }
    std::fclose(file);
    if (error)
        return cannotOpen(path, std::strerror(error));
    return ZvxReadResult::Read;
}

} // namespace

ZvxReadResult ZvxReader::readFile(const std::string& path)
{
    std::string bytes;
    const ZvxReadResult loaded = loadFile(path, bytes);
    if (loaded != ZvxReadResult::Read)
        return loaded;
    return readBytes(bytes, path);
}

ZvxReadResult ZvxReader::readBytes(std::string_view bytes, const std::string& path)
{
    LineSource lines(bytes);
    reset();
    m_lines = &lines;
    ZvxReadResult result;
    try {
        result = parse(lines, path);
        closeOpenLists();
    } catch (const std::bad_alloc&) {
        // A drawing too large for memory: the part-built state goes, and the
        // caller learns why instead of the program ending.
        reset();
        result = noMemory(path);
    }
    m_lines = nullptr;
    m_pending.reset();
    return result;
}

ZvxReadResult ZvxReader::parse(LineSource& lines, const std::string& path)
{
    static constexpr std::string_view kCreator = "%%Creator: Zavora Draw, Version";
    static constexpr std::string_view kFormerCreator = "%%Creator: Vellumix";
    static constexpr std::string_view kOrientation = "%%Orientation: ";
    auto damaged = [&path] {
        errorBox("An error has occurred while opening\n%s", path.c_str());
        return ZvxReadResult::Damaged;
    };

    std::string_view line;
    for (;;) {
        if (!lines.next(line))
            return damaged();
        if (startsWith(line, "%%EndProlog"))
            break;
        // This program's files, under its current name or its former one.
        if (startsWith(line, "%%Creator: Zavora Draw") || startsWith(line, kFormerCreator))
            m_ourFile = true;
        if (startsWith(line, kCreator)) {
            Operands o;
            if (scanAll(line.substr(kCreator.size()), " %g", 1, o) && std::trunc(f(o.num[0]) * 10.0f) == 10) {
                errorBox("Unable to open %s\nDrawings saved by version 1 cannot be read by this version.",
                    path.c_str());
                return ZvxReadResult::OldVersion;
            }
        } else if (startsWith(line, kOrientation) && m_info) {
            m_info->landscape = startsWith(line.substr(kOrientation.size()), "Landscape");
        }
    }
    if (m_info)
        m_info->foreign = !m_ourFile;

    // Other programs' files paint on PostScript's initial black; ours start
    // from the prolog's white fill.
    if (!m_ourFile) {
        m_style.storeFillColor(Color::black());
        m_style.storeTextColor(Color::black());
    }

    if (!lines.next(line))
        return damaged();
    if (startsWith(line, "%%BeginSetup")) {
        for (;;) {
            if (!lines.next(line))
                return damaged();
            if (startsWith(line, "%%EndSetup") || endsWith(line, "%%EndSetup"))
                break;
            Operands o;
            if (startsWith(line, "%ZVX ") && line.size() > 5 && line[5] == 'g'
                && scanAll(line.substr(6), "%d %d %d %d", 4, o) && m_info) {
                m_info->gridSettings = Grid { static_cast<int32_t>(o.num[0]), static_cast<int32_t>(o.num[1]),
                    static_cast<int32_t>(o.num[2]), static_cast<int32_t>(o.num[3]) };
            }
        }
        if (!lines.next(line))
            return damaged();
    }
    if (startsWith(line, "%%Page") && !lines.next(line))
        return damaged();
    if (startsWith(line, "%%BeginPageSetup")) {
        do {
            if (!lines.next(line))
                return damaged();
        } while (!startsWith(line, "%%EndPageSetup"));
        if (!lines.next(line))
            return damaged();
    }

    for (;;) {
        if (startsWith(line, "%%PageTrailer") || startsWith(line, "%%Trailer"))
            return ZvxReadResult::Read;
        dispatch(line);
        if (m_imageFailed || !lines.next(line))
            return damaged();
    }
}

void ZvxReader::dispatch(std::string_view line)
{
    if (line.find_first_not_of(' ') == std::string_view::npos)
        return;
    if (line.front() == '%') {
        if (startsWith(line, "%ZVX u"))
            setUrl(line.substr(6), false);
        else if (startsWith(line, "%ZVX+ "))
            setUrl(line.substr(6), true);
        return;
    }
    line = trimTrailing(line);
    std::size_t start = line.size();
    while (start > 0 && (isLetter(line[start - 1]) || line[start - 1] == '*'))
        --start;
    const std::string_view op = line.substr(start);
    // A line without an operator (a bare number, a closing brace) names nothing.
    if (op.empty())
        return;
    // The operator table in lookup order: an operator takes the first entry
    // whose name begins with it, so "i" (Illustrator's setflat) reaches "img",
    // whose scan then fails.
    struct Entry {
        std::string_view name;
        Op op;
    };
    static const Entry kOperators[] = {
        { "b", Op::PaintClosedFillStroke },
        { "B", Op::PaintFillStroke },
        { "c", Op::CurveTo },
        { "C", Op::CurveToCorner },
        { "d", Op::Dash },
        { "e", Op::TextBegin },
        { "f", Op::PaintClosedFill },
        { "F", Op::PaintFill },
        { "g", Op::FillGrey },
        { "G", Op::LineGrey },
        { "k", Op::FillCmyk },
        { "K", Op::LineCmyk },
        { "l", Op::LineTo },
        { "L", Op::LineToUpper },
        { "m", Op::MoveTo },
        { "n", Op::PaintClosedNone },
        { "N", Op::PaintNone },
        { "s", Op::PaintClosedStroke },
        { "S", Op::PaintStroke },
        { "t", Op::TextLine },
        { "T", Op::TextEnd },
        { "Tf", Op::FontAndSize },
        { "Tj", Op::TextLineTj },
        { "TO", Op::TextEndTO },
        { "Tp", Op::TextMatrix },
        { "Tx", Op::TextLineTx },
        { "TX", Op::TextLineTX },
        { "tbx", Op::TextBox },
        { "u", Op::BeginGroup },
        { "*u", Op::BeginCompound },
        { "U", Op::EndGroup },
        { "*U", Op::EndCompound },
        { "v", Op::CurveV },
        { "V", Op::CurveVCorner },
        { "x", Op::FillCmykX },
        { "X", Op::LineCmykX },
        { "Xa", Op::FillRgb },
        { "XA", Op::LineRgb },
        { "y", Op::CurveY },
        { "Y", Op::CurveYCorner },
        { "w", Op::LineWidth },
        { "W", Op::Clip },
        { "z", Op::Font },
        { "cm", Op::ConcatMatrix },
        { "q", Op::Save },
        { "Q", Op::Restore },
        { "Ah", Op::Arrowhead },
        { "Ar", Op::ArcWithMatrix },
        { "Arc", Op::Arc },
        { "At", Op::ArrowCode },
        { "Bx", Op::Box },
        { "Rr", Op::RoundRect },
        { "img", Op::Image },
        { "Ln", Op::Line },
        { "Ov", Op::Oval },
        { "Pat", Op::Pattern },
    };
    for (const Entry& entry : kOperators) {
        if (entry.name.size() >= op.size() && entry.name.compare(0, op.size(), op) == 0) {
            handle(entry.op, line);
            return;
        }
    }
}

void ZvxReader::handle(Op op, std::string_view line)
{
    Operands o;
    switch (op) {
    case Op::PaintClosedFillStroke:
        return paint(true, true, true);
    case Op::PaintFillStroke:
        return paint(false, true, true);
    case Op::PaintClosedFill:
        return paint(true, true, false);
    case Op::PaintFill:
        return paint(false, true, false);
    case Op::PaintClosedNone:
        return paint(true, false, false);
    case Op::PaintNone:
        return paint(false, false, false);
    case Op::PaintClosedStroke:
        return paint(true, false, true);
    case Op::PaintStroke:
        return paint(false, false, true);
    case Op::CurveTo:
    case Op::CurveToCorner:
        if (scanAll(line, "%g %g %g %g %g %g", 6, o))
            curveTo(o.num[0], o.num[1], o.num[2], o.num[3], o.num[4], o.num[5],
                op == Op::CurveToCorner ? 1 : 0, false, false);
        return;
    case Op::CurveV:
    case Op::CurveVCorner:
        if (scanAll(line, "%g %g %g %g", 4, o) && !m_path.empty())
            curveTo(
                0, 0, o.num[0], o.num[1], o.num[2], o.num[3], op == Op::CurveVCorner ? 1 : 0, true, false);
        return;
    case Op::CurveY:
    case Op::CurveYCorner:
        if (scanAll(line, "%g %g %g %g", 4, o) && !m_path.empty())
            curveTo(
                o.num[0], o.num[1], 0, 0, o.num[2], o.num[3], op == Op::CurveYCorner ? 1 : 0, false, true);
        return;
    case Op::Dash:
        if (startsWith(line, dashOperator(kSolidDash))) {
            m_style.storeDashIndex(kSolidDash);
        } else {
            for (int i = 0; i < kDashCount; ++i)
                if (startsWith(line, dashOperator(i))) {
                    m_style.storeDashIndex(i);
                    break;
                }
        }
        return;
    case Op::TextBegin:
        if (scanAll(line, "[%g %g %g %g %g %g]", 6, o)) {
            m_text.clear();
            m_textLines = 0;
            m_textMarkerLast = false;
            m_textMatrix = matrixFrom(o, 0);
        }
        return;
    case Op::FillGrey:
    case Op::LineGrey:
        if (scanAll(line, "%g", 1, o))
            setColorRgb(o.num[0], o.num[0], o.num[0], op == Op::FillGrey);
        return;
    case Op::FillCmyk:
    case Op::LineCmyk:
    case Op::FillCmykX:
    case Op::LineCmykX:
        if (scanAll(line, "%g %g %g %g", 4, o))
            setColorCmyk(o.num[0], o.num[1], o.num[2], o.num[3], op == Op::FillCmyk || op == Op::FillCmykX);
        return;
    case Op::FillRgb:
    case Op::LineRgb:
        if (scanAll(line, "%g %g %g", 3, o))
            setColorRgb(o.num[0], o.num[1], o.num[2], op == Op::FillRgb);
        return;
    case Op::LineTo:
    case Op::LineToUpper:
        if (scanAll(line, "%g %g", 2, o))
            m_path.push_back(makeNode(f(o.num[0]), f(o.num[1])));
        return;
    case Op::MoveTo:
        if (scanAll(line, "%g %g", 2, o)) {
            m_path.clear();
            m_pathKind = 0;
            m_path.push_back(makeNode(f(o.num[0]), f(o.num[1])));
        }
        return;
    case Op::TextLine:
    case Op::TextLineTj:
    case Op::TextLineTx:
    case Op::TextLineTX:
        return appendTextLine(line);
    case Op::TextEnd:
    case Op::TextEndTO:
        return endText();
    case Op::FontAndSize:
        if (scanAll(line, "%s %g", 2, o)) {
            m_fontName = fontNameOperand(o.word);
            m_fontSize = clampFontSize(o.num[0]);
        }
        return;
    case Op::TextMatrix:
        if (scanAll(line, "%g %g %g %g %g %g %g", 7, o))
            m_textMatrix = matrixFrom(o, 0);
        return;
    case Op::TextBox:
        if (scanAll(line, "%g %g %g %g", 4, o)) {
            for (int i = 0; i < 4; ++i)
                m_textBox[i] = f(o.num[i]);
            m_textBoxOn = true;
        }
        return;
    case Op::BeginGroup:
    case Op::BeginCompound:
        return openList(op == Op::BeginCompound);
    case Op::EndGroup:
    case Op::EndCompound:
        if (!line.empty() && line.front() == '(')
            appendTextLine(line);
        return closeList(op == Op::EndCompound);
    case Op::LineWidth:
        if (scanAll(line, "%g", 1, o))
            m_style.storeLineWidth(clampLineWidth(o.num[0]));
        return;
    case Op::Clip:
        m_path.clear();
        return;
    case Op::Font:
        if (scanAll(line, "%s %g %g %g %d", 5, o)) {
            m_fontName = fontNameOperand(o.word);
            m_fontSize = clampFontSize(o.num[0]);
            m_leading = clampLeading(o.num[1]);
            const int align = static_cast<int>(o.num[3]);
            m_align = align >= 0 && align <= 3 ? static_cast<TextAlign>(align) : TextAlign::Left;
        }
        return;
    case Op::ConcatMatrix:
        if (scanAll(line, "%g %g %g %g %g %g", 6, o)) {
            m_pendingMatrix = matrixFrom(o, 0);
            m_pendingMatrixOn = true;
        }
        return;
    case Op::Save:
    case Op::Restore:
        return;
    case Op::Arrowhead:
        if (scanAll(line, "%g %g %g %g %d %d", 6, o)) {
            int code = static_cast<int>(o.num[4]);
            if (!isValidArrowCode(code))
                code = kArrowNone;
            if (!m_current->empty()) {
                if (static_cast<int>(o.num[5]) == 1)
                    m_current->back()->setArrows(code, kArrowUnchanged);
                else
                    m_current->back()->setArrows(kArrowUnchanged, code);
            }
            m_pendingMatrixOn = false;
        }
        return;
    case Op::ArcWithMatrix:
        if (scanAll(line, "%g %g %g %g %g %g [%g %g %g %g %g %g]", 12, o)) {
            auto arc = makeArc(o);
            arc->setMatrix(matrixFrom(o, 6));
            setPending(std::move(arc));
        }
        return;
    case Op::Arc:
        if (scanAll(line, "%g %g %g %g %g %g", 6, o))
            setPending(makeArc(o));
        return;
    case Op::ArrowCode:
        if (scanAll(line, "%d", 1, o))
            m_arrowCode
                = isValidArrowCode(static_cast<int>(o.num[0])) ? static_cast<int>(o.num[0]) : kArrowNone;
        return;
    case Op::Box:
        if (scanAll(line, "%g %g %g %g [%g %g %g %g %g %g]", 10, o)) {
            auto box = std::make_unique<RectangleObject>(f(o.num[2]), f(o.num[3]), f(o.num[0]), f(o.num[1]));
            box->setMatrix(matrixFrom(o, 4));
            setPending(std::move(box));
        }
        return;
    case Op::RoundRect:
        if (scanAll(line, "%g %g %g %g %g %g [%g %g %g %g %g %g]", 12, o)) {
            auto box = std::make_unique<RoundRectObject>(
                f(o.num[2]), f(o.num[0]), f(o.num[3]), f(o.num[1]), f(o.num[4]), f(o.num[5]));
            box->setMatrix(matrixFrom(o, 6));
            setPending(std::move(box));
        }
        return;
    case Op::Image:
        readImage(line);
        return;
    case Op::Line:
        if (scanAll(line, "%d %g %g %g %g [%g %g %g %g %g %g]", 11, o)) {
            const int flags = static_cast<int>(o.num[0]);
            auto object = std::make_unique<LineObject>(f(o.num[3]), f(o.num[4]), f(o.num[1]), f(o.num[2]));
            object->setMatrix(matrixFrom(o, 5));
            object->setArrows(flags & 1 ? m_arrowCode : kArrowNone, flags & 2 ? m_arrowCode : kArrowNone);
            setPending(std::move(object));
        }
        return;
    case Op::Oval:
        if (scanAll(line, "%g %g %g %g [%g %g %g %g %g %g]", 10, o)) {
            auto oval = std::make_unique<EllipseObject>(f(o.num[2]), f(o.num[3]), f(o.num[0]), f(o.num[1]));
            oval->setMatrix(matrixFrom(o, 4));
            setPending(std::move(oval));
        }
        return;
    case Op::Pattern:
        if (scanAll(line, "%d", 1, o)) {
            const int pattern = static_cast<int>(o.num[0]);
            m_style.storeFillPattern(isValidPattern(pattern) ? pattern : kNoPattern);
        }
        return;
    }
}

void ZvxReader::setUrl(std::string_view rest, bool continuation)
{
    if (!continuation) {
        m_url = std::string(trimLeading(rest));
        m_urlObject = m_current->empty() ? nullptr : m_current->back().get();
    } else {
        // The writer carries on a long URL in further lines.
        if (!m_urlObject || m_current->empty() || m_current->back().get() != m_urlObject)
            return;
        m_url.append(rest);
    }
    const std::string_view url = trimTrailing(m_url);
    if (url.empty() || !m_urlObject)
        return;
    m_current->back()->setUrl(std::string(url));
}

void ZvxReader::setColorRgb(double r, double g, double b, bool fill)
{
    const Color color = Color::fromInts(percentOf(r), percentOf(g), percentOf(b));
    if (fill) {
        m_style.storeFillColor(color);
        m_style.storeTextColor(color);
        m_fillColorSet = true;
    } else {
        m_style.storeLineColor(color);
    }
}

void ZvxReader::setColorCmyk(double c, double m, double y, double k, bool fill)
{
    setColorRgb(1 - std::min(1.0, c + k), 1 - std::min(1.0, m + k), 1 - std::min(1.0, y + k), fill);
}

void ZvxReader::curveTo(double x1, double y1, double x2, double y2, double x3, double y3, uint32_t flags,
    bool firstFromCurrent, bool secondAtEnd)
{
    if (!m_path.empty()) {
        BezierNode& previous = m_path.back();
        if (firstFromCurrent) {
            previous.outX = previous.x;
            previous.outY = previous.y;
        } else {
            previous.outX = f(x1);
            previous.outY = f(y1);
        }
    }
    BezierNode node = makeNode(f(x3), f(y3), flags);
    if (!secondAtEnd) {
        node.inX = f(x2);
        node.inY = f(y2);
    }
    m_path.push_back(node);
    m_pathKind = 1;
}

void ZvxReader::setPending(std::unique_ptr<DrawObject> object)
{
    m_pending = std::move(object);
    m_pathKind = 2;
}

void ZvxReader::paint(bool closed, bool fill, bool stroke)
{
    std::unique_ptr<DrawObject> object;
    if (m_pathKind == 0 && m_path.size() >= 2) {
        PointList points;
        points.reserve(m_path.size());
        for (const BezierNode& node : m_path)
            points.push_back({ node.x, node.y });
        const bool shut = closed && points.size() >= 3;
        // The writer repeats the first point before closing; a path that
        // closes without repeating it keeps every point.
        if (shut && points.back() == points.front())
            points.pop_back();
        object = std::make_unique<PolygonObject>(std::move(points), shut);
    } else if (m_pathKind == 1 && m_path.size() >= 2) {
        NodeList nodes = m_path;
        const bool shut = closed && nodes.size() >= 3;
        // The closing segment ends on a copy of the first node, which carries
        // that segment's in-control and its "C" flag.
        if (shut && nodes.back().x == nodes.front().x && nodes.back().y == nodes.front().y) {
            nodes.front().inX = nodes.back().inX;
            nodes.front().inY = nodes.back().inY;
            nodes.front().flags = nodes.back().flags;
            nodes.pop_back();
        }
        object = std::make_unique<CurveObject>(std::move(nodes), shut);
    } else if (m_pathKind == 2) {
        object = std::move(m_pending);
    }
    if (!object)
        return;
    m_style.setStrokeOn(stroke);
    m_style.setFillOn(fill);
    object->setStyle(m_style);
    if (m_pendingMatrixOn) {
        object->setMatrix(m_pendingMatrix);
        m_pendingMatrixOn = false;
    }
    appendObject(std::move(object));
}

void ZvxReader::appendObject(std::unique_ptr<DrawObject> object)
{
    m_current->push_back(std::move(object));
}

void ZvxReader::openList(bool compound)
{
    if (m_stack.size() >= kMaxNesting) {
        ++m_ignoredOpens;
        return;
    }
    m_stack.push_back(std::make_unique<OpenList>());
    m_stack.back()->compound = compound;
    m_current = &m_stack.back()->objects;
}

void ZvxReader::closeList(bool compound)
{
    if (m_ignoredOpens > 0) {
        --m_ignoredOpens;
        return;
    }
    // A close without an open: the objects that follow still belong to the list being read.
    if (m_stack.empty())
        return;
    OwnedObjects children = std::move(m_stack.back()->objects);
    m_stack.pop_back();
    m_current = m_stack.empty() ? &m_target : &m_stack.back()->objects;
    if (children.empty())
        return;
    if (compound) {
        auto path = std::make_unique<CompoundPathObject>();
        for (auto& child : children)
            path->appendChild(std::move(child));
        appendObject(std::move(path));
    } else {
        auto group = std::make_unique<GroupObject>();
        for (auto& child : children)
            group->appendChild(std::move(child));
        appendObject(std::move(group));
    }
}

void ZvxReader::closeOpenLists()
{
    // Brackets left open by a file that broke off keep what they hold.
    m_ignoredOpens = 0;
    while (!m_stack.empty())
        closeList(m_stack.back()->compound);
}

void ZvxReader::appendTextLine(std::string_view line)
{
    std::string piece;
    if (!stringOperand(line, piece))
        return;
    const bool marker = !piece.empty() && piece.front() == '\r';
    if (m_textBoxOn) {
        // The lines are the writer's wrapping inside its box.
        if (!m_text.empty() && m_text.back() != '\r' && !marker)
            m_text += '\n';
    } else if (m_textLines > 0 && !marker && !m_textMarkerLast) {
        // Without a box the lines stand where the file put them: each ends in
        // a hard break, so the frame sized from them keeps them (empty ones
        // too) instead of reflowing them into one another.
        m_text += '\r';
    }
    m_text += piece;
    ++m_textLines;
    m_textMarkerLast = marker;
}

void ZvxReader::endText()
{
    if (m_text.empty())
        return;
    const FontEntry* font = nullptr;
    if (const FontLookup* catalogue = FontLookup::current())
        font = catalogue->find(m_fontName);
    if (!font) {
        if (m_missingFonts
            && std::find(m_missingFonts->begin(), m_missingFonts->end(), m_fontName) == m_missingFonts->end())
            m_missingFonts->push_back(m_fontName);
        font = defaultTextFont();
    }
    auto text = std::make_unique<TextObject>(m_text, font, clampFontSize(m_fontSize), m_leading, m_align);
    PaintStyle style = m_style;
    // Before the file sets a fill colour, text has only the reader's text
    // colour; PostScript would paint it in the prolog's white fill.
    if (!m_fillColorSet)
        style.storeFillColor(style.textColor());
    text->setStyle(style);
    text->setMatrix(invertibleMatrix(m_textMatrix));
    if (m_textBoxOn) {
        text->setFrame({ m_textBox[2], m_textBox[3] }, { m_textBox[0], m_textBox[1] });
        m_textBoxOn = false;
    } else {
        sizeFrameFromText(*text, m_text);
    }
    appendObject(std::move(text));
    m_text.clear();
    m_textLines = 0;
    m_textMarkerLast = false;
}

bool ZvxReader::readImage(std::string_view line)
{
    Operands o;
    if (!scanAll(line, "[%g %g %g %g %g %g] %d %d", 8, o))
        return false;
    const int width = static_cast<int>(o.num[6]);
    const int height = static_cast<int>(o.num[7]);
    if (width < 0 || height < 0)
        return false;
    auto image = std::make_unique<ImageObject>();
    image->setMatrix(invertibleMatrix(matrixFrom(o, 0)));
    const std::size_t need = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    if (need > 0) {
        // Two hex digits a byte: data the file cannot hold means it ends
        // inside the image, which no amount of reading would change.
        if (need > m_lines->remaining() / 2 || !image->allocatePixels(width, height)) {
            m_imageFailed = true;
            return false;
        }
    }
    uint8_t* pixels = image->pixelData();
    std::size_t bytes = 0;
    std::size_t pairs = 0;
    std::string_view data;
    while (!(bytes >= need && pairs % kImageBlock == 0)) {
        if (!m_lines->next(data)) {
            m_imageFailed = true;
            return false;
        }
        for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
            const int hi = hexValue(data[i]);
            const int lo = hexValue(data[i + 1]);
            if (hi < 0 || lo < 0)
                break;
            if (bytes < need)
                pixels[bytes++] = static_cast<uint8_t>(hi * 16 + lo);
            ++pairs;
            if (bytes >= need && pairs % kImageBlock == 0)
                break;
        }
    }
    appendObject(std::move(image));
    return true;
}

ZvxReadResult readNativeFile(
    const std::string& path, OwnedObjects& target, DocumentInfo* info, std::vector<std::string>* missingFonts)
{
    ZvxReader reader(target, info, missingFonts);
    return reader.readFile(path);
}

ZvxReadResult openNativeFile(const std::string& path, OwnedObjects& objects, DocumentInfo& info)
{
    std::vector<std::string> missing;
    const ZvxReadResult result = readNativeFile(path, objects, &info, &missing);
    for (const std::string& name : missing)
        warningBox("Can't find font \"%-.64s\"\nAnother font will be substituted.", name.c_str());
    return result;
}

ZvxReadResult insertNativeFile(const std::string& path, OwnedObjects& objects)
{
    return readNativeFile(path, objects, nullptr, nullptr);
}

} // namespace zavora
