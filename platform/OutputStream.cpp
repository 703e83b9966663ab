#include "platform/OutputStream.h"

#include "platform/DebugLog.h"
#include "platform/NumberFormat.h"
#include "platform/Reporter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zavora {

namespace {

// Guards against a runaway width or precision in a format string.
constexpr int kMaxFieldWidth = 1 << 16;

enum class Length { None, Char, Short, Long, LongLong, IntMax, Size, PtrDiff, LongDouble };

struct Directive {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    int width = 0;
    int precision = -1;
    Length length = Length::None;
};

void appendPadded(
    std::string& out, const Directive& directive, std::string_view prefix, std::string_view body, bool zeroPad)
{
    std::size_t size = prefix.size() + body.size();
    std::size_t pad = static_cast<std::size_t>(directive.width) > size ? directive.width - size : 0;
    if (directive.left) {
        out.append(prefix).append(body).append(pad, ' ');
    } else if (zeroPad) {
        out.append(prefix).append(pad, '0').append(body);
    } else {
        out.append(pad, ' ').append(prefix).append(body);
    }
}

long long signedArgument(Length length, va_list& args)
{
    switch (length) {
    case Length::Char:
        return static_cast<signed char>(va_arg(args, int));
    case Length::Short:
        return static_cast<short>(va_arg(args, int));
    case Length::Long:
        return va_arg(args, long);
    case Length::LongLong:
        return va_arg(args, long long);
    case Length::IntMax:
        return va_arg(args, intmax_t);
    case Length::Size:
        return va_arg(args, ssize_t);
    case Length::PtrDiff:
        return va_arg(args, ptrdiff_t);
    default:
        return va_arg(args, int);
    }
}

unsigned long long unsignedArgument(Length length, va_list& args)
{
    switch (length) {
    case Length::Char:
        return static_cast<unsigned char>(va_arg(args, unsigned));
    case Length::Short:
        return static_cast<unsigned short>(va_arg(args, unsigned));
    case Length::Long:
        return va_arg(args, unsigned long);
    case Length::LongLong:
        return va_arg(args, unsigned long long);
    case Length::IntMax:
        return va_arg(args, uintmax_t);
    case Length::Size:
        return va_arg(args, size_t);
    case Length::PtrDiff:
        return static_cast<unsigned long long>(va_arg(args, ptrdiff_t));
    default:
        return va_arg(args, unsigned);
    }
}

void appendInteger(std::string& out, const Directive& directive, char conversion, va_list& args)
{
    bool isSigned = conversion == 'd' || conversion == 'i';
    bool negative = false;
    unsigned long long magnitude;
    if (isSigned) {
        long long value = signedArgument(directive.length, args);
        negative = value < 0;
        magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                             : static_cast<unsigned long long>(value);
    } else {
        magnitude = unsignedArgument(directive.length, args);
    }
    int base = conversion == 'o' ? 8 : (conversion == 'x' || conversion == 'X') ? 16 : 10;

    char digits[32];
    std::size_t n = static_cast<std::size_t>(
        std::to_chars(digits, digits + sizeof digits, magnitude, base).ptr - digits);
    std::string body(digits, n);
    if (conversion == 'X')
        std::transform(body.begin(), body.end(), body.begin(), [](char c) { return std::toupper(c); });
    if (directive.precision == 0 && magnitude == 0)
        body.clear();
    if (directive.precision > 0 && body.size() < static_cast<std::size_t>(directive.precision))
        body.insert(0, directive.precision - body.size(), '0');
    if (conversion == 'o' && directive.alternate && (body.empty() || body[0] != '0'))
        body.insert(0, 1, '0');

    std::string prefix;
    if (negative)
        prefix = "-";
    else if (isSigned && directive.plus)
        prefix = "+";
    else if (isSigned && directive.space)
        prefix = " ";
    if (directive.alternate && magnitude != 0 && base == 16)
        prefix += conversion == 'X' ? "0X" : "0x";
    appendPadded(out, directive, prefix, body, directive.zero && directive.precision < 0);
}

// "%#g": printf's choice between %e and %f, keeping trailing zeros and the point.
std::size_t formatGeneralAlternate(char* buf, double value, int precision)
{
    int p = precision < 0 ? 6 : std::max(precision, 1);
    std::size_t n = formatScientific(buf, value, p - 1);
    const char* e = std::find(buf, buf + n, 'e');
    int exponent = 0;
    if (e != buf + n)
        std::from_chars(e + (e[1] == '+' ? 2 : 1), buf + n, exponent);
    if (exponent >= -4 && exponent < p)
        n = formatFixed(buf, value, p - 1 - exponent);
    std::string_view text(buf, n);
    if (text.find('.') == std::string_view::npos) {
        std::size_t at = std::min(text.find('e'), n);
        std::memmove(buf + at + 1, buf + at, n - at);
        buf[at] = '.';
        ++n;
    }
    return n;
}

void appendFloat(std::string& out, const Directive& directive, char conversion, va_list& args)
{
    double value = directive.length == Length::LongDouble ? static_cast<double>(va_arg(args, long double))
                                                     : va_arg(args, double);
    char lower = static_cast<char>(std::tolower(conversion));
    char buf[kNumberBufferSize + 8];
    std::size_t n = 0;
    bool finite = std::isfinite(value);
    std::string hexPrefix;
    if (!finite) {
        n = formatGeneral(buf, value);
    } else if (lower == 'f') {
        n = formatFixed(buf, value, directive.precision < 0 ? 6 : directive.precision);
        if (directive.alternate && std::find(buf, buf + n, '.') == buf + n)
            buf[n++] = '.';
    } else if (lower == 'e') {
        n = formatScientific(buf, value, directive.precision < 0 ? 6 : directive.precision);
        if (directive.alternate && std::find(buf, buf + n, '.') == buf + n) {
            char* e = std::find(buf, buf + n, 'e');
            std::memmove(e + 1, e, static_cast<std::size_t>(buf + n - e));
            *e = '.';
            ++n;
        }
    } else if (lower == 'g') {
        n = directive.alternate ? formatGeneralAlternate(buf, value, directive.precision)
                           : formatGeneral(buf, value, directive.precision < 0 ? 6 : directive.precision);
    } else {
        // %a: to_chars writes the digits without the "0x".
        auto result = directive.precision < 0
            ? std::to_chars(buf, buf + kNumberBufferSize, value, std::chars_format::hex)
            : std::to_chars(buf, buf + kNumberBufferSize, value, std::chars_format::hex,
                std::min(directive.precision, kMaxFixedDecimals));
        n = static_cast<std::size_t>(result.ptr - buf);
        hexPrefix = "0x";
    }
    std::string_view body(buf, n);
    std::string prefix;
    if (!body.empty() && body[0] == '-') {
        prefix = "-";
        body.remove_prefix(1);
    } else if (directive.plus) {
        prefix = "+";
    } else if (directive.space) {
        prefix = " ";
    }
    if (finite)
        prefix += hexPrefix;
    std::string text(body);
    if (std::isupper(static_cast<unsigned char>(conversion))) {
        std::transform(text.begin(), text.end(), text.begin(), [](char c) { return std::toupper(c); });
        std::transform(prefix.begin(), prefix.end(), prefix.begin(), [](char c) { return std::toupper(c); });
    }
    appendPadded(out, directive, prefix, text, directive.zero && finite);
}

int readNumber(const char*& p)
{
    int value = 0;
    while (*p >= '0' && *p <= '9') {
        value = std::min(value * 10 + (*p - '0'), kMaxFieldWidth);
        ++p;
    }
    return value;
}

std::string failureReason(int error)
{
    if (error == EBUSY || error == ETXTBSY)
        return "File is in use by another application.";
    const char* text = error ? std::strerror(error) : nullptr;
    return text && *text ? text : "Reason unknown";
}

void reportWriteFailure(const std::string& path, int error)
{
    errorBox("Unable to write to %s\n%s", path.c_str(), failureReason(error).c_str());
}

// Follows symbolic links at the end of the path, so the file they point to is
// the one replaced. Returns 0 or an errno value.
int resolveLinks(const std::string& path, std::string& resolved)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            resolved = current;
            return 0;
        }
        std::vector<char> buf(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 4096);
        ssize_t n = ::readlink(current.c_str(), buf.data(), buf.size());
        if (n < 0)
            return errno;
        std::string link(buf.data(), static_cast<std::size_t>(n));
        if (link.empty())
            return ENOENT;
        if (link[0] != '/') {
            std::size_t slash = current.rfind('/');
            link = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + link;
        }
        current = link;
    }
    return ELOOP;
}

