#include "model/FontLookup.h"

namespace zavora {

namespace {
const FontLookup* g_current = nullptr;
}

const FontLookup* FontLookup::current()
{
    return g_current;
}

void FontLookup::setCurrent(const FontLookup* lookup)
{
    g_current = lookup;
}

} // namespace zavora
