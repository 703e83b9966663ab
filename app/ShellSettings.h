#pragma once
// Every value the shell keeps in the settings file, read once at start-up and
// written once when the frame goes away.

#include "app/RecentFiles.h"

#include <optional>
#include <string>

namespace zavora {

class Profile;

struct ShellSettings {
    // Startup: the frame's normal rectangle; absent means the platform's choice.
    bool maximized = false;
    std::optional<int> left, top, width, height;
    bool rulers = true;
    bool colorBar = true;
    bool shapeLibrary = false;

    // Options and Misc.
    int units = 0; // 0 inches, 1 points, 2 centimetres
    int type42Ok = 0;
    int substitutePsForTt = 0;
    int exportFilter = 1;
    int insertFilter = 1;
    std::string openDir = ".";
    std::string exportDir = ".";
    std::string insertDir = ".";
    int paperWidth = 612;
    int paperHeight = 792;

    RecentFiles recentFiles;

    static constexpr int kVersion = 360;

    // Reads every key, with the defaults for absent ones. A page size that is
    // not positive falls back to the default: the view divides by it.
    static ShellSettings load(Profile& profile);
    // Writes every key; false when the file could not be written.
    bool save(Profile& profile) const;
};

} // namespace zavora
