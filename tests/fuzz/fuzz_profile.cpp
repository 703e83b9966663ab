// The settings parser: any bytes parse, and what it writes back parses to the
// same text again (nothing is lost or reshaped on a second round).
#include "platform/Profile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zavora::Profile profile("/nonexistent/zavora.ini");
    std::string text(reinterpret_cast<const char*>(data), size);
    profile.parse(text);
    std::string once = profile.serialize();
    profile.parse(once);
    if (profile.serialize() != once)
        std::abort();
    return 0;
}