// A record lock or a whole-file lock held by someone else.
bool lockedByAnother(int fd)
{
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK;
    ::flock(fd, LOCK_UN);
    return false;
}

void syncDirectoryOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void appendFormatted(std::string& out, const char* format, va_list args)
{
    // A local copy can be passed on by reference whatever va_list is on this ABI.
    va_list ap;
    va_copy(ap, args);
    const char* p = format;
    while (*p) {
        if (*p != '%') {
            const char* next = std::strchr(p, '%');
            if (!next)
                next = p + std::strlen(p);
            out.append(p, next);
            p = next;
            continue;
        }
        const char* start = p++;
        Directive directive;
        for (;; ++p) {
            if (*p == '-')
                directive.left = true;
            else if (*p == '+')
                directive.plus = true;
            else if (*p == ' ')
                directive.space = true;
            else if (*p == '#')
                directive.alternate = true;
            else if (*p == '0')
                directive.zero = true;
            else
                break;
        }
        if (*p == '*') {
            int width = va_arg(ap, int);
            if (width < 0) {
                directive.left = true;
                width = width == INT_MIN ? kMaxFieldWidth : -width;
            }
            directive.width = std::min(width, kMaxFieldWidth);
            ++p;
        } else {
            directive.width = readNumber(p);
        }
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                int precision = va_arg(ap, int);
                directive.precision = precision < 0 ? -1 : std::min(precision, kMaxFieldWidth);
                ++p;
            } else {
                directive.precision = readNumber(p);
            }
        }
        switch (*p) {
        case 'h':
            directive.length = p[1] == 'h' ? Length::Char : Length::Short;
            p += p[1] == 'h' ? 2 : 1;
            break;
        case 'l':
            directive.length = p[1] == 'l' ? Length::LongLong : Length::Long;
            p += p[1] == 'l' ? 2 : 1;
            break;
        case 'q':
            directive.length = Length::LongLong;
            ++p;
            break;
        case 'j':
            directive.length = Length::IntMax;
            ++p;
            break;
        case 'z':
            directive.length = Length::Size;
            ++p;
            break;
        case 't':
            directive.length = Length::PtrDiff;
            ++p;
            break;
        case 'L':
            directive.length = Length::LongDouble;
            ++p;
            break;
        default:
            break;
        }
        char conversion = *p;
        if (!conversion) {
            out.append(start);
            break;
        }
        ++p;
        switch (conversion) {
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            appendInteger(out, directive, conversion, ap);
            break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            appendFloat(out, directive, conversion, ap);
            break;
        case 'c': {
            char c = static_cast<char>(va_arg(ap, int));
            appendPadded(out, directive, {}, std::string_view(&c, 1), false);
            break;
        }
        case 's': {
            const char* s = va_arg(ap, const char*);
            std::string_view text = s ? std::string_view(s) : std::string_view("(null)");
            if (directive.precision >= 0 && text.size() > static_cast<std::size_t>(directive.precision))
                text = s ? std::string_view(s, strnlen(s, directive.precision)) : std::string_view();
            appendPadded(out, directive, {}, text, false);
            break;
        }
        case 'p': {
            void* pointer = va_arg(ap, void*);
            if (!pointer) {
                appendPadded(out, directive, {}, "(nil)", false);
                break;
            }
            char digits[32];
            auto end
                = std::to_chars(digits, digits + sizeof digits, reinterpret_cast<std::uintptr_t>(pointer), 16)
                      .ptr;
            appendPadded(
                out, directive, "0x", std::string_view(digits, static_cast<std::size_t>(end - digits)), false);
            break;
        }
        case 'n':
            // Never written through: a format must not store into memory.
            va_arg(ap, void*);
            break;
        case '%':
            out += '%';
            break;
        default:
            out.append(start, p);
            break;
        }
    }
    va_end(ap);
}

