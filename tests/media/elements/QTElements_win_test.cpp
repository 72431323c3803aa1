// The QuickTime media elements on a card window, over the stand-in linked in as the player has
// it, on its test clock and with its sound sink: movies the tests write (an RLE AVI, sound-only,
// sprite-only and 'ctyp' movies, GIFs), stored 'Snd ' and 'Midi' data, alerts answered.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "actions/ActionBlock.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "graphics/pixels/CardOffscreen.h"
#include "media/MediaDialogs.h"
#include "media/MediaManager.h"
#include "media/elements/QTElements.h"
#include "media/elements/StoredSound.h"
#include "media/support/MediaWindows.h"
#include "media/support/PackedDib.h"
#include "quicktime/QtCalls.h"
#include "quicktime/QtStandInSwitches.h"
#include "quicktime/QuickTime.h"
#include "quicktime/formats/MovieFile.h"
#include "quicktime/formats/SoundFiles.h"
#include "quicktime/formats/SoundTrack.h"
#include "tests/media/CardDrag_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedStandIn_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/TestSounds_win.h"

namespace {

constexpr int kCardW = 400, kCardH = 300;

struct CardWindow : Window {};

void Replace(Bytes* b, const char* what, const char* with) {
    for (size_t i = 0; i + 4 <= b->size(); ++i) {
        if (std::memcmp(b->data() + i, what, 4) == 0) {
            std::memcpy(b->data() + i, with, 4);
            return;
        }
    }
}

// A movie of the tracks, with 'ctyp' user data when asked.
Bytes MovieOf(std::vector<MovieTrackSpec> tracks, bool controllerType) {
    Bytes b = WriteMovieFile(tracks);
    if (!controllerType)
        return b;
    // 'moov' comes last: the user data joins it at the end.
    size_t moov = 0;
    for (size_t i = 4; i + 4 <= b.size(); ++i)
        if (std::memcmp(b.data() + i, "moov", 4) == 0)
            moov = i - 4;
    const uint8_t udta[] = {0, 0, 0, 20, 'u', 'd', 't', 'a', 0, 0, 0, 12, 'c', 't', 'y', 'p', 'q', 't', 'v', 'r'};
    b.insert(b.end(), std::begin(udta), std::end(udta));
    const auto size = static_cast<uint32_t>(b.size() - moov);
    for (int i = 0; i < 4; ++i)
        b[moov + i] = static_cast<uint8_t>(size >> (24 - 8 * i));
    return b;
}

MovieTrackSpec SpriteTrack() {
    MovieTrackSpec t;
    t.mediaType = QtFourCC("sprt");
    t.description = MakeSampleDescription(QtFourCC("sprt"), {});
    t.samples = Bytes(16, 0);
    t.sampleDuration = 600;
    return t;
}

COLORREF DibPixel(HGLOBAL block, int x, int y) {
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
    PackedDibView dib;
    COLORREF c = 0xFFFFFFFF;
    if (bytes && ReadPackedDib({bytes, GlobalSize(block)}, &dib) && dib.depth >= 24) {
        const int rows = std::abs(dib.height);
        const int row = dib.height < 0 ? y : rows - 1 - y;
        const size_t stride = ((size_t(dib.width) * dib.depth + 31) / 32) * 4;
        const uint8_t* p = dib.image.data() + row * stride + size_t(x) * (dib.depth / 8);
        c = RGB(p[2], p[1], p[0]);
    }
    GlobalUnlock(block);
    return c;
}

COLORREF Colour(int k) { return RGB(kColours[k][2], kColours[k][1], kColours[k][0]); }

class QTElementsTest : public testing::Test {
protected:
    void SetUp() override {
        session_.emplace("loom_elements_sink.wav");
        ASSERT_TRUE(session_->Ready());
        sink_ = session_->Sink();
        ASSERT_EQ(QTBind(0), kQtNoErr);
        ASSERT_EQ(EnterMovies(), kQtNoErr);
        RegisterQTWindowClass(GetAppInstance());
        card_.window = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, kCardW, kCardH, nullptr,
                                     nullptr, GetAppInstance(), nullptr);
        ASSERT_NE(card_.window, nullptr);
        RECT client{};
        GetClientRect(card_.window, &client);
        ASSERT_EQ(InitDataBase(card_.window, client.right, client.bottom, 24, false), 1);
        SetWaveVolumeAnswer(true, 0);
    }
    void TearDown() override {
        SetWaveVolumeAnswer(false, 0);
        FreeOffscreenObjects();
        DestroyWindow(card_.window);
        UnregisterQTWindowClass(GetAppInstance());
        ExitMovies();
        QTRelease();
        session_.reset();
    }
    // The element opened on the card, showing exactly these alerts (each answered with OK).
    int OpenExpecting(MediaElement& element, const std::vector<uint32_t>& alerts) {
        DialogDriver driver;
        for (const uint32_t id : alerts)
            driver.Expect(DialogMatch::Alert(static_cast<int32_t>(id)), [](DialogView& box) { box.Press(52); });
        const int opened = driver.Run([&] { return element.Open(card_, 0); });
        EXPECT_EQ(driver.DialogsSeen(), static_cast<int>(alerts.size()));
        return opened;
    }
    RECT ClientRect() const {
        RECT r{};
        GetClientRect(card_.window, &r);
        return r;
    }
    CardWindow card_;
    std::string sink_;
    std::optional<StandInSoundSession> session_;
};

