// WAV files walked with the multimedia file services, malformed ones refused without harm; and
// a moved sound file asked for, chosen and converted in the hosted plug-in.
#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/files/FileLayer.h"
#include "core/memory/ByteReader.h"
#include "media/sounds/SoundResources.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace sb = stackbuilder;

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kFileNameCombo = 1148, kFileNameEdit = 1152, kFilterCombo = 1136;

void Put(Bytes* b, const char* text) {
    for (int i = 0; i < 4; ++i)
        b->push_back(static_cast<uint8_t>(text[i]));
}
void PutLE(Bytes* b, uint32_t v, int width) {
    for (int i = 0; i < width; ++i)
        b->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A WAV file with a padded odd chunk before "fmt ", as editors write them.
Bytes Wave(uint16_t tag, uint32_t formatSize, uint32_t dataSize, const Bytes& samples, bool withData = true) {
    Bytes body;
    Put(&body, "WAVE");
    Put(&body, "LIST");
    PutLE(&body, 3, 4);
    body.insert(body.end(), {'a', 'b', 'c', 0});
    Put(&body, "fmt ");
    PutLE(&body, formatSize, 4);
    PutLE(&body, tag, 2);
    PutLE(&body, 2, 2);        // stereo
    PutLE(&body, 22050, 4);
    PutLE(&body, 22050 * 4, 4);
    PutLE(&body, 4, 2);
    PutLE(&body, 16, 2);
    if (withData) {
        Put(&body, "data");
        PutLE(&body, dataSize, 4);
        body.insert(body.end(), samples.begin(), samples.end());
    }
    Bytes file;
    Put(&file, "RIFF");
    PutLE(&file, static_cast<uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

struct Memory {
    Memory() { EXPECT_TRUE(InitMemRefs()); }
    ~Memory() { FreeMemRefs(); }
};

TEST(SoundImport, WaveFilesAreWalkedAndMalformedOnesRefused) {
    Memory memory;
    const Bytes samples = {1, 2, 3, 4, 5, 6, 7, 8};
    Handle file = NewHandleFromBytes(Wave(1, 16, 8, samples));
    uint32_t alert = 99;
    Handle sound = ImportWaveData(file, &alert);
    ASSERT_NE(sound, 0) << alert;
    DisposeHandle(file);
    Bytes stored = HandleToBytes(sound);
    ASSERT_EQ(stored.size(), 92u + 8);
    EXPECT_EQ(GetBE32(stored, 6), 0xC0u);
    EXPECT_EQ(GetBE32(stored, 36), 22050u << 16);
    EXPECT_EQ(Bytes(stored.begin() + 92, stored.end()), (Bytes{2, 1, 4, 3, 6, 5, 8, 7}));
    DisposeHandle(sound);

    // A data chunk said to run past the file keeps the whole frames there are.
    file = NewHandleFromBytes(Wave(1, 16, 1000, {1, 2, 3, 4, 5, 6}));
    sound = ImportWaveData(file, &alert);
    ASSERT_NE(sound, 0) << alert;
    EXPECT_EQ(GetBE32(HandleToBytes(sound), 50), 1u);  // frames
    DisposeHandle(sound);
    DisposeHandle(file);

    struct Case {
        const char* what;
        Bytes file;
        uint32_t alert;
    };
    Bytes notWave = Wave(1, 16, 8, samples);
    notWave[8] = 'X';
    Bytes shortFile = Wave(1, 16, 8, samples);
    shortFile.resize(30);
    const Case cases[] = {
        {"not PCM", Wave(3, 16, 8, samples), kAlertSoundFormatUnsupported},
        {"another form", notWave, kAlertUnreadableSound},
        {"cut inside the format", shortFile, kAlertUnreadableSound},
        {"a huge format chunk", Wave(1, 0xFFFFFFF0u, 8, samples), kAlertUnreadableSound},
        {"a short format chunk", Wave(1, 8, 8, samples), kAlertUnreadableSound},
        {"no data chunk", Wave(1, 16, 0, {}, false), kAlertUnreadableSound},
        {"no whole frame", Wave(1, 16, 3, {1, 2, 3}), kAlertUnreadableSound},
        {"nothing", {}, kAlertUnreadableSound},
        {"no RIFF", Bytes(64, 0xFF), kAlertUnreadableSound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        file = NewHandleFromBytes(c.file);
        ASSERT_NE(file, 0);
        alert = 0;
        EXPECT_EQ(ImportWaveData(file, &alert), 0);
        EXPECT_EQ(alert, c.alert);
        DisposeHandle(file);
    }
}

std::string TempFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    return temp;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(SoundImport, AMovedSoundFileIsAskedForAndConverted) {
    const std::string tag = ProcessTag();
    sb::Stack stack;
    stack.cardWidth = 160;
    stack.cardHeight = 120;
    stack.cards.push_back(sb::PictureCard(1, sb::SolidPicture(160, 120, 8, 0)));
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack, "sounds-" + tag + ".stk", &page));
    ASSERT_TRUE(OpenAgainFromThisMachine(page)) << "a stack of this machine asks the person";
    const std::string folder = TempFolder() + "moved-" + tag;
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string moved = folder + "\\tone.wav";
    const Bytes samples = {1, 2, 3, 4};
    WriteFile(moved, Wave(1, 16, 4, samples));

    constexpr int kSlot = kSlotMediaFolder14;
    SetFileSpecFromPath(kSlot, ("C:\\gone-" + tag + "\\tone.wav").c_str());
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Caption("Please find the sound named: tone.wav"), [&](DialogView& box) {
        EXPECT_EQ(box.ListCount(kFilterCombo), 3);
        EXPECT_EQ(box.ListItem(kFilterCombo, 0), "Sounds  (*.WAV)");
        EXPECT_EQ(box.ListItem(kFilterCombo, 1), " (*.AIF)");
        EXPECT_EQ(box.ListItem(kFilterCombo, 2), " (*.AU)");
        box.SetText(box.Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit, moved);
        box.Press(IDOK);
    });
    const Handle sound = driver.Run([&] { return ImportSoundFile(kSlot, true); });
    ASSERT_NE(sound, 0);
    const Bytes stored = HandleToBytes(sound);
    ASSERT_EQ(stored.size(), 92u + samples.size());
    EXPECT_EQ(Bytes(stored.begin() + 92, stored.end()), (Bytes{2, 1, 4, 3}));
    DisposeHandle(sound);
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlot, sizeof path, path);
    EXPECT_STRCASEEQ(path, moved.c_str());

    // Found where it is, but not PCM: the alert, and nothing.
    WriteFile(moved, Wave(3, 16, 4, samples));
    DialogDriver refused;
    refused.Expect(DialogMatch::Alert(kAlertSoundFormatUnsupported), [](DialogView& box) {
        EXPECT_EQ(box.Text(51), "Sorry, Pageloom does not support this sound format.");
        box.Press(52);
    });
    EXPECT_EQ(refused.Run([&] { return ImportSoundFile(kSlot, true); }), 0);
    // Another kind of file is no sound.
    const std::string text = folder + "\\tone.txt";
    WriteFile(text, samples);
    SetFileSpecFromPath(kSlot, text.c_str());
    EXPECT_EQ(ImportSoundFile(kSlot, true), 0);

    DeleteFileA(moved.c_str());
    DeleteFileA(text.c_str());
    RemoveDirectoryA(folder.c_str());
    CloseLinkedPlugin(&page);
}

}  // namespace
