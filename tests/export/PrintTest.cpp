// Printing through a private CUPS scheduler whose raw queue's backend copies
// each job into a file: the job as the printer would receive it.
#include "export/Export.h"

#include "fonts/FontCatalogue.h"
#include "model/Drawing.h"
#include "platform/FontSystem.h"
#include "platform/Profile.h"
#include "platform/Reporter.h"
#include "platform/cups/CupsPrinterStream.h"

#include "../output/PostScriptTestSupport.h"

#include <cups/cups.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zavora {
namespace {

namespace fs = std::filesystem;

constexpr const char* kQueue = "spooltest";

class PrivateScheduler : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_root = fs::temp_directory_path() / ("zavora-cups-" + std::to_string(::getpid()));
        const fs::path& r = s_root;
        for (const char* dir : { "conf", "spool/tmp", "cache", "state", "log", "bin/backend", "out" })
            fs::create_directories(r / dir);
        // Jobs run as the scheduler's unprivileged user.
        fs::permissions(r / "out", fs::perms::all);
        for (const char* dir : { "daemon", "filter", "notifier" })
            fs::create_symlink(fs::path("/usr/lib/cups") / dir, r / "bin" / dir);
        write(r / "bin/backend/spoolfile",
            "#!/bin/sh\n"
            "[ $# -eq 0 ] && { echo 'direct spoolfile \"Unknown\" \"Spool file\"'; exit 0; }\n"
            "out=\"${DEVICE_URI#spoolfile:}\"\n"
            "if [ -n \"$6\" ]; then cat \"$6\" > \"$out.part\"; else cat > \"$out.part\"; fi\n"
            "chmod 644 \"$out.part\" && mv \"$out.part\" \"$out\"\n");
        ::chmod((r / "bin/backend/spoolfile").c_str(), 0755);
        write(r / "cupsd.conf",
            "Listen " + (r / "cups.sock").string()
                + "\nBrowsing No\nLogLevel warn\n<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                  "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n");
        write(r / "cups-files.conf",
            "ServerRoot " + (r / "conf").string() + "\nServerBin " + (r / "bin").string() + "\nRequestRoot "
                + (r / "spool").string() + "\nTempDir " + (r / "spool/tmp").string() + "\nCacheDir "
                + (r / "cache").string() + "\nStateDir " + (r / "state").string() + "\nErrorLog "
                + (r / "log/error_log").string() + "\nAccessLog " + (r / "log/access_log").string()
                + "\nPageLog " + (r / "log/page_log").string() + "\nPrintcap " + (r / "printcap").string()
                + "\n");
        write(r / "conf/printers.conf",
            std::string("<Printer ") + kQueue + ">\nState Idle\nAccepting Yes\nDeviceURI spoolfile:"
                + (r / "out/job.ps").string() + "\n</Printer>\n");

        s_pid = ::fork();
        if (s_pid == 0) {
            ::execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", (r / "cupsd.conf").c_str(), "-s",
                (r / "cups-files.conf").c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        cupsSetServer((r / "cups.sock").c_str());
        for (int i = 0; i < 100 && !fs::exists(r / "cups.sock"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    static void TearDownTestSuite()
    {
        if (s_pid > 0) {
            ::kill(s_pid, SIGTERM);
            ::waitpid(s_pid, nullptr, 0);
        }
        cupsSetServer(nullptr);
        std::error_code ec;
        fs::remove_all(s_root, ec);
    }

    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(s_root / "cups.sock"))
            << "the private CUPS scheduler did not start: " << testing::readFile(s_root / "log/error_log");
    }

    static void write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

    // The job as the queue's device received it, once it is there.
    static std::string spooled()
    {
        const fs::path job = s_root / "out/job.ps";
        for (int i = 0; i < 200 && !fs::exists(job); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        return testing::readFile(job);
    }

    static inline fs::path s_root;
    static inline pid_t s_pid = -1;
};

TEST_F(PrivateScheduler, TheSampleIsSpooledAsPostScript)
{
    // A job given up half-way is cancelled, never printed.
    {
        CupsPrinterStream abandoned(kQueue, "abandoned.zvx", 1);
        ASSERT_TRUE(abandoned.open());
        ASSERT_TRUE(abandoned.writeString("%!PS-Adobe-3.0\r\n%%Title: abandoned\r\n"));
        abandoned.abandon();
        EXPECT_FALSE(abandoned.isOpen());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(fs::exists(s_root / "out/job.ps")) << testing::readFile(s_root / "out/job.ps");

    Profile settings(s_root / "fonts.ini");
    FontCatalogue catalogue(systemFontSystem(), settings, fs::path());
    catalogue.load();
    Drawing drawing;
    ASSERT_EQ(openDrawing(drawing, ZAVORA_SOURCE_DIR "/examples/sample.zvx"), ZvxReadResult::Read);
    CupsPrinterStream printer(kQueue, "sample.zvx", 1);
    ASSERT_TRUE(printer.open());
    ASSERT_TRUE(printDrawing(drawing, printer, FontDownloadForm::Type42));
    ASSERT_TRUE(printer.close());
    catalogue.free();

    const std::string job = spooled();
    EXPECT_TRUE(job.starts_with("%!PS-Adobe-3.0\r\n%!PS-Adobe-3.0 EPSF-3.0\r\n")) << job.substr(0, 60);
    // The sample uses resident fonts only.
    EXPECT_NE(job.find("%%DocumentFonts: Helvetica"), std::string::npos);
    EXPECT_EQ(job.find("%%BeginResource: font"), std::string::npos);
    const testing::GhostscriptRun gs = testing::renderWithGhostscript(job, "spooled", 36, false);
    EXPECT_TRUE(gs.ok()) << gs.messages;
    EXPECT_GT(gs.raster.width, 0);
}

TEST_F(PrivateScheduler, AQueueThatCannotBeReachedIsReported)
{
    RecordingReporter messages;
    CupsPrinterStream printer("nosuchqueue", "lost.zvx", 1);
    EXPECT_FALSE(printer.open());
    EXPECT_FALSE(printer.write("x", 1)) << "a job that does not exist takes nothing";
    const std::string message = messages.last(Reporter::Kind::Error);
    EXPECT_TRUE(message.starts_with("Unable to print on nosuchqueue\n") && !message.ends_with('\n'))
        << message;
}

} // namespace
} // namespace zavora
