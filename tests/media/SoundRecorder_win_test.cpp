// The sound dialog in the plug-in as the test browser hosts it: recording from our stand-in
// wave input (its formats by the keys held, buffers written whole and in order, the meter, the
// refusals), winmm's missing device, and what OK and Cancel leave for the action's saver; end to
// end, a recording stored on a button, saved with the stack and played by the real plug-in.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "actions/ActionBlock.h"
#include "actions/NbaChooser.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "core/system/PreferenceFlags.h"
#include "media/MediaDialogs.h"
#include "media/MediaManager.h"
#include "media/MediaManagerState.h"
#include "media/elements/QTElements.h"
#include "media/SoundRecorder.h"
#include "media/sounds/SoundResources.h"
#include "quicktime/QuickTime.h"
#include "quicktime/dll/StandInMovies.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "core/memory/ByteReader.h"
#include "format/StackFile.h"
#include "stack/save/SaveStack.h"
#include "tests/media/RecorderTesting_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/LinkedStandIn_win.h"
#include "tests/support/StackReporter_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/TestSounds_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
using Answer = DialogDriver::Answer;

constexpr uint16_t kWoofId = 300;

void HoldKeys(bool shift, bool control) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
}

// The deck keeps running until the time has come, then the answer is given.
void AtTime(DialogDriver& driver, DWORD when, Answer answer) {
    driver.Expect(DialogMatch::Template("TAPE"), [&driver, when, answer](DialogView& deck) {
        if (int(GetTickCount() - when) < 0)
            AtTime(driver, when, answer);
        else
            answer(deck);
    });
}

// Record for ms with the keys of a quality held (1 Shift, 2 Control), then `then` on the deck.
void RecordThen(DialogDriver& driver, int quality, DWORD ms, Answer then) {
    driver.Expect(DialogMatch::Template("TAPE"), [&driver, quality, ms, then](DialogView& deck) {
        HoldKeys(quality == 1, quality == 2);
        ClickDeckZone(deck, 0);
        AtTime(driver, GetTickCount() + ms, [&driver, then](DialogView& recording) {
            HoldKeys(false, false);
            ClickDeckZone(recording, 1);
            driver.Expect(DialogMatch::Template("TAPE"), then);
        });
    });
}

Answer NameAndConfirm(const char* name) {
    return [name](DialogView& deck) {
        EXPECT_TRUE(deck.IsEnabled(IDOK)) << "the recording is the current sound";
        deck.SetText(56, name);
        deck.Press(IDOK);
    };
}

std::vector<uint8_t> Samples(const ResRequest& request, SoundFormat* format) {
    uint32_t alert = 0;
    const uint32_t offset = request.data ? ReadSndHeader(request.data, format, &alert) : 0;
    if (!offset)
        return {};
    const std::vector<uint8_t> all = HandleToBytes(request.data);
    return {all.begin() + offset, all.begin() + offset + format->byteCount};
}

class SoundRecorderTest : public LinkedPluginTest {
protected:
    void SetUp() override {
        sb::Stack stack;
        stack.cardWidth = 200;
        stack.cardHeight = 150;
        stack.cards.push_back(sb::PlainCard(1));
        woof_ = StoredSnd(Square(300, 40));
        stack.resources.push_back({"Snd ", kWoofId, "Woof", 0, 0, woof_});
        ASSERT_TRUE(Open(stack));
        lmsBefore_ = CountRecorderFiles();
    }
    void TearDown() override {
        ResRequest left{};
        if (TakeAudioDeckRequest(&left))
            DisposeHandle(left.data);
        EXPECT_EQ(CountRecorderFiles(), lmsBefore_) << "no temporary recording is left behind";
        LinkedPluginTest::TearDown();
    }
    // Runs the dialog with the driver's steps; the request it left, if any, is taken.
    int Run(DialogDriver& driver, AudioDeckChoice* choice, ResRequest* request = nullptr) {
        const int result = driver.Run([&] { return RunAudioDeckDialog(page.embed, choice); });
        ResRequest taken{};
        const bool any = TakeAudioDeckRequest(&taken);
        if (request)
            *request = any ? taken : ResRequest{};
        else if (any)
            DisposeHandle(taken.data);
        return result;
    }
    SamplesStackBeside samples_{{sb::Resource{"Snd ", 9001, "Meow", 0, 0, StoredSnd(Square(200, 30))}}};
    std::vector<uint8_t> woof_;
    int lmsBefore_ = 0;
};

