#pragma once
// Long commands: the wait cursor while they run, and a status text such as
// "Saving..." that gives way to the former one when they end, so it never
// stays behind as if the work were still going on.

#include <QString>

namespace zavora {

class StatusBar;

// The wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

class BusyStatus {
public:
    // status may be null (no frame yet): then only the cursor changes.
    BusyStatus(StatusBar* status, const char* text);
    ~BusyStatus();
    BusyStatus(const BusyStatus&) = delete;
    BusyStatus& operator=(const BusyStatus&) = delete;

private:
    QString m_former;
    WaitCursor m_wait;
};

} // namespace zavora
