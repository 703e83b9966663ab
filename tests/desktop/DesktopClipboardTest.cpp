// The desktop's clipboard with real programs on the other side: a private X
// server of our own, xclip as the other program, and a second copy of this
// process as a second running instance of the program.
#include "app/SystemClipboard.h"

// Model headers before any Qt header: Qt defines `emit` as a macro.
#include "export/Export.h"
#include "model/Drawing.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "output/ZvxReader.h"
#include "platform/Reporter.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace zavora {
namespace {

namespace fs = std::filesystem;

const char* const kSelf = "--clipboard-source";
std::string g_selfPath;

// Runs a program to its end while this process keeps answering the X
// server (it may own the clipboard the program reads).
struct Finished {
    int exitCode = -1;
    QByteArray out;
};
Finished run(const QString& program, const QStringList& args, const QByteArray& input = {})
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted(5000))
        return {};
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    return { process.exitCode(), process.readAllStandardOutput() };
}

Finished xclip(const QStringList& args, const QByteArray& input = {})
{
    return run(QStringLiteral("xclip"), QStringList { "-selection", "clipboard" } + args, input);
}

// Spins the event loop until the condition holds (or a few seconds pass).
bool waitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 200 && !condition(); ++i) {
        QEventLoop loop;
        QTimer::singleShot(25, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return condition();
}

std::unique_ptr<RectangleObject> redSquare(float x, float y)
{
    auto r = std::make_unique<RectangleObject>(x, y, x + 50, y + 50);
    r->setFillColor({ 100, 0, 0 });
    r->setLineInvisible();
    return r;
}

class DesktopClipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(run(QStringLiteral("xclip"), { "-version" }).exitCode, 0)
            << "xclip is needed (the other program on the clipboard)";
        m_drawing.append(redSquare(100, 100));
        m_drawing.selectAll();
    }
    bool paste()
    {
        return m_clipboard.paste(InsertPlacement { { 0, 500 }, { 0, 480 }, false }, Rect { 0, 0, 600, 800 });
    }

    Drawing m_drawing;
    SystemClipboard m_clipboard { m_drawing, nullptr };
    RecordingReporter m_messages;
};

TEST_F(DesktopClipboard, CopyOffersEveryFormatThisBuildWritesToOtherPrograms)
{
    m_clipboard.copy(false);
    const Finished targets = xclip({ "-t", "TARGETS", "-o" });
    ASSERT_EQ(targets.exitCode, 0);
    const QString listed = QString::fromLatin1(targets.out);
    EXPECT_TRUE(listed.contains(QString::fromLatin1(SystemClipboard::kPrivateType))) << listed.toStdString();

    // The picture is the selection on its page, red in the middle.
    const Finished png = xclip({ "-t", "image/png", "-o" });
    const QImage picture = QImage::fromData(png.out, "PNG");
    ASSERT_FALSE(picture.isNull());
    EXPECT_GE(picture.width(), 68); // 50 points and the margins
    EXPECT_EQ(picture.pixelColor(picture.width() / 2, picture.height() / 2), QColor(255, 0, 0));

    // The other formats, when this build writes them, are read by their referees.
    const fs::path dir = fs::temp_directory_path() / ("zavora-desktop-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const struct {
        ExportKind kind;
        const char* type;
        QString program;
        QStringList args;
    } referees[] = {
        { ExportKind::Svg, SystemClipboard::kSvgType, "rsvg-convert", { "-o", QString::fromStdString((dir / "c.png").string()) } },
        { ExportKind::Metafile, SystemClipboard::kMetafileType, "wmf2svg", { "-o", QString::fromStdString((dir / "c.svg").string()) } },
    };
    for (const auto& r : referees) {
        if (!isExportAvailable(r.kind))
            continue;
        EXPECT_TRUE(listed.contains(QString::fromLatin1(r.type))) << r.type;
        const Finished data = xclip({ "-t", r.type, "-o" });
        ASSERT_FALSE(data.out.isEmpty()) << r.type;
        const fs::path file = dir / "clip.data";
        std::ofstream(file, std::ios::binary).write(data.out.constData(), data.out.size());
        const Finished read = run(r.program, r.args + QStringList { QString::fromStdString(file.string()) });
        EXPECT_EQ(read.exitCode, 0) << r.program.toStdString() << " reads the " << r.type;
    }
    fs::remove_all(dir);
}

