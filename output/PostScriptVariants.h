#pragma once
// The PostScript outputs that differ from the plain export only in a slot or
// two: Encapsulated PostScript and the job sent to a PostScript printer.

#include "output/PostScriptPort.h"

namespace zavora {

// EPS: a landscape page is turned to portrait with its box swapped, no
// orientation comment, and showpage commented out for the placing program.
class EpsPort : public PostScriptPort {
public:
    using PostScriptPort::PostScriptPort;

    bool rotatesLandscape() const override { return true; }
    void writeOrientation(bool landscape) override;
    void endPage(ProgressMonitor* monitor) override;
};

// The print job: the plain PostScript after a "%!PS-Adobe-3.0" line, so that
// spoolers take the stream for a document rather than an encapsulated figure.
class PrintPort : public PostScriptPort {
public:
    using PostScriptPort::PostScriptPort;

    bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor) override;
};

} // namespace zavora
