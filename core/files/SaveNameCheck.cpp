// The checks a save dialog makes on the name the user confirms.
#include "core/files/SaveNameCheck.h"

#include "core/text/MacText.h"

std::string_view PathExtension(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

int32_t CheckSaveName(int32_t kind, std::string_view path, std::string_view requiredExtension,
                      std::string_view stackExtension, bool fileExists) {
    // A stack, or a file of any kind, is never replaced without a question.
    if (kind == kSaveKindAny)
        return fileExists ? kAlertReplaceExistingFile : 0;
    const std::string_view extension = PathExtension(path);
    if (kind == kSaveKindSound) {
        if (!requiredExtension.empty() && !EqualAsciiNoCase(extension, requiredExtension))
            return kAlertSoundsOnlyAsWav;
    } else if (!stackExtension.empty() && EqualAsciiNoCase(extension, stackExtension)) {
        return kAlertCantSaveOverStack;
    }
    return fileExists ? kAlertReplaceExistingFile : 0;
}
