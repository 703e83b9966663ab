#pragma once
// Insert: adds the contents of a file (a drawing, a metafile, an image or a
// text file) to the open drawing as one recorded step, the new objects
// selected. Pasted and dropped pictures and text come in the same way.

#include "model/Geometry.h"
#include "raster/MetafileImport.h"

#include <string>
#include <string_view>

namespace zavora {

class Drawing;
class ImageDecoder;
struct DecodedImage;

enum class InsertKind { Drawing, Metafile, Image, Text };

// By the extension (case-insensitive); anything unknown is read as a drawing.
InsertKind insertKindForPath(std::string_view path);

// Where new pictures and texts go: drawing points of the window's top-left
// area. An image's top-left corner goes to imageCorner (its bottom-left in a
// landscape view, which shows the page turned); a text's origin to textOrigin.
struct InsertPlacement {
    Point imageCorner;
    Point textOrigin;
    bool landscape = false;
    PaperSize paper; // metafiles are centred on it
};

// The longest text file inserted, in bytes.
constexpr std::size_t kLongestTextFile = 32000;

// False, reported, when nothing could be added; the drawing is then unchanged.
bool insertFile(Drawing& drawing, const std::string& path, const InsertPlacement& at, ImageDecoder& images);
// A metafile's bytes (a pasted or dropped picture), with or without the
// placeable header.
bool insertMetafile(Drawing& drawing, std::span<const uint8_t> bytes, const InsertPlacement& at);
// A picture, one pixel a point.
bool insertImage(Drawing& drawing, const DecodedImage& image, const InsertPlacement& at);
// Text (Windows-1252 bytes, lines ending in LF or CR LF) by the text-file
// rules: line feed pairs become paragraph breaks, a final line feed goes;
// default font, 24 on 26, left.
bool insertText(Drawing& drawing, std::string_view bytes, const InsertPlacement& at);
// UTF-8 text (as Linux files and clipboards hold it) in the code page text
// objects hold; characters it lacks become '?'. Bytes that are not UTF-8
// are taken as they stand.
std::string toWindowsLatin1(std::string_view text);

} // namespace zavora