TEST_F(SoundRecorderTest, TheKeysHeldChooseTheFormatAndADeviceWithoutEightBitMonoRecordsNothing) {
    struct Case {
        int quality;
        int channels;
        uint32_t rate;
        uint16_t recordedChannels;
    };
    const Case cases[] = {{0, 1, 11025, 1}, {1, 2, 22050, 1}, {2, 2, 22050, 2}, {2, 1, 22050, 1}};
    for (const Case& c : cases) {
        StandInWaveIn device(std::vector<uint8_t>(500, 100), "0xFFF", c.channels);
        DialogDriver driver(15000);
        RecordThen(driver, c.quality, 300, NameAndConfirm("Format"));
        AudioDeckChoice choice;
        ResRequest request{};
        EXPECT_EQ(Run(driver, &choice, &request), 1);
        SoundFormat format{};
        const std::vector<uint8_t> samples = Samples(request, &format);
        EXPECT_EQ(format.sampleRate, c.rate) << "quality " << c.quality;
        EXPECT_EQ(format.channels, c.recordedChannels) << "quality " << c.quality << ", device channels " << c.channels;
        EXPECT_EQ(format.BlockAlign(), c.recordedChannels);
        // What the device was opened with: Control on two channels is 44100 bytes a second.
        const WAVEFORMATEX opened = RecordingFormat(c.quality, WORD(c.channels));
        EXPECT_EQ(opened.nAvgBytesPerSec, c.rate * c.recordedChannels);
        EXPECT_EQ(opened.nBlockAlign, c.recordedChannels);
        EXPECT_GE(samples.size(), size_t(c.rate * c.recordedChannels / 5)) << "at least 200 ms";
        EXPECT_EQ(request.type, kSnd);
        EXPECT_EQ(request.flags & kResRequestCarryOut, kResRequestCarryOut);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(request.name + 1), request.name[0]), "Format");
        DisposeHandle(request.data);
    }

    // Without WAVE_FORMAT_1M08, or without any device: "Not supported", and no sound.
    for (const char* formats : {"0x2", "none"}) {
        StandInWaveIn device(std::vector<uint8_t>(500, 100), formats);
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) { ClickDeckZone(deck, 0); });
        driver.Expect(DialogMatch::Caption("Not supported"), [](DialogView& box) {
            EXPECT_EQ(box.MessageBoxText(), "Recording in WAVE PCM not supported on your system.");
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) {
            EXPECT_FALSE(deck.IsEnabled(IDOK)) << "nothing was recorded";
            deck.Press(IDCANCEL);
        });
        AudioDeckChoice choice;
        ResRequest request{};
        EXPECT_EQ(Run(driver, &choice, &request), 0) << formats;
        EXPECT_EQ(request.data, 0);
    }

    // winmm under Wine: its mapper claims every format but no device opens.
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) { ClickDeckZone(deck, 0); });
    driver.Expect(DialogMatch::Caption("Pageloom Error"), [](DialogView& box) {
        EXPECT_EQ(box.MessageBoxText(), "Failed to open waveform output device");
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) { deck.Press(IDCANCEL); });
    AudioDeckChoice choice;
    EXPECT_EQ(Run(driver, &choice), 0);
}

