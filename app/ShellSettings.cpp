#include "app/ShellSettings.h"

#include "platform/Profile.h"

#include <algorithm>

namespace zavora {

namespace {

std::optional<int> optionalInt(Profile& profile, const char* section, const char* key)
{
    if (!profile.find(section, key))
        return std::nullopt;
    return profile.getInt(section, key, 0);
}

// The dialogs' folders are fixed-size buffers in the file's other readers.
std::string folder(Profile& profile, const char* key)
{
    std::string value = profile.getString("Misc", key, ".");
    if (value.size() > 259)
        value.resize(259);
    return value;
}

} // namespace

ShellSettings ShellSettings::load(Profile& profile)
{
    ShellSettings s;
    s.maximized = profile.getInt("Startup", "Maximized", 0) != 0;
    s.left = optionalInt(profile, "Startup", "Left");
    s.top = optionalInt(profile, "Startup", "Top");
    s.width = optionalInt(profile, "Startup", "Width");
    s.height = optionalInt(profile, "Startup", "Height");
    s.rulers = profile.getInt("Startup", "Ruler", 1) != 0;
    s.colorBar = profile.getInt("Startup", "Colorpal", 1) != 0;
    s.shapeLibrary = profile.getInt("Startup", "Shapelib", 0) != 0;
    profile.getInt("Misc", "Version", 0); // read, never used
    s.units = std::clamp(profile.getInt("Options", "Units", 0), 0, 2);
    s.type42Ok = profile.getInt("Misc", "Type42ok", 0);
    s.substitutePsForTt = profile.getInt("Misc", "SubstPSforTT", 0);
    s.exportFilter = profile.getInt("Misc", "ExportFilter", 1);
    s.insertFilter = profile.getInt("Misc", "InsertFilter", 1);
    s.openDir = folder(profile, "OpenDir");
    s.exportDir = folder(profile, "ExportDir");
    s.insertDir = folder(profile, "InsertDir");
    s.paperWidth = profile.getInt("Options", "PaperWidth", 612);
    s.paperHeight = profile.getInt("Options", "PaperHeight", 792);
    if (s.paperWidth <= 0)
        s.paperWidth = 612;
    if (s.paperHeight <= 0)
        s.paperHeight = 792;
    for (int i = 0; i < RecentFiles::kCount; ++i)
        s.recentFiles.set(i, profile.getString("RecentFiles", "File" + std::to_string(i), ""));
    return s;
}

bool ShellSettings::save(Profile& profile) const
{
    bool ok = true;
    auto putInt = [&](const char* section, const char* key, int value) {
        ok = profile.putInt(section, key, value) && ok;
    };
    auto putString = [&](const char* section, const std::string& key, const std::string& value) {
        ok = profile.putString(section, key, value) && ok;
    };
    putInt("Startup", "Maximized", maximized ? 1 : 0);
    if (left)
        putInt("Startup", "Left", *left);
    if (top)
        putInt("Startup", "Top", *top);
    if (width)
        putInt("Startup", "Width", *width);
    if (height)
        putInt("Startup", "Height", *height);
    putInt("Startup", "Ruler", rulers ? 1 : 0);
    putInt("Startup", "Colorpal", colorBar ? 1 : 0);
    putInt("Startup", "Shapelib", shapeLibrary ? 1 : 0);
    putInt("Misc", "Version", kVersion);
    putInt("Options", "Units", units);
    putInt("Misc", "Type42ok", type42Ok);
    putInt("Misc", "SubstPSforTT", substitutePsForTt);
    putInt("Misc", "ExportFilter", exportFilter);
    putInt("Misc", "InsertFilter", insertFilter);
    putString("Misc", "OpenDir", openDir);
    putString("Misc", "ExportDir", exportDir);
    putString("Misc", "InsertDir", insertDir);
    putInt("Options", "PaperWidth", paperWidth);
    putInt("Options", "PaperHeight", paperHeight);
    for (int i = 0; i < RecentFiles::kCount; ++i)
        putString("RecentFiles", "File" + std::to_string(i), recentFiles.at(i));
    return ok;
}

} // namespace zavora
