// Movies through the binding, from "QuickTime.qts" and from the stand-in linked in as the player
// has it, on the test clock and with the sound sink: an RLE AVI and a GIF this test writes, a
// sound movie made in memory, and the controller.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "BuilderMedia.h"
#include "quicktime/QtCalls.h"
#include "quicktime/QtStandInSwitches.h"
#include "quicktime/QuickTime.h"
#include "quicktime/formats/MidiFile.h"
#include "quicktime/formats/MovieFile.h"
#include "quicktime/formats/MusicTrack.h"
#include "media/support/MovieFileRecord.h"
#include "tests/support/LinkedStandIn_win.h"
#include "tests/support/TestMovieFiles_win.h"

namespace {

// The library loaded ("QuickTime.qts") or linked (as in the player), with the test clock and
// the sink, released at the end.
class StandInMovieLibrary : public StandInMoviesTest {
protected:
    void SetUp() override {
        sink_ = TempPath("loom_sink.wav");
        DeleteFileA(sink_.c_str());
        SetEnvironmentVariableA("LOOM_QUICKTIME_SINK", sink_.c_str());
        StandInMoviesTest::SetUp();
    }
    void TearDown() override {
        StandInMoviesTest::TearDown();
        SetEnvironmentVariableA("LOOM_QUICKTIME_SINK", nullptr);
    }
    static QtMovie OpenFile(const std::string& path) { return OpenMovieAtPath(path); }
    // The first pixel of a picture the stand-in made (a packed DIB of 32 bits, bottom-up).
    static uint32_t PictPixel(QtPicHandle pict, int x, int y) {
        if (!pict)
            return 0xDEADBEEF;
        const uint8_t* dib = reinterpret_cast<const uint8_t*>(*pict);
        int32_t width, height;
        std::memcpy(&width, dib + 4, 4);
        std::memcpy(&height, dib + 8, 4);
        uint32_t pixel;
        std::memcpy(&pixel, dib + 40 + (size_t(height - 1 - y) * width + x) * 4, 4);
        return pixel & 0xFFFFFF;
    }
    static uint32_t Colour(int k) { return uint32_t(kColours[k][2]) << 16 | uint32_t(kColours[k][1]) << 8 | kColours[k][0]; }
    std::string sink_;
};

TEST_P(StandInMovieLibrary, RleAviGivesItsBoxFourVideoSamplesAndEachFrameAtItsTime) {
    QtMovie movie = OpenFile(WriteTemp("loom_four.avi", RleAvi()));
    ASSERT_NE(movie, nullptr);
    QtRect box{-1, -1, -1, -1};
    GetMovieBox(movie, &box);
    EXPECT_EQ(std::make_tuple(box.top, box.left, box.bottom, box.right), std::make_tuple(0, 0, kAviHeight, kAviWidth));
    ASSERT_EQ(GetMovieTrackCount(movie), 1);
    QtMedia media = GetTrackMedia(GetMovieIndTrack(movie, 1));
    QtOSType type = 0;
    GetMediaHandlerDescription(media, &type, nullptr, nullptr);
    EXPECT_EQ(type, QtFourCC("vide"));
    EXPECT_EQ(GetMediaSampleCount(media), 4);
    const QtTimeScale scale = GetMovieTimeScale(movie);
    EXPECT_EQ(GetMovieDuration(movie), scale * 4 / kAviFps);
    // The frames' times, one after another, and each frame's picture at its time.
    const QtOSType vide = QtFourCC("vide");
    QtTimeValue t = 0, duration = 0;
    GetMovieNextInterestingTime(movie, kQtNextTimeMediaSample | kQtNextTimeEdgeOK, 1, &vide, 0, kQtFixed1, &t, &duration);
    std::vector<QtTimeValue> times;
    while (t >= 0 && times.size() < 10) {
        times.push_back(t);
        QtPicHandle pict = GetMoviePict(movie, t);
        EXPECT_EQ(PictPixel(pict, 5, 5), Colour(int(times.size()))) << "frame " << times.size() - 1;
        KillPicture(pict);
        GetMovieNextInterestingTime(movie, kQtNextTimeMediaSample, 1, &vide, t, kQtFixed1, &t, nullptr);
    }
    const QtTimeValue frame = scale / kAviFps;
    EXPECT_EQ(times, (std::vector<QtTimeValue>{0, frame, 2 * frame, 3 * frame}));
    EXPECT_EQ(duration, frame);

    // Frame 3 drawn into a graphics world by MoviesTask at its time.
    QtGWorldPtr world = nullptr;
    const QtRect bounds{0, 0, kAviHeight, kAviWidth};
    ASSERT_EQ(NewGWorld(&world, 32, &bounds, nullptr, nullptr, 0), kQtNoErr);
    SetMovieGWorld(movie, world, nullptr);
    SetMovieTimeValue(movie, 3 * frame);
    MoviesTask(movie, 0);
    HDC dc = static_cast<HDC>(GetPortHDC(world));
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(kColours[4][2], kColours[4][1], kColours[4][0]));
    // Played on the test clock, it is done after its 400 ms and not before.
    GoToBeginningOfMovie(movie);
    StartMovie(movie);
    QTAdvanceTestClock(399);
    EXPECT_FALSE(IsMovieDone(movie));
    EXPECT_EQ(GetMovieTime(movie), 3 * frame + frame * 99 / 100);
    QTAdvanceTestClock(1);
    EXPECT_TRUE(IsMovieDone(movie));
    DisposeMovie(movie);
    DisposeGWorld(world);
}

