#pragma once
// The desktop's clipboard and drops on top of the internal clipboard: Copy
// and Cut offer the selection to other programs (as SVG, a Windows
// metafile and a PNG picture, whichever this build writes) and to other
// copies of this program (as native drawing bytes under our own type);
// Paste and drops take, in order of preference, our own objects, a
// metafile, a picture, then text.

#include "export/Insert.h"
#include "model/Geometry.h"

#include <QObject>

class QMimeData;

namespace zavora {

class Drawing;
class StatusBar;

class SystemClipboard : public QObject {
    Q_OBJECT
public:
    // Native drawing bytes: the objects of a copy, for another running copy
    // of the program; inside one program the internal clipboard serves.
    static constexpr const char* kPrivateType = "application/x-zavora-draw-350";
    static constexpr const char* kSvgType = "image/svg+xml";
    static constexpr const char* kMetafileType = "image/x-wmf";
    static constexpr const char* kPngType = "image/png";

    // The status bar (may be null) shows what a paste is doing.
    SystemClipboard(Drawing& drawing, StatusBar* status, QObject* parent = nullptr);

    // The selected objects in every format this build writes; nullptr when
    // nothing is selected. The caller owns the result.
    QMimeData* selectionData() const;
    // Copy and Cut: the selection goes on the desktop's clipboard, then into
    // the internal clipboard (Cut also takes it out of the drawing).
    void copy(bool cut);
    // Paste from the desktop's clipboard; `visible` is where internal
    // objects are centred. False when nothing was pasted.
    bool paste(const InsertPlacement& at, const Rect& visible);
    // Dropped data: files are inserted, other data pasted. False when
    // nothing came of it.
    bool drop(const QMimeData& data, const InsertPlacement& at, const Rect& visible);
    // Whether Paste has something to take (kept up to date as the desktop's
    // clipboard changes, so the menu rules never wait on another program).
    bool canPaste() const;
    // Whether the data holds anything Paste or a drop can take.
    static bool accepts(const QMimeData& data);

private:
    bool pasteData(const QMimeData& data, bool ours, const InsertPlacement& at, const Rect& visible);
    void clipboardChanged();

    Drawing& m_drawing;
    StatusBar* m_status;
    bool m_foreignPasteable = false;
};

} // namespace zavora
