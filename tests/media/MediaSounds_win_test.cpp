// The media manager's sounds over the stand-in linked in as the player has it, on its test
// clock and with its sound sink: stored sounds and sound-only movies played, kept, stopped and
// dropped when done; MIDI files in and out; and in the plug-in hosted in this program, a
// stack's sounds played by id, one named "Stop All Sounds" stopping the rest.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "StackBuilder.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "media/MediaManager.h"
#include "media/MediaManagerState.h"
#include "media/StopAllSoundsName.h"
#include "media/elements/QTElements.h"
#include "quicktime/QtCalls.h"
#include "quicktime/QtStandInSwitches.h"
#include "quicktime/QuickTime.h"
#include "quicktime/formats/MidiFile.h"
#include "quicktime/formats/MovieFile.h"
#include "quicktime/formats/MusicTrack.h"
#include "quicktime/formats/SoundTrack.h"
#include "format/ResFile.h"
#include "stack/save/SaveStack.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/LinkedStandIn_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/TestSounds_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kCardW = 200, kCardH = 150;

struct CardWindow : Window {};

// The notes of a MIDI file: pitch and start in milliseconds, in order.
std::vector<std::pair<int, uint64_t>> NotesOf(const Bytes& file) {
    MidiFile midi;
    std::vector<std::pair<int, uint64_t>> notes;
    if (ReadMidiFile(file, &midi) != MidiRefusal::None)
        return notes;
    const MidiTempoMap tempo = TempoMapOf(midi);
    for (const MidiEvent& e : midi.events)
        if ((e.status & 0xF0) == 0x90 && e.data2 > 0)
            notes.emplace_back(e.data1, TickToMicroseconds(tempo, e.tick) / 1000);
    return notes;
}

bool Contains(const Bytes& haystack, const Bytes& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

// A movie file of one sound track of so many frames at 11025 Hz.
Bytes SoundMovie(uint32_t frames) {
    const std::vector<MovieTrackSpec> tracks{SoundTrackSpec(Square(frames, 60))};
    return WriteMovieFile(tracks);
}

// A sound-only movie of 200 ms, opened and started, as the manager's movie list holds one.
QTMovieElement* PlayingSoundMovie(const std::string& path, uint32_t flags) {
    auto* element = new QTMovieElement(path.c_str());
    element->movie = OpenMovieAtPath(path);
    element->state = kMediaStateSoundOnly;
    element->flags = flags;
    if (element->movie)
        StartMovie(element->movie);
    return element;
}

class MediaSoundsTest : public testing::Test {
protected:
    void SetUp() override {
        session_.emplace("loom_sounds_sink.wav");
        ASSERT_TRUE(session_->Ready());
        sink_ = session_->Sink();
        card_.window = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, kCardW, kCardH, nullptr,
                                     nullptr, GetAppInstance(), nullptr);
        ASSERT_NE(card_.window, nullptr);
        SetWaveVolumeAnswer(true, 0);
    }
    void TearDown() override {
        MediaManagerDestroy();
        SetWaveVolumeAnswer(false, 0);
        DestroyWindow(card_.window);
        session_.reset();
    }
    CardWindow card_;
    std::string sink_;
    std::optional<StandInSoundSession> session_;
};

