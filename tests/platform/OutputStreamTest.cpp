#include "platform/OutputStream.h"

#include "CommaLocale.h"
#include "platform/NumberFormat.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zavora;
namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "zavora-stream-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    const std::string& path() const { return m_path; }
    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const auto& entry : fs::directory_iterator(m_path))
            result.push_back(entry.path().filename().string());
        std::sort(result.begin(), result.end());
        return result;
    }

private:
    std::string m_path;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string oldContents()
{
    std::string bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += static_cast<char>(i * 7);
    return bytes;
}

// Fails the write that would take the file past a byte budget, or the flush.
class FailingFileStream : public FileOutputStream {
public:
    std::size_t budget = SIZE_MAX;
    bool failSync = false;

protected:
    ssize_t systemWrite(int fd, const void* data, std::size_t length) override
    {
        if (length > budget) {
            // A short write first, as a filling disk does; the retry then fails.
            if (budget > 0) {
                std::size_t n = budget;
                budget = 0;
                return FileOutputStream::systemWrite(fd, data, n);
            }
            errno = ENOSPC;
            return -1;
        }
        budget -= length;
        return FileOutputStream::systemWrite(fd, data, length);
    }
    int systemSync(int fd) override
    {
        if (failSync) {
            errno = EIO;
            return -1;
        }
        return FileOutputStream::systemSync(fd);
    }
};

#define EXPECT_LIKE_PRINTF(...)                                                                              \
    do {                                                                                                     \
        char expected[1024];                                                                                 \
        std::snprintf(expected, sizeof expected, __VA_ARGS__);                                               \
        EXPECT_EQ(formatLocaleFree(__VA_ARGS__), expected) << #__VA_ARGS__;                                  \
    } while (0)

} // namespace

TEST(OutputStreamFormat, ConversionsMatchPrintfInTheCLocale)
{
    EXPECT_LIKE_PRINTF("%d|%5d|%-5d|%05d|%+d|% d|%.3d|%.0d|%i", 42, -42, 42, -42, 42, 42, 7, 0, INT_MIN);
    EXPECT_LIKE_PRINTF(
        "%u|%x|%X|%#x|%#X|%#o|%o|%02x|%02X|%#x", 4000000000u, 255, 255, 255, 48879, 8, 0, 10, 171, 0);
    // hh and h narrow the promoted int, as printf does; an unknown conversion
    // and a dangling '%' are written as they stand.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
#pragma GCC diagnostic ignored "-Wformat-extra-args"
    EXPECT_LIKE_PRINTF("%ld|%lld|%zu|%hhd|%hd|%lu|%llx|%jd|%td", LONG_MIN, LLONG_MAX, sizeof(long), 300,
        70000, ULONG_MAX, 0xdeadbeefcafeULL, static_cast<intmax_t>(-5), static_cast<ptrdiff_t>(-9));
    EXPECT_EQ(formatLocaleFree("%y|%", 0), "%y|%");
#pragma GCC diagnostic pop
    EXPECT_LIKE_PRINTF("%c%c|%5c|%-3c|%s|%.2s|%10s|%-10s|%.*s", 'Z', 'v', 'x', 'y', "text", "abc", "right",
        "left", 3, "truncated");
    EXPECT_LIKE_PRINTF("%*d|%-*d|%*d|%.*f|%.*g", 6, 1, 4, 2, -4, 3, 2, 3.14159, -1, 2.5);
    EXPECT_LIKE_PRINTF("%g|%.4g|%f|%.2f|%e|%E|%G|%G|%.0e|%.0f", 0.5, 123456.0, 1.0 / 3, 2.675, 12345.678,
        1e-7, 1e-10, 1e20, 15.5, 2.5);
    EXPECT_LIKE_PRINTF("%#g|%#.3g|%#.0f|%#.0e|%#g|%#g|%#.2g", 1.0, 100000.0, 3.0, 4.0, 1e-5, 0.0, 123.0);
    EXPECT_LIKE_PRINTF("%10.3f|%-10.3f|%+g|% g|%010.3f|%+08.2f|%-+8.2e|%08g", 3.14159, 2.5, 1.0, 1.0,
        -3.14159, 2.5, 1e5, -0.001);
    constexpr double inf = std::numeric_limits<double>::infinity(),
                     nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_LIKE_PRINTF("%g|%f|%5g|%05g|%+g|%G|%-6g|%e", inf, -inf, inf, inf, nan, inf, -inf, nan);
    EXPECT_LIKE_PRINTF("%a|%A|%.3a|%a|%a|%+a", 1.0, 255.5, 1.0 / 3, -0.75, 0.0, 2.0);
    EXPECT_LIKE_PRINTF("%Lg|%Lf", 1.25L, 0.1L);
    EXPECT_LIKE_PRINTF("100%%|%%d|%p|%p", nullptr, reinterpret_cast<void*>(0x1234));
    EXPECT_LIKE_PRINTF("%-+5d|%+-5d|% 05d|%+05d", 3, 3, 3, 3);
    EXPECT_LIKE_PRINTF("%.10d|%#.5x|%#5o|%-#8x|", -123, 255, 9, 255);
}

