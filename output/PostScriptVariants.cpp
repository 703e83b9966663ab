#include "output/PostScriptVariants.h"

namespace zavora {

void EpsPort::writeOrientation(bool) { }

void EpsPort::endPage(ProgressMonitor*)
{
    writeTrailer("% showpage");
}

bool PrintPort::beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor)
{
    putText("%!PS-Adobe-3.0\r\n");
    return PostScriptPort::beginPage(info, downloadFonts, monitor);
}

} // namespace zavora