TEST_F(SoundRecorderTest, ALongRecordingIsWrittenWholeInOrderAndTheMeterShowsTheLevel) {
    // Six seconds at Shift's 22050 Hz: past the first 100,000-byte buffer.
    std::vector<uint8_t> input(10007);
    for (size_t i = 0; i < input.size(); ++i)
        input[i] = uint8_t((i * 37 + 11) % 256);
    {
        StandInWaveIn device(input);
        DialogDriver driver(20000);
        RecordThen(driver, 1, 6100, NameAndConfirm("Long"));
        AudioDeckChoice choice;
        ResRequest request{};
        EXPECT_EQ(Run(driver, &choice, &request), 1);
        SoundFormat format{};
        const std::vector<uint8_t> samples = Samples(request, &format);
        EXPECT_GE(samples.size(), 132300u);
        size_t first = samples.size();
        for (size_t k = 0; k < samples.size() && first == samples.size(); ++k)
            if (samples[k] != input[k % input.size()])
                first = k;
        EXPECT_EQ(first, samples.size()) << "the input's samples, in order and without gaps";
        DisposeHandle(request.data);
    }

    // A constant 192 lifts the bar to 63/128 of the meter; stopping all sounds during the
    // recording finishes it as the current sound.
    StandInWaveIn device(std::vector<uint8_t>(1000, 192));
    DialogDriver driver(15000);
    int bar = -1, expected = -2;
    driver.Expect(DialogMatch::Template("TAPE"), [&](DialogView& deck) {
        ClickDeckZone(deck, 0);
        AtTime(driver, GetTickCount() + 700, [&](DialogView& recording) {
            HWND meter = GetDlgItem(recording.Window(), 55);
            RECT client{};
            GetClientRect(meter, &client);
            HDC dc = GetDC(meter);
            const COLORREF green = GetNearestColor(dc, RGB(0, 255, 0));
            bar = 0;
            for (int y = client.bottom - 1; y >= 0 && GetPixel(dc, client.right / 2, y) == green; --y)
                ++bar;
            ReleaseDC(meter, dc);
            expected = client.bottom * 63 / 128;
            StopAllSounds(1);
            driver.Expect(DialogMatch::Template("TAPE"), NameAndConfirm("Level"));
        });
    });
    AudioDeckChoice choice;
    ResRequest request{};
    EXPECT_EQ(Run(driver, &choice, &request), 1);
    EXPECT_EQ(bar, expected);
    SoundFormat format{};
    const std::vector<uint8_t> samples = Samples(request, &format);
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(samples.front(), 192);
    EXPECT_EQ(samples.back(), 192);
    DisposeHandle(request.data);
}

// A sound file (as a drop leaves it) opens with its source's radio checked and its name the list's
// one chosen entry, so that it can be edited again; OK keeps it a file.
TEST_F(SoundRecorderTest, AFileSoundOpensWithItsSourceCheckedAndItsNameChosen) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "chime-" + ProcessTag() + ".wav";
    const std::vector<uint8_t> wave = WaveFileOf(Square(2205, 50));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, wave.data(), DWORD(wave.size()), &written, nullptr));
    CloseHandle(file);
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("TAPE"), [&name](DialogView& deck) {
        EXPECT_TRUE(deck.IsChecked(59)) << "the disk source";
        EXPECT_FALSE(deck.IsChecked(57) || deck.IsChecked(58));
        ASSERT_EQ(deck.ListCount(51), 1);
        EXPECT_EQ(deck.ListItem(51, 0), name);
        EXPECT_EQ(deck.ListSelection(51), 0);
        EXPECT_EQ(deck.Text(56), name);
        deck.Press(IDOK);
    });
    AudioDeckChoice choice;
    choice.isFile = 1;
    ASSERT_LT(path.size(), sizeof choice.file);
    std::copy(path.begin(), path.end(), choice.file);
    EXPECT_EQ(Run(driver, &choice), 1);
    EXPECT_EQ(choice.isFile, 1);
    DeleteFileA(path.c_str());
}

// What the disk does when the sound is written: writes fail while this is set.
bool g_writesFail = false;
int32_t WriteUnlessFailing(FileRef file, const void* bytes, uint32_t count) {
    return g_writesFail ? -1 : SystemFileSystem()->write(file, bytes, count);
}