TEST_F(QTElementsTest, MoviesAreInspectedPlacedAndGivenTheirControllerByTheRule) {
    const RECT client = ClientRect();
    const int centreX = client.right / 2, centreY = client.bottom / 2;

    // A movie with sound only and no box: alert 2275, sound only, 200 x 0 centred; the bar
    // shows with flag 0x1 and adds its 16 pixels to the window.
    const std::string soundOnly = WriteTemp("loom_sound_only.mov", MovieOf({SoundTrackSpec(Square(1100, 60))}, false));
    {
        QTMovieElement movie(soundOnly.c_str());
        movie.flags = kMediaFlagController;
        ASSERT_EQ(OpenExpecting(movie, {kAlertNoPictures}), 1);
        EXPECT_TRUE(movie.state & kMediaStateSoundOnly);
        EXPECT_TRUE(movie.state & kMediaStateInspected);
        EXPECT_EQ(movie.rect.right - movie.rect.left, 200);
        EXPECT_EQ(movie.rect.bottom, movie.rect.top);
        EXPECT_EQ(movie.rect.left, centreX - 100);
        EXPECT_EQ(movie.rect.top, centreY);
        ASSERT_NE(movie.window, nullptr);
        EXPECT_EQ(movie.window->ClientRect().bottom, kQTControllerHeight);
        EXPECT_NE(movie.controller, nullptr);
        EXPECT_EQ(movie.clip, nullptr) << "a sound-only movie is not clipped";
    }
    // Measured: 220 x 0 centred, flags + 0x91 (and 0x2000 for no picture), volume 255.
    {
        QTMovieElement movie(soundOnly.c_str());
        uint8_t record[64] = {};
        record[kChunkValue] = 0x40;
        ASSERT_EQ(movie.Measure(record), 1);
        int16_t sides[4];
        std::memcpy(sides, record + kObjectRect, sizeof sides);
        EXPECT_EQ(sides[0], centreX - 110);
        EXPECT_EQ(sides[1], centreY);
        EXPECT_EQ(sides[2], centreX + 110);
        EXPECT_EQ(sides[3], centreY);
        uint32_t flags = 0;
        std::memcpy(&flags, record + kChunkValue, 4);
        EXPECT_EQ(flags, 0x40u | 0x91u | kMediaStateSoundOnly);
        int16_t volume = 0;
        std::memcpy(&volume, record + kChunkOptionWord, 2);
        EXPECT_EQ(volume, 255);
        EXPECT_EQ(movie.Measure(std::span<uint8_t>(record, 8)), 0) << "a record too short for the fields";
    }
    // 'ctyp' gives 0x400, and then only flag 0x200 shows the bar; a sprite track alone 0x800.
    struct Case {
        const char* name;
        Bytes file;
        uint32_t state;
    };
    const Case cases[] = {
        {"loom_ctyp.mov", MovieOf({SoundTrackSpec(Square(1100, 60))}, true), kMediaStateControllerType | kMediaStateSoundOnly},
        {"loom_sprite.mov", MovieOf({SpriteTrack()}, false), kMediaStateSpriteOnly},
        {"loom_sprite_sound.mov", MovieOf({SpriteTrack(), SoundTrackSpec(Square(1100, 60))}, false), kMediaStateSpriteOnly},
    };
    for (const Case& c : cases) {
        QTMovieElement movie(WriteTemp(c.name, c.file).c_str());
        ASSERT_TRUE(OpenAndInspectMovie(movie)) << c.name;
        EXPECT_EQ(movie.state & (kMediaStateControllerType | kMediaStateSoundOnly | kMediaStateSpriteOnly), c.state)
            << c.name;
    }
    QTMovieElement rule(soundOnly.c_str());
    const std::pair<uint32_t, uint32_t> visible[] = {
        {kMediaStateControllerType, kMediaFlagOwnController}, {0, kMediaFlagController},
        {0, kMediaFlagController | kMediaFlagOwnController}};
    const std::pair<uint32_t, uint32_t> hidden[] = {
        {kMediaStateControllerType, kMediaFlagController}, {0, kMediaFlagOwnController}, {0, 0}};
    for (const auto& [state, flags] : visible) {
        rule.state = state;
        rule.flags = flags;
        EXPECT_TRUE(IsControllerVisible(rule)) << state << " " << flags;
    }
    for (const auto& [state, flags] : hidden) {
        rule.state = state;
        rule.flags = flags;
        EXPECT_FALSE(IsControllerVisible(rule)) << state << " " << flags;
    }

    // An AVI QuickTime below version 4 cannot decode: alert 2358 and no open. The same file
    // with RLE frames opens, and the AVI clears the own-window state.
    Bytes indeo = RleAvi();
    Replace(&indeo, "mrle", "iv32");
    for (size_t i = 0; i + 28 <= indeo.size(); ++i) {
        if (std::memcmp(indeo.data() + i, "strf", 4) == 0) {
            std::memcpy(indeo.data() + i + 24, "IV32", 4);  // the frames' compression
            break;
        }
    }
    QTMovieElement iv32(WriteTemp("loom_iv32.avi", indeo).c_str());
    EXPECT_EQ(OpenExpecting(iv32, {kAlertUnsupportedCompression}), 0);
    QTMovieElement rle(WriteTemp("loom_rle.avi", RleAvi()).c_str());
    rle.state = kMediaStateOwnWindow;
    rle.flags = kMediaFlagController;
    ASSERT_EQ(OpenExpecting(rle, {}), 1);
    EXPECT_EQ(rle.state & kMediaStateOwnWindow, 0u);
    EXPECT_EQ(rle.rect.right - rle.rect.left, kAviWidth) << "the movie box, centred";
    EXPECT_EQ(rle.rect.left, centreX - kAviWidth / 2);
    EXPECT_EQ(rle.window->ClientRect().bottom, kAviHeight + kQTControllerHeight);
}

