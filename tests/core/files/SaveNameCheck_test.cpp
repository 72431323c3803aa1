// The checks on a confirmed save name: stacks may not be overwritten, sounds keep their
// extension, existing files are asked about.
#include "core/files/SaveNameCheck.h"

#include <gtest/gtest.h>

namespace {

TEST(SaveNameCheck, PathExtension) {
    const struct {
        const char* path;
        const char* extension;
    } cases[] = {
        {"clip.mp3", "mp3"},       {"C:\\a\\b.c\\clip.WAV", "WAV"}, {"C:\\a.b\\noext", ""},
        {"a.tar.gz", "gz"},        {"name.", ""},                   {"", ""},
        {"d:/x.y/z.stk", "stk"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathExtension(c.path), c.extension) << c.path;
}

TEST(SaveNameCheck, RefusalsAndQuestions) {
    const struct {
        int32_t kind;
        const char* path;
        const char* required;
        bool exists;
        int32_t alert;
    } cases[] = {
        {kSaveKindSound, "C:\\sounds\\clip.mp3", "WAV", false, kAlertSoundsOnlyAsWav},
        {kSaveKindSound, "C:\\sounds\\clip.wav", "WAV", false, 0},
        {kSaveKindSound, "C:\\sounds\\clip.Wav", "wav", true, kAlertReplaceExistingFile},
        {kSaveKindSound, "C:\\sounds\\clip", "WAV", false, kAlertSoundsOnlyAsWav},
        {kSaveKindSound, "C:\\sounds\\clip.stk", "WAV", false, kAlertSoundsOnlyAsWav},
        {kSaveKindSound, "C:\\sounds\\clip.mp3", "", false, 0},  // no requirement held
        {1, "C:\\pictures\\card.stk", "BMP", false, kAlertCantSaveOverStack},
        {1, "C:\\pictures\\card.StK", "", true, kAlertCantSaveOverStack},  // refused before asking
        {2, "C:\\texts\\notes.txt", "TXT", true, kAlertReplaceExistingFile},
        {2, "C:\\texts\\notes.txt", "TXT", false, 0},
        {1, "C:\\pictures.stk\\card.bmp", "BMP", false, 0},  // the folder's dot is not the extension
        {kSaveKindAny, "C:\\stacks\\old.stk", "STK", true, kAlertReplaceExistingFile},  // another stack
        {kSaveKindAny, "C:\\x\\clip.mp3", "", true, kAlertReplaceExistingFile},
        {kSaveKindAny, "C:\\stacks\\new.stk", "STK", false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckSaveName(c.kind, c.path, c.required, "STK", c.exists), c.alert)
            << "kind " << c.kind << " " << c.path << " exists " << c.exists;

    // Without the stack extension string nothing is taken for a stack.
    EXPECT_EQ(CheckSaveName(1, "C:\\card", "", "", false), 0);
}

}  // namespace