// Stored in a file of its own, a recording the disk refuses is said so (naming the file, which is
// not left half written) and kept, the dialog open; another try writes a WAV of the recorded samples, which the action then names.
TEST_F(SoundRecorderTest, ARecordingStoredInAFileTheDiskRefusesIsKeptForAnotherTry) {
    constexpr int kFileNameCombo = 1148, kFileNameEdit = 1152;
    const std::vector<uint8_t> input = OrderedSamples(700);
    StandInWaveIn device(input);
    browsertest::ServerFolder folder;
    const std::string refused = folder.Name("refused.wav"), kept = folder.Name("kept.wav");
    FileSystemOps failing = *SystemFileSystem();
    failing.write = WriteUnlessFailing;
    const FileSystemOps* before = &ActiveFileSystem();
    SetFileSystem(&failing);
    SetAdvancedUser(true);
    DialogDriver driver(15000);
    const auto nameFile = [&driver, kFileNameCombo, kFileNameEdit](const std::string& path) {
        driver.Expect(DialogMatch::Caption("Please name this Sound"), [=](DialogView& box) {
            box.SetText(box.Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit, path);
            box.Press(IDOK);
        });
    };
    RecordThen(driver, 0, 300, [&](DialogView& deck) {
        deck.SetListSelection(52, 1);
        deck.SetText(56, "Bark");
        g_writesFail = true;
        deck.Press(IDOK);
        nameFile(refused);
        driver.Expect(DialogMatch::Alert(2699), [&](DialogView& box) {  // names the file, not written
            g_writesFail = false;
            box.Press(52);
        });
        WhenDeckEnabled(driver, [&](DialogView& again) {
            EXPECT_TRUE(again.IsEnabled(IDOK)) << "the recording is still the sound";
            again.Press(IDOK);
            nameFile(kept);
        });
    });
    AudioDeckChoice choice;
    EXPECT_EQ(Run(driver, &choice), 1);
    SetAdvancedUser(false);
    SetFileSystem(before);
    EXPECT_EQ(choice.isFile, 1);
    EXPECT_EQ(choice.soundId, 0);
    EXPECT_STREQ(choice.file, kept.c_str());
    const std::vector<uint8_t> written = WaveSamples(ReadAll(kept));
    EXPECT_GT(written.size(), 1000u);
    EXPECT_EQ(FirstStray(written, input, 0), -1) << "the recorded samples, in order";
}

