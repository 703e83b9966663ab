// Both TrueType converters on the same bytes: any input must convert or fail
// with a message, never read outside the data or run without end. The seeds
// are fonts of the test data (linked, not copied).
#include "fonts/Type3Converter.h"
#include "fonts/Type42Converter.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zavora;
    RecordingReporter quiet;
    const std::span<const std::uint8_t> font(data, size);
    constexpr std::string_view kEnd = "FontName currentdict end definefont pop\r\n%%EOF\r\n";
    {
        MemoryOutputStream out;
        if (Type42Converter().convert(font, out)) {
            // A finished program has its whole sfnts array and its trailer.
            if (out.data().find("]def\r\n") == std::string::npos || !out.data().ends_with(kEnd))
                std::abort();
        }
    }
    {
        MemoryOutputStream out;
        if (Type3Converter().convert(font, out) && !out.data().ends_with(kEnd))
            std::abort();
    }
    return 0;
}
