#pragma once
// MetafilePort: the drawing as a placeable Windows metafile. The GDI port
// draws every primitive into a metafile recorder, one unit per point; text
// goes out as text records in a rotated font so other programs can edit it.

#include "platform/MetafileDeviceContext.h"
#include "raster/GdiPort.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zavora {

class OutputStream;

class MetafilePort : public GdiPort {
public:
    // `stream` (not owned) receives the header and the records.
    explicit MetafilePort(OutputStream& stream);
    ~MetafilePort() override;

    bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor) override;
    void endPage(ProgressMonitor* monitor) override;
    void text(const PaintStyle& style, const Matrix& matrix, const std::string& text, const FontEntry* font,
        float size, float leading, TextAlign align, const float box[4]) override;
    // One font per object, as the metafile's text records carry it.
    void textBlock(const TextObject& object) override;

private:
    OutputStream& m_stream;
    std::unique_ptr<MetafileDeviceContext> m_recorder;
};

} // namespace zavora