std::string formatLocaleFree(const char* format, ...)
{
    std::string out;
    va_list args;
    va_start(args, format);
    appendFormatted(out, format, args);
    va_end(args);
    return out;
}

bool OutputStream::printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    bool ok = vprintf(format, args);
    va_end(args);
    return ok;
}

bool OutputStream::vprintf(const char* format, va_list args)
{
    std::string text;
    text.reserve(256);
    appendFormatted(text, format, args);
    return writeString(text);
}

FileOutputStream::FileOutputStream(std::string path)
    : m_path(std::move(path))
{ }

FileOutputStream::~FileOutputStream()
{
    abandon();
}

bool FileOutputStream::open()
{
    return openPath(targetPath());
}

bool FileOutputStream::openPath(const std::string& path)
{
    if (isOpen()) {
        debugLog("Output stream opened again before it was closed; the earlier file is abandoned");
        abandon();
    }
    m_failed = false;
    m_shownPath = path;
    m_tempPath.clear();
    auto refuse = [&](int error) {
        reportWriteFailure(path, error);
        return false;
    };
    if (path.empty())
        return refuse(ENOENT);

    std::string target;
    if (int error = resolveLinks(path, target))
        return refuse(error);

    struct stat st;
    m_targetExisted = ::stat(target.c_str(), &st) == 0;
    if (m_targetExisted) {
        if (S_ISDIR(st.st_mode))
            return refuse(EISDIR);
        // Opening for writing (without truncating) tells whether we may replace it.
        int probe = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (probe < 0)
            return refuse(errno);
        if (lockedByAnother(probe)) {
            ::close(probe);
            return refuse(EBUSY);
        }
        if (!S_ISREG(st.st_mode)) {
            // Devices and pipes cannot be replaced; they are written directly.
            ::fcntl(probe, F_SETFL, ::fcntl(probe, F_GETFL) & ~O_NONBLOCK);
            m_fd = probe;
            m_targetPath = target;
            return true;
        }
        ::close(probe);
        m_mode = st.st_mode & 07777;
        m_uid = st.st_uid;
        m_gid = st.st_gid;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        m_mode = 0666 & ~mask;
    }

    std::size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = folder + "." + name + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        int error = errno;
        if ((error == EACCES || error == EPERM) && m_targetExisted) {
            // A writable file in a folder we may not create files in can only be rewritten in place.
            fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (fd < 0)
                return refuse(errno);
            debugLog("Cannot create a temporary file beside %s; writing it in place", target.c_str());
            m_fd = fd;
            m_targetPath = target;
            return true;
        }
        return refuse(error);
    }
    m_fd = fd;
    m_tempPath = temp;
    m_targetPath = target;
    return true;
}