// An AVI's PCM sound of every depth from 0 to 32 bits: below 8 bits a frame has no whole byte,
// and the sound is left out (the pictures still play); from 8 bits on its whole frames reach the
// sink as stored, and the movie plays to its end.
// A movie 258 characters deep, more than a file spec holds: the plug-in's spec goes through the
// path's short form, and the movie opens.
TEST_P(StandInMovieLibrary, AMovieDeeperThanAFileSpecHoldsOpensThroughItsShortPath) {
    std::string folder = TempPath("deep-movie");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> made;
    const std::string name = "\\four.avi";
    while (folder.size() + name.size() < 258) {
        folder += "\\" + std::string(std::min<size_t>(258 - folder.size() - name.size() - 1, 60), 'm');
        CreateDirectoryA(folder.c_str(), nullptr);
        made.push_back(folder);
    }
    const std::string path = folder + name;
    ASSERT_EQ(path.size(), 258u);
    const Bytes avi = RleAvi();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(avi.data()), std::streamsize(avi.size()));
    QtFSSpec spec{};
    EXPECT_NE(NativePathNameToFSSpec(path.c_str(), &spec, 0), kQtNoErr) << "too long for a spec";
    ASSERT_EQ(MovieFileRecord(path.c_str(), &spec), kQtNoErr);
    int16_t ref = 0;
    ASSERT_EQ(OpenMovieFile(&spec, &ref, kQtReadPermission), kQtNoErr);
    QtMovie movie = nullptr;
    EXPECT_EQ(NewMovieFromFile(&movie, ref, nullptr, nullptr, kQtNewMovieActive, nullptr), kQtNoErr);
    CloseMovieFile(ref);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(GetMediaSampleCount(GetTrackMedia(GetMovieIndTrack(movie, 1))), 4);
    DisposeMovie(movie);
    DeleteFileA(path.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryA(it->c_str());
    RemoveDirectoryA(TempPath("deep-movie").c_str());
}

