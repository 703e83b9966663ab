#pragma once
// Byte sinks that the output ports and font converters write through. Ports
// do not own their stream; the shell opens one, hands it to the export
// routine and closes it afterwards.

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace zavora {

class OutputStream {
public:
    virtual ~OutputStream() = default;

    // Opens the stream's own target; false on failure (already reported to the user).
    virtual bool open() = 0;
    // Flushes and closes; false when the data did not reach the target (reported).
    // Harmless, and true, when already closed.
    virtual bool close() = 0;
    // Closes without delivering: a cancelled export leaves the target as it was.
    virtual void abandon() { close(); }
    virtual bool isOpen() const = 0;

    // Writes every byte at the current position; false when they were not all written.
    virtual bool write(const void* data, std::size_t length) = 0;
    bool writeString(std::string_view text) { return write(text.data(), text.size()); }
    // printf conversions (%d %i %u %x %X %o %c %s %f %F %e %E %g %G %a %p %%, flags,
    // width, precision, length modifiers) that never consult the locale: numbers
    // are formatted by NumberFormat. The result has no length limit.
    bool printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    bool vprintf(const char* format, va_list args);

    // Absolute byte position from the start (used to rewrite headers afterwards).
    virtual bool seek(long position) = 0;
    virtual long tell() const = 0;
};

// printf into a string with the stream's locale-free rules.
std::string formatLocaleFree(const char* format, ...) __attribute__((format(printf, 1, 2)));
void appendFormatted(std::string& out, const char* format, va_list args);

// A file written safely: the bytes go to a temporary file beside the target,
// which replaces the target only when every write, the flush and the close
// succeeded. The target keeps its permissions and, when the path is a symbolic
// link, the file the link points to is replaced. Failures are reported as
// "Unable to write to %s\n%s" with the system's reason.
class FileOutputStream : public OutputStream {
public:
    explicit FileOutputStream(std::string path = {});
    // An open stream is abandoned: the target stays as it was.
    ~FileOutputStream() override;
    FileOutputStream(const FileOutputStream&) = delete;
    FileOutputStream& operator=(const FileOutputStream&) = delete;

    // Opens the path given at construction (see openPath).
    bool open() override;
    // Opens `path` for writing, replacing its contents when closed.
    bool openPath(const std::string& path);
    bool close() override;
    void abandon() override;
    bool isOpen() const override { return m_fd >= 0; }

    bool write(const void* data, std::size_t length) override;
    bool seek(long position) override;
    long tell() const override;

    // Replaces the target without waiting for the disk: for many small files
    // written together, which syncFileSystemOf then makes durable in one call
    // (a flush per file made an export of thousands of pictures take a minute).
    void deferSync() { m_deferSync = true; }

protected:
    // The path open() opens.
    virtual std::string targetPath() const { return m_path; }
    // System calls that tests replace to simulate a failing disk.
    virtual ssize_t systemWrite(int fd, const void* data, std::size_t length);
    virtual int systemSync(int fd);

private:
    void fail(int error);
    void discardTemporary();

    std::string m_path;
    int m_fd = -1;
    std::string m_shownPath; // the path as the user gave it, for messages
    std::string m_targetPath; // the file that is replaced (symbolic links followed)
    std::string m_tempPath; // empty when writing straight to the target
    bool m_targetExisted = false;
    mode_t m_mode = 0;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    bool m_failed = false;
    bool m_deferSync = false;
};

// Flushes to disk every file written with deferSync on the file system that
// holds `path`; false (reported as a write failure of `path`) when that fails.
bool syncFileSystemOf(const std::string& path);


// Collects the bytes in memory (tests, clipboard data). Open from construction.
class MemoryOutputStream : public OutputStream {
public:
    // Empties the buffer.
    bool open() override;
    bool close() override;
    bool isOpen() const override { return m_open; }

    bool write(const void* data, std::size_t length) override;
    // Seeking past the end fills the gap with zero bytes on the next write.
    bool seek(long position) override;
    long tell() const override { return static_cast<long>(m_position); }

    const std::string& data() const { return m_data; }

private:
    std::string m_data;
    std::size_t m_position = 0;
    bool m_open = true;
};

} // namespace zavora
