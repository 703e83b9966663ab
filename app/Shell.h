#pragma once
// The program-wide shell state and the start-up and shut-down sequence: the
// edition, the settings, the one drawing, the font catalogue and the frame;
// the questions asked before a changed drawing is lost.

#include "app/ShellSettings.h"
#include "model/Drawing.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace zavora {

class FontCatalogue;
class FontSystem;
class MainFrame;
class Profile;
class QtReporter;
class DebugWindow;
} // namespace zavora

class QWidget;

namespace zavora {

// The font and size new text objects get (the Font command edits them).
struct TextDefaults {
    std::string fontName; // a catalogue name; empty before the fonts are loaded
    float fontSize = 24;
};

class Shell {
public:
    struct Options {
        std::string executablePath; // argv[0]
        std::string commandLine; // the arguments after the program name
        std::filesystem::path settingsPath; // empty: Profile::defaultPath()
        bool showSplash = true;
        // Message boxes through Qt; off for tests that record the texts.
        bool installReporter = true;
        bool loadFonts = true;
    };

    explicit Shell(Options options);
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // Every step of the start-up up to the message loop; false when the
    // frame could not be created.
    bool start();

    bool formsEdition() const { return m_formsEdition; }
    const std::string& productName() const { return m_productName; }
    const std::string& programDirectory() const { return m_programDirectory; }
    ShellSettings& settings() { return m_settings; }
    Profile& profile() { return *m_profile; }
    Drawing& drawing() { return m_drawing; }
    MainFrame* frame() const { return m_frame.get(); }
    const FontCatalogue* fonts() const { return m_catalogue.get(); }

    TextDefaults& textDefaults() { return m_textDefaults; }

    void setTitle();
    // Reads a drawing file; only a file read whole replaces the drawing. It
    // is named after the file, or, when another program wrote the file,
    // after its native name beside it and modified. A file read whole is
    // recorded as recent when addRecent; the view is updated and Fit in
    // window is posted. False (reported) when the drawing stayed as it was.
    bool openDrawing(const std::string& path, bool addRecent = true);
    // Opens a file dropped on the frame, after confirmDiscard.
    void openDroppedFile(const std::string& path);

    // Yes or No answer true (Yes also sets wantSave); Cancel answers false.
    bool askSaveChanges(const std::string& name, bool& wantSave);
    // True when the drawing may be given up: unchanged, No, or Yes and saved.
    bool confirmDiscard();
    // Save: to the drawing's file, or a name asked for when it has none or
    // when another program's drawing was named after a file that exists.
    bool save();
    // Whether the drawing's name is a file it was read from or saved to.
    bool hasSavedFile() const { return !m_drawing.fileName().empty() && !m_nameFromForeignFile; }
    // The Save As dialog; nothing when cancelled.
    std::optional<std::string> chooseSaveAsName();
    // Writes the native file; false (reported) when it could not be written.
    // A file saved under a newly chosen name becomes the most recent file.
    bool saveAs(const std::string& path, bool addRecent = true);

    // The frame is going away: settings saved, catalogue released.
    void frameDestroyed();

private:
    void loadFonts();

    Options m_options;
    bool m_formsEdition = false;
    std::string m_productName;
    std::string m_programDirectory;
    std::unique_ptr<Profile> m_profile;
    ShellSettings m_settings;
    Drawing m_drawing;
    std::unique_ptr<QtReporter> m_reporter;
    std::unique_ptr<DebugWindow> m_debugWindow;
    std::unique_ptr<FontCatalogue> m_catalogue;
    std::unique_ptr<QWidget> m_splash;
    std::unique_ptr<MainFrame> m_frame;
    bool m_settingsSaved = false;
    // The drawing came from another program's file and is named after the
    // native file beside it, which it has not been saved to yet.
    bool m_nameFromForeignFile = false;
    TextDefaults m_textDefaults;
};

} // namespace zavora