TEST_F(SoundRecorderTest, OkStoresByNameAndCancelLeavesTheValuesAndAnEarlierRequest) {
    StandInWaveIn device(std::vector<uint8_t>(700, 60));
    // An empty name is asked for and nothing is stored.
    {
        DialogDriver driver(15000);
        RecordThen(driver, 0, 200, [&driver](DialogView& deck) {
            deck.SetText(56, "");
            deck.Press(IDOK);
            driver.Expect(DialogMatch::Alert(2202), [](DialogView& box) { box.Press(52); });
            driver.Expect(DialogMatch::Template("TAPE"), [](DialogView& d) { d.Press(IDCANCEL); });
        });
        AudioDeckChoice choice;
        ResRequest request{};
        EXPECT_EQ(Run(driver, &choice, &request), 0);
        EXPECT_EQ(request.data, 0) << "nothing stored";
    }
    // A different sound of a stored name asks to replace it; "Cancel" stores nothing.
    {
        DialogDriver driver(15000);
        RecordThen(driver, 0, 200, [&driver](DialogView& deck) {
            deck.SetText(56, "Woof");
            deck.Press(IDOK);
            driver.Expect(DialogMatch::Alert(2209), [](DialogView& box) {
                EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"Replace", "Cancel"}));
                box.Press(53);
            });
            driver.Expect(DialogMatch::Template("TAPE"), [](DialogView& d) { d.Press(IDCANCEL); });
        });
        AudioDeckChoice choice;
        ResRequest request{};
        EXPECT_EQ(Run(driver, &choice, &request), 0);
        EXPECT_EQ(request.data, 0);
    }
    // The stored sound itself chosen from the stack: its own id, nothing to store.
    {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) { deck.Press(58); });
        driver.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) {
            ASSERT_EQ(deck.ListItem(51, 0), "Woof");
            deck.SetListSelection(51, 0);
            EXPECT_EQ(deck.Text(56), "Woof");
            deck.Press(IDOK);
        });
        AudioDeckChoice choice;
        ResRequest request{};
        EXPECT_EQ(Run(driver, &choice, &request), 1);
        EXPECT_EQ(choice.soundId, kWoofId) << "an equal sound of that name lends its id";
        EXPECT_EQ(request.data, 0);
    }
    // An earlier OK's request survives a Cancel of the same edit, which changes no value.
    DialogDriver first(15000);
    RecordThen(first, 0, 200, NameAndConfirm("Bark"));
    AudioDeckChoice choice;
    EXPECT_EQ(first.Run([&] { return RunAudioDeckDialog(page.embed, &choice); }), 1);
    EXPECT_NE(choice.soundId, 0);
    const AudioDeckChoice afterOk = choice;
    DialogDriver second(15000);
    second.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) {
        ClickDeckZone(deck, 3);  // cleared: a new name is proposed
        deck.SetChecked(60, true);
    });
    second.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) { deck.Press(IDCANCEL); });
    ResRequest request{};
    EXPECT_EQ(Run(second, &choice, &request), 0);
    EXPECT_EQ(choice.soundId, afterOk.soundId);
    EXPECT_EQ(choice.typeFlags, afterOk.typeFlags);
    EXPECT_EQ(choice.isFile, afterOk.isFile);
    EXPECT_EQ(choice.parameter, afterOk.parameter);
    ASSERT_NE(request.data, 0) << "the earlier OK's sound stays pending";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(request.name + 1), request.name[0]), "Bark");
    EXPECT_EQ(request.id, afterOk.soundId);
    DisposeHandle(request.data);
    // With nothing pending, Cancel leaves the record empty.
    DialogDriver third(15000);
    RecordThen(third, 0, 200, [](DialogView& deck) { deck.Press(IDCANCEL); });
    EXPECT_EQ(Run(third, &choice, &request), 0);
    EXPECT_EQ(request.data, 0);
}

// The data handles of the sounds that play (each holds its own locked while it plays).
std::vector<Handle> PlayingSoundData() {
    std::vector<Handle> data;
    if (MediaManager* m = TheMediaManager())
        ForEachPointerNode(m->sounds, [&](PointerNode* node) { data.push_back(static_cast<QTSoundElement*>(node->data)->source); });
    return data;
}

