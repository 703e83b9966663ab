#pragma once
// ProgressMonitor: what long work (export, printing) reports its progress to
// and asks whether the user has cancelled. The shell's progress dialog
// implements it; tests use their own.

namespace zavora {

class ProgressMonitor {
public:
    virtual ~ProgressMonitor() = default;

    // Work of `total` steps begins.
    virtual void start(int total) = 0;
    // One more step is done.
    virtual void step() = 0;
    // The work's current stage in words ("Exporting EPS..."); optional.
    virtual void setStage(const char*) { }
    // Whether the user asked to stop; the work stops at its next check.
    virtual bool cancelled() const = 0;
};

} // namespace zavora
