#include "model/TextLayout.h"

#include "model/FontEntry.h"
#include "model/PaintStyle.h"
#include "model/TextObject.h"

#include <algorithm>

namespace zavora {

namespace {

enum class LineEnd { RunEnd, HardBreak, SoftBreak, Cut };

} // namespace

float TextLayoutSink::frameTop() const
{
    return m_object->frameRect().top;
}
float TextLayoutSink::frameLeft() const
{
    return m_object->frameRect().left;
}
float TextLayoutSink::frameRight() const
{
    return m_object->frameRect().right;
}

float TextLayoutSink::frameCentreX() const
{
    const Rect f = m_object->frameRect();
    return (f.left + f.right) / 2;
}

float TextLayoutSink::frameWidth() const
{
    return m_object->frameRect().width();
}

void TextLayoutSink::saveState()
{
    m_savedMatrices.push_back(m_matrix);
}

void TextLayoutSink::restoreState()
{
    if (m_savedMatrices.empty())
        return;
    m_matrix = m_savedMatrices.back();
    m_savedMatrices.pop_back();
}

void TextLayoutSink::concat(const Matrix& m)
{
    m_matrix = multiply(KMatrix(m), m_matrix);
}

void TextLayoutSink::setTextColor(const Color&)
{ }

void TextLayoutSink::selectFont(const FontEntry* font, float size)
{
    font = drawableFont(font);
    m_font = font;
    m_size = size;
    m_ascent = font ? static_cast<float>(font->ascent(size)) : 0;
    m_descent = font ? static_cast<float>(font->descent(size)) : 0;
}

void TextLayoutSink::line(const PlacedLine&)
{ }

void TextLayoutSink::justifiedLine(const PlacedLine&)
{ }

double TextLayoutSink::measure(std::string_view text) const
{
    return m_font ? m_font->stringWidth(text, m_size) : 0.0;
}

double TextLayoutSink::justificationExtra(const PlacedLine& line)
{
    return line.spaces > 0 ? (static_cast<double>(line.frameWidth) - line.width) / line.spaces : 0.0;
}

double TextLayoutSink::prefixWidth(const PlacedLine& line, std::size_t upTo, double extraPerSpace) const
{
    if (upTo <= line.start || !m_font)
        return 0;
    const std::string_view prefix = line.text.substr(0, std::min(upTo, line.end) - line.start);
    double width = m_font->stringWidth(prefix, m_size);
    if (extraPerSpace != 0)
        width += extraPerSpace * static_cast<double>(std::count(prefix.begin(), prefix.end(), ' '));
    return width;
}

void TextLayoutSink::layOut(const TextObject& text, int mode)
{
    m_object = &text;
    m_stop = false;
    saveState();
    concat(text.matrix());

    const float top = frameTop(), left = frameLeft(), right = frameRight();
    const float centre = frameCentreX(), width = frameWidth();
    m_leading = text.leading();

    const std::vector<TextRun>& runs = text.runs();
    std::size_t run = 0;
    std::size_t runBase = 0; // index of the run's first character
    std::size_t i = 0;
    selectFont(runs[0].font, runs[0].size);
    if (mode == kPaint)
        setTextColor(text.style().textColor());

    float y = top - m_ascent;
    for (;;) {
        const std::string& s = runs[run].text;
        const std::size_t start = i;
        int spaces = 0;
        while (i < s.size() && s[i] != '\r' && s[i] != '\n' && i - start < kMaxLineLength) {
            if (s[i] == ' ')
                ++spaces;
            ++i;
        }
        // A break right after a full-length stretch ends that line, not an
        // empty one of its own.
        LineEnd end = LineEnd::Cut;
        if (i == s.size())
            end = LineEnd::RunEnd;
        else if (s[i] == '\r')
            end = LineEnd::HardBreak;
        else if (s[i] == '\n')
            end = LineEnd::SoftBreak;

        PlacedLine placed;
        placed.baseline = y;
        placed.text = std::string_view(s).substr(start, i - start);
        placed.start = runBase + start;
        placed.end = runBase + i;
        placed.width = static_cast<float>(measure(placed.text));
        placed.last = end == LineEnd::RunEnd || end == LineEnd::HardBreak;
        placed.spaces = spaces;
        placed.frameWidth = width;
        switch (text.alignment()) {
        case TextAlign::Centre:
            placed.x = centre - placed.width / 2;
            break;
        case TextAlign::Right:
            placed.x = right - placed.width;
            break;
        default:
            placed.x = left;
            break;
        }
        if (text.alignment() == TextAlign::Justified && spaces > 0 && !placed.last)
            justifiedLine(placed);
        else
            line(placed);

        if (end == LineEnd::RunEnd) {
            if (run + 1 == runs.size())
                break;
            runBase += s.size();
            ++run;
            i = 0;
            selectFont(runs[run].font, runs[run].size);
            if (mode == kPaint)
                setTextColor(text.style().textColor());
        } else if (end != LineEnd::Cut) {
            ++i;
        }
        if (stopRequested())
            break;
        y -= m_leading;
    }
    restoreState();
}

void breakRuns(std::vector<TextRun>& runs, double available)
{
    for (TextRun& run : runs)
        for (char& c : run.text)
            if (c == '\n')
                c = ' ';

    // The frame width is a float; a line measured to exactly that width must
    // not wrap through rounding.
    available += 1e-3;
    for (TextRun& run : runs) {
        std::string& s = run.text;
        const FontEntry* font = drawableFont(run.font);
        double w = 0;
        std::size_t candidate = std::string::npos;
        std::size_t i = 0;
        // Each run starts a line of its own, so nothing carries over between runs.
        for (;;) {
            const bool atEnd = i == s.size();
            const char c = atEnd ? '\0' : s[i];
            if (atEnd || c == ' ' || c == '\r') {
                if (w > available) {
                    if (candidate != std::string::npos) {
                        s[candidate] = '\n';
                        i = candidate + 1;
                        candidate = std::string::npos;
                        w = 0;
                        continue;
                    }
                    // A word wider than the frame stays alone on its line.
                    if (c == ' ') {
                        s[i] = '\n';
                        w = 0;
                        ++i;
                        continue;
                    }
                }
                if (atEnd)
                    break;
                if (c == '\r') {
                    // A hard break starts a fresh line even after an overlong word.
                    w = 0;
                    candidate = std::string::npos;
                    ++i;
                    continue;
                }
                candidate = i;
            }
            w += font ? font->charWidth(static_cast<unsigned char>(c), run.size) : 0.0;
            ++i;
        }
    }
}

} // namespace zavora