// The stack last chosen from "Disk Library..." opens again with the deck, its first sound chosen;
// once it is gone, the samples are listed under their own radio. Picking another entry while a
// sound plays stops it before its data is freed; a cleared sound is picked again from that stack.
TEST(SoundRecorderSources, ARememberedDiskStackOpensAgainAndPickingAnEntryStopsThePlayingSoundFirst) {
    sb::Stack stack;
    stack.cardWidth = 200;
    stack.cardHeight = 150;
    stack.cards.push_back(sb::PlainCard(1));
    stack.resources.push_back({"Snd ", 400, "Purr", 0, 0, StoredSnd(Square(300, 20))});
    SamplesStackBeside samples({sb::Resource{"Snd ", 9001, "Meow", 0, 0, StoredSnd(Square(200, 30))}});
    browsertest::ServerFolder server;
    const std::vector<uint8_t> howl = StoredSnd(Square(22050, 50)), yowl = StoredSnd(Square(11025, 20));
    sb::Stack disk;
    disk.cards.push_back(sb::PlainCard(1));
    disk.resources = {{"Snd ", 500, "Howl", 0, 0, howl}, {"Snd ", 501, "Yowl", 0, 0, yowl}};
    const std::vector<uint8_t> diskBytes = sb::BuildStack(disk).bytes;
    const std::string diskPath = server.Put("howls.stk", std::string(diskBytes.begin(), diskBytes.end()));
    LinkedPluginPage page;
    const QtLibraryOps savedOps = GetQtLibraryOps();
    ASSERT_TRUE(OpenInLinkedPlugin(stack, "sources-" + ProcessTag() + ".stk", &page,
                                   [] { SetQtLibraryOps(LinkedStandInOps()); }));
    const std::string sink = server.Name("sources-sink.wav");
    SetStandInSoundSink(sink);
    // What an earlier run left: the disk source, and the stack it chose.
    CurrentRecorderSound().source = kSourceDisk;
    SetFileSpecFromPath(kSlotMediaFolder2, diskPath.c_str());
    AudioDeckChoice choice{0, 0, 0, 255};
    DialogDriver driver(15000);
    Handle played = 0;
    driver.Expect(DialogMatch::Template("TAPE"), [&](DialogView& deck) {
        EXPECT_TRUE(deck.IsChecked(59)) << "the disk source";
        ASSERT_EQ(deck.ListCount(51), 2);
        EXPECT_EQ(deck.ListItem(51, 1), "Yowl");
        EXPECT_EQ(deck.ListSelection(51), 0);
        EXPECT_EQ(deck.Text(56), "Howl");
        EXPECT_EQ(HandleToBytes(CurrentRecorderSound().data), howl);
        played = CurrentRecorderSound().data;
        ClickDeckZone(deck, 2);
        driver.Expect(DialogMatch::Template("TAPE"), [&](DialogView& playing) {
            ASSERT_EQ(PlayingSoundData(), std::vector<Handle>{played}) << "Play plays the chosen sound";
            EXPECT_EQ(GetHandleLockCount(played), 1);
            playing.SetListSelection(51, 1);
            EXPECT_EQ(PlayingSoundData(), std::vector<Handle>{}) << "stopped before its data was freed";
            EXPECT_EQ(HandleToBytes(CurrentRecorderSound().data), yowl);
            ClickDeckZone(playing, 2);
            driver.Expect(DialogMatch::Template("TAPE"), [&](DialogView& again) {
                EXPECT_EQ(WaveSamples(ReadAll(sink)).size(), 11025u) << "the entry picked plays";
                ClickDeckZone(again, 3);
                driver.Expect(DialogMatch::Template("TAPE"), [&](DialogView& cleared) {
                    EXPECT_EQ(PlayingSoundData(), std::vector<Handle>{});
                    EXPECT_FALSE(cleared.IsEnabled(IDOK));
                    cleared.SetListSelection(51, 0);
                    EXPECT_EQ(HandleToBytes(CurrentRecorderSound().data), howl) << "read from the disk stack again";
                    cleared.Press(IDCANCEL);
                });
            });
        });
    });
    EXPECT_EQ(driver.Run([&] { return RunAudioDeckDialog(page.embed, &choice); }), 0);

    // The disk stack gone: the samples, under their radio.
    DeleteFileA(diskPath.c_str());
    CurrentRecorderSound().source = kSourceDisk;
    DialogDriver gone(15000);
    gone.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) {
        EXPECT_TRUE(deck.IsChecked(57)) << "the samples";
        EXPECT_FALSE(deck.IsChecked(59));
        EXPECT_EQ(deck.ListItem(51, 0), "Meow");
        EXPECT_EQ(deck.Text(56), "Meow");
        deck.Press(IDCANCEL);
    });
    EXPECT_EQ(gone.Run([&] { return RunAudioDeckDialog(page.embed, &choice); }), 0);
    SetStandInSoundSink("");
    CurrentRecorderSound().source = kSourceSamples;
    CloseLinkedPlugin(&page);
    SetQtLibraryOps(savedOps);
}

