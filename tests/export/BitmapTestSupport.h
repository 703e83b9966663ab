#pragma once
// Pictures for the bitmap writers' tests and the independent programs that
// read their files back.

#include "../output/PostScriptTestSupport.h"
#include "raster/PageRenderer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace zavora::bitmaptest {

using namespace zavora::testing;

// A width x height image whose pixels take `colours` different values (each
// one, when there are enough pixels; white among them), in runs of random
// length so that the run coder has work to do.
inline RgbImage randomImage(int32_t width, int32_t height, int colours, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint32_t> palette;
    for (int i = 0; i < colours; ++i)
        palette.push_back(i == colours - 1 ? 0xFFFFFF : (uint32_t(i) * 2654435761u) & 0xFFFFFF);
    RgbImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(size_t(width) * height * 3);
    uint32_t colour = palette[0];
    for (size_t i = 0; i < image.pixels.size(); i += 3) {
        if (i / 3 < palette.size())
            colour = palette[i / 3];
        else if (random() % 5 == 0)
            colour = palette[random() % palette.size()];
        image.pixels[i] = uint8_t(colour >> 16);
        image.pixels[i + 1] = uint8_t(colour >> 8);
        image.pixels[i + 2] = uint8_t(colour);
    }
    return image;
}

using ToolRun = zavora::testing::ToolRun;

// testing::runTool with a log name of its own per run.
inline ToolRun runTool(const std::string& command)
{
    static int runs = 0;
    return testing::runTool(command, "bitmap-tool-" + std::to_string(++runs));
}

// Fails the test when the program is not installed.
inline bool haveTool(const char* name, const char* package)
{
    if (std::system((std::string("command -v ") + name + " > /dev/null 2>&1").c_str()) == 0)
        return true;
    ADD_FAILURE() << name << " is not installed (package " << package << "); it reads our files back";
    return false;
}

// The file's pixels as ImageMagick decodes them, as a P6 raster.
inline std::optional<Raster> decodeWithImageMagick(const std::filesystem::path& file)
{
    if (!haveTool("convert", "imagemagick"))
        return std::nullopt;
    const std::filesystem::path ppm = file.string() + ".ppm";
    const ToolRun run = runTool("convert '" + file.string() + "' -depth 8 ppm:'" + ppm.string() + "'");
    Raster raster;
    if (run.status != 0 || !parsePpm(readFile(ppm), raster)) {
        ADD_FAILURE() << "ImageMagick could not read " << file << ": " << run.output;
        return std::nullopt;
    }
    return raster;
}

// Peak signal-to-noise ratio of two images of one size, in dB.
inline double psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    const double mse = sum / double(a.size());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

} // namespace zavora::bitmaptest