TEST_F(MediaSoundsTest, SoundsPlayUntilDoneAndStoppingSparesTheKeptOnes) {
    Handle snd = NewHandleFromBytes(StoredSnd(Square(2205, 100)));  // 200 ms
    ASSERT_NE(snd, 0);

    // Without a manager nothing plays and nothing is exported.
    MediaPlaySound(snd, 255, 0);
    StopAllSounds(1);
    EXPECT_EQ(MediaIsPlaying(), 0);
    EXPECT_EQ(MediaExportMidiFile(snd, TempPath("loom_no_manager.mid").c_str()), 16);
    EXPECT_EQ(MediaImportMidiFile(WriteTemp("loom_no_manager.mid", TwoSecondMidi()).c_str()), 0);
    EXPECT_EQ(GetFileAttributesA(sink_.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing reached the sink";

    ASSERT_EQ(MediaManagerCreate(card_.window, GetAppInstance()), 1);
    MediaManager& m = *TheMediaManager();
    // Stored data at full volume is listed while it plays and reaches the sink (the element's
    // scaling of the volume is QTElements_win_test's); stopped, it lets go of the data.
    DeleteFileA(sink_.c_str());
    MediaPlaySound(snd, 256, 0);
    EXPECT_EQ(m.sounds.count, 1);
    EXPECT_EQ(MediaIsPlaying(), 1);
    const double full = SinkAmplitude(ReadAll(sink_));
    MediaStopSounds(1);
    EXPECT_EQ(m.sounds.count, 0);
    ASSERT_GT(full, 50);
    EXPECT_EQ(GetHandleLockCount(snd), 0) << "the stopped sound let go of the data";

    // A kept sound and a plain one: stopping those not kept leaves the first, whose volume
    // still follows; once done, any sound operation drops it and the list frees its blocks.
    MediaPlaySound(snd, 255, kSoundKeep);
    QTAdvanceTestClock(100);
    MediaPlaySound(snd, 255, 0);
    ASSERT_EQ(m.sounds.count, 2);
    StopAllSounds(0);
    ASSERT_EQ(m.sounds.count, 1);
    auto* kept = static_cast<QTSoundElement*>(m.sounds.head->data);
    EXPECT_EQ(kept->keep, 1);
    MediaSetSoundVolume(64);
    EXPECT_EQ(kept->GetVolume(), 64);
    QTAdvanceTestClock(99);
    EXPECT_EQ(MediaIsPlaying(), 1);
    QTAdvanceTestClock(1);
    EXPECT_EQ(MediaIsPlaying(), 0);
    EXPECT_EQ(m.sounds.count, 0);
    EXPECT_EQ(m.sounds.blocks, nullptr);

    // A sound file: the path given, located, played from the file, after the sounds not kept;
    // the global slots are left as they were.
    MediaPlaySound(snd, 255, 0);
    const std::string wav = WriteTemp("loom_sounds.wav", WaveFileOf(Square(2205, 100)));
    SetFileSpecFromPath(kSlotMediaFolder2, "C:\\elsewhere\\other.wav");
    SetFileSpecFromPath(kSlotScratch, "C:\\elsewhere\\scratch.wav");
    DeleteFileA(sink_.c_str());
    PlaySoundFromFile(wav.c_str(), kSoundKeep, 128);
    char slot[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotScratch, sizeof slot, slot);
    EXPECT_STREQ(slot, "C:\\elsewhere\\scratch.wav");
    ASSERT_EQ(m.sounds.count, 1);
    EXPECT_EQ(static_cast<QTSoundElement*>(m.sounds.head->data)->source, 0) << "from the file";
    EXPECT_NEAR(SinkAmplitude(ReadAll(sink_)) / full, 0.5, 0.05) << "at volume 128, half";
    StopSounds(0);
    EXPECT_EQ(m.sounds.count, 1) << "kept";
    StopSounds(1);
    EXPECT_EQ(m.sounds.count, 0);

    // Sound-only movies count as sounds: one in the background survives stopping the sounds
    // not kept, and plays until done; a movie with pictures is none of this.
    const std::string soundMovie = WriteTemp("loom_sound_movie.mov", SoundMovie(2205));
    auto* pictures = new QTMovieElement(soundMovie.c_str());
    ASSERT_NE(PointerListAppend(&m.movies, PlayingSoundMovie(soundMovie, kMediaFlagBackground)), nullptr);
    ASSERT_NE(PointerListAppend(&m.movies, PlayingSoundMovie(soundMovie, 0)), nullptr);
    ASSERT_NE(PointerListAppend(&m.movies, pictures), nullptr);
    EXPECT_EQ(MediaIsPlaying(), 1);
    MediaStopSounds(0);
    ASSERT_EQ(m.movies.count, 2);
    EXPECT_EQ(static_cast<MediaElement*>(m.movies.head->data)->flags, kMediaFlagBackground);
    EXPECT_EQ(MediaIsPlaying(), 1);
    QTAdvanceTestClock(200);
    EXPECT_EQ(MediaIsPlaying(), 0) << "its movie is done";
    MediaStopSounds(1);
    ASSERT_EQ(m.movies.count, 1);
    EXPECT_EQ(m.movies.head->data, pictures);
    PointerListRemove(&m.movies, m.movies.head);
    delete pictures;

    // The manager's end deletes whatever still plays.
    MediaPlaySound(snd, 255, kSoundKeep);
    MediaPlaySound(snd, 255, 0);
    ASSERT_EQ(m.sounds.count, 2);
    MediaDeleteAllSounds(m);
    EXPECT_EQ(m.sounds.count, 0);
    EXPECT_EQ(m.sounds.blocks, nullptr);
    EXPECT_EQ(GetHandleLockCount(snd), 0);

    // Only whole names, in any case, mean "stop all sounds".
    for (const char* name : {"Stop All Sounds", "stop all sounds", "STOPSNDS.WAV", "StopSnds.wav"})
        EXPECT_TRUE(IsStopAllSoundsName(name)) << name;
    for (const char* name : {"", "Stop", "Stop All", "Stop All Sounds!", "STOPSNDS", "Tone"})
        EXPECT_FALSE(IsStopAllSoundsName(name)) << name;
    DisposeHandle(snd);
}

TEST_F(MediaSoundsTest, AMidiFileImportsAsAMovieFileAndExportsToTheSameNotes) {
    ASSERT_EQ(MediaManagerCreate(card_.window, GetAppInstance()), 1);
    MediaManager& m = *TheMediaManager();
    const int temporaries = CountTemporaryMidFiles();
    const Bytes midi = TwoSecondMidi();
    Handle stored = MediaImportMidiFile(WriteTemp("loom_sounds.mid", midi).c_str());
    ASSERT_NE(stored, 0);
    EXPECT_EQ(CountTemporaryMidFiles(), temporaries) << "the importer's movie file is gone";
    const Bytes movie = HandleToBytes(stored);
    MovieFileInfo info;
    ASSERT_EQ(ReadMovieFile(movie, &info), MovieRefusal::None);
    ASSERT_EQ(info.tracks.size(), 1u);
    EXPECT_EQ(info.tracks[0].mediaType, QtFourCC("musi"));

    // Played as 'Midi' data: two seconds, the data as it was.
    MediaPlaySound(stored, 255, kSoundMidi);
    ASSERT_EQ(m.sounds.count, 1);
    QTAdvanceTestClock(1999);
    EXPECT_EQ(MediaIsPlaying(), 1);
    QTAdvanceTestClock(1);
    EXPECT_EQ(MediaIsPlaying(), 0);

    // Written out, the same notes at the same times; the stored data is never rewritten.
    const std::string out = TempPath("loom_sounds_out.mid");
    DeleteFileA(out.c_str());
    ASSERT_EQ(MediaExportMidiFile(stored, out.c_str()), 0);
    const auto notes = NotesOf(ReadAll(out));
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes, NotesOf(midi));
    EXPECT_EQ(notes[3], std::make_pair(72, uint64_t{1500}));
    EXPECT_EQ(HandleToBytes(stored), movie);
    EXPECT_EQ(GetHandleLockCount(stored), 0);

    // Data that is no movie cannot be made into one: 16. A movie without music has nothing to
    // write: QuickTime's error.
    Handle junk = NewHandleFromBytes(Bytes(64, 0x5A));
    EXPECT_EQ(MediaExportMidiFile(junk, out.c_str()), 16);
    Handle soundOnly = NewHandleFromBytes(SoundMovie(1100));
    EXPECT_NE(MediaExportMidiFile(soundOnly, TempPath("loom_sounds_none.mid").c_str()), 0);
    EXPECT_EQ(MediaImportMidiFile(TempPath("loom_sounds_missing.mid").c_str()), 0);
    EXPECT_EQ(CountTemporaryMidFiles(), temporaries);
    DisposeHandle(junk);
    DisposeHandle(soundOnly);
    DisposeHandle(stored);
}

TEST(MediaSoundsInPlugin, AStackSoundNamedStopAllSoundsStopsTheOthersAndMidiDataStaysByteForByte) {
    Bytes music;
    ASSERT_EQ(MidiFileToMovieFile(TwoSecondMidi(), &music), MidiRefusal::None);
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kCardW, kCardH, 8, 0));
    card.picture->palette = {{255, 255, 255}};
    stack.cards.push_back(card);
    const Bytes tone = StoredSnd(Square(2205, 100));
    stack.resources.push_back({"Snd ", 1, "Tone", 0, 0, tone});
    stack.resources.push_back({"Snd ", 2, "Stop All Sounds", 0, 0, tone});
    stack.resources.push_back({"Snd ", 3, "Stop", 0, 0, tone});
    stack.resources.push_back({"Midi", 4, "Tune", 0, 0, music});
    const std::string sink = TempPath("loom_plugin_sink.wav");
    SetEnvironmentVariableA("LOOM_QUICKTIME_CLOCK", "test");  // read as the library loads
    SetEnvironmentVariableA("LOOM_QUICKTIME_SINK", sink.c_str());
    const std::string name = "sounds-" + ProcessTag() + ".stk";
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack, name, &page));
    ASSERT_TRUE(HasMediaManager());
    const MediaManager& m = *TheMediaManager();
    const auto sinkWritten = [&] { return GetFileAttributesA(sink.c_str()) != INVALID_FILE_ATTRIBUTES; };

    // A sound plays; the next one stops it first, unless it is kept. "Stop" is a name like any.
    DeleteFileA(sink.c_str());
    PlaySoundResource(1, kSoundKeep, 255);
    EXPECT_TRUE(sinkWritten());
    EXPECT_GT(SinkAmplitude(ReadAll(sink)), 50);
    DeleteFileA(sink.c_str());
    PlaySoundResource(3, 0, 255);
    EXPECT_TRUE(sinkWritten()) << "\"Stop\" plays";
    EXPECT_EQ(m.sounds.count, 2);
    PlaySoundResource(1, 0, 255);
    EXPECT_EQ(m.sounds.count, 2) << "the kept one stays, the other gave way";

    // "Stop All Sounds" stops every sound, kept ones too, and plays nothing itself.
    DeleteFileA(sink.c_str());
    PlaySoundResource(2, 0, 255);
    EXPECT_FALSE(sinkWritten());
    EXPECT_EQ(m.sounds.count, 0);
    EXPECT_EQ(MediaIsPlaying(), 0);

    // Flag 0x8000 only stops; a 'Midi' resource plays as the movie it is.
    PlaySoundResource(1, 0, 255);
    PlaySoundResource(1, kSoundNotPlayed, 255);
    EXPECT_EQ(m.sounds.count, 0);
    PlaySoundResource(4, kSoundMidi, 255);
    EXPECT_EQ(m.sounds.count, 1);
    EXPECT_EQ(MediaIsPlaying(), 1);
    const std::string exported = TempPath("loom_plugin_tune.mid");
    ASSERT_EQ(MediaExportMidiFile(GetResource(ResType("Midi"), 4), exported.c_str()), 0);
    EXPECT_EQ(NotesOf(ReadAll(exported)), NotesOf(TwoSecondMidi()));
    StopSounds(1);
    EXPECT_EQ(MediaIsPlaying(), 0);

    // Saved, the stack holds the 'Midi' data as it came.
    const std::string saved = TempPath("loom_plugin_sounds_saved.stk");
    ASSERT_EQ(SaveStackAsPath(saved.c_str()), 0);
    EXPECT_TRUE(Contains(ReadAll(saved), music));
    CloseLinkedPlugin(&page);
    SetEnvironmentVariableA("LOOM_QUICKTIME_CLOCK", nullptr);
    SetEnvironmentVariableA("LOOM_QUICKTIME_SINK", nullptr);
    DeleteFileA(saved.c_str());
    DeleteFileA(exported.c_str());
    DeleteFileA(sink.c_str());
}

}  // namespace
