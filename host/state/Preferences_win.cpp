// The start-up read of the user's preferences, the filter plug-in folder and the desktop
// wallpaper test.
#include "host/state/Preferences.h"

#include <string>

#include "core/files/FileSlots.h"
#include "core/text/MacText.h"
#include "core/ui/Resources.h"
#include "core/ui/ScreenDepth.h"

namespace {

constexpr int kPlugInPathSize = 255;   // 254 characters
constexpr int kPlugInNameSize = 256;
constexpr int kWallpaperSize = 260;

}  // namespace

void LoadUserPreferences() {
    char value[kPrefValueSize];
    ReadPrefString("user", "advancedUser", value, sizeof value);
    SetAdvancedUser(AdvancedUserFromValue(value));
    InitScreenDepth();
}

int ReadPlugInPath(int sourceSlot, uint32_t stringId, int destSlot) {
    if (IsAdvancedUser()) {
        char file[kFileSpecPathSize];
        char folder[kPlugInPathSize + 1] = {};
        if (GetPrefsFilePath(sourceSlot, file, sizeof file) &&
            ReadProfileString(file, "user", "PlugInPath", "", folder, kPlugInPathSize) > 0) {
            std::string path(folder);
            if (path.back() != '\\')
                path += '\\';
            SetFileSpecFromPath(destSlot, path.c_str());
            return GetFileSpec(destSlot) ? 0 : -1;
        }
    }
    char name[kPlugInNameSize] = {};
    if (LoadResString(stringId, name, sizeof name) <= 0 || !GetFileSpec(sourceSlot) || !GetFileSpec(destSlot))
        return -1;
    char folder[kFileSpecPathSize];
    GetFileSpecFolder(sourceSlot, folder, sizeof folder);
    CopyFileSpec(static_cast<int16_t>(sourceSlot), static_cast<int16_t>(destSlot));
    FileSpec* dest = GetFileSpec(destSlot);
    CopyPathText(std::string(folder) + '\\' + name, dest->path, sizeof dest->path);
    CopyPathText(name, dest->name, sizeof dest->name);
    return 0;
}

bool HasWallpaper() {
    char wallpaper[kWallpaperSize] = {};
    GetProfileStringA("Desktop", "Wallpaper", "", wallpaper, sizeof wallpaper);
    return wallpaper[0] != 0 && !EqualAsciiNoCase(wallpaper, "(None)");
}
