// The checks a save dialog makes on the name the user confirms, before the dialog may close.
#pragma once

#include <cstdint>
#include <string_view>

// Kinds of save request (held with the request the save dialog's hook receives).
inline constexpr int32_t kSaveKindAny = 0;    // any name; an existing file is asked about
inline constexpr int32_t kSaveKindSound = 3;  // the name must carry the required extension

// Alerts of the checks.
inline constexpr int32_t kAlertCantSaveOverStack = 2300;
inline constexpr int32_t kAlertReplaceExistingFile = 2327;
inline constexpr int32_t kAlertSoundsOnlyAsWav = 2352;

// What the save dialog's hook receives with the dialog (through its custom data).
struct SaveCheckRequest {
    int32_t kind;
    char requiredExtension[8];  // NUL-terminated, without the dot; used for sound saves
};

// The extension of a path's file name: the text after the last '.' of the part after the last
// backslash or slash; empty when that part has no '.'.
std::string_view PathExtension(std::string_view path);

// The alert a confirmed name calls for: 0 to accept, kAlertCantSaveOverStack or
// kAlertSoundsOnlyAsWav to refuse, kAlertReplaceExistingFile to ask whether to replace the
// existing file (only "Yes" accepts). stackExtension is the stack files' extension ("STK");
// extensions compare without regard to ASCII case. A sound request without a required
// extension checks none.
int32_t CheckSaveName(int32_t kind, std::string_view path, std::string_view requiredExtension,
                      std::string_view stackExtension, bool fileExists);