TEST(OutputStreamFormat, PrintfIgnoresACommaDecimalLocale)
{
    test::CommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << test::CommaLocale::kSkipMessage;
    char c[64];
    std::snprintf(c, sizeof c, "%g", 0.5);
    ASSERT_STREQ(c, "0,5") << comma.name();

    MemoryOutputStream stream;
    EXPECT_TRUE(
        stream.printf("%g %.4g %.2f %e %#g %s %d\r\n", 0.5, 0.70710678, 1234.5, 1e-7, 2.0, "x", 1000));
    EXPECT_EQ(stream.data(), "0.5 0.7071 1234.50 1.000000e-07 2.00000 x 1000\r\n");
    // The writers' own number rules share the same digits.
    EXPECT_EQ(
        formatSvgNumber(0.5) + " " + formatMatrixNumber(0.25) + " " + formatFixed(1.5, 2), "0.5 0.25 1.50");
}

// A large drawing's worth of data over a file, and the save fails: the
// previous file stays byte for byte. Only a failing flush lets every write
// through: it shows at close.
TEST(OutputStream, FailedWriteOrFlushKeepsThePreviousFile)
{
    for (const bool flushFails : { false, true }) {
        SCOPED_TRACE(flushFails);
        TempDir dir;
        const std::string path = dir.file("drawing.zvx");
        writeFile(path, oldContents());
        FailingFileStream stream;
        stream.budget = flushFails ? SIZE_MAX : 10000;
        stream.failSync = flushFails;
        {
            RecordingReporter recorder;
            ASSERT_TRUE(stream.openPath(path));
            const std::string chunk(4096, 'x');
            bool allWritten = true;
            for (int i = 0; i < 64; ++i)
                allWritten = stream.write(chunk.data(), chunk.size()) && allWritten;
            EXPECT_EQ(allWritten, flushFails);
            EXPECT_EQ(stream.printf("%g\r\n", 1.5), flushFails);
            EXPECT_FALSE(stream.close());
            EXPECT_FALSE(stream.isOpen());
            EXPECT_EQ(readFile(path), oldContents());
            EXPECT_EQ(dir.names(), std::vector<std::string> { "drawing.zvx" });
            ASSERT_EQ(recorder.messages().size(), 1u);
            EXPECT_EQ(recorder.messages()[0].kind, Reporter::Kind::Error);
            EXPECT_EQ(recorder.messages()[0].text,
                "Unable to write to " + path + "\n"
                    + (flushFails ? "Input/output error" : "No space left on device"));
        }
        // The same stream works again for the next save.
        stream.budget = SIZE_MAX;
        stream.failSync = false;
        RecordingReporter recorder;
        ASSERT_TRUE(stream.openPath(path));
        EXPECT_TRUE(stream.writeString("new"));
        EXPECT_TRUE(stream.close());
        EXPECT_EQ(readFile(path), "new");
        EXPECT_TRUE(recorder.messages().empty());
    }
}

