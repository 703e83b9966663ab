#pragma once
// A PostScript Level 2 form resource: the drawing as the PaintProc of a form
// dictionary defined under the form's name, to be run with execform. Images
// become arrays of grey rows defined ahead of the PaintProc, since a form
// cannot read its image data from the file each time it is painted.

#include "output/PostScriptPort.h"
#include "platform/OutputStream.h"

#include <string>

namespace zavora {

// Holds the page until endPage: the image arrays go in front of the
// PaintProc, but the images are met only while the PaintProc is written.
struct FormPageBuffer {
    MemoryOutputStream page;
};

class FormPort : private FormPageBuffer, public PostScriptPort {
public:
    // `name` is the form's PostScript name and its dictionary's.
    FormPort(OutputStream& stream, std::string name);

    bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor) override;
    void endPage(ProgressMonitor* monitor) override;
    void image(const Matrix& matrix, const ImageObject& image) override;
    bool failed() const override { return m_failed; }

private:
    // The image's grey rows as the array "bmpNNNN", width by height pixels.
    void appendImageArray(const ImageObject& image, int32_t width, int32_t height);

    OutputStream& m_target;
    std::string m_name;
    std::string m_imageArrays;
    std::size_t m_arraysAt = 0;
    int m_imageCount = 0;
    bool m_failed = false;
};

} // namespace zavora
