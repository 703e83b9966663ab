#include "platform/cups/CupsPrinterStream.h"

#include "platform/Reporter.h"

#include <cups/cups.h>

#include <algorithm>
#include <cstring>

namespace zavora {

namespace {

// The job's data goes to the scheduler in pieces of this size.
constexpr std::size_t kPieceSize = 8192;

} // namespace

CupsPrinterStream::CupsPrinterStream(std::string printer, std::string title, int copies, std::string media)
    : m_printer(std::move(printer))
    , m_title(std::move(title))
    , m_copies(std::max(1, copies))
    , m_media(std::move(media))
{
    m_buffer.reserve(kPieceSize);
}

CupsPrinterStream::~CupsPrinterStream()
{
    if (isOpen())
        abandon();
}

void CupsPrinterStream::fail()
{
    if (!m_failed)
        errorBox("Unable to print on %s\n%s", m_printer.c_str(), cupsLastErrorString());
    m_failed = true;
}

bool CupsPrinterStream::open()
{
    if (isOpen())
        return true;
    m_failed = false;
    m_written = 0;
    m_buffer.clear();
    cups_option_t* options = nullptr;
    int count = cupsAddOption("copies", std::to_string(m_copies).c_str(), 0, &options);
    if (!m_media.empty())
        count = cupsAddOption("media", m_media.c_str(), count, &options);
    m_job = cupsCreateJob(CUPS_HTTP_DEFAULT, m_printer.c_str(), m_title.c_str(), count, options);
    cupsFreeOptions(count, options);
    if (m_job == 0) {
        fail();
        return false;
    }
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, m_printer.c_str(), m_job, m_title.c_str(), CUPS_FORMAT_POSTSCRIPT, 1)
        != HTTP_STATUS_CONTINUE) {
        fail();
        abandon();
        return false;
    }
    return true;
}

bool CupsPrinterStream::sendBuffer()
{
    if (m_buffer.empty())
        return true;
    const bool sent = cupsWriteRequestData(CUPS_HTTP_DEFAULT, m_buffer.data(), m_buffer.size())
        == HTTP_STATUS_CONTINUE;
    m_buffer.clear();
    if (!sent)
        fail();
    return sent;
}

bool CupsPrinterStream::write(const void* data, std::size_t length)
{
    if (!isOpen() || m_failed)
        return false;
    const char* bytes = static_cast<const char*>(data);
    m_written += static_cast<long>(length);
    while (length > 0) {
        const std::size_t take = std::min(length, kPieceSize - m_buffer.size());
        m_buffer.append(bytes, take);
        bytes += take;
        length -= take;
        if (m_buffer.size() == kPieceSize && !sendBuffer())
            return false;
    }
    return true;
}

bool CupsPrinterStream::seek(long position)
{
    // The job is a stream; only staying where it is works.
    return position == m_written;
}

bool CupsPrinterStream::close()
{
    if (!isOpen())
        return true;
    if (m_failed || !sendBuffer()) {
        abandon();
        return false;
    }
    const bool printed = cupsFinishDocument(CUPS_HTTP_DEFAULT, m_printer.c_str()) == IPP_STATUS_OK;
    m_job = 0;
    if (!printed)
        fail();
    return printed;
}

void CupsPrinterStream::abandon()
{
    if (!isOpen())
        return;
    // Cancelled on a second connection before the open document request is
    // ended: ending it first would release the half-written job to the printer.
    if (http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr)) {
        cupsCancelJob2(http, m_printer.c_str(), m_job, 1);
        httpClose(http);
    }
    cupsFinishDocument(CUPS_HTTP_DEFAULT, m_printer.c_str());
    m_job = 0;
}

} // namespace zavora