TEST(OutputStream, KeepsPermissionsAndReplacesTheLinkTarget)
{
    TempDir dir;
    std::string real = dir.file("real.zvx");
    writeFile(real, oldContents());
    ::chmod(real.c_str(), 0640);
    fs::create_directory(dir.file("links"));
    std::string link = dir.file("links/drawing.zvx");
    ASSERT_EQ(::symlink("../real.zvx", link.c_str()), 0);

    FileOutputStream stream;
    ASSERT_TRUE(stream.openPath(link));
    ASSERT_TRUE(stream.printf("%s %d\r\n", "saved", 2));
    ASSERT_TRUE(stream.close());

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "../real.zvx");
    EXPECT_EQ(readFile(real), "saved 2\r\n");
    struct stat st;
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.names(), (std::vector<std::string> { "links", "real.zvx" }));

    // A new file gets the usual mode for the umask.
    mode_t mask = ::umask(022);
    std::string fresh = dir.file("fresh.svg");
    ASSERT_TRUE(stream.openPath(fresh));
    EXPECT_FALSE(fs::exists(fresh)); // nothing reaches the target before close
    ASSERT_TRUE(stream.close());
    ::umask(mask);
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(readFile(fresh), "");
}

TEST(OutputStream, LockedFileIsInUse)
{
    TempDir dir;
    const std::string path = dir.file("drawing.zvx");
    writeFile(path, oldContents());
    for (bool recordLock : { true, false }) {
        SCOPED_TRACE(recordLock);
        int ready[2], done[2];
        ASSERT_EQ(::pipe(ready) | ::pipe(done), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) { // another program, holding the lock until `done` closes
            ::close(done[1]);
            const int fd = ::open(path.c_str(), O_RDWR);
            struct flock lock = {};
            lock.l_type = F_WRLCK; // the whole file
            char c = (recordLock ? ::fcntl(fd, F_SETLK, &lock) : ::flock(fd, LOCK_EX)) == 0 ? '1' : '0';
            (void)!::write(ready[1], &c, 1);
            (void)!::read(done[0], &c, 1);
            ::_exit(0);
        }
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ASSERT_EQ(c, '1');
        RecordingReporter recorder;
        FileOutputStream stream;
        EXPECT_FALSE(stream.openPath(path));
        EXPECT_FALSE(stream.isOpen());
        EXPECT_EQ(recorder.last(Reporter::Kind::Error),
            "Unable to write to " + path + "\nFile is in use by another application.");
        for (int fd : { done[1], ready[0], ready[1], done[0] })
            ::close(fd);
        ::waitpid(child, nullptr, 0);
        EXPECT_EQ(readFile(path), oldContents());
    }
    // Once the other program lets go, saving works.
    FileOutputStream stream;
    ASSERT_TRUE(stream.openPath(path));
    EXPECT_TRUE(stream.close());
    EXPECT_EQ(readFile(path), "");
}

TEST(OutputStream, OpenFailuresAreReported)
{
    TempDir dir;
    RecordingReporter recorder;
    FileOutputStream stream;
    for (const auto& [path, reason] :
        { std::pair { dir.file("no/such/folder.zvx"), "No such file or directory" },
            std::pair { dir.path(), "Is a directory" } }) {
        EXPECT_FALSE(stream.openPath(path));
        EXPECT_EQ(recorder.last(Reporter::Kind::Error), "Unable to write to " + path + "\n" + reason);
    }
    EXPECT_EQ(recorder.messages().size(), 2u);
    EXPECT_FALSE(stream.write("x", 1));
    EXPECT_TRUE(stream.close());
}

TEST(OutputStream, AbandonedSaveLeavesTheTargetAlone)
{
    TempDir dir;
    std::string path = dir.file("drawing.zvx");
    writeFile(path, oldContents());
    {
        FileOutputStream stream;
        ASSERT_TRUE(stream.openPath(path));
        EXPECT_TRUE(stream.writeString("half a drawing"));
        stream.abandon();
        EXPECT_FALSE(stream.isOpen());
        ASSERT_TRUE(stream.openPath(path));
        EXPECT_TRUE(stream.writeString("dropped on the floor"));
    } // destroyed while open
    EXPECT_EQ(readFile(path), oldContents());
    EXPECT_EQ(dir.names(), std::vector<std::string> { "drawing.zvx" });
}

TEST(OutputStream, DevicesAreWrittenDirectly)
{
    FileOutputStream stream;
    ASSERT_TRUE(stream.openPath("/dev/null"));
    EXPECT_TRUE(stream.writeString("discarded"));
    EXPECT_TRUE(stream.close());
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}