TEST_F(QTElementsTest, ADoneMovieHidesWithFlag8AndPlayShowsItAgainItsStillIsFrameZero) {
    QTMovieElement movie(WriteTemp("loom_done.avi", RleAvi()).c_str());
    movie.flags = kMediaFlagEraseWhenDone | kMediaFlagFirstFrame | kMediaFlagOverObjects;
    movie.rect = RECT{10, 20, 10 + kAviWidth, 20 + kAviHeight};
    ASSERT_EQ(movie.Open(card_, 0), 1);
    EXPECT_EQ(movie.Play(), 0);
    EXPECT_TRUE(IsWindowVisible(movie.window->window));
    EXPECT_EQ(movie.Idle(), 0);
    QTAdvanceTestClock(400);
    EXPECT_EQ(movie.Idle(), 1);
    EXPECT_TRUE(movie.state & kMediaStateDone);
    EXPECT_FALSE(IsWindowVisible(movie.window->window)) << "hidden when done with flag 0x8";
    // A done movie draws no still.
    HDC screen = GetDC(nullptr);
    HDC surface = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kCardW, kCardH);
    HGDIOBJ old = SelectObject(surface, bitmap);
    PatBlt(surface, 0, 0, kCardW, kCardH, WHITENESS);
    movie.DrawStill(surface);
    EXPECT_EQ(GetPixel(surface, 20, 30), RGB(255, 255, 255));
    movie.Play();
    EXPECT_FALSE(movie.state & kMediaStateDone);
    EXPECT_TRUE(IsWindowVisible(movie.window->window)) << "shown again";
    EXPECT_EQ(movie.Idle(), 0);
    // Not done: the still is frame 0, at the rectangle.
    movie.DrawStill(surface);
    EXPECT_EQ(GetPixel(surface, 20, 30), Colour(1));
    EXPECT_EQ(GetPixel(surface, 5, 5), RGB(255, 255, 255));
    SelectObject(surface, old);
    DeleteObject(bitmap);
    DeleteDC(surface);
    ReleaseDC(nullptr, screen);
    // Volume goes to the controller and comes back.
    movie.SetVolume(77);
    EXPECT_EQ(movie.GetVolume(), 77);
    HWND window = movie.window->window;
    movie.Close();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(movie.controller, nullptr);
}

