// The metafile import: any bytes read without crashing, hanging or reading
// outside them; a second import of the same bytes gives as many objects, and
// what was imported writes out again as a metafile.
#include "model/ObjectList.h"
#include "model/OutputPort.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"
#include "raster/MetafileImport.h"
#include "raster/MetafilePort.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zavora;
    RecordingReporter quiet;
    const std::span<const uint8_t> bytes(data, size);

    OwnedObjects objects;
    const MetafileImportResult result = importMetafileBytes(bytes, objects, PaperSize {});
    const std::size_t count = objects.size();
    if ((result == MetafileImportResult::Imported) != (count > 0))
        std::abort();
    if (importMetafileBytes(bytes, objects, PaperSize {}) != result || objects.size() != 2 * count)
        std::abort();

    MemoryOutputStream stream;
    stream.open();
    MetafilePort port(stream);
    DocumentInfo info;
    info.x1 = 612, info.y1 = 792;
    port.beginPage(info, false, nullptr);
    for (std::size_t i = 0; i < count; ++i)
        objects[i]->emit(port);
    port.endPage(nullptr);
    return 0;
}
