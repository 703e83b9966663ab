#pragma once
// Pixel probes and image comparison for the device-context tests; a failed
// comparison leaves both images in a temporary folder to be looked at.

#include "platform/qt/RasterDeviceContext.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace zavora::test {

// Pixels of the buffer that are not `background`.
inline int countInk(RasterDeviceContext& dc, uint32_t background = 0xffffff)
{
    int count = 0;
    for (int y = 0; y < dc.height(); ++y)
        for (int x = 0; x < dc.width(); ++x)
            count += dc.pixel(x, y) != background;
    return count;
}

// Every pixel a different pseudo-random colour, so bitwise faults show.
inline void fillNoise(DeviceContext& dc, int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dc.setPixel({ x, y }, random() & 0xffffff);
}

// Pixels whose RGB differ.
inline int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height() + b.width() * b.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += (a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff);
    return count;
}

// Passes when no pixel differs; otherwise fails and saves the images.
inline ::testing::AssertionResult imagesMatch(
    const QImage& actual, const QImage& expected, const std::string& name)
{
    const int differing = differingPixels(actual, expected);
    if (differing == 0)
        return ::testing::AssertionSuccess();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zavora-gdi-failures";
    std::filesystem::create_directories(folder);
    actual.save(QString::fromStdString((folder / (name + "-actual.png")).string()));
    expected.save(QString::fromStdString((folder / (name + "-expected.png")).string()));
    return ::testing::AssertionFailure() << differing << " pixels differ; images in " << folder.string();
}

} // namespace zavora::test
