// The native and Illustrator reader: any bytes read without crashing or
// hanging, and reading them again, with the same reader or a fresh one, gives
// the same objects (nothing leaks from one file into the next).
#include "model/ObjectList.h"
#include "model/OutputPort.h"
#include "output/ZvxReader.h"
#include "platform/Reporter.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zavora;
    RecordingReporter quiet;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    OwnedObjects objects;
    DocumentInfo info;
    std::vector<std::string> fonts;
    ZvxReader reader(objects, &info, &fonts);
    const ZvxReadResult result = reader.readBytes(bytes, "fuzz.zvx");
    const std::size_t count = deepCount(objects);
    // What the shell asks of an opened drawing first.
    (void)unionBox(objects, true);

    if (reader.readBytes(bytes, "fuzz.zvx") != result || deepCount(objects) != 2 * count)
        std::abort();
    OwnedObjects fresh;
    ZvxReader other(fresh, nullptr, nullptr);
    if (other.readBytes(bytes, "fuzz.zvx") != result || deepCount(fresh) != count)
        std::abort();
    return 0;
}