TEST_P(StandInMovieLibrary, AviSoundOfEveryDepthPlaysOrIsLeftOut) {
    const stackbuilder::AviColour frames[] = {{255, 0, 0}, {0, 255, 0}};
    for (uint16_t bits = 0; bits <= 32; ++bits) {
        SCOPED_TRACE("bits " + std::to_string(bits));
        stackbuilder::AviSound sound{1, uint16_t(bits % 2 ? 2 : 1), bits, 8000, Bytes(1001)};
        for (size_t i = 0; i < sound.samples.size(); ++i)
            sound.samples[i] = uint8_t(i * 13 + i / 256);
        DeleteFileA(sink_.c_str());
        QtMovie movie = OpenFile(WriteTemp("loom_depth.avi", stackbuilder::AviFile(8, 8, 10, frames, true, &sound)));
        ASSERT_NE(movie, nullptr);
        // 9 to 15 bits lie in 2 bytes a sample, 17 to 23 in 3, and so on; fewer than 8 in none.
        const uint32_t sampleBytes = bits < 8 ? 0 : (bits + 7u) / 8u;
        const uint32_t frameBytes = sound.channels * sampleBytes;
        ASSERT_EQ(GetMovieTrackCount(movie), frameBytes ? 2 : 1);
        QtRect box{};
        GetMovieBox(movie, &box);
        EXPECT_EQ(std::make_tuple(box.bottom, box.right), std::make_tuple(8, 8));
        StartMovie(movie);
        if (frameBytes) {
            QtMedia media = GetTrackMedia(GetMovieIndTrack(movie, 2));
            EXPECT_EQ(GetMediaSampleCount(media), int32_t(sound.samples.size() / frameBytes));
            std::ifstream in(sink_, std::ios::binary);
            const Bytes wav{std::istreambuf_iterator<char>(in), {}};
            const size_t whole = sound.samples.size() / frameBytes * frameBytes;
            ASSERT_EQ(wav.size(), 44 + whole + whole % 2);  // a RIFF chunk is padded to even
            EXPECT_EQ(wav[34] | wav[35] << 8, int(sampleBytes * 8)) << "played as the sample's whole bytes";
            EXPECT_EQ(wav[32] | wav[33] << 8, int(frameBytes)) << "block align";
            EXPECT_TRUE(std::equal(wav.begin() + 44, wav.begin() + 44 + long(whole), sound.samples.begin()));
        }
        QTAdvanceTestClock(2000);
        MoviesTask(movie, 0);
        EXPECT_TRUE(IsMovieDone(movie));
        DisposeMovie(movie);
    }
}

