// The bitmap writers of our own, read back by independent programs: the files
// must decode to exactly the pixels we handed over.
#include "raster/TiffWriter.h"

#include "platform/OutputStream.h"
#include "platform/jpeg/TurboJpegEncoder.h"
#include "raster/GifWriter.h"

#include "BitmapTestSupport.h"

#include <gtest/gtest.h>

namespace zavora {
namespace {

using namespace bitmaptest;
using namespace zavora::testing;

// One strip (counts held in place); 27 rows per strip and a short last one;
// wider than 8 KB (a row per strip); pixels not a multiple of 4 bytes (padding).
TEST(TiffWriter, IndependentReadersGetOurPixelsInEveryStripLayout)
{
    if (!haveTool("tiffinfo", "libtiff-tools"))
        return;
    for (const auto& [width, height] : { std::pair { 3, 2 }, { 100, 30 }, { 3000, 2 }, { 7, 5 } }) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const RgbImage image = randomImage(width, height, 200, uint32_t(width));
        // Written behind other bytes, as in an EPS file: offsets count from the TIFF's start.
        MemoryOutputStream stream;
        stream.writeString("EPS!!");
        ASSERT_TRUE(writeTiff(stream, image.view()));
        EXPECT_EQ(stream.tell(), long(stream.data().size())) << "the stream is left at the end";
        const std::filesystem::path file
            = scratchDirectory() / ("tiff-" + std::to_string(width) + "x" + std::to_string(height) + ".tif");
        writeFile(file, stream.data().substr(5));

        const ToolRun info = runTool("tiffinfo '" + file.string() + "'");
        EXPECT_EQ(info.status, 0) << info.output;
        EXPECT_EQ(info.output.find("arning"), std::string::npos) << info.output;
        EXPECT_EQ(info.output.find("rror"), std::string::npos) << info.output;

        const std::optional<Raster> decoded = decodeWithImageMagick(file);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->width, width);
        EXPECT_EQ(decoded->height, height);
        EXPECT_TRUE(decoded->rgb == image.pixels) << "decoded pixels differ";
    }
}

std::filesystem::path writeScratch(const std::string& name, const std::vector<uint8_t>& bytes)
{
    const std::filesystem::path file = scratchDirectory() / name;
    writeFile(file, std::string(bytes.begin(), bytes.end()));
    return file;
}

uint32_t colourAt(const std::vector<uint8_t>& rgb, size_t pixel)
{
    return uint32_t(rgb[pixel * 3]) << 16 | uint32_t(rgb[pixel * 3 + 1]) << 8 | rgb[pixel * 3 + 2];
}

// Random images of 1 to 256 colours in every combination of the options
// decode exactly (the decoder checks the interlace and code size); the
// colour table follows the colour count.
TEST(GifWriter, ImagesOfUpTo256ColoursDecodeExactly)
{
    const struct {
        int colours, width, height;
        int tableBits;
    } cases[] = {
        { 1, 9, 7, 1 }, { 2, 40, 30, 1 }, { 3, 17, 33, 2 }, { 4, 64, 3, 2 }, { 5, 23, 19, 3 }, { 16, 100, 50, 4 },
        { 17, 31, 77, 5 }, { 64, 128, 96, 6 }, { 100, 200, 150, 7 }, { 256, 320, 240, 8 }, { 256, 1, 300, 8 },
    };
    uint32_t seed = 1;
    for (const auto& c : cases)
        for (bool interlace : { false, true })
            for (bool transparent : { false, true }) {
                SCOPED_TRACE(std::to_string(c.colours) + " colours, " + std::to_string(c.width) + " x "
                    + std::to_string(c.height) + (interlace ? ", interlaced" : "")
                    + (transparent ? ", transparent" : ""));
                const RgbImage image = randomImage(c.width, c.height, c.colours, ++seed);
                const auto bytes = encodeGif(image.view(), { interlace, transparent }, nullptr);
                ASSERT_TRUE(bytes);
                const std::string head(bytes->begin(), bytes->begin() + 6);
                EXPECT_EQ(head, transparent ? "GIF89a" : "GIF87a");
                const int bits = ((*bytes)[10] & 7) + 1;
                EXPECT_EQ(bits, c.tableBits);
                if (transparent) {
                    // The image has white somewhere in its palette: that entry.
                    const size_t index = (*bytes)[13 + 3 * (size_t(1) << bits) + 6];
                    const uint8_t* entry = bytes->data() + 13 + 3 * index;
                    EXPECT_EQ(entry[0] + entry[1] + entry[2], 3 * 255) << "transparent index " << index;
                }
                const auto file = writeScratch("gif-" + std::to_string(seed) + ".gif", *bytes);
                const auto decoded = decodeWithImageMagick(file);
                ASSERT_TRUE(decoded);
                EXPECT_TRUE(decoded->rgb == image.pixels) << "decoded pixels differ";
            }
    // A size past 16 bits cannot be stated in the file: refused, not truncated.
    EXPECT_FALSE(encodeGif(randomImage(kGifMaxSide + 1, 1, 2, 1).view(), {}, nullptr));
}

