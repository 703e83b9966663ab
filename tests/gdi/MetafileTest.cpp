// Windows metafiles: the header and record structure we write, the import of
// hand-made records (placement, state, and records that lie about their
// size), our export read back, the third-party files of tests/data/wmf, and
// libwmf's renderer as the referee of what we write and read.

#include "../output/PostScriptTestSupport.h"

#include "export/Export.h"
#include "model/Drawing.h"
#include "model/GraphicsKernel.h"
#include "model/ImageObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "platform/MetafileDeviceContext.h"
#include "platform/OutputStream.h"
#include "raster/MetafileImport.h"
#include "raster/MetafilePort.h"
#include "tests/support/PageImage.h"
#include "tests/support/SystemFonts.h"

#include "platform/qt/QtRasterSurface.h"

#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>

namespace zavora {
namespace {

using Bytes = std::vector<uint8_t>;

uint16_t wordAt(const Bytes& b, std::size_t at)
{
    return uint16_t(b[at] | b[at + 1] << 8);
}
uint32_t dwordAt(const Bytes& b, std::size_t at)
{
    return uint32_t(wordAt(b, at)) | uint32_t(wordAt(b, at + 2)) << 16;
}

// A metafile made record by record, for the import cases.
class RecordWriter {
public:
    RecordWriter& placeable(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t unitsPerInch)
    {
        m_header = placeableHeader(left, top, right, bottom, unitsPerInch);
        return *this;
    }
    RecordWriter& record(WmfRecord function, std::vector<int32_t> words, uint32_t claimedWords = 0)
    {
        const uint32_t size = claimedWords ? claimedWords : uint32_t(3 + words.size());
        put(size & 0xffff), put(size >> 16), put(uint16_t(function));
        for (int32_t w : words)
            put(uint16_t(w));
        return *this;
    }
    Bytes bytes() const
    {
        Bytes out = m_header;
        const uint32_t size = uint32_t(9 + m_words.size() + 3);
        for (uint16_t w : { uint16_t(1), uint16_t(9), uint16_t(0x300), uint16_t(size & 0xffff),
                 uint16_t(size >> 16), uint16_t(8), uint16_t(0x100), uint16_t(0), uint16_t(0) })
            out.push_back(uint8_t(w)), out.push_back(uint8_t(w >> 8));
        for (uint16_t w : m_words)
            out.push_back(uint8_t(w)), out.push_back(uint8_t(w >> 8));
        for (uint16_t w : { 3, 0, 0 })
            out.push_back(uint8_t(w)), out.push_back(uint8_t(w >> 8));
        return out;
    }

private:
    void put(uint32_t w) { m_words.push_back(uint16_t(w)); }
    Bytes m_header;
    std::vector<uint16_t> m_words;
};

// Colour references as two words, low first.
std::vector<int32_t> withColour(std::vector<int32_t> words, ColorRef colour)
{
    words.push_back(int32_t(colour & 0xffff));
    words.push_back(int32_t(colour >> 16));
    return words;
}
RecordWriter& solidBrush(RecordWriter& w, ColorRef colour)
{
    return w.record(
        WmfRecord::CreateBrushIndirect, { 0, int32_t(colour & 0xffff), int32_t(colour >> 16), 0 });
}

class MetafileTest : public ::testing::Test {
protected:
    void SetUp() override { kernel().reset(); }
    testfonts::SystemCatalogue m_fonts;
};

// --- what we write -------------------------------------------------------------

TEST_F(MetafileTest, HeaderExtentsChecksumAndRecordStructure)
{
    struct Case {
        bool landscape;
        uint16_t right, bottom;
    };
    for (const Case c : { Case { false, 200, 100 }, Case { true, 100, 200 } }) {
        SCOPED_TRACE(c.landscape ? "landscape" : "portrait");
        MemoryOutputStream stream;
        ASSERT_TRUE(stream.open());
        MetafilePort port(stream);
        DocumentInfo info;
        info.x0 = 50, info.y0 = 30, info.x1 = 250, info.y1 = 130;
        info.landscape = c.landscape;
        ASSERT_TRUE(port.beginPage(info, false, nullptr));
        PaintStyle style;
        style.setFillColor({ 100, 0, 0 });
        port.rectangle(style, Matrix {}, 60, 40, 160, 90);
        port.endPage(nullptr);

        const Bytes file(stream.data().begin(), stream.data().end());
        ASSERT_GT(file.size(), kPlaceableHeaderSize + kMetafileHeaderSize);
        EXPECT_EQ(dwordAt(file, 0), kPlaceableKey);
        EXPECT_EQ(std::tuple(wordAt(file, 10), wordAt(file, 12), wordAt(file, 14)),
            std::tuple(c.right, c.bottom, 72));
        uint16_t checksum = 0;
        for (std::size_t i = 0; i < 20; i += 2)
            checksum ^= wordAt(file, i);
        EXPECT_EQ(wordAt(file, 20), checksum);

        // The records tile the file exactly, the header's size and largest
        // record agree with them, and the last record ends it.
        const Bytes body(file.begin() + 22, file.end());
        EXPECT_EQ(dwordAt(body, 6) * 2, body.size());
        std::size_t at = kMetafileHeaderSize;
        uint32_t largest = 0, function = 0xffff;
        while (at < body.size()) {
            const uint32_t words = dwordAt(body, at);
            ASSERT_GE(words, 3u);
            largest = std::max(largest, words);
            function = wordAt(body, at + 4);
            at += words * 2;
        }
        EXPECT_EQ(at, body.size());
        EXPECT_EQ(function, uint32_t(WmfRecord::Eof));
        EXPECT_EQ(dwordAt(body, 12), largest);
    }
}

// --- what we read --------------------------------------------------------------

struct ImportCase {
    const char* name;
    std::function<Bytes()> build;
    MetafileImportResult result;
    std::size_t objects;
    std::function<void(const OwnedObjects&)> check;
};

std::vector<ImportCase> importCases()
{
    return {
        { "1440 units per inch give points",
            [] {
                return RecordWriter()
                    .placeable(0, 0, 1440, 720, 1440)
                    .record(WmfRecord::SetWindowExt, { 720, 1440 })
                    .record(WmfRecord::Rectangle, { 720, 1440, 0, 0 })
                    .bytes();
            },
            MetafileImportResult::Imported, 1,
            [](const OwnedObjects& o) {
                EXPECT_EQ(o[0]->type(), ObjectType::Rectangle);
                const Rect r = o[0]->boundingBox();
                EXPECT_NEAR(r.width(), 72, 0.01);
                EXPECT_NEAR(r.height(), 36, 0.01);
                // Centred on the paper.
                EXPECT_NEAR((r.left + r.right) / 2, 306, 0.01);
                EXPECT_NEAR((r.bottom + r.top) / 2, 396, 0.01);
            } },
        { "restore brings back the brush; a deleted object selects nothing",
            [] {
                RecordWriter w;
                solidBrush(w, 0x0000ff).record(WmfRecord::SelectObject, { 0 });
                w.record(WmfRecord::SaveDC, {});
                solidBrush(w, 0xff0000).record(WmfRecord::SelectObject, { 1 });
                w.record(WmfRecord::RestoreDC, { -1 });
                w.record(WmfRecord::Rectangle, { 10, 10, 0, 0 });
                w.record(WmfRecord::DeleteObject, { 1 }).record(WmfRecord::SelectObject, { 1 });
                w.record(WmfRecord::CreatePenIndirect, withColour({ 1, 3, 0 }, 0));
                w.record(WmfRecord::SelectObject, { 1 }); // the pen took the freed slot
                return w.record(WmfRecord::Rectangle, { 10, 10, 0, 0 }).bytes();
            },
            MetafileImportResult::Imported, 2,
            [](const OwnedObjects& o) {
                EXPECT_EQ(o[0]->style().fillColor(), (Color { 100, 0, 0 }));
                EXPECT_EQ(o[1]->style().fillColor(), (Color { 100, 0, 0 }));
                EXPECT_EQ(o[1]->style().dashIndex(), 0);
            } },
        { "a count beyond its record skips that record only",
            [] {
                return RecordWriter()
                    .record(WmfRecord::Polygon, { 1000, 0, 0, 5, 5, 9, 0 })
                    .record(WmfRecord::PolyPolygon, { 2, 3, 9000, 0, 0, 5, 5, 9, 0 })
                    .record(WmfRecord::ExtTextOut, { 0, 0, 400, 0, 'A' | 'B' << 8 })
                    .record(WmfRecord::Rectangle, { 10, 10, 0, 0 })
                    .bytes();
            },
            MetafileImportResult::Imported, 1,
            [](const OwnedObjects& o) { EXPECT_EQ(o[0]->type(), ObjectType::Rectangle); } },
        { "a record longer than the file ends the import with what was read",
            [] {
                return RecordWriter()
                    .record(WmfRecord::Rectangle, { 10, 10, 0, 0 })
                    .record(WmfRecord::Polygon, { 3, 0, 0, 5, 5, 9, 0 }, 0x7fffffff)
                    .record(WmfRecord::Rectangle, { 20, 20, 0, 0 })
                    .bytes();
            },
            MetafileImportResult::Imported, 1, nullptr },
        { "a record shorter than its own head ends the import",
            [] {
                return RecordWriter()
                    .record(WmfRecord::Rectangle, { 10, 10, 0, 0 })
                    .record(WmfRecord::SaveDC, {}, 2)
                    .record(WmfRecord::Rectangle, { 20, 20, 0, 0 })
                    .bytes();
            },
            MetafileImportResult::Imported, 1, nullptr },
        { "a stretched DIB becomes an image with its pixels",
            [] {
                // 2 x 1, 24 bits, one row of blue then red, padded to 8 bytes.
                return RecordWriter()
                    .record(WmfRecord::StretchDib,
                        { 0x0020, 0x00CC, 0, 1, 2, 0, 0, 10, 20, 0, 0, 40, 0, 2, 0, 1, 0, 1, 24, 0, 0, 8, 0, 0,
                            0, 0, 0, 0, 0, 0, 0, 0x00ff, 0, 0xff00, 0 })
                    .bytes();
            },
            MetafileImportResult::Imported, 1,
            [](const OwnedObjects& o) {
                const auto* image = dynamic_cast<const ImageObject*>(o[0].get());
                ASSERT_NE(image, nullptr);
                ASSERT_EQ(image->width(), 2);
                EXPECT_EQ(image->pixel(0, 0), (std::array<uint8_t, 3> { 0, 0, 255 }));
                EXPECT_EQ(image->pixel(1, 0), (std::array<uint8_t, 3> { 255, 0, 0 }));
                EXPECT_NEAR(image->boundingBox().width(), 20, 0.01);
                EXPECT_NEAR(image->boundingBox().height(), 10, 0.01);
            } },
        { "text keeps its words, font, colour, alignment and turn",
            [] {
                RecordWriter w;
                std::vector<int32_t> font { -24, 0, 900, 900, 700, 0, 0, 0, 0 };
                const std::string face = "Helvetica";
                for (std::size_t i = 0; i < face.size(); i += 2)
                    font.push_back(uint8_t(face[i]) | (i + 1 < face.size() ? uint8_t(face[i + 1]) << 8 : 0));
                font.push_back(0);
                w.record(WmfRecord::CreateFontIndirect, font).record(WmfRecord::SelectObject, { 0 });
                w.record(WmfRecord::SetTextColor, withColour({}, 0x00ff00));
                w.record(WmfRecord::SetTextAlign, { kTextAlignBaseline | kTextAlignRight });
                return w.record(WmfRecord::ExtTextOut, { 100, 100, 3, 0, 'H' | 'i' << 8, '!' }).bytes();
            },
            MetafileImportResult::Imported, 1,
            [](const OwnedObjects& o) {
                const auto* text = dynamic_cast<const TextObject*>(o[0].get());
                ASSERT_NE(text, nullptr);
                EXPECT_EQ(text->text(), "Hi!");
                EXPECT_FLOAT_EQ(text->size(), 24);
                EXPECT_NEAR(text->leading(), 26.4, 0.01);
                EXPECT_EQ(text->alignment(), TextAlign::Right);
                EXPECT_EQ(text->style().textColor(), (Color { 0, 100, 0 }));
                ASSERT_NE(text->font(), nullptr);
                if (text->font()->faceName() == "Helvetica")
                    EXPECT_TRUE(text->font()->styleBits() & FontEntry::kBold);
                // Turned a quarter counter-clockwise: the x axis points up.
                EXPECT_NEAR(text->matrix().a, 0, 1e-5);
                EXPECT_NEAR(text->matrix().b, 1, 1e-5);
            } },
    };
}

TEST_F(MetafileTest, ImportCases)
{
    for (const ImportCase& c : importCases()) {
        SCOPED_TRACE(c.name);
        OwnedObjects objects;
        const Bytes bytes = c.build();
        EXPECT_EQ(importMetafileBytes(bytes, objects, PaperSize {}), c.result);
        ASSERT_EQ(objects.size(), c.objects);
        if (c.check)
            c.check(objects);
    }
}

// --- our export read back --------------------------------------------------------

void roundTripDrawing(Drawing& d, const FontLookup& fonts)
{
    auto rect = std::make_unique<RectangleObject>(40, 60, 200, 140);
    rect->setFillColor({ 100, 50, 0 });
    d.append(std::move(rect));
    auto poly = std::make_unique<PolygonObject>(PointList { { 250, 50 }, { 380, 80 }, { 300, 200 } }, true);
    poly->setFillColor({ 0, 0, 100 });
    d.append(std::move(poly));
    d.append(std::make_unique<LineObject>(20, 300, 400, 250));
    auto turned = std::make_unique<RectangleObject>(0, 0, 80, 40);
    turned->setMatrix(Matrix { 0.866f, 0.5f, -0.5f, 0.866f, 120, 200 });
    d.append(std::move(turned));
    if (const FontEntry* font = fonts.find("Helvetica")) {
        auto text = std::make_unique<TextObject>("Round trip", font, 20, 22, TextAlign::Left);
        text->setMatrix(Matrix { 1, 0, 0, 1, 60, 380 });
        d.append(std::move(text));
    }
}

TEST_F(MetafileTest, OurExportReadBackKeepsShapesAndPlaces)
{
    Drawing drawing;
    roundTripDrawing(drawing, m_fonts.catalogue());
    MemoryOutputStream stream;
    ASSERT_TRUE(stream.open());
    ASSERT_EQ(exportDrawing(drawing, ExportKind::Metafile, stream, {}, nullptr), ExportResult::Written);
    const Bytes bytes(stream.data().begin(), stream.data().end());

    OwnedObjects read;
    ASSERT_EQ(importMetafileBytes(bytes, read, PaperSize {}), MetafileImportResult::Imported);
    ASSERT_EQ(read.size(), drawing.objects().size());
    // The import centres the picture: places are compared relative to the first object.
    const Rect first = drawing.objects()[0]->boundingBox();
    const float dx = first.left - read[0]->boundingBox().left;
    const float dy = first.bottom - read[0]->boundingBox().bottom;
    for (std::size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(i);
        const Rect a = drawing.objects()[i]->boundingBox();
        const Rect b = read[i]->boundingBox();
        EXPECT_NEAR(a.left, b.left + dx, 1);
        EXPECT_NEAR(a.top, b.top + dy, 1);
        EXPECT_EQ(drawing.objects()[i]->style().fillOn(), read[i]->style().fillOn());
        // A text's frame is fitted to its line on the way in; the shapes keep their size.
        if (a.isUncomputed() || drawing.objects()[i]->type() == ObjectType::Text)
            continue;
        EXPECT_NEAR(a.right, b.right + dx, 1);
        EXPECT_NEAR(a.bottom, b.bottom + dy, 1);
    }
    const auto* text = dynamic_cast<const TextObject*>(read.back().get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "Round trip");
}

// --- other programs' files, and libwmf as the referee ----------------------------------

bool libwmfAvailable()
{
    return std::system("command -v wmf2gd > /dev/null 2>&1") == 0;
}

// libwmf's picture of a metafile, or a null image when it refuses the file.
QImage renderWithLibwmf(const std::filesystem::path& wmf, const std::string& name)
{
    const std::filesystem::path png = testing::scratchDirectory() / (name + "-libwmf.png");
    const std::string command
        = "timeout 60 wmf2gd -t png -o '" + png.string() + "' '" + wmf.string() + "' > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return {};
    return QImage(QString::fromStdString(png.string())).convertToFormat(QImage::Format_RGB888);
}

// The two pictures as 24 x 24 grey block averages over their inked area,
// compared: the mean difference (0..255). Each is cut to its ink first, so
// the margins each renderer leaves do not count.
double toneDifference(const QImage& a, const QImage& b)
{
    auto blocks = [](const QImage& image) {
        int left = image.width(), right = -1, top = image.height(), bottom = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 235)
                    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                    bottom = std::max(bottom, y);
        std::vector<double> out(24 * 24, 255);
        if (right < left)
            return out;
        std::vector<int> counts(out.size(), 0);
        std::fill(out.begin(), out.end(), 0);
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                const std::size_t cell = std::size_t((y - top) * 24 / (bottom - top + 1)) * 24
                    + std::size_t((x - left) * 24 / (right - left + 1));
                out[cell] += qGray(image.pixel(x, y));
                ++counts[cell];
            }
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = counts[i] ? out[i] / counts[i] : 255;
        return out;
    };
    const std::vector<double> ta = blocks(a), tb = blocks(b);
    double sum = 0;
    for (std::size_t i = 0; i < ta.size(); ++i)
        sum += std::abs(ta[i] - tb[i]);
    return sum / double(ta.size());
}