TEST_P(StandInMovieLibrary, RawSoundReachesTheSinkLittleEndianAndMaceFails) {
    constexpr uint32_t kRate = 11025, kFrames = 2205;  // 200 ms of 16-bit mono
    QtMovie movie = NewMovie(kQtNewMovieActive);
    ASSERT_NE(movie, nullptr);
    QtTrack track = NewMovieTrack(movie, 0, 0, 0x100);
    QtMedia media = NewTrackMedia(track, QtFourCC("soun"), kRate, nullptr, kQtHandleDataRef);
    ASSERT_NE(media, nullptr);
    QtHandle data = QTNewHandle(kFrames * 2);
    for (uint32_t i = 0; i < kFrames * 2; ++i)
        (*data)[i] = static_cast<char>(i * 37 + i / 256);
    QtHandle description = QTNewHandle(sizeof(QtSoundDescription));
    QtSoundDescription d{};
    d.descSize = sizeof d;
    d.dataFormat = QtFourCC("raw ");
    d.dataRefIndex = 1;
    d.numChannels = 1;
    d.sampleSize = 16;
    d.sampleRate = kRate << 16;
    std::memcpy(*description, &d, sizeof d);
    ASSERT_EQ(BeginMediaEdits(media), kQtNoErr);
    QtTimeValue at = -1;
    ASSERT_EQ(AddMediaSample(media, data, 0, kFrames * 2, 1, description, kFrames, 0, &at), kQtNoErr);
    EXPECT_EQ(at, 0);
    d.dataFormat = QtFourCC("MAC3");
    std::memcpy(*description, &d, sizeof d);
    EXPECT_NE(AddMediaSample(media, data, 0, kFrames * 2, 1, description, kFrames, 0, nullptr), kQtNoErr);
    ASSERT_EQ(EndMediaEdits(media), kQtNoErr);
    ASSERT_EQ(InsertMediaIntoTrack(track, 0, 0, kFrames, kQtFixed1), kQtNoErr);
    EXPECT_EQ(GetMediaSampleCount(media), int32_t(kFrames));
    StartMovie(movie);
    std::ifstream in(sink_, std::ios::binary);
    const Bytes wav{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(wav.size(), 44 + kFrames * 2);
    EXPECT_EQ(0, std::memcmp(wav.data(), "RIFF", 4));
    for (uint32_t i = 0; i < kFrames * 2; i += 2)
        ASSERT_TRUE(wav[44 + i] == uint8_t((*data)[i + 1]) && wav[44 + i + 1] == uint8_t((*data)[i])) << "byte " << i;
    QTAdvanceTestClock(199);
    EXPECT_FALSE(IsMovieDone(movie));
    QTAdvanceTestClock(1);
    EXPECT_TRUE(IsMovieDone(movie));
    DisposeMovie(movie);
    QTDisposeHandle(data);
    QTDisposeHandle(description);
}

TEST_P(StandInMovieLibrary, GifOpensAsAMovieOfItsComposedFrames) {
    QtMovie movie = OpenFile(WriteTemp("loom_three.gif", ThreeFrameGif()));
    ASSERT_NE(movie, nullptr);
    QtMedia media = GetTrackMedia(GetMovieIndTrack(movie, 1));
    EXPECT_EQ(GetMediaSampleCount(media), 3);
    QtRect box{};
    GetMovieBox(movie, &box);
    EXPECT_EQ(std::make_tuple(box.bottom, box.right), std::make_tuple(8, 8));
    const QtOSType vide = QtFourCC("vide");
    QtTimeValue second = -1;
    GetMovieNextInterestingTime(movie, kQtNextTimeMediaSample, 1, &vide, 0, kQtFixed1, &second, nullptr);
    ASSERT_GT(second, 0);
    QtPicHandle pict = GetMoviePict(movie, second);
    EXPECT_EQ(PictPixel(pict, 1, 1), Colour(2)) << "the second frame's left half";
    EXPECT_EQ(PictPixel(pict, 6, 1), Colour(1)) << "the first frame shows through on the right";
    KillPicture(pict);
    DisposeMovie(movie);
}

TEST_P(StandInMovieLibrary, ControllerPlaysStepsAndDrawsItsBarBelowTheMovie) {
    QtMovie movie = OpenFile(WriteTemp("loom_four_mc.avi", RleAvi()));
    ASSERT_NE(movie, nullptr);
    QtGWorldPtr world = nullptr;
    const QtRect bounds{0, 0, kAviHeight + 16, kAviWidth};
    ASSERT_EQ(NewGWorld(&world, 32, &bounds, nullptr, nullptr, 0), kQtNoErr);
    SetGWorld(world, nullptr);
    const QtRect rect{0, 0, kAviHeight, kAviWidth};
    QtMovieController mc = NewMovieController(movie, &rect, kMcTopLeftMovie | kMcScaleMovieToFit);
    ASSERT_NE(mc, nullptr);
    QtRect b{};
    MCGetControllerBoundsRect(mc, &b);
    EXPECT_EQ(std::make_tuple(b.top, b.left, b.bottom, b.right), std::make_tuple(0, 0, kAviHeight + 16, kAviWidth));
    MCSetVisible(mc, false);
    MCGetControllerBoundsRect(mc, &b);
    EXPECT_EQ(b.bottom, kAviHeight);
    MCSetVisible(mc, true);
    EXPECT_EQ(MCDoAction(mc, kMcActionSetLooping, 0), kQtNoErr);
    EXPECT_EQ(MCDoAction(mc, kMcActionStep, 2), kQtNoErr);
    EXPECT_EQ(GetMovieTime(movie), 2 * GetMovieTimeScale(movie) / kAviFps);
    MCDraw(mc, nullptr);
    HDC dc = static_cast<HDC>(GetPortHDC(world));
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(kColours[3][2], kColours[3][1], kColours[3][0])) << "frame 2 above";
    EXPECT_NE(GetPixel(dc, 10, kAviHeight + 1), GetPixel(dc, 10, 10)) << "the bar below";
    // A press on the play button starts the movie; the space bar stops it once keys are on.
    QtEventRecord press{};
    press.what = kQtMouseDown;
    press.where = {int16_t(kAviHeight + 8), 4};
    EXPECT_EQ(MCIsPlayerEvent(mc, &press), 1);
    const QtTimeValue before = GetMovieTime(movie);
    QTAdvanceTestClock(50);
    EXPECT_GT(GetMovieTime(movie), before);
    QtEventRecord space{};
    space.what = kQtKeyDown;
    space.message = ' ';
    EXPECT_EQ(MCIsPlayerEvent(mc, &space), 0) << "keys are off at first";
    EXPECT_EQ(MCDoAction(mc, kMcActionSetKeysEnabled, 1), kQtNoErr);
    EXPECT_EQ(MCIsPlayerEvent(mc, &space), 1);
    const QtTimeValue stopped = GetMovieTime(movie);
    QTAdvanceTestClock(50);
    EXPECT_EQ(GetMovieTime(movie), stopped);
    // Clipped to the left half (as by a card object over the right half), the movie leaves the
    // right half as it was.
    PatBlt(dc, 0, 0, kAviWidth, kAviHeight, WHITENESS);
    std::vector<uint8_t> rows(size_t(kAviHeight) * 4, 0);
    for (int y = 0; y < kAviHeight; ++y)
        rows[size_t(y) * 4] = rows[size_t(y) * 4 + 1] = 0xFF;  // 16 of 32 pixels
    const QtBitMap mask{rows.data(), 4, {0, 0, kAviHeight, kAviWidth}};
    QtRgnHandle clip = NewRgn();
    ASSERT_EQ(BitMapToRegion(clip, &mask), kQtNoErr);
    EXPECT_EQ(MCSetClip(mc, clip, clip), kQtNoErr);
    MCDraw(mc, nullptr);
    EXPECT_EQ(GetPixel(dc, 4, 10), RGB(kColours[3][2], kColours[3][1], kColours[3][0]));
    EXPECT_EQ(GetPixel(dc, 24, 10), RGB(255, 255, 255));
    MCSetClip(mc, nullptr, nullptr);
    DisposeRgn(clip);
    GoToBeginningOfMovie(movie);
    EXPECT_EQ(MCDoAction(mc, kMcActionPlay, kQtFixed1), kQtNoErr);
    QTAdvanceTestClock(399);
    MCIdle(mc);
    EXPECT_FALSE(IsMovieDone(movie));
    QTAdvanceTestClock(1);
    MCIdle(mc);
    EXPECT_TRUE(IsMovieDone(movie));
    DisposeMovieController(mc);
    DisposeMovie(movie);
    SetGWorld(nullptr, nullptr);
    DisposeGWorld(world);
}

