#pragma once
// Every message box, status text and prompt of the core goes through one
// Reporter, so the core never calls a toolkit and tests can read exact texts.
// The shell installs a Reporter that shows real boxes and the status bar.

#include <string>
#include <vector>

namespace zavora {

class Reporter {
public:
    enum class Kind { Error, Warning, Info, Status };

    virtual ~Reporter() = default;
    // Error box: caption "Error", stop icon.
    virtual void error(const std::string& text) = 0;
    // Warning box: caption "Warning", exclamation icon.
    virtual void warning(const std::string& text) = 0;
    // Information box: caption "Zavora", information icon.
    virtual void info(const std::string& text) = 0;
    // The status-bar prompt.
    virtual void status(const std::string& text) = 0;
};

// The process-wide reporter; by default messages go to stderr.
Reporter& reporter();
// Installs a reporter (not owned); nullptr restores the default.
void setReporter(Reporter* reporter);

// printf-style shortcuts through reporter().
void errorBox(const char* format, ...) __attribute__((format(printf, 1, 2)));
void warningBox(const char* format, ...) __attribute__((format(printf, 1, 2)));
void infoBox(const char* format, ...) __attribute__((format(printf, 1, 2)));
void setStatus(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Keeps every message in order; installs itself for its lifetime (tests, batch use).
class RecordingReporter : public Reporter {
public:
    struct Message {
        Kind kind;
        std::string text;
        bool operator==(const Message&) const = default;
    };

    RecordingReporter();
    ~RecordingReporter() override;
    RecordingReporter(const RecordingReporter&) = delete;
    RecordingReporter& operator=(const RecordingReporter&) = delete;

    void error(const std::string& text) override { m_messages.push_back({ Kind::Error, text }); }
    void warning(const std::string& text) override { m_messages.push_back({ Kind::Warning, text }); }
    void info(const std::string& text) override { m_messages.push_back({ Kind::Info, text }); }
    void status(const std::string& text) override { m_messages.push_back({ Kind::Status, text }); }

    const std::vector<Message>& messages() const { return m_messages; }
    // The text of the last message of a kind, or "" when there is none.
    std::string last(Kind kind) const;
    void clear() { m_messages.clear(); }

private:
    std::vector<Message> m_messages;
    Reporter* m_previous;
};

} // namespace zavora