ssize_t FileOutputStream::systemWrite(int fd, const void* data, std::size_t length)
{
    return ::write(fd, data, length);
}

int FileOutputStream::systemSync(int fd)
{
    return ::fsync(fd);
}

void FileOutputStream::fail(int error)
{
    if (m_failed)
        return;
    m_failed = true;
    reportWriteFailure(m_shownPath, error);
}

bool FileOutputStream::write(const void* data, std::size_t length)
{
    if (m_fd < 0 || m_failed)
        return false;
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        ssize_t n = systemWrite(m_fd, p, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(n < 0 ? errno : EIO);
            return false;
        }
        p += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool FileOutputStream::seek(long position)
{
    if (m_fd < 0 || m_failed)
        return false;
    if (::lseek(m_fd, position, SEEK_SET) < 0) {
        fail(errno);
        return false;
    }
    return true;
}

long FileOutputStream::tell() const
{
    if (m_fd < 0)
        return 0;
    off_t position = ::lseek(m_fd, 0, SEEK_CUR);
    return position < 0 ? 0 : static_cast<long>(position);
}

bool FileOutputStream::close()
{
    if (m_fd < 0)
        return true;
    bool replacing = !m_tempPath.empty();
    if (replacing && !m_failed) {
        // Owner first: changing it may clear set-id bits that the mode then restores.
        if (m_targetExisted && ::fchown(m_fd, m_uid, m_gid) != 0)
            debugLog("Cannot keep the owner of %s: %s", m_targetPath.c_str(), std::strerror(errno));
        if (::fchmod(m_fd, m_mode) != 0)
            debugLog("Cannot keep the permissions of %s: %s", m_targetPath.c_str(), std::strerror(errno));
        if (!m_deferSync && systemSync(m_fd) != 0)
            fail(errno);
    }
    if (::close(m_fd) != 0)
        fail(errno);
    m_fd = -1;
    if (replacing) {
        if (!m_failed && ::rename(m_tempPath.c_str(), m_targetPath.c_str()) != 0)
            fail(errno);
        if (m_failed)
            ::unlink(m_tempPath.c_str());
        else if (!m_deferSync)
            syncDirectoryOf(m_targetPath);
        m_tempPath.clear();
    }
    return !m_failed;
}

bool syncFileSystemOf(const std::string& path)
{
    const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_CLOEXEC);
    const int error = fd < 0 ? errno : ::syncfs(fd) != 0 ? errno : 0;
    if (fd >= 0)
        ::close(fd);
    if (error != 0)
        reportWriteFailure(path, error);
    return error == 0;
}

void FileOutputStream::abandon()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    discardTemporary();
}

void FileOutputStream::discardTemporary()
{
    if (!m_tempPath.empty())
        ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
}

bool MemoryOutputStream::open()
{
    m_data.clear();
    m_position = 0;
    m_open = true;
    return true;
}

bool MemoryOutputStream::close()
{
    m_open = false;
    return true;
}

bool MemoryOutputStream::write(const void* data, std::size_t length)
{
    if (!m_open)
        return false;
    if (m_position > m_data.size())
        m_data.resize(m_position, '\0');
    std::size_t overlap = std::min(length, m_data.size() - m_position);
    const char* bytes = static_cast<const char*>(data);
    m_data.replace(m_position, overlap, bytes, overlap);
    m_data.append(bytes + overlap, length - overlap);
    m_position += length;
    return true;
}

bool MemoryOutputStream::seek(long position)
{
    if (!m_open || position < 0)
        return false;
    m_position = static_cast<std::size_t>(position);
    return true;
}

} // namespace zavora