// Two seconds at 120 beats a minute (480 ticks a quarter note): four notes of half a second.
Bytes TwoSecondMidi() {
    Bytes track;
    const uint8_t pitches[] = {60, 64, 67, 72};
    for (uint8_t p : pitches) {
        track.insert(track.end(), {0x00, 0x90, p, 100});
        track.insert(track.end(), {0x83, 0x60, 0x80, p, 0});  // 480 ticks later
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes b{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(uint8_t(track.size() >> shift));
    b.insert(b.end(), track.begin(), track.end());
    return b;
}

// The notes of a MIDI file: (milliseconds, status, pitch) of every note on and off.
std::vector<std::tuple<uint32_t, uint8_t, uint8_t>> Notes(const Bytes& file) {
    MidiFile midi;
    std::vector<std::tuple<uint32_t, uint8_t, uint8_t>> notes;
    if (ReadMidiFile(file, &midi) != MidiRefusal::None)
        return notes;
    uint32_t length = 0;
    for (const TimedMidiMessage& m : MidiFileMessages(midi, &length)) {
        const bool on = (m.status & 0xF0) == 0x90 && m.data2 > 0;
        if (on || (m.status & 0xF0) == 0x80 || (m.status & 0xF0) == 0x90)
            notes.emplace_back(m.milliseconds, on ? 0x90 : 0x80, m.data1);
    }
    return notes;
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST_P(StandInMovieLibrary, MidiImportsAsATwoSecondMusicMovieExportsTheSameNotesAndPlaysOnTheClock) {
    const std::string midiPath = WriteTemp("loom_two.mid", TwoSecondMidi());
    // The outputs exist, empty, as temporary files are made.
    const std::string moviePath = WriteTemp("loom_two.mov", {}), backPath = WriteTemp("loom_back.mid", {});
    QtFSSpec in{}, out{}, back{};
    ASSERT_EQ(NativePathNameToFSSpec(midiPath.c_str(), &in, 0), kQtNoErr);
    ASSERT_EQ(NativePathNameToFSSpec(moviePath.c_str(), &out, 0), kQtNoErr);
    ASSERT_EQ(NativePathNameToFSSpec(backPath.c_str(), &back, 0), kQtNoErr);
    QtComponentInstance importer = OpenDefaultComponent(kQtMovieImportType, QtFourCC("Midi"));
    ASSERT_NE(importer, nullptr);
    EXPECT_EQ(OpenDefaultComponent(kQtMovieImportType, QtFourCC("WAVE")), nullptr);
    ASSERT_EQ(ConvertFileToMovieFile(&in, &out, QtFourCC("TVOD"), -1, nullptr, 0, importer), kQtNoErr);
    CloseComponent(importer);
    QtMovie movie = OpenFile(moviePath);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(GetMovieDuration(movie), 2 * GetMovieTimeScale(movie));
    ASSERT_EQ(GetMovieTrackCount(movie), 1);
    QtOSType type = 0;
    GetMediaHandlerDescription(GetTrackMedia(GetMovieIndTrack(movie, 1)), &type, nullptr, nullptr);
    EXPECT_EQ(type, QtFourCC("musi"));
    // Exported again: the same notes at the same times.
    QtComponentInstance exporter = OpenDefaultComponent(kQtMovieExportType, QtFourCC("Midi"));
    ASSERT_NE(exporter, nullptr);
    ASSERT_EQ(ConvertMovieToFile(movie, nullptr, &back, QtFourCC("Midi"), QtFourCC("TVOD"), -1, nullptr, 0, exporter),
              kQtNoErr);
    CloseComponent(exporter);
    const auto notes = Notes(TwoSecondMidi());
    EXPECT_EQ(notes.size(), 8u);
    EXPECT_EQ(Notes(ReadAll(backPath)), notes);
    DisposeMovie(movie);

    // The movie file's bytes as 'Midi' data, played: done after two seconds of the test clock
    // (no MIDI device times it).
    const Bytes data = ReadAll(moviePath);
    QtHandle bytes = QTNewHandle(static_cast<uint32_t>(data.size()));
    std::memcpy(*bytes, data.data(), data.size());
    QtHandle ref = QTNewHandle(sizeof(QtHandle));
    std::memcpy(*ref, &bytes, sizeof bytes);
    movie = nullptr;
    ASSERT_EQ(NewMovieFromDataRef(&movie, kQtNewMovieActive, nullptr, ref, kQtHandleDataRef), kQtNoErr);
    StartMovie(movie);
    QTAdvanceTestClock(1999);
    EXPECT_FALSE(IsMovieDone(movie));
    QTAdvanceTestClock(1);
    EXPECT_TRUE(IsMovieDone(movie));
    DisposeMovie(movie);
    QTDisposeHandle(ref);
    QTDisposeHandle(bytes);
}

TEST_P(StandInMovieLibrary, MovieWhoseTrackCannotPlayIsDoneAfterItsDuration) {
    MovieTrackSpec odd;
    odd.mediaType = QtFourCC("musi");
    odd.description = MakeSampleDescription(QtFourCC("musi"), Bytes(8, 0xEE));
    odd.samples = Bytes(40, 0xEE);
    odd.sampleDuration = 900;  // a second and a half at 600
    const Bytes data = WriteMovieFile(std::span(&odd, 1));
    QtHandle bytes = QTNewHandle(static_cast<uint32_t>(data.size()));
    std::memcpy(*bytes, data.data(), data.size());
    QtHandle ref = QTNewHandle(sizeof(QtHandle));
    std::memcpy(*ref, &bytes, sizeof bytes);
    QtMovie movie = nullptr;
    ASSERT_EQ(NewMovieFromDataRef(&movie, kQtNewMovieActive, nullptr, ref, kQtHandleDataRef), kQtNoErr);
    EXPECT_EQ(GetMovieDuration(movie), 900);
    StartMovie(movie);
    QTAdvanceTestClock(1499);
    EXPECT_FALSE(IsMovieDone(movie));
    QTAdvanceTestClock(1);
    EXPECT_TRUE(IsMovieDone(movie));
    DisposeMovie(movie);
    EXPECT_EQ(std::vector<uint8_t>(*bytes, *bytes + data.size()), data) << "the data stays as it was";
    QTDisposeHandle(ref);
    QTDisposeHandle(bytes);
}

INSTANTIATE_TEST_SUITE_P(LoadedAndLinked, StandInMovieLibrary, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& linked) { return linked.param ? "Linked" : "Loaded"; });

}  // namespace