TEST_F(QTElementsTest, AMovieUnderACardObjectIsClippedWhereTheObjectLies) {
    // A button over the movie's right half.
    std::vector<uint8_t> record(32, 0);
    const int16_t words[] = {int16_t(kObjectButton), 5, 26, 20, 60, 60};
    std::memcpy(record.data(), words, sizeof words);
    ASSERT_NE(NewButtonLayer(record, kLayerAtEnd), nullptr);
    RebuildLayerMask();
    ASSERT_NE(GetLayerMaskBitmap(), nullptr);
    for (const uint32_t flags : {0u, kMediaFlagOverObjects}) {
        QTMovieElement movie(WriteTemp("loom_clip.avi", RleAvi()).c_str());
        movie.flags = flags | kMediaFlagController;
        movie.rect = RECT{10, 20, 10 + kAviWidth, 20 + kAviHeight};
        ASSERT_EQ(movie.Open(card_, 0), 1);
        if (flags) {
            EXPECT_EQ(movie.clip, nullptr) << "played over the objects";
            continue;
        }
        ASSERT_NE(movie.clip, nullptr);
        // In the movie's window: x 16 on is under the button, the bar too.
        EXPECT_TRUE(PtInRgn(QtPoint{5, 5}, movie.clip));
        EXPECT_FALSE(PtInRgn(QtPoint{5, 20}, movie.clip));
        EXPECT_FALSE(PtInRgn(QtPoint{int16_t(kAviHeight + 8), 20}, movie.clip)) << "the bar's 16 pixels";
        EXPECT_TRUE(PtInRgn(QtPoint{int16_t(kAviHeight + 8), 5}, movie.clip));
    }
    FreeLayerList();
}

