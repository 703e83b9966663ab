#pragma once
// The reader of native drawing files, which also reads Illustrator 88 files
// (the native format borrows their operator language). It is not a
// PostScript interpreter: it follows the DSC comment structure line by line,
// skips the prolog and setup, and recognises one operator per body line by the
// name at the end of the line, scanning the operands in front of it.
//
// Objects are appended to the caller's list as they are painted, so a file
// that breaks off part-way leaves the objects read before the break.

#include "model/ObjectList.h"
#include "model/OutputPort.h"
#include "model/PaintStyle.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zavora {

class GroupObject;

// Every failure has been reported when the reader returns.
enum class ZvxReadResult {
    Read, // the trailer was reached
    CannotOpen, // "Unable to open %s\n%s": the system's reason, or not enough memory
    OldVersion, // a version 1 native file, which this version cannot read
    Damaged, // no prolog end, or the data ended before the trailer
};

class ZvxReader {
public:
    // Objects go to target. info (may be null) receives the orientation, the
    // grid and whether another program wrote the file; missingFonts (may be null) collects each font name the
    // catalogue does not know, once.
    ZvxReader(OwnedObjects& target, DocumentInfo* info, std::vector<std::string>* missingFonts);
    ~ZvxReader();
    ZvxReader(const ZvxReader&) = delete;
    ZvxReader& operator=(const ZvxReader&) = delete;

    // Reads the file at path; failures are reported through the Reporter.
    ZvxReadResult readFile(const std::string& path);
    // Reads file bytes already in memory; path only names the file in messages.
    ZvxReadResult readBytes(std::string_view bytes, const std::string& path);

private:
    class LineSource;
    struct OpenList;
    enum class Op;

    ZvxReadResult parse(LineSource& lines, const std::string& path);
    void reset();
    void dispatch(std::string_view line);
    void handle(Op op, std::string_view line);

    void setUrl(std::string_view line, bool continuation);
    void setColorRgb(double r, double g, double b, bool fill);
    void setColorCmyk(double c, double m, double y, double k, bool fill);
    void curveTo(double x1, double y1, double x2, double y2, double x3, double y3, uint32_t flags,
        bool firstFromCurrent, bool secondAtEnd);
    void paint(bool closed, bool fill, bool stroke);
    void setPending(std::unique_ptr<DrawObject> object);
    void appendObject(std::unique_ptr<DrawObject> object);
    void openList(bool compound);
    void closeList(bool compound);
    void closeOpenLists();
    void appendTextLine(std::string_view line);
    void endText();
    bool readImage(std::string_view line);

    OwnedObjects& m_target;
    DocumentInfo* m_info;
    std::vector<std::string>* m_missingFonts;
    LineSource* m_lines = nullptr; // the source being read, for image data

    // Reset at the start of every file.
    OwnedObjects* m_current; // the target, or the innermost open bracket's list
    std::vector<std::unique_ptr<OpenList>> m_stack;
    std::size_t m_ignoredOpens = 0; // brackets opened beyond the nesting limit
    PaintStyle m_style;
    NodeList m_path;
    int m_pathKind = 0;
    std::unique_ptr<DrawObject> m_pending;
    Matrix m_pendingMatrix;
    bool m_pendingMatrixOn = false;
    int m_arrowCode = kArrowNone;
    std::string m_text;
    std::size_t m_textLines = 0; // lines of the current text read so far
    bool m_textMarkerLast = false; // the last of them was a paragraph marker "(\r)"
    Matrix m_textMatrix;
    std::string m_fontName;
    float m_fontSize = 0;
    float m_leading = 0;
    TextAlign m_align = TextAlign::Left;
    float m_textBox[4] = { 0, 0, 0, 0 }; // x2, y2, x1, y1 as "tbx" gives them
    bool m_textBoxOn = false;
    std::string m_url; // the last URL as read, before trimming, for continuation lines
    const DrawObject* m_urlObject = nullptr;
    bool m_imageFailed = false; // the data ended inside an image
    bool m_fillColorSet = false; // a fill colour operator has been read
    bool m_ourFile = false; // the creator line names this program
};

// Reads path into target. Returns the result; every failure is already reported.
ZvxReadResult readNativeFile(const std::string& path, OwnedObjects& target, DocumentInfo* info,
    std::vector<std::string>* missingFonts);

// File Open: reads into the document's new object list and settings, then
// warns once for each font the catalogue does not have.
ZvxReadResult openNativeFile(const std::string& path, OwnedObjects& objects, DocumentInfo& info);
// Insert: reads into a temporary list; orientation, grid and fonts are not reported.
ZvxReadResult insertNativeFile(const std::string& path, OwnedObjects& objects);

} // namespace zavora
