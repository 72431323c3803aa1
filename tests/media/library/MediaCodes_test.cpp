// Media library classification by name and first bytes, and unique names in its folder, over
// files in memory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "media/library/MediaCodes.h"
#include "media/library/MediaLibPaths.h"
#include "media/library/MediaLibRecord.h"
#include "core/files/FileReplacement.h"
#include "tests/support/MemoryFiles.h"

namespace {

void Put(const std::string& path, const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(WriteWholeFile(path, bytes), ReplaceFailure::None);
}

std::vector<uint8_t> Text(std::string_view text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> ObjectHeaderBytes(const char magic[5], const char kind[5]) {
    std::vector<uint8_t> bytes(40, 0);
    std::memcpy(bytes.data(), magic, 4);
    std::memcpy(bytes.data() + 4, kind, 4);
    bytes[9] = 1;  // version 0x00010000
    return bytes;
}

// A GIF89 of 1 by 1 pixels with the given number of images.
std::vector<uint8_t> Gif(int images) {
    std::vector<uint8_t> gif = Text("GIF89a");
    gif.insert(gif.end(), {1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255});
    for (int i = 0; i < images; ++i) {
        gif.insert(gif.end(), {0x21, 0xF9, 4, 0, 10, 0, 0, 0});
        gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0});
    }
    gif.push_back(0x3B);
    return gif;
}

class MediaCodesTest : public MemoryFilesTest {};

TEST_F(MediaCodesTest, ExtensionsMatchTheirListWordsAsPrefixes) {
    for (const char* name : {"C:\\Lib\\a.TIFF", "C:\\Lib\\b.mpeg", "C:\\Lib\\c.wave", "C:\\Lib\\d.jpeg"})
        Put(name, Text("plain bytes that are nothing in particular"));
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\a.TIFF"), kMediaPicture);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\b.mpeg"), kMediaMovie);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\c.wave"), kMediaSound);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\d.jpeg"), kMediaNone);
    EXPECT_EQ(MediaCodeForExtension("Lnk"), kMediaShortcut);
    EXPECT_EQ(MediaCodeForExtension(""), kMediaNone);
}

TEST_F(MediaCodesTest, RichTextIsKnownByItsFirstBytesInTextOrUnknownFiles) {
    Put("C:\\Lib\\note.txt", Text("{\\rtf1\\ansi hello}"));
    Put("C:\\Lib\\note.zzz", Text("{\\rtf1\\ansi hello}"));
    Put("C:\\Lib\\plain.txt", Text("hello"));
    Put("C:\\Lib\\rich.wav", Text("{\\rtf1 not a sound list match}"));
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\note.txt"), kMediaRichText);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\note.zzz"), kMediaRichText);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\plain.txt"), kMediaText);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\rich.wav"), kMediaSound);
}

TEST_F(MediaCodesTest, SavedObjectsAreKnownByTheirHeaderWhateverTheExtension) {
    Put("C:\\Lib\\odd.grfc", ObjectHeaderBytes("LMPK", "Bttn"));
    Put("C:\\Lib\\bad.bttn", ObjectHeaderBytes("XXPK", "Bttn"));
    Put("C:\\Lib\\noext", ObjectHeaderBytes("LMPK", "TFld"));
    Put("C:\\Lib\\short.grfc", Text("LMPKGrfc"));
    Put("C:\\Lib\\other.bttn", ObjectHeaderBytes("LMPK", "Snd "));
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\odd.grfc"), kMediaButton);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\bad.bttn"), kMediaNone);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\noext"), kMediaTextObject);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\short.grfc"), kMediaNone);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\other.bttn"), kMediaNone);
    SavedObjectHeader header{};
    ASSERT_TRUE(ReadObjectFileHeader("C:\\Lib\\odd.grfc", &header));
    EXPECT_EQ(header.version, 0x00010000u);
    EXPECT_FALSE(ReadObjectFileHeader("C:\\Lib\\short.grfc", &header));
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\missing.bttn"), kMediaNone);
}

TEST_F(MediaCodesTest, AGif89WithSeveralImagesIsAnAnimation) {
    Put("C:\\Lib\\one.gif", Gif(1));
    Put("C:\\Lib\\two.gif", Gif(2));
    std::vector<uint8_t> cut = Gif(2);
    cut.resize(cut.size() - 12);  // the second image runs past the end
    Put("C:\\Lib\\cut.gif", cut);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\one.gif"), kMediaPicture);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\two.gif"), kMediaAnimatedGif);
    EXPECT_EQ(MediaCodeForFile("C:\\Lib\\cut.gif"), kMediaPicture);
}

TEST_F(MediaCodesTest, UniqueNamesInTheLibraryFolderAreNumbered) {
    char out[300] = "x";
    EXPECT_EQ(MakeUniqueMediaLibPath(out, "Pict", ".bmp", sizeof out), 0);  // no record
    EXPECT_STREQ(out, "");
    ASSERT_TRUE(AllocMediaLibRecord());
    {
        MediaLibLock record;
        std::strcpy(record->folder, "C:\\Media Library\\Art");
    }
    for (const char* name : {"C:\\Media Library\\Art\\Pict.bmp", "C:\\Media Library\\Art\\Pict1.bmp",
                             "C:\\Media Library\\Art\\Pict2.bmp"})
        Put(name, Text("x"));
    EXPECT_EQ(MakeUniqueMediaLibPath(out, "Pict", ".bmp", sizeof out), 1);
    EXPECT_STREQ(out, "C:\\Media Library\\Art\\Pict3.bmp");
    EXPECT_EQ(MakeUniqueMediaLibPath(out, "", ".bmp", sizeof out), 0);
    // A path that does not fit is refused, never cut.
    EXPECT_EQ(MakeUniqueMediaLibPath(out, "Pict", ".bmp", 20), 0);
    EXPECT_STREQ(out, "");
    FreeMediaLibRecord(false);
}

}  // namespace
