// A sound file that a stack or the recorder names, found where it went and converted into the
// data of a sound resource by its extension.
#include "media/sounds/SoundResources.h"

#include <string>
#include <string_view>

#include "core/files/FileLayer.h"
#include "core/files/FileTypes.h"
#include "core/files/OpenFileDialog.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "media/MediaManager.h"
#include "stack/save/SaveStack.h"

namespace {

// String 4009, then each description and pattern ending in a zero, and the closing zero.
std::string SoundFilter() {
    std::string filter = ResText(kStringSoundFilter);
    for (std::string_view part : {" (*.WAV)", "*.wav", " (*.AIF)", "*.aif", " (*.AU)", "*.au"}) {
        filter += part;
        filter.push_back('\0');
    }
    filter.push_back('\0');
    return filter;
}

bool LocateSound(const char* remembered, char* found, int size, bool here) {
    const std::string filter = SoundFilter();
    const FileRequest request = {static_cast<uint16_t>(kStringFindSound), filter.c_str(), 0, kSoundPreview,
                                 kNoSlot, 0};
    return LocateRememberedPath(request, remembered, found, static_cast<size_t>(size), false, here);
}

}  // namespace

bool LocateSoundPath(const char* remembered, char* found, int size) {
    return remembered && *remembered && size > 0 && LocateSound(remembered, found, size, false);
}

Handle ImportSoundPath(const char* remembered, char* found, int size, bool here, bool showError) {
    if (!remembered || !found || size <= 0)
        return 0;
    *found = 0;
    if (!LocateSound(remembered, found, size, here))
        return 0;
    const int type = FileTypeFromExtension(found);
    if (type == kFileTypeMid)
        return MediaImportMidiFile(found);
    if (type != kFileTypeWav && type != kFileTypeAif && type != kFileTypeAu)
        return 0;
    Handle file = 0;
    const int error = ReadFilePathToHandle(found, &file, 0);
    if (error != kFileOk) {
        if (showError)
            ShowErrorMessage(error);
        return 0;
    }
    const Handle sound = type == kFileTypeWav ? ImportWaveData(file)
                         : type == kFileTypeAif ? ImportAiffData(file)
                                                : ImportAuData(file);
    // The file's bytes go unless they became the resource.
    if (sound != file)
        DisposeHandle(file);
    return sound;
}

Handle ImportSoundFile(int slot, bool showError) {
    const FileSpec* spec = GetFileSpec(slot);
    if (!spec)
        return 0;
    const std::string remembered(PathOf(*spec));
    char found[kFileSpecPathSize] = {};
    const Handle sound = ImportSoundPath(remembered.c_str(), found, sizeof found, false, showError);
    if (*found)
        SetFileSpecFromPath(slot, found);
    return sound;
}