TEST_F(QTElementsTest, ANewMovieIsPlacedWithItsStillAndPlacedAgainWhileTheOptionsAskForIt) {
    QTMovieElement movie(WriteTemp("loom_place.avi", RleAvi()).c_str());
    movie.objectId = 7;
    RECT centred{(kCardW - kAviWidth) / 2, (kCardH - kAviHeight) / 2, 0, 0};
    centred.right = centred.left + kAviWidth;
    centred.bottom = centred.top + kAviHeight;
    {
        CardDrag drag(card_.window, 6, -4);
        ASSERT_EQ(movie.PrepareStill(), 1);
        EXPECT_EQ(drag.Drags(), 1);
    }
    EXPECT_EQ(movie.objectId, -1);
    EXPECT_TRUE(movie.flags & kMediaFlagOverObjects);
    EXPECT_EQ(movie.rect.left, centred.left + 6) << "where the drag on the card window left it";
    EXPECT_EQ(movie.rect.bottom, centred.bottom - 4);
    ASSERT_NE(movie.still, nullptr) << "the preview the user drags";
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, movie.still);
    EXPECT_EQ(GetPixel(dc, 3, 3), Colour(1)) << "frame 0";
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(movie.movie, nullptr) << "the movie goes once placed";
    // Two answers of 57 place it twice more; the third answer is the result.
    {
        CardDrag drag(card_.window, 5, 5);
        DialogDriver options(15000);
        for (int answer : {kMovieOptionsPlaceAgain, kMovieOptionsPlaceAgain, 50})
            options.Expect(DialogMatch::Template("QT_OPTIONS"), [answer](DialogView& box) { box.Press(answer); });
        EXPECT_EQ(options.Run([&] { return movie.ShowOptions(); }), 50);
        EXPECT_EQ(drag.Drags(), 2);
    }
    EXPECT_EQ(movie.rect.left, centred.left + 16);
    EXPECT_EQ(movie.window, nullptr);
    // A movie file that cannot be read prepares nothing.
    QTMovieElement missing(TempPath("loom_missing.mov").c_str());
    EXPECT_EQ(missing.PrepareStill(), 0);
}

TEST_F(QTElementsTest, SoundVolumeIsScaledAgainstTheWaveOutputAndReachesTheSink) {
    EXPECT_EQ(ScaledSoundVolume(200, 0), 200) << "no left channel: unchanged";
    EXPECT_EQ(ScaledSoundVolume(100, 0x4000), 300) << "65535 div 0x4000 is 3";
    EXPECT_EQ(ScaledSoundVolume(255, 0xFFFF), 255);
    EXPECT_EQ(ScaledSoundVolume(255, 1), INT16_MAX) << "kept within the controller's range";

    // Stored 'Snd ' data at volume 128 reaches the sink at about half the amplitude of 256.
    const WavePcm pcm = Square(2205, 100);
    double amplitude[2] = {};
    const int16_t volumes[2] = {256, 128};
    for (int i = 0; i < 2; ++i) {
        DeleteFileA(sink_.c_str());
        Handle data = NewHandleFromBytes(StoredSnd(pcm));
        ASSERT_NE(data, 0);
        {
            QTSoundElement sound(data, 0, volumes[i]);
            EXPECT_EQ(sound.mode, kQTModeSound);
            ASSERT_EQ(sound.Open(card_, 0), 1);
            sound.Play();
            amplitude[i] = SinkAmplitude(ReadAll(sink_));
            QTAdvanceTestClock(199);
            EXPECT_EQ(sound.Idle(), 0);
            QTAdvanceTestClock(1);
            EXPECT_EQ(sound.Idle(), 1) << "done after its 200 ms";
        }
        EXPECT_EQ(GetHandleLockCount(data), 0) << "unlocked with the element";
        DisposeHandle(data);
    }
    ASSERT_GT(amplitude[0], 50);
    EXPECT_NEAR(amplitude[1] / amplitude[0], 0.5, 0.05);

    // A sound file plays from the file; a ".mid" one would be MIDI.
    DeleteFileA(sink_.c_str());
    const std::string wav = WriteTemp("loom_elements.wav", WaveFileOf(pcm));
    {
        QTSoundElement sound(wav.c_str(), kMediaFlagKeep, 128);
        EXPECT_EQ(sound.mode, kQTModeSound);
        EXPECT_EQ(sound.keep, 1);
        ASSERT_EQ(sound.Open(card_, 0), 1);
        sound.Play();
        EXPECT_NEAR(SinkAmplitude(ReadAll(sink_)) / amplitude[0], 0.5, 0.05);
    }
    EXPECT_EQ(QTSoundElement(TempPath("loom_elements.mid").c_str(), 0, 255).mode, kQTModeMidi);

    // A header whose length runs past the data: alert 2390, no movie.
    Bytes bad = StoredSnd(pcm);
    bad[33] = 0xFF;
    Handle data = NewHandleFromBytes(bad);
    {
        QTSoundElement sound(data, 0, 255);
        EXPECT_EQ(OpenExpecting(sound, {kAlertUnreadableSound}), 0);
    }
    DisposeHandle(data);
}

