#pragma once
// Windows metafile import: the 16-bit records of a metafile (with or without
// the placeable header) played into drawing objects, then placed on the page.
// Every record's size and counts are checked against the data: a short or
// lying record ends the import with what was read before it.

#include "model/ObjectList.h"

#include <cstdint>
#include <span>
#include <string>

namespace zavora {

enum class MetafileImportResult {
    Imported,
    CannotRead, // the file could not be opened or read
    NotMetafile, // no metafile header where one belongs
    NothingFound, // a metafile, but not one record became an object
};

// The paper the imported objects are centred on, in points.
struct PaperSize {
    int width = 612;
    int height = 792;
};

// A whole file's bytes: a placeable header, when the key starts them, is
// read and skipped.
MetafileImportResult importMetafileBytes(std::span<const uint8_t> bytes, OwnedObjects& target, PaperSize paper);
MetafileImportResult importMetafileFile(const std::string& path, OwnedObjects& target, PaperSize paper);

} // namespace zavora