TEST(GifWriter, MoreThan256ColoursKeepTheMostFrequentAndMapTheRestToTheNearest)
{
    // Colour i occurs i + 1 times, so the 256 kept are 44 ... 299.
    constexpr int kColours = 300;
    RgbImage image;
    image.width = 301;
    image.height = 150;
    std::mt19937 random(7);
    std::vector<uint32_t> colours;
    for (int i = 0; i < kColours; ++i)
        colours.push_back(random() & 0xFFFFFF);
    for (int i = 0; i < kColours; ++i)
        for (int n = 0; n <= i; ++n)
            for (int shift : { 16, 8, 0 })
                image.pixels.push_back(uint8_t(colours[size_t(i)] >> shift));
    ASSERT_EQ(image.pixels.size(), size_t(image.width) * image.height * 3);

    const auto bytes = encodeGif(image.view(), {}, nullptr);
    ASSERT_TRUE(bytes);
    const auto decoded = decodeWithImageMagick(writeScratch("gif-300.gif", *bytes));
    ASSERT_TRUE(decoded);
    auto distance = [](uint32_t a, uint32_t b) {
        int d = 0;
        for (int shift : { 16, 8, 0 }) {
            const int delta = int(a >> shift & 0xFF) - int(b >> shift & 0xFF);
            d += delta * delta;
        }
        return d;
    };
    size_t wrong = 0;
    for (size_t p = 0; p < size_t(image.width) * image.height; ++p) {
        const uint32_t original = colourAt(image.pixels, p), got = colourAt(decoded->rgb, p);
        const size_t index = size_t(std::find(colours.begin(), colours.end(), original) - colours.begin());
        int nearest = 1 << 30;
        for (size_t k = kColours - 256; k < kColours; ++k)
            nearest = std::min(nearest, distance(original, colours[k]));
        const bool keptColour = std::find(colours.end() - 256, colours.end(), got) != colours.end();
        if (index >= kColours - 256 ? got != original : (!keptColour || distance(original, got) != nearest))
            ++wrong;
    }
    EXPECT_EQ(wrong, 0u);
}

// The page export decodes JPEG against our render; here the quality and the
// chroma sampling asked of the library, and its limits.
TEST(JpegEncoder, QualityAskedWithHalvedChroma)
{
    if (!haveTool("identify", "imagemagick"))
        return;
    // A smooth picture, as JPEG is meant for.
    RgbImage image;
    image.width = 160;
    image.height = 120;
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x)
            for (int c = 0; c < 3; ++c)
                image.pixels.push_back(uint8_t(128 + 100 * std::sin((x + 2 * y) / (9.0 + 4 * c))));
    TurboJpegEncoder encoder;
    size_t previousSize = 0;
    for (int quality : { 10, 75, 95 }) {
        SCOPED_TRACE(quality);
        std::vector<uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(encoder.encode(image.view(), quality, bytes, error)) << error;
        EXPECT_GT(bytes.size(), previousSize) << "a higher quality keeps more";
        previousSize = bytes.size();
        const auto file = writeScratch("q" + std::to_string(quality) + ".jpg", bytes);
        const ToolRun sampling = runTool("identify -format '%[jpeg:sampling-factor]' '" + file.string() + "'");
        EXPECT_EQ(sampling.output, "2x2,1x1,1x1");
    }

    // Beyond the library's limits: its reason, and no bytes.
    RgbImage wide;
    wide.width = 70000;
    wide.height = 1;
    wide.pixels.assign(size_t(wide.width) * 3, 0);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(encoder.encode(wide.view(), 75, bytes, error));
    EXPECT_NE(error.find("65500"), std::string::npos) << error;
    EXPECT_TRUE(bytes.empty());
}

} // namespace
} // namespace zavora