TEST_F(QTElementsTest, MidiDataPlaysUnchangedAndNoTemporaryMidiFileStays) {
    const int before = CountTemporaryMidFiles();
    // The MIDI file imported through a temporary "MID" movie file, which goes with the element.
    Bytes musicMovie;
    {
        QTSoundElement file(WriteTemp("loom_elements.mid", TwoSecondMidi()).c_str());
        EXPECT_EQ(file.mode, kQTModeMidi);
        ASSERT_EQ(OpenElementMovieFile(file), 0);
        ASSERT_GT(file.temporaryFile[0], 0);
        const std::string temporary(reinterpret_cast<const char*>(file.temporaryFile + 1), file.temporaryFile[0]);
        musicMovie = ReadAll(temporary);
        EXPECT_EQ(CountTemporaryMidFiles(), before + 1);
    }
    EXPECT_EQ(CountTemporaryMidFiles(), before) << "deleted with the element";
    ASSERT_FALSE(musicMovie.empty());

    Handle data = NewHandleFromBytes(musicMovie);
    {
        QTSoundElement midi(data, kMediaFlagFirstFrame | kMediaFlagKeep, 255);
        EXPECT_EQ(midi.mode, kQTModeMidi);
        EXPECT_EQ(midi.keep, 1);
        ASSERT_EQ(midi.Open(card_, 0), 1);
        midi.Play();
        QTAdvanceTestClock(1999);
        EXPECT_EQ(midi.Idle(), 0);
        QTAdvanceTestClock(1);
        EXPECT_EQ(midi.Idle(), 1);
    }
    EXPECT_EQ(HandleToBytes(data), musicMovie) << "the stored data as it was";
    EXPECT_EQ(CountTemporaryMidFiles(), before);
    DisposeHandle(data);
}

