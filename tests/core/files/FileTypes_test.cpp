// File kinds from names: the extension table and its groups.
#include "core/files/FileTypes.h"

#include <gtest/gtest.h>

namespace {

TEST(FileTypes, ExtensionIndexes) {
    struct Case {
        const char* name;
        int type;
    };
    const Case cases[] = {
        {"PHOTO.JPG", 2},         {"clip.mpeg", 25},     {"archive.tar.gz", -1}, {"README", -1},
        {"a.b.wav", 12},          {"C:\\x.y\\file", -1}, {"stack.Stk", 11},      {"song.MID", 23},
        {"movie.mpg", 24},        {"tiny.tw", 18},       {"name.", -1},          {".bmp", 0},
        {"ends.with.mpe", -1},    {"", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileTypeFromExtension(c.name), c.type) << c.name;
}

TEST(FileTypes, KindGroups) {
    for (int type = -1; type <= 26; ++type) {
        const bool picture = (type >= 0 && type <= 10) || type == 22;
        const bool sound = type == 12 || type == 20 || type == 21 || type == 23;
        const bool movie = type == 13 || type == 19 || type == 24 || type == 25;
        EXPECT_EQ(IsPictureFileType(type), picture) << type;
        EXPECT_EQ(IsSoundFileType(type), sound) << type;
        EXPECT_EQ(IsMovieFileType(type), movie) << type;
    }
    EXPECT_TRUE(IsPictureFileType("drawing.WMF"));
    EXPECT_TRUE(IsSoundFileType("voice.au"));
    EXPECT_TRUE(IsMovieFileType("intro.MOV"));
    EXPECT_FALSE(IsPictureFileType("intro.mov"));
    EXPECT_FALSE(IsSoundFileType("no extension"));
}

}  // namespace
