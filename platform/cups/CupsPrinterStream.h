#pragma once
// The printer stream: a PostScript job on a CUPS queue, its data sent as it
// is written. Every CUPS queue accepts PostScript and its filters fit the job
// to the printer, so this one stream serves every queue. It cannot seek.

#include "platform/OutputStream.h"

#include <string>

namespace zavora {

class CupsPrinterStream : public OutputStream {
public:
    // `copies` and the paper (`media`, a size name such as "A4"; empty for
    // the queue's own) are asked of the queue; the job is named `title`.
    CupsPrinterStream(std::string printer, std::string title, int copies = 1, std::string media = {});
    // An open job is cancelled: nothing half-written is printed.
    ~CupsPrinterStream() override;
    CupsPrinterStream(const CupsPrinterStream&) = delete;
    CupsPrinterStream& operator=(const CupsPrinterStream&) = delete;

    // Creates the job; a queue that cannot be reached is reported as
    // "Unable to print on %s\n%s" with the scheduler's reason.
    bool open() override;
    // Sends the rest and asks the queue to print; false (reported) when the
    // queue did not take the job.
    bool close() override;
    // Cancels the job.
    void abandon() override;
    bool isOpen() const override { return m_job != 0; }

    bool write(const void* data, std::size_t length) override;
    bool seek(long position) override;
    long tell() const override { return m_written; }

private:
    bool sendBuffer();
    void fail();

    std::string m_printer;
    std::string m_title;
    int m_copies;
    std::string m_media;
    int m_job = 0;
    bool m_failed = false;
    long m_written = 0;
    std::string m_buffer;
};

} // namespace zavora