QImage renderOurs(const Drawing& drawing)
{
    QtSurfaceFactory factory;
    const std::optional<RgbImage> page = pageimage::renderPage(drawing, factory, { 2, false }, {});
    if (!page)
        return {};
    return QImage(page->pixels.data(), page->width, page->height, page->width * 3, QImage::Format_RGB888)
        .copy();
}

// Tone limit per file, with the reason where the two pictures must differ.
struct CorpusFile {
    const char* name;
    double toneLimit; // 0: libwmf refuses the file, nothing to compare
};
const CorpusFile kCorpus[] = {
    { "2doorvan.wmf", 25 }, // libwmf leaves most of the tyres out
    { "clock.wmf", 20 },
    { "fjftest.wmf", 30 }, // arcs, chords and pies are not imported
    { "cell.wmf", 30 }, // text in other fonts
    { "formula1.wmf", 45 }, // nothing but text, symbol glyphs in other fonts
    { "text.wmf", 60 }, // text only: sizes and places follow other font metrics
    { "symbol-font-tables.wmf", 45 }, // symbol fonts: other glyphs
    { "60677.wmf", 60 }, // its pictures are DIB bit-blits, which the import leaves out
    { "61338.wmf", 0 },
    { "test_libuemf_ref.wmf", 0 },
    { "wmf2svg_fulltest.wmf", 0 },
};

