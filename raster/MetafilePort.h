#pragma once
// MetafilePort: the drawing as a placeable Windows metafile. The GDI port
// draws every primitive into a metafile recorder, one unit per point; text
// goes out as text records in a rotated font so other programs can edit it.
// Without a stream the finished metafile is only kept (the clipboard's use).

#include "platform/MetafileDeviceContext.h"
#include "raster/GdiPort.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace zavora {

class OutputStream;

class MetafilePort : public GdiPort {
public:
    // `stream` (may be null, not owned) receives the header and the records.
    explicit MetafilePort(OutputStream* stream);
    ~MetafilePort() override;

    bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor) override;
    void endPage(ProgressMonitor* monitor) override;
    void text(const PaintStyle& style, const Matrix& matrix, const std::string& text, const FontEntry* font,
        float size, float leading, TextAlign align, const float box[4]) override;
    // One font per object, as the metafile's text records carry it.
    void textBlock(const TextObject& object) override;

    // When set, endPage keeps the finished metafile for metafile().
    void setKeepMetafile(bool keep) { m_keepMetafile = keep; }
    // The finished metafile's records (without the placeable header), when kept.
    const std::optional<std::vector<uint8_t>>& metafile() const { return m_metafile; }
    // The 22 bytes written ahead of the records; empty before beginPage.
    const std::vector<uint8_t>& placeableHeader() const { return m_header; }

private:
    OutputStream* m_stream;
    bool m_keepMetafile = false;
    std::vector<uint8_t> m_header;
    std::unique_ptr<MetafileDeviceContext> m_recorder;
    std::optional<std::vector<uint8_t>> m_metafile;
};

} // namespace zavora
