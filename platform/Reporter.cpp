#include "platform/Reporter.h"

#include "platform/TextFormat.h"

#include <cstdarg>
#include <cstdio>

namespace zavora {

namespace {

class StderrReporter : public Reporter {
public:
    void error(const std::string& text) override { std::fprintf(stderr, "Error: %s\n", text.c_str()); }
    void warning(const std::string& text) override { std::fprintf(stderr, "Warning: %s\n", text.c_str()); }
    void info(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void status(const std::string&) override { }
};

StderrReporter g_stderrReporter;
Reporter* g_reporter = &g_stderrReporter;

} // namespace

Reporter& reporter() { return *g_reporter; }

void setReporter(Reporter* r) { g_reporter = r ? r : &g_stderrReporter; }

#define ZAVORA_REPORT(method)                         \
    va_list args;                                     \
    va_start(args, format);                           \
    std::string text = vformatText(format, args);     \
    va_end(args);                                     \
    reporter().method(text)

void errorBox(const char* format, ...) { ZAVORA_REPORT(error); }
void warningBox(const char* format, ...) { ZAVORA_REPORT(warning); }
void infoBox(const char* format, ...) { ZAVORA_REPORT(info); }
void setStatus(const char* format, ...) { ZAVORA_REPORT(status); }

#undef ZAVORA_REPORT

RecordingReporter::RecordingReporter()
    : m_previous(&reporter())
{
    setReporter(this);
}

RecordingReporter::~RecordingReporter() { setReporter(m_previous == &g_stderrReporter ? nullptr : m_previous); }

std::string RecordingReporter::last(Kind kind) const
{
    for (auto it = m_messages.rbegin(); it != m_messages.rend(); ++it)
        if (it->kind == kind)
            return it->text;
    return {};
}

} // namespace zavora