TEST_F(MetafileTest, OtherProgramsFilesImportAndResembleLibwmfsRendering)
{
    ASSERT_TRUE(libwmfAvailable()) << "wmf2gd (libwmf-bin) is needed to referee the metafiles";
    for (const CorpusFile& file : kCorpus) {
        SCOPED_TRACE(file.name);
        const std::filesystem::path path = std::filesystem::path(ZAVORA_TEST_DATA_DIR) / "wmf" / file.name;
        const auto started = std::chrono::steady_clock::now();
        Drawing drawing;
        OwnedObjects objects;
        ASSERT_EQ(importMetafileFile(path.string(), objects, PaperSize {}), MetafileImportResult::Imported);
        const double seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        EXPECT_LT(seconds, 5);
        const std::size_t count = objects.size();
        drawing.replaceAll(std::move(objects));
        const QImage ours = renderOurs(drawing);
        ASSERT_FALSE(ours.isNull());
        const QImage theirs = renderWithLibwmf(path, file.name);
        if (file.toneLimit == 0) {
            std::printf("[ wmf      ] %-24s %5zu objects; libwmf refuses the file\n", file.name, count);
            EXPECT_TRUE(theirs.isNull()) << "libwmf reads it now: give it a limit";
            continue;
        }
        ASSERT_FALSE(theirs.isNull());
        const double tone = toneDifference(ours, theirs);
        std::printf("[ wmf      ] %-24s %5zu objects; tone difference %.1f (limit %.0f)\n", file.name, count,
            tone, file.toneLimit);
        EXPECT_LT(tone, file.toneLimit);
    }
}

