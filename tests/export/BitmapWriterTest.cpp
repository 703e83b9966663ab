// The bitmap writers of our own, read back by independent programs: the files
// must decode to exactly the pixels we handed over.
#include "raster/TiffWriter.h"

#include "platform/OutputStream.h"

#include "BitmapTestSupport.h"

#include <gtest/gtest.h>

namespace zavora {
namespace {

using namespace bitmaptest;
using namespace zavora::testing;

TEST(TiffWriter, IndependentReadersGetOurPixelsAndStrips)
{
    if (!haveTool("tiffinfo", "libtiff-tools") || !haveTool("tiffdump", "libtiff-tools"))
        return;
    const struct {
        int32_t width, height;
        const char* lastStripBytes; // as tiffdump lists the byte counts
    } cases[] = {
        { 3, 2, "18" }, // one strip, counts held in place
        { 100, 30, "900" }, // 27 rows per strip: a short last strip of 3 rows
        { 3000, 2, "9000" }, // wider than 8 KB: one row per strip
        { 7, 5, "105" }, // pixel data not a multiple of 4: padding before the directory
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const RgbImage image = randomImage(c.width, c.height, 200, uint32_t(c.width));
        // Written behind other bytes, as in an EPS file: offsets count from the TIFF's start.
        MemoryOutputStream stream;
        stream.writeString("EPS!!");
        ASSERT_TRUE(writeTiff(stream, image.view()));
        EXPECT_EQ(stream.tell(), long(stream.data().size())) << "the stream is left at the end";
        const std::filesystem::path file
            = scratchDirectory() / ("tiff-" + std::to_string(c.width) + "x" + std::to_string(c.height) + ".tif");
        writeFile(file, stream.data().substr(5));

        const ToolRun info = runTool("tiffinfo '" + file.string() + "'");
        EXPECT_EQ(info.status, 0) << info.output;
        EXPECT_EQ(info.output.find("arning"), std::string::npos) << info.output;
        EXPECT_EQ(info.output.find("rror"), std::string::npos) << info.output;
        const ToolRun dump = runTool("tiffdump '" + file.string() + "'");
        const size_t counts = dump.output.find("StripByteCounts");
        ASSERT_NE(counts, std::string::npos) << dump.output;
        const std::string countsLine = dump.output.substr(counts, dump.output.find('\n', counts) - counts);
        EXPECT_NE(countsLine.find(std::string(c.lastStripBytes) + ">"), std::string::npos) << countsLine;

        const std::optional<Raster> decoded = decodeWithImageMagick(file);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->width, c.width);
        EXPECT_EQ(decoded->height, c.height);
        EXPECT_TRUE(decoded->rgb == image.pixels) << "decoded pixels differ";
    }
}

} // namespace
} // namespace zavora
