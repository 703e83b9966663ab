// The SVG writer: golden files of its decisions, each read by an XML parser
// too; the image files written beside the document.
#include "raster/SvgPort.h"

#include "export/Export.h"
#include "model/Drawing.h"
#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/ShapeObjects.h"
#include "platform/Reporter.h"

#include "BitmapTestSupport.h"
#include "platform/jpeg/TurboJpegEncoder.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>

namespace zavora {
namespace {

namespace fs = std::filesystem;
using namespace zavora::testing;
using bitmaptest::runTool;

std::string writeSvg(const std::function<void(SvgPort&)>& body, const DocumentInfo& info)
{
    MemoryOutputStream stream;
    SvgPort port(stream, SvgImageFiles {});
    port.beginPage(info, false, nullptr);
    body(port);
    port.endPage(nullptr);
    return stream.data();
}

// What an XML parser makes of the file; "" with the parser's complaint in
// `error` (a file that is not well-formed XML gives nothing).
std::string xpath(const std::string& document, const std::string& expression, std::string* error = nullptr)
{
    static int count = 0;
    const fs::path file = scratchDirectory() / ("query-" + std::to_string(++count) + ".svg");
    writeFile(file, document);
    const bitmaptest::ToolRun run
        = runTool("xmllint --nonet --xpath '" + expression + "' '" + file.string() + "'");
    if (run.status != 0) {
        if (error)
            *error = run.output;
        return {};
    }
    std::string out = run.output;
    if (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

PaintStyle hatch(int pattern, const Color& fill)
{
    PaintStyle style = filled(fill);
    style.setFillPattern(pattern);
    return style;
}

const testing::FixedFont kFont("Helvetica");
const testing::FixedFont kQuotedFont("Odd \"Font\" & 100%");

struct GoldenCase {
    const char* name;
    DocumentInfo info;
    void (*body)(SvgPort&);
};

DocumentInfo landscapePage()
{
    DocumentInfo info = pageInfo(0, 0, 200, 150);
    info.landscape = true;
    return info;
}

DocumentInfo titled(const char* title)
{
    DocumentInfo info = pageInfo();
    info.title = title;
    return info;
}

const GoldenCase kGoldenCases[] = {
    // Every shape in one style: one entity, st0, for all; the arrowheads'
    // own fill style is the second; the text's style its own table.
    { "shared_style", pageInfo(),
        [](SvgPort& port) {
            const PaintStyle style = filled({ 100, 50, 0 }, 2);
            port.rectangle(style, Matrix {}, 10, 10, 50, 40);
            port.roundRectangle(style, Matrix {}, 60, 10, 90, 40, 5, 4);
            port.ellipse(style, Matrix { 2, 0, 0, 1, 0, 0 }, 50, 100, 30, 20);
            port.line(style, Matrix {}, 10, 60, 60, 60, kArrowNone, kArrowSmall);
            const float box[4] = { 10, 80, 110, 120 };
            port.text(style, Matrix {}, "Two\rlines", &kFont, 12, 14, TextAlign::Centre, box);
        } },
    // Only the used hatches are defined, one per fill colour; a hatched
    // compound path is one even-odd path of its members.
    { "hatch", pageInfo(),
        [](SvgPort& port) {
            port.rectangle(hatch(0, Color::white()), Matrix {}, 10, 10, 50, 40);
            port.rectangle(hatch(0, Color::white()), Matrix {}, 60, 10, 100, 40);
            port.rectangle(hatch(4, { 100, 90, 0 }), Matrix {}, 110, 10, 150, 40);
            port.beginCompoundPath();
            port.rectangle(hatch(6, Color::white()), Matrix {}, 10, 60, 90, 140);
            port.ellipse(hatch(6, Color::white()), Matrix {}, 50, 100, 20, 20);
            port.endCompoundPath();
        } },
    // Polyline (0,0) (10,0) (10,10) in user units; a closed curve; numbers
    // trimmed: 7.25, 7 and -0.0004 (written 0).
    { "paths", pageInfo(),
        [](SvgPort& port) {
            port.polyline(PaintStyle {}, Matrix {}, { { 0, 150 }, { 10, 150 }, { 10, 140 } }, false,
                kArrowNone, kArrowNone);
            NodeList nodes(2);
            nodes[0] = { 50, 50, 40, 60, 60, 60, 0 };
            nodes[1] = { 80, 50, 90, 60, 70, 40, 0 };
            port.curvePath(PaintStyle {}, Matrix {}, nodes, true, kArrowNone, kArrowNone);
            port.rectangle(PaintStyle {}, Matrix {}, 7.25f, 7.0f, -0.0004f, 100.5f);
        } },
    // The page turned: user x runs down the page's y.
    { "landscape", landscapePage(),
        [](SvgPort& port) {
            port.rectangle(PaintStyle {}, Matrix { 1, 0, 0, 1, 1234.567f, 0.25f }, 10, 20, 50, 40);
            port.polyline(
                PaintStyle {}, Matrix {}, { { 0, 0 }, { 200, 150 } }, false, kArrowNone, kArrowNone);
        } },
    // Markup characters, controls and Windows-1252 codes in the title, the
    // text, the font name and a link.
    { "escapes", titled("a<b&\"c\"\x01 \xc3\xa9.zvx"),
        [](SvgPort& port) {
            port.beginLink("http://example.com/a b?x=1&y=\"2\"<3>\x01\xe9");
            port.rectangle(PaintStyle {}, Matrix {}, 10, 10, 50, 40);
            port.endLink({});
            const float box[4] = { 10, 80, 110, 120 };
            port.text(PaintStyle {}, Matrix {}, "a<b & \"q\" 100% #1\x01\x7f \xe9\x80", &kQuotedFont, 10, 12,
                TextAlign::Right, box);
        } },
};

class SvgGolden : public ::testing::TestWithParam<GoldenCase> { };

TEST_P(SvgGolden, MatchesAndIsWellFormed)
{
    const GoldenCase& c = GetParam();
    const std::string document = writeSvg(c.body, c.info);
    checkGolden("svg", c.name, document);
    ASSERT_TRUE(bitmaptest::haveTool("xmllint", "libxml2-utils"));
    std::string complaint;
    EXPECT_EQ(xpath(document, "count(/*)", &complaint), "1") << complaint;
}

INSTANTIATE_TEST_SUITE_P(Cases, SvgGolden, ::testing::ValuesIn(kGoldenCases),
    [](const ::testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

// The parser gets back exactly what was drawn: the link target as a URL, the
// text as its Unicode characters, the title as the file name's.
TEST(SvgExport, ParserReadsBackTitleTextAndLink)
{
    ASSERT_TRUE(bitmaptest::haveTool("xmllint", "libxml2-utils"));
    const std::string document = writeSvg(kGoldenCases[4].body, kGoldenCases[4].info);
    std::string error;
    EXPECT_EQ(xpath(document, "string(//*[local-name()=\"a\"]/@*[local-name()=\"href\"])", &error),
        "http://example.com/a b?x=1&y=%222%22%3C3%3E%01%E9")
        << error;
    EXPECT_EQ(xpath(document, "string(//*[local-name()=\"tspan\"])", &error),
        "a<b & \"q\" 100% #1 \xc3\xa9\xe2\x82\xac")
        << error;
    EXPECT_EQ(xpath(document, "string(//*[local-name()=\"desc\"])", &error), "a<b&\"c\" \xc3\xa9.zvx")
        << error;
}

// Each step is taken between points as written, so a long path ends where
// its last point is, not where rounded steps add up to.
TEST(SvgExport, RelativeStepsDoNotDrift)
{
    PointList points;
    for (int i = 0; i <= 2000; ++i)
        points.push_back({ float(i) * 0.1004f, 150 - float(i) * 0.0406f });
    const std::string document = writeSvg(
        [&](SvgPort& port) {
            port.polyline(PaintStyle {}, Matrix {}, points, false, kArrowNone, kArrowNone);
        },
        pageInfo(0, 0, 300, 150));
    const std::size_t start = document.find("d=\"M");
    ASSERT_NE(start, std::string::npos);
    const std::string data = document.substr(start + 4, document.find('"', start + 4) - start - 4);
    double x = 0, y = 0;
    int count = 0;
    const std::regex pair(R"((-?[0-9.]+) (-?[0-9.]+))");
    for (auto it = std::sregex_iterator(data.begin(), data.end(), pair); it != std::sregex_iterator(); ++it) {
        x += std::stod((*it)[1]);
        y += std::stod((*it)[2]);
        ++count;
    }
    ASSERT_EQ(count, 2001);
    EXPECT_NEAR(x, points.back().x, 0.0006);
    EXPECT_NEAR(y, 150 - points.back().y, 0.0006);
}

class SvgImageFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
        // Two images in drawing order, the second inside a group.
        drawing.append(image(4, 3, { 255, 0, 0 }, 10, 10));
        auto group = std::make_unique<GroupObject>();
        group->appendChild(std::make_unique<RectangleObject>(0, 0, 20, 20));
        group->appendChild(image(6, 5, { 0, 0, 255 }, 100, 10));
        drawing.append(std::move(group));
    }
    void TearDown() override { fs::remove_all(folder); }

    static std::unique_ptr<ImageObject> image(int w, int h, std::array<uint8_t, 3> rgb, float x, float y)
    {
        auto object = std::make_unique<ImageObject>();
        EXPECT_TRUE(object->allocatePixels(w, h));
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                object->setPixel(i, j, rgb);
        object->placeAt(x, y);
        return object;
    }

    const fs::path folder = scratchDirectory() / "svg images";
    Drawing drawing;
    TurboJpegEncoder jpeg;
};

// The GIF files are drawn by the SVG cross-render; here the JPEG ones and a
// name that needs escaping in the reference.
TEST_F(SvgImageFilesTest, WrittenBesideTheDocumentInDrawingOrder)
{
    ExportOptions options;
    options.jpegEncoder = &jpeg;
    const fs::path svg = folder / "my drawing.v2.svg";
    ASSERT_TRUE(exportToFile(drawing, ExportKind::Svg, svg.string(), options, nullptr));
    const std::string document = readFile(svg);
    const std::array<QSize, 2> sizes { QSize(4, 3), QSize(6, 5) };
    for (int k = 1; k <= 2; ++k) {
        const std::string name = "my drawing.v2_svg_" + std::to_string(k) + ".jpg";
        EXPECT_NE(document.find("xlink:href=\"my%20drawing.v2_svg_" + std::to_string(k) + ".jpg"),
            std::string::npos);
        const QImage back(QString::fromStdString((folder / name).string()));
        ASSERT_FALSE(back.isNull()) << name;
        EXPECT_EQ(back.size(), sizes[k - 1]);
        const QRgb expected = k == 1 ? qRgb(255, 0, 0) : qRgb(0, 0, 255);
        EXPECT_LT(std::abs(qRed(back.pixel(1, 1)) - qRed(expected))
                + std::abs(qBlue(back.pixel(1, 1)) - qBlue(expected)),
            16);
    }
}

TEST_F(SvgImageFilesTest, AnImageFileThatCannotBeWrittenFailsTheExport)
{
    RecordingReporter messages;
    // A folder where the second image file should go.
    fs::create_directories(folder / "d_svg_2.gif");
    EXPECT_FALSE(
        exportToFile(drawing, ExportKind::Svg, (folder / "d.svg").string(), ExportOptions {}, nullptr));
    EXPECT_NE(messages.last(Reporter::Kind::Error).find("d_svg_2.gif"), std::string::npos)
        << messages.last(Reporter::Kind::Error);

    // Without a file to go beside, the images cannot be written at all.
    messages.clear();
    MemoryOutputStream stream;
    EXPECT_EQ(
        exportDrawing(drawing, ExportKind::Svg, stream, ExportOptions {}, nullptr), ExportResult::Failed);
    EXPECT_NE(messages.last(Reporter::Kind::Error), "");
}

} // namespace
} // namespace zavora