using DrawingBuilder = void (*)(Drawing&, const FontLookup&);

void hatchedAndDashed(Drawing& d, const FontLookup&)
{
    for (int pattern = 0; pattern < 6; ++pattern) {
        const float x = 20 + float(pattern % 3) * 90, y = 20 + float(pattern / 3) * 70;
        auto r = std::make_unique<RectangleObject>(x, y, x + 80, y + 60);
        r->setFillColor(pattern % 2 ? Color { 100, 90, 0 } : Color { 100, 100, 100 });
        r->setFillPattern(pattern);
        d.append(std::move(r));
    }
    for (int dash = 0; dash < 4; ++dash) {
        auto line = std::make_unique<LineObject>(20, 170 + 10 * float(dash), 280, 170 + 10 * float(dash));
        line->setDash(dash);
        d.append(std::move(line));
    }
}

void curvesAndImage(Drawing& d, const FontLookup&)
{
    auto ellipse = std::make_unique<EllipseObject>(100, 100, 80, 50);
    ellipse->setFillColor({ 0, 60, 0 });
    ellipse->setLineWidth(4);
    d.append(std::move(ellipse));
    const NodeList nodes { { 200, 40, 200, 40, 220, 140, 0 }, { 280, 100, 260, 60, 300, 140, 0 },
        { 360, 60, 340, 160, 360, 60, 0 } };
    auto curve = std::make_unique<CurveObject>(nodes, false);
    curve->setLineWidth(3);
    curve->setArrows(kArrowNone, kArrowBig);
    d.append(std::move(curve));
    auto image = std::make_unique<ImageObject>();
    ASSERT_TRUE(image->allocatePixels(8, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image->setPixel(x, y, (x + y) % 2 ? std::array<uint8_t, 3> { 255, 0, 0 } : std::array<uint8_t, 3> { 0, 0, 255 });
    image->setMatrix(Matrix { 80, 0, 0, 80, 40, 180 });
    d.append(std::move(image));
}

TEST_F(MetafileTest, LibwmfReadsWhatWeWriteAndDrawsItAsWeDo)
{
    ASSERT_TRUE(libwmfAvailable()) << "wmf2gd (libwmf-bin) is needed to referee the metafiles";
    struct Case {
        const char* name;
        DrawingBuilder build;
        double toneLimit;
    };
    // Shapes agree closely; hatches differ in phase and scale, text in fonts.
    for (const Case c : { Case { "shapes", roundTripDrawing, 12 }, Case { "hatched", hatchedAndDashed, 25 },
             Case { "curves", curvesAndImage, 12 } }) {
        SCOPED_TRACE(c.name);
        Drawing drawing;
        c.build(drawing, m_fonts.catalogue());
        ASSERT_FALSE(HasFatalFailure());
        const std::filesystem::path wmf = testing::scratchDirectory() / (std::string(c.name) + ".wmf");
        ASSERT_TRUE(exportToFile(drawing, ExportKind::Metafile, wmf.string(), {}, nullptr));
        const QImage theirs = renderWithLibwmf(wmf, c.name);
        ASSERT_FALSE(theirs.isNull()) << "libwmf could not read " << wmf;
        const double tone = toneDifference(renderOurs(drawing), theirs);
        std::printf("[ wmf      ] our %-8s metafile: libwmf against our page, tone difference %.1f (limit %.0f)\n",
            c.name, tone, c.toneLimit);
        EXPECT_LT(tone, c.toneLimit);
    }
}

} // namespace
} // namespace zavora
