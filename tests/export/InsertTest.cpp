// Insert by file kind: pictures through the platform's decoder, text files
// by their size and line-feed rules, each insertion one step, every failure
// reported with the file's name and the drawing left as it was.
#include "export/Insert.h"

// Model headers before any Qt header: Qt defines `emit` as a macro.
#include "model/Drawing.h"
#include "model/ImageObject.h"
#include "model/TextObject.h"
#include "platform/Reporter.h"

#include "platform/qt/QtImageDecoder.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zavora {
namespace {

namespace fs = std::filesystem;

class InsertTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("zavora-insert-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string write(const std::string& name, const std::string& bytes)
    {
        const fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    bool insert(const std::string& path) { return insertFile(m_drawing, path, m_at, m_images); }

    fs::path m_dir;
    Drawing m_drawing;
    QtImageDecoder m_images;
    const InsertPlacement m_at { { 10, 700 }, { 10, 680 }, false };
    RecordingReporter m_messages;
};

TEST_F(InsertTest, PicturesArePlacedOnePointAPixelBelowTheCorner)
{
    QImage picture(40, 20, QImage::Format_RGB888);
    picture.fill(QColor(200, 30, 40));
    for (int y = 0; y < 8; ++y) // a blue corner, wide enough for JPEG's colour blocks
        for (int x = 0; x < 8; ++x)
            picture.setPixelColor(x, y, QColor(0, 0, 255));
    ASSERT_TRUE(picture.save(QString::fromStdString((m_dir / "p.png").string())));
    ASSERT_TRUE(picture.save(QString::fromStdString((m_dir / "p.bmp").string())));
    ASSERT_TRUE(picture.save(QString::fromStdString((m_dir / "p.jpg").string()), "JPG", 95));
    // Qt reads GIF but does not write it: ImageMagick makes the file.
    const std::string gif = (m_dir / "p.gif").string();
    ASSERT_EQ(std::system(("convert " + (m_dir / "p.png").string() + " " + gif).c_str()), 0)
        << "ImageMagick's convert is needed";

    int steps = 0;
    for (const char* name : { "p.png", "p.bmp", "p.jpg", "p.gif" }) {
        ASSERT_TRUE(insert((m_dir / name).string())) << name;
        ++steps;
        auto* image = dynamic_cast<ImageObject*>(m_drawing.objectAt(m_drawing.objectCount() - 1));
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->boundingBox(), (Rect { 10, 680, 50, 700 })) << name;
        EXPECT_EQ(m_drawing.selection(), (ObjectRefs { image })) << name;
        const auto near = [](std::array<uint8_t, 3> a, std::array<uint8_t, 3> b) {
            return std::max({ std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2]) }) <= 12;
        };
        EXPECT_TRUE(near(*image->pixel(2, 2), { 0, 0, 255 })) << name << ": the top-left corner";
        EXPECT_TRUE(near(*image->pixel(20, 10), { 200, 30, 40 })) << name;
        EXPECT_EQ(int(m_drawing.history().undoCount()), steps) << name << ": one step each";
    }
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(InsertTest, TextFilesFollowTheSizeAndLineFeedRules)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* text; // nullptr: refused with the message
        const char* message;
    };
    const Case cases[] = {
        { "paragraphs.txt", "A\n\nB\n", "A\r\rB", nullptr },
        { "crlf.txt", "one\r\ntwo\r\n\r\nthree", "one\ntwo\r\rthree", nullptr },
        { "utf8.txt", "caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x9cq\xe2\x80\x9d \xd0\xb6", "caf\xe9 \x80 \x93q\x94 ?", nullptr },
        { "latin1.txt", "caf\xe9", "caf\xe9", nullptr },
        { "exact.txt", std::string(kLongestTextFile, 'x'), "", nullptr },
        { "large.txt", std::string(kLongestTextFile + 1, 'x'), nullptr, "Text file %s is too large" },
        { "empty.txt", "", nullptr, "Text file %s is empty" },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        const std::string path = write(c.name, c.bytes);
        const std::size_t before = m_drawing.objectCount();
        const bool inserted = insert(path);
        EXPECT_EQ(inserted, c.text != nullptr) << c.name;
        if (!c.text) {
            EXPECT_EQ(m_drawing.objectCount(), before) << c.name;
            char expected[512];
            std::snprintf(expected, sizeof expected, c.message, path.c_str());
            EXPECT_EQ(m_messages.last(Reporter::Kind::Error), expected) << c.name;
            continue;
        }
        auto* text = dynamic_cast<TextObject*>(m_drawing.objectAt(before));
        ASSERT_NE(text, nullptr) << c.name;
        if (*c.text) {
            std::string plain = text->text();
            std::replace(plain.begin(), plain.end(), '\n', ' '); // soft breaks from the layout
            std::string expected = c.text;
            std::replace(expected.begin(), expected.end(), '\n', ' ');
            EXPECT_EQ(plain, expected) << c.name;
        } else {
            EXPECT_EQ(text->text().size(), kLongestTextFile) << c.name;
        }
        EXPECT_EQ(text->matrix().tx, 10) << c.name;
        EXPECT_EQ(text->matrix().ty, 680) << c.name;
    }
    // Pasted text with CR LF line ends reads as the file does.
    const auto* fromFile = dynamic_cast<const TextObject*>(m_drawing.objectAt(1));
    ASSERT_TRUE(insertText(m_drawing, "one\r\ntwo\r\n\r\nthree\r\n", m_at));
    const auto* pasted = dynamic_cast<const TextObject*>(m_drawing.objectAt(m_drawing.objectCount() - 1));
    ASSERT_TRUE(fromFile && pasted);
    EXPECT_EQ(pasted->text(), fromFile->text());
}

TEST_F(InsertTest, UnreadableFilesAreReportedAndChangeNothing)
{
    const std::string badBitmap = write("bad.bmp", "BM not really");
    const std::string badJpeg = write("bad.jpg", "\xff\xd8 truncated");
    // Whole headers, rows cut off: the missing rows must not come from stray memory.
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImage(40, 20, QImage::Format_RGB888).save(&buffer, "BMP"));
    const std::string cutBitmap = write("cut.bmp", bmp.left(100).toStdString());
    const std::string folder = (m_dir / "folder.txt").string();
    fs::create_directory(folder);
    const std::pair<std::string, std::string> cases[] = {
        { badBitmap, "Can't insert bitmap " + badBitmap },
        { badJpeg, "Could not insert " + badJpeg },
        { cutBitmap, "Can't insert bitmap " + cutBitmap },
        { folder, "Can't access " + folder },
        { (m_dir / "missing.txt").string(), "Can't access " + (m_dir / "missing.txt").string() },
    };
    for (const auto& [path, message] : cases) {
        m_messages.clear();
        EXPECT_FALSE(insert(path)) << path;
        EXPECT_EQ(m_messages.last(Reporter::Kind::Error), message);
    }
    EXPECT_EQ(m_drawing.objectCount(), 0u);
    EXPECT_FALSE(m_drawing.history().canUndo());
}

} // namespace
} // namespace zavora