TEST_F(QTElementsTest, PictureFilesGiveTheirImageCountAndComposedFrames) {
    const Bytes three = ThreeFrameGif();
    // The first image alone: the second graphic control extension ends it.
    Bytes one;
    for (size_t i = 40; i + 3 <= three.size(); ++i) {
        if (three[i] == 0x21 && three[i + 1] == 0xF9 && three[i + 2] == 4) {
            one.assign(three.begin(), three.begin() + static_cast<std::ptrdiff_t>(i));
            one.push_back(0x3B);
            break;
        }
    }
    ASSERT_FALSE(one.empty());
    struct Case {
        const char* name;
        Bytes file;
        std::vector<std::pair<COLORREF, COLORREF>> frames;  // left and right halves
    };
    const Case cases[] = {
        {"loom_one.gif", one, {{Colour(1), Colour(1)}}},
        {"loom_three.gif", three, {{Colour(1), Colour(1)}, {Colour(2), Colour(1)}, {Colour(3), Colour(3)}}},
    };
    for (const Case& c : cases) {
        QTImageElement image(WriteTemp(c.name, c.file).c_str());
        ASSERT_EQ(image.Open(card_, 0), 1) << c.name;
        EXPECT_EQ(image.CountImages(), int(c.frames.size())) << c.name;
        HGLOBAL frames = nullptr;
        int count = -1;
        ASSERT_EQ(image.DecodeFrames(&frames, &count), 1) << c.name;
        ASSERT_EQ(count, int(c.frames.size())) << c.name;
        auto* handles = static_cast<HGLOBAL*>(GlobalLock(frames));
        for (int k = 0; k < count; ++k) {
            EXPECT_EQ(DibPixel(handles[k], 1, 4), c.frames[k].first) << c.name << " frame " << k;
            EXPECT_EQ(DibPixel(handles[k], 6, 4), c.frames[k].second) << c.name << " frame " << k;
            GlobalFree(handles[k]);
        }
        GlobalUnlock(frames);
        GlobalFree(frames);
    }
    // The same through the manager, which opens a picture element for each query.
    const std::string path = TempPath("loom_three.gif");
    EXPECT_EQ(MediaCountImages(path.c_str()), 0) << "no manager";
    ASSERT_EQ(MediaManagerCreate(card_.window, GetAppInstance()), 1);
    EXPECT_EQ(MediaCountImages(path.c_str()), 3);
    HGLOBAL frames = nullptr;
    int count = 0;
    EXPECT_EQ(MediaDecodeImageFrames(path.c_str(), &frames, &count), 1);
    EXPECT_EQ(count, 3);
    if (auto* handles = static_cast<HGLOBAL*>(GlobalLock(frames))) {
        for (int k = 0; k < count; ++k)
            GlobalFree(handles[k]);
        GlobalUnlock(frames);
    }
    GlobalFree(frames);
    EXPECT_EQ(MediaCountImages(TempPath("loom_missing.gif").c_str()), 0);
    MediaManagerDestroy();
}

}  // namespace

namespace {

int WindowHeight(const QTElement& element) { return element.window ? element.window->ClientRect().bottom : -1; }

}  // namespace