// A real click at a point of the dialog's client area, through the system's input.
void RealClick(HWND dialog, POINT client) {
    ClientToScreen(dialog, &client);
    ClickScreen(client, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

POINT ZoneCentre(const DialogView& deck, int zone) {
    const RECT r = deck.ControlRect(50);
    return {r.left + (r.right - r.left) * (2 * zone + 1) / 8, (r.top + r.bottom) / 2};
}

}  // namespace

TEST(SoundRecorderEndToEnd, ARecordingClickedOnTheDeckIsSavedOnTheButtonAndPlaysInTheBrowser) {
    sb::Stack stack;
    stack.cardWidth = 200;
    stack.cardHeight = 150;
    stack.cards.push_back(sb::PlainCard(1));
    stack.cards[0].objects.push_back(sb::Button(5, {20, 20, 120, 60}, "Speak"));
    // A sound of its own, whichever source the recorder was left on.
    stack.resources.push_back({"Snd ", 400, "Purr", 0, 0, StoredSnd(Square(300, 20))});
    SamplesStackBeside samples({sb::Resource{"Snd ", 9001, "Meow", 0, 0, StoredSnd(Square(200, 30))}});
    LinkedPluginPage page;
    // The linked stand-in plays the deck's sounds, into the sink this test names.
    const QtLibraryOps savedOps = GetQtLibraryOps();
    ASSERT_TRUE(OpenInLinkedPlugin(stack, "recorder-e2e-" + ProcessTag() + ".stk", &page,
                                   [] { SetQtLibraryOps(LinkedStandInOps()); }));
    Handle card = 0;
    uint32_t offset = 0;
    ASSERT_TRUE(FindObject(kObjectButton, 5, &card, &offset));
    ActionBlock block{};
    ASSERT_TRUE(LoadActionBlock(card, offset, &block));

    // Real clicks on the deck: record, then any click stops, then Play. Full volume, so that
    // what plays is the input itself. Whatever the file slots name is not what plays.
    const std::vector<uint8_t> input = OrderedSamples(900);
    StandInWaveIn device(input);
    browsertest::ServerFolder server;
    const std::string deckSink = server.Name("deck-sink.wav");
    SetStandInSoundSink(deckSink);
    SetFileSpecFromPath(kSlotScratch, server.Name("other.wav").c_str());
    SetFileSpecFromPath(kSlotMediaFolder2, server.Name("other.wav").c_str());
    AudioDeckChoice choice{block.soundId, block.soundFlags, uint16_t(block.soundIsFile), 255};
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("TAPE"), [&driver](DialogView& deck) {
        RealClick(deck.Window(), ZoneCentre(deck, 0));
        AtTime(driver, GetTickCount() + 500, [&driver](DialogView& recording) {
            RealClick(recording.Window(), ZoneCentre(recording, 2));
            AtTime(driver, GetTickCount() + 300, [&driver](DialogView& recorded) {
                RealClick(recorded.Window(), ZoneCentre(recorded, 2));
                AtTime(driver, GetTickCount() + 300, NameAndConfirm("Bark"));
            });
        });
    });
    ASSERT_EQ(driver.Run([&] { return RunAudioDeckDialog(page.embed, &choice); }), 1);
    SetStandInSoundSink("");

    // The action's saver stores the pending sound and names it in chunk 83 of the button; the
    // stack is saved with both.
    block.soundId = choice.soundId;
    block.soundFlags = choice.typeFlags;
    block.soundParameter = choice.parameter;
    ResRequest request{};
    ASSERT_TRUE(TakeAudioDeckRequest(&request));
    SetPendingSoundRequest(request, true);
    ASSERT_TRUE(SaveActionBlock(card, offset, 5, block));
    const std::string saved = server.Name("bark.stk");
    DialogDriver saving(5000);
    ASSERT_EQ(saving.Run([&] { return SaveStackAsPath(saved.c_str()); }), 0);
    EXPECT_EQ(saving.DialogsSeen(), 0) << "no alert: the stack was written";
    CloseLinkedPlugin(&page);
    SetQtLibraryOps(savedOps);

    // What the reader sees in the file: chunk 83 on the button, the 'Snd ' resource "Bark", and
    // in its data the input's samples in order.
    const browsertest::BrowserRun report = browsertest::RunProgram(StackReporterPath(), server, {saved});
    ASSERT_EQ(report.exitCode, 0) << report.errors;
    const std::string json = browsertest::Joined(report.log);
    const std::string button = browsertest::ReportedObject(json, "Speak");
    ASSERT_NE(button, "") << json;
    EXPECT_EQ(browsertest::ReportedValue(button, "chunks"), "[83]") << json;
    const std::string bark = browsertest::ReportedObject(json, "Bark");
    ASSERT_NE(bark, "") << json;
    EXPECT_EQ(browsertest::ReportedText(bark, "type"), "Snd ") << json;
    const int entryAt = browsertest::ReportedNumber(bark, "offset"), bytes = browsertest::ReportedNumber(bark, "length");
    ASSERT_TRUE(entryAt >= 0 && bytes >= 0) << bark;
    const uint32_t at = uint32_t(entryAt), length = uint32_t(bytes);
    const std::vector<uint8_t> file = ReadAll(saved);
    ASSERT_LE(size_t{at} + kResEntryHeaderBytes + length, file.size());
    const std::vector<uint8_t> snd(file.begin() + at + kResEntryHeaderBytes, file.begin() + at + kResEntryHeaderBytes + length);
    ASSERT_GT(snd.size(), 50u);
    const uint32_t count = GetBE32(snd, 32);
    EXPECT_EQ(count, snd.size() - 50) << "a standard header, then every sample";
    EXPECT_GT(count, 11025u * 3 / 10) << "about half a second at 11025 Hz";
    const std::vector<uint8_t> recorded(snd.begin() + 50, snd.end());
    EXPECT_EQ(FirstStray(recorded, input, 0), -1) << "the input's samples, in order and without gaps";

    // The deck's Play wrote the recorded samples to the sink.
    const std::vector<uint8_t> deckSinkFile = ReadAll(deckSink);  // the info's samples lie in it
    SoundFileInfo deckPlayed;
    ASSERT_EQ(ReadWaveFile(deckSinkFile, &deckPlayed), SoundRefusal::None) << "Play played a sound";
    const std::vector<uint8_t> deckHeard(deckPlayed.data.begin(), deckPlayed.data.end());
    EXPECT_EQ(deckHeard.size(), recorded.size());
    const long stray = FirstStray(deckHeard, input, 1);
    std::string around;
    for (long i = std::max(0L, stray); stray >= 0 && i < std::min<long>(long(deckHeard.size()), stray + 20); ++i)
        around += " " + std::to_string(deckHeard[size_t(i)]) + "/" + std::to_string(input[size_t(i) % input.size()]);
    EXPECT_EQ(stray, -1) << "the recorded samples play (played/recorded from the first stray:" << around << ")";

    // The real plug-in in the test browser: a click on the button plays the sound into the sink.
    const std::string sink = server.Name("sink.wav");
    const browsertest::BrowserRun run = browsertest::RunBrowser(
        server,
        {"--dll", browsertest::PluginPath(), "--server", server.path, "--log", "--answer-alerts", "--size", "200x150",
         "--click", "70,40@900", "--quit-after-last", "1600", "http://localhost/bark.stk"},
        {{"LOOM_QUICKTIME_SINK", sink}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << browsertest::Joined(run.log);
    EXPECT_EQ(browsertest::Find(run.log, "alert("), -1) << browsertest::Joined(run.log);
    const std::vector<uint8_t> played = ReadAll(sink);
    SoundFileInfo info;
    ASSERT_EQ(ReadWaveFile(played, &info), SoundRefusal::None) << "the sink holds a sound";
    EXPECT_EQ(info.sampleRate, 11025u);
    const std::vector<uint8_t> heard(info.data.begin(), info.data.end());
    EXPECT_EQ(heard.size(), recorded.size());
    // At full volume a device may still scale by 255/256: one step either way.
    EXPECT_EQ(FirstStray(heard, input, 1), -1) << "the input's samples play";
}
