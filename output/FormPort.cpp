#include "output/FormPort.h"

#include "model/ImageObject.h"
#include "output/PostScriptProlog.h"
#include "output/WriterState.h"

namespace zavora {

namespace {

// Rows are broken after the pixel x whenever (x + 7) is a multiple of this.
constexpr int kRowBreak = 35;

} // namespace

FormPort::FormPort(OutputStream& stream, std::string name)
    : PostScriptPort(FormPageBuffer::page)
    , m_target(stream)
    , m_name(postScriptNameText(name))
{
}

bool FormPort::beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor*)
{
    writerState().resetCache();
    fillUsedFonts();
    page.open();
    m_imageArrays.clear();
    m_imageCount = 0;
    m_failed = false;

    writeComments(info, "%!", downloadFonts);
    const char* name = m_name.c_str();
    put("/%s 100 dict def\r\n", name);
    put("%s begin\r\n", name);
    putText("/FormType 1 def\r\n");
    put("/BBox [ %d %d %d %d ] def\r\n", info.x0, info.y0, info.x1, info.y1);
    putText("/Matrix [ 1 0 0 1 0 0 ] def\r\n\r\n");
    putText(postScriptFormProcSet());
    putText("\r\n");
    writeFontSetup();
    flush();
    m_arraysAt = page.data().size();
    putText("/PaintProc {\r\nbegin save\r\n25 dict begin\r\n");
    writeInitialGraphicsState();
    putText("\r\n");
    return true;
}

void FormPort::endPage(ProgressMonitor*)
{
    const char* name = m_name.c_str();
    putText("end\r\nrestore end\r\n} def\r\nend\r\n");
    put("/%s %s /Form defineresource pop\r\n", name, name);
    put("%% /%s /Form findresource execform\r\n", name);
    putText("% showpage\r\n%%EOF\r\n");
    flush();
    const std::string& text = page.data();
    m_failed = !m_target.write(text.data(), m_arraysAt)
        || !m_target.write(m_imageArrays.data(), m_imageArrays.size())
        || !m_target.write(text.data() + m_arraysAt, text.size() - m_arraysAt);
    page.open(); // the page may be large; it is written now
    m_imageArrays.clear();
}

void FormPort::image(const Matrix& matrix, const ImageObject& image)
{
    const int32_t width = image.hasPixels() ? image.width() : 0;
    const int32_t height = image.hasPixels() ? image.height() : 0;
    put("bmp%04d ", m_imageCount);
    appendImageArray(image, width, height);
    putInvertibleMatrix(matrix);
    put(" %d %d imga\r\n", width, height);
}

void FormPort::appendImageArray(const ImageObject& image, int32_t width, int32_t height)
{
    std::string& out = m_imageArrays;
    out += formatLocaleFree("%d array dup /bmp%04d exch def\r\n", height, m_imageCount++);
    const std::vector<uint8_t>& pixels = image.pixels();
    for (int32_t y = 0; y < height; ++y) {
        out += formatLocaleFree("dup %d <", y);
        const uint8_t* row = pixels.data() + static_cast<std::size_t>(y) * width * 3;
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = row + static_cast<std::size_t>(x) * 3;
            const int grey = (30 * p[0] + 59 * p[1] + 11 * p[2]) / 100;
            appendHexByte(out, std::uint8_t(grey));
            if ((x + 7) % kRowBreak == 0)
                out += "\r\n";
        }
        out += "> put\r\n";
    }
    out += "pop\r\n\r\n";
}

} // namespace zavora