TEST_F(DesktopClipboard, TextAndMetafilesFromOtherProgramsArePastedBeforeOurObjects)
{
    m_clipboard.copy(false); // the internal clipboard holds the square
    ASSERT_EQ(xclip({ "-i" }, QByteArray("caf\xc3\xa9 \xe2\x82\xac")).exitCode, 0);
    ASSERT_TRUE(waitFor([] { return QGuiApplication::clipboard()->text() == QString::fromUtf8("caf\u00e9 \u20ac"); }));
    ASSERT_TRUE(paste());
    auto* text = dynamic_cast<TextObject*>(m_drawing.objectAt(m_drawing.objectCount() - 1));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "caf\xe9 \x80");

    // A metafile's records become drawing objects. (A picture takes the
    // dropped picture's road.)
    Drawing two;
    two.append(redSquare(0, 0));
    two.append(redSquare(100, 0));
    const fs::path wmf = fs::temp_directory_path() / ("zavora-two-" + std::to_string(::getpid()) + ".wmf");
    ASSERT_TRUE(exportToFile(two, ExportKind::Metafile, wmf.string(), ExportOptions {}, nullptr));
    ASSERT_EQ(xclip({ "-t", "image/x-wmf", "-i", QString::fromStdString(wmf.string()) }).exitCode, 0);
    fs::remove(wmf);
    ASSERT_TRUE(waitFor([] {
        return QGuiApplication::clipboard()->mimeData()->hasFormat(QString::fromLatin1(SystemClipboard::kMetafileType));
    }));
    const std::size_t before = m_drawing.objectCount();
    ASSERT_TRUE(paste());
    ASSERT_EQ(m_drawing.objectCount(), before + 2);
    EXPECT_NEAR(m_drawing.objectAt(before + 1)->boundingBox().left - m_drawing.objectAt(before)->boundingBox().left,
        100, 1);
    EXPECT_EQ(m_drawing.history().undoCount(), 2u) << "each paste is one step";
}

TEST_F(DesktopClipboard, TwoRunningCopiesPasteEachOthersObjects)
{
    // The other copy holds an ellipse and a text; it copies them and waits.
    const fs::path file = fs::temp_directory_path() / ("zavora-source-" + std::to_string(::getpid()) + ".zvx");
    {
        Drawing source;
        source.append(std::make_unique<EllipseObject>(200, 200, 40, 20));
        source.append(std::make_unique<TextObject>("from the other copy", nullptr, 12, 14, TextAlign::Left));
        ASSERT_TRUE(saveDrawing(source, file.string()));
    }
    QProcess other;
    other.start(QString::fromStdString(g_selfPath), { kSelf, QString::fromStdString(file.string()) });
    ASSERT_TRUE(other.waitForStarted(5000));
    const QString type = QString::fromLatin1(SystemClipboard::kPrivateType);
    ASSERT_TRUE(waitFor([&] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data && data->hasFormat(type) && !QGuiApplication::clipboard()->ownsClipboard();
    })) << "the other copy put its objects on the clipboard";

    const std::size_t before = m_drawing.objectCount();
    ASSERT_TRUE(paste());
    ASSERT_EQ(m_drawing.objectCount(), before + 2);
    EXPECT_NE(dynamic_cast<EllipseObject*>(m_drawing.objectAt(before)), nullptr);
    auto* text = dynamic_cast<TextObject*>(m_drawing.objectAt(before + 1));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "from the other copy");

    // Taking the clipboard back lets the other copy go.
    QGuiApplication::clipboard()->setText(QStringLiteral("done"));
    EXPECT_TRUE(waitFor([&] { return other.state() == QProcess::NotRunning; }));
    if (other.state() != QProcess::NotRunning)
        other.kill();
    fs::remove(file);
}

// The second copy: opens a drawing, copies everything and serves the
// clipboard until another program takes it (or a while has passed).
int serveClipboard(const std::string& path)
{
    Drawing drawing;
    if (openDrawing(drawing, path) != ZvxReadResult::Read)
        return 2;
    drawing.selectAll();
    SystemClipboard clipboard(drawing, nullptr);
    clipboard.copy(false);
    QTimer::singleShot(15000, qApp, &QCoreApplication::quit);
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, qApp, [] {
        if (!QGuiApplication::clipboard()->ownsClipboard())
            QCoreApplication::quit();
    });
    return QApplication::exec();
}

// A private X server, so the tests never touch the user's clipboard.
pid_t startServer()
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
            static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    // The number ends with a line feed; the pipe stays open until it has
    // come whole, or the server fails writing it and stops.
    std::string number;
    char c = 0;
    while (pid > 0 && number.size() < 16 && ::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (number.empty() || c != '\n')
        return -1;
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
    return pid;
}

} // namespace
} // namespace zavora

int main(int argc, char** argv)
{
    using namespace zavora;
    g_selfPath = fs::canonical("/proc/self/exe").string();
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (argc == 3 && std::string(argv[1]) == kSelf) {
        QApplication app(argc, argv);
        return serveClipboard(argv[2]);
    }
    const pid_t server = startServer();
    if (server <= 0) {
        std::fprintf(stderr, "Xvfb could not be started: the clipboard tests need an X server of their own\n");
        return 1;
    }
    int result = 1;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    return result;
}