TEST_F(QTElementsTest, TheOptionsDialogFollowsTheMoviesKindAndOkKeepsTheChoiceInTheMovie) {
    // Sound only: "Background music" in place of "Erase when done"; without the controller it
    // cannot be placed, drawn over objects or shown as a still.
    const std::string soundOnly = WriteTemp("loom_options_sound.mov", MovieOf({SoundTrackSpec(Square(1100, 60))}, false));
    {
        QTMovieElement movie(soundOnly.c_str());
        movie.flags = kMediaFlagController;
        movie.rect = {100, 100, 300, 100};
        DialogDriver driver;
        // Opened in the preview without a picture to show.
        driver.Expect(DialogMatch::Alert(kAlertNoPictures), [](DialogView& box) { box.Press(52); });
        driver.Expect(DialogMatch::Template("QT_OPTIONS"), [](DialogView& box) {
            EXPECT_EQ(box.Caption(), "Movies");
            EXPECT_TRUE(box.IsVisible(59));
            EXPECT_FALSE(box.IsVisible(51));
            EXPECT_TRUE(box.IsChecked(53));
            for (int id : {57, 52, 55})
                EXPECT_TRUE(box.IsEnabled(id)) << id;
            box.SetChecked(53, false);
        });
        driver.Expect(DialogMatch::Template("QT_OPTIONS"), [](DialogView& box) {
            for (int id : {57, 52, 55})
                EXPECT_FALSE(box.IsEnabled(id)) << id;
            box.Press(IDCANCEL);
        });
        EXPECT_EQ(driver.Run([&] { return RunMovieOptions(card_.window, &movie); }), IDCANCEL);
        EXPECT_EQ(movie.window, nullptr) << "closed";
    }
    // Its own controller type: "Erase when done" and "Loop movie" off, the box follows 0x200.
    for (const uint32_t flags : {0u, uint32_t(kMediaFlagOwnController)}) {
        QTMovieElement movie(WriteTemp("loom_options_ctyp.mov", MovieOf({SoundTrackSpec(Square(1100, 60))}, true)).c_str());
        movie.flags = flags;
        movie.rect = {100, 100, 300, 100};
        DialogDriver driver;
        driver.Expect(DialogMatch::Alert(kAlertNoPictures), [](DialogView& box) { box.Press(52); });
        driver.Expect(DialogMatch::Template("QT_OPTIONS"), [flags](DialogView& box) {
            EXPECT_FALSE(box.IsEnabled(51));
            EXPECT_FALSE(box.IsEnabled(54));
            EXPECT_EQ(box.IsChecked(53), flags != 0);
            box.Press(IDCANCEL);
        });
        driver.Run([&] { return RunMovieOptions(card_.window, &movie); });
    }

    // A movie: the controller adds its 16 pixels; OK sets 0x80 and keeps the volume it plays at
    // and the rectangle it had before the preview; the working action block is no one's to change.
    ActionBlock& block = *GetActionBlock();
    const ActionBlock saved = block;
    block = {};
    block.videodiscStart[0] = 5;
    block.videodiscFlags = 4;
    const ActionBlock withVideodisc = block;
    const std::string avi = WriteTemp("loom_options.avi", RleAvi());
    for (const int answer : {IDCANCEL, IDOK}) {
        QTMovieElement movie(avi.c_str());
        movie.rect = {10, 10, 10 + kAviWidth, 10 + kAviHeight};
        DialogDriver driver;
        int bare = -1, withBar = -1;
        DWORD tryStart = 0;
        COLORREF shown = CLR_INVALID;
        driver.Expect(DialogMatch::Template("QT_OPTIONS"), [&](DialogView& box) {
            EXPECT_TRUE(box.IsVisible(51));
            EXPECT_FALSE(box.IsVisible(59));
            EXPECT_FALSE(box.IsChecked(53));
            bare = WindowHeight(movie);
            box.SetChecked(53, true);
            withBar = WindowHeight(movie);
            box.SetChecked(54, true);
            movie.SetVolume(77);
            box.Press(56);  // Try It: the movie plays in the preview while the dialog stays
        });
        // A quarter second on, the preview shows frame 2 of the movie.
        driver.Expect(DialogMatch::Template("QT_OPTIONS"), [&](DialogView&) {
            QTAdvanceTestClock(250);
            tryStart = GetTickCount();
        });
        const auto later = std::make_shared<std::function<void(DialogView&)>>();
        *later = [&, later](DialogView& box) {
            if (GetTickCount() - tryStart < 200) {
                driver.Expect(DialogMatch::Template("QT_OPTIONS"), *later);
                return;
            }
            HDC dc = GetDC(movie.window->window);
            shown = GetPixel(dc, 3, 3);
            ReleaseDC(movie.window->window, dc);
            box.Press(answer);
        };
        driver.Expect(DialogMatch::Template("QT_OPTIONS"), *later);
        EXPECT_EQ(driver.Run([&] { return RunMovieOptions(card_.window, &movie); }), answer);
        EXPECT_EQ(shown, Colour(3)) << "Try It plays the movie in the preview";
        EXPECT_EQ(withBar - bare, 16);
        EXPECT_EQ(std::memcmp(&block, &withVideodisc, sizeof block), 0) << "the working block is left as it was";
        if (answer == IDCANCEL)
            continue;
        EXPECT_EQ(movie.flags, uint32_t(kMediaFlagController | kMediaFlagLoop | kMediaFlagApplyVolume));
        EXPECT_EQ(movie.volume, 77);
        EXPECT_EQ(movie.rect.left, 10) << "the rectangle it had before the preview";
        EXPECT_EQ(movie.rect.bottom, 10 + kAviHeight);
    }
    block = saved;
}
