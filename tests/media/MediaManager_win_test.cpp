// The media manager over the linked QuickTime stand-in on its test clock: what the facade answers
// without a manager, the movie list kept by path and object id, finished movies removed, the
// frame source of animated objects, and the window class that comes and goes with the manager.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "actions/ActionBlock.h"
#include "actions/ActionRecord.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "graphics/pixels/CardOffscreen.h"
#include "media/MediaDialogs.h"
#include "media/MediaManager.h"
#include "media/MediaManagerState.h"
#include "media/elements/AVIElement.h"
#include "media/elements/QTElements.h"
#include "media/support/MediaWindows.h"
#include "quicktime/QtCalls.h"
#include "quicktime/formats/MovieFile.h"
#include "quicktime/formats/SoundFiles.h"
#include "quicktime/formats/SoundTrack.h"
#include "format/StackFile.h"
#include "tests/media/CardDrag_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedStandIn_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/TestSounds_win.h"

namespace {

// The Open dialog's file name box (a combo box, or an edit in the old style).
constexpr int kFileNameCombo = 1148, kFileNameEdit = 1152;

bool ClassRegistered() {
    WNDCLASSA wc{};
    return GetClassInfoA(GetAppInstance(), kQTWindowClass, &wc) != 0;
}

// A video chunk (tag 89) for the file: flags, volume 255 and the packed file reference.
Bytes ChunkFor(const std::string& path, uint32_t flags) {
    Bytes chunk(kChunkHeaderBytes, 0);
    SetU32(chunk, kChunkValue, flags);
    SetU16(chunk, kChunkOptionWord, 255);
    Handle packed = 0;
    EXPECT_EQ(PackFilePath(path.c_str(), &packed), 1);
    const Bytes reference = HandleToBytes(packed);
    DisposeHandle(packed);
    chunk.insert(chunk.end(), reference.begin(), reference.end());
    return chunk;
}

// What the locate search asked the user: its prompt and filter list, cancelled.
FileRequest g_asked{};
std::vector<std::string> g_askedFilters;
bool CancelLocate(const FileRequest& request, const FileSpec&, FileSpec*) {
    g_asked = request;
    g_askedFilters.clear();
    for (const char* p = request.filter; p && *p; p += g_askedFilters.back().size() + 1)
        g_askedFilters.emplace_back(p);
    return false;
}

// An action record holding the block, saved; 0 when it could not be saved.
Handle SavedActionRecord(const ActionBlock& block) {
    Bytes record(kButtonHeaderBytes, 0);
    SetU16(record, kObjectKind, kActionRecordKind);
    SetU32(record, kObjectLength, kButtonHeaderBytes);
    Handle h = NewHandleFromBytes(record);
    if (!SaveActionBlock(h, 0, 9, block)) {
        DisposeHandle(h);
        return 0;
    }
    return h;
}

// The file reference a saved movie action stores for the block's movie.
Bytes SavedReferenceOf(const ActionBlock& block) {
    Handle h = SavedActionRecord(block);
    uint32_t at = 0;
    Bytes reference;
    if (h && FindObjectChunk(h, 0, kTagMovie, &at)) {
        const Bytes saved = HandleToBytes(h);
        reference.assign(saved.begin() + at + kChunkHeaderBytes, saved.begin() + at + GetU32(saved, at + kObjectLength));
    }
    DisposeHandle(h);
    return reference;
}

ActionBlock MovieBlock(const std::string& path) {
    ActionBlock block{};
    block.soundParameter = 127;
    block.movieSet = 1;
    block.movieRect = {1, 2, 33, 26};
    SetFileSpecPath(&block.movieFile, path.c_str());
    return block;
}

Bytes SavedMovieReference(const std::string& path) { return SavedReferenceOf(MovieBlock(path)); }

bool Contains(const Bytes& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

std::vector<MediaElement*> Movies() {
    std::vector<MediaElement*> all;
    if (const MediaManager* m = TheMediaManager())
        ForEachPointerNode(m->movies, [&](PointerNode* node) { all.push_back(static_cast<MediaElement*>(node->data)); });
    return all;
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

class MediaManagerTest : public testing::Test {
protected:
    void SetUp() override {
        session_.emplace("loom_manager_sink.wav");
        ASSERT_TRUE(session_->Ready());
        card_ = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, GetAppInstance(), nullptr);
        ASSERT_NE(card_, nullptr);
        ASSERT_EQ(InitDataBase(card_, 400, 300, 24, false), 1);
        SetLocateFileDialog(CancelLocate);
    }
    void TearDown() override {
        MediaManagerDestroy();
        SetLocateFileDialog(nullptr);
        FreeOffscreenObjects();
        DestroyWindow(card_);
        session_.reset();
    }
    HWND card_ = nullptr;
    std::optional<StandInSoundSession> session_;
};

TEST_F(MediaManagerTest, KeepsTheCardsMoviesByPathAndIdAndTheirWindowClassWhileItLives) {
    const std::string avi = WriteTemp("loom_manager.avi", RleAvi());
    const Bytes aviChunk = ChunkFor(avi, 0);

    // Without a manager every call gives its fixed answer and nothing else happens.
    ASSERT_FALSE(HasMediaManager());
    EXPECT_EQ(MediaIsMovieDone(7), 1);
    EXPECT_EQ(MediaAllMoviesDone(), 1);
    EXPECT_EQ(MediaShowAll(), 16);
    EXPECT_EQ(MediaOpenMovie(aviChunk, 7, nullptr, 1), 0);
    EXPECT_EQ(GetMediaFileRef(), 0);
    Bytes options = aviChunk;
    FileSpec given = EmptyFileSpec();
    SetFileSpecPath(&given, avi.c_str());
    EXPECT_EQ(MediaMovieOptions(options, 1, &given), 0);
    MovieFrameSource* source = nullptr;
    int16_t movieBox[4] = {};
    EXPECT_EQ(MovieFrameOpen(std::span(aviChunk).subspan(kChunkHeaderBytes), &source, movieBox), 16);
    MediaRemoveFinished(1, 1);
    MediaIdleControllers();
    MediaMovieCommand(1);
    ActionBlock measured{};
    SetFileSpecPath(&measured.movieFile, avi.c_str());
    EXPECT_EQ(MediaMeasureMovieFile(&measured), 0);
    EXPECT_EQ(measured.movieSet, 0u);
    EXPECT_FALSE(MediaIsQuickTime3());
    EXPECT_FALSE(ClassRegistered());
    EXPECT_TRUE(Contains(SavedMovieReference(avi), "loom_manager.avi")) << "saved without a manager, it is not lost";

    // Made once: a second call answers the first; the class and a 260-byte reference are there.
    ASSERT_EQ(MediaManagerCreate(card_, GetAppInstance()), 1);
    MediaManager* manager = TheMediaManager();
    ASSERT_EQ(MediaManagerCreate(card_, GetAppInstance()), 1);
    EXPECT_EQ(TheMediaManager(), manager);
    EXPECT_TRUE(ClassRegistered());
    EXPECT_TRUE(MediaIsQuickTime3()) << "the stand-in answers 3.5";
    EXPECT_EQ(GetHandleSize(GetMediaFileRef()), kMediaFileRefBytes);
    // The block's movie measured into it: its size, the measured flags, full volume.
    ASSERT_EQ(MediaMeasureMovieFile(&measured), 1);
    EXPECT_EQ(measured.movieSet, 1u);
    EXPECT_EQ(measured.movieOption & 0x91u, 0x91u);
    EXPECT_EQ(measured.movieOptionWord, 255);
    EXPECT_EQ(measured.movieRect.right - measured.movieRect.left, kAviWidth);
    EXPECT_EQ(measured.movieRect.bottom - measured.movieRect.top, kAviHeight);
    // A saved movie action stores the manager's reference, packed again from its movie.
    const Bytes saved = SavedMovieReference(avi);
    EXPECT_TRUE(Contains(saved, "loom_manager.avi"));
    const Bytes kept = HandleToBytes(GetMediaFileRef());
    ASSERT_LE(kept.size(), saved.size());
    EXPECT_EQ(Bytes(saved.begin(), saved.begin() + kept.size()), kept);

    // The same path in any case and id reuse the element; another id makes a second.
    ASSERT_EQ(MediaOpenMovie(aviChunk, 7, nullptr, 0), 1);
    ASSERT_EQ(Movies().size(), 1u);
    MediaElement* first = Movies()[0];
    EXPECT_EQ(first->objectId, 7);
    EXPECT_EQ(MediaOpenMovie(ChunkFor(Upper(avi), 0), 7, nullptr, 0), 1);
    EXPECT_EQ(Movies(), std::vector<MediaElement*>{first});
    EXPECT_EQ(MediaOpenMovie(aviChunk, 8, nullptr, 0), 1);
    ASSERT_EQ(Movies().size(), 2u);
    EXPECT_EQ(Movies()[1]->objectId, 8);
    EXPECT_EQ(MediaIsMovieDone(99), 1) << "no such movie";
    EXPECT_EQ(MediaIsMovieDone(7), 0) << "not played to its end";
    EXPECT_EQ(MediaAllMoviesDone(), 0);
    EXPECT_EQ(MediaShowAll(), 0);
    EXPECT_TRUE(IsWindowVisible(static_cast<QTElement*>(first)->window->window));

    // Commands go to the first movie: a step on and back, a step on and a rewind.
    const QtMovie movie = static_cast<QTElement*>(first)->movie;
    ASSERT_NE(movie, nullptr);
    MediaMovieCommand(3);
    const QtTimeValue stepped = GetMovieTime(movie);
    EXPECT_GT(stepped, 0);
    MediaMovieCommand(4);
    EXPECT_EQ(GetMovieTime(movie), 0);
    MediaMovieCommand(3);
    MediaMovieCommand(6);
    EXPECT_EQ(GetMovieTime(movie), stepped) << "no such command";
    MediaMovieCommand(5);
    EXPECT_EQ(GetMovieTime(movie), 0);

    // A movie that cannot be found is asked for with prompt 2417 and the movie filters, and
    // nothing is listed when the user cancels.
    const std::string gone = TempPath("loom_gone.avi");
    DeleteFileA(gone.c_str());
    EXPECT_EQ(MediaOpenMovie(ChunkFor(gone, 0), 9, nullptr, 0), 0);
    EXPECT_EQ(g_asked.titleStringId, 2417);
    EXPECT_EQ(g_askedFilters, (std::vector<std::string>{"Movies", "*.avi;*.mov;*.mpg;*.mpeg", "QuickTime", "*.mov",
                                                         "Video for Windows", "*.avi", "MPEG", "*.mpg;*.mpeg;*.mp3"}));
    EXPECT_EQ(Movies().size(), 2u);

    // A background sound-only movie, playing, outlives an unforced removal; forced, it goes and
    // the list gives back its blocks.
    const WavePcm tone = [] {
        WavePcm pcm;
        pcm.bitsPerSample = 8;
        pcm.channels = 1;
        pcm.sampleRate = 11025;
        pcm.frames = 11025;
        pcm.samples.assign(11025, 200);
        return pcm;
    }();
    const std::string music = WriteTemp("loom_manager_music.mov", WriteMovieFile(std::vector<MovieTrackSpec>{SoundTrackSpec(tone)}));
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(kAlertNoPictures), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([&] { return MediaOpenMovie(ChunkFor(music, kMediaFlagBackground), 10, nullptr, 1); }), 1);
    ASSERT_EQ(Movies().size(), 3u);
    MediaElement* background = Movies()[2];
    EXPECT_TRUE(background->state & kMediaStateSoundOnly);
    EXPECT_EQ(MediaIsMovieDone(10), 1) << "a background movie is never waited for";
    MediaIdleControllers();
    MediaRemoveFinished(0, 1);
    EXPECT_EQ(Movies(), std::vector<MediaElement*>{background});
    MediaRemoveFinished(1, 0);
    EXPECT_TRUE(Movies().empty());
    EXPECT_EQ(PointerListBlockCount(manager->movies), 0);
    MediaMovieCommand(1);  // an empty list: nothing

    // An MCIWnd notice reaches the AVI element of that window: at its end it hides (flag 0x8).
    // Commands leave a first movie that does not play through QuickTime alone.
    auto* mciMovie = new AVIElement(avi.c_str());
    mciMovie->flags = kMediaFlagEraseWhenDone;
    ASSERT_EQ(mciMovie->Open(*manager, 0), 1);
    ASSERT_NE(PointerListAppend(&manager->movies, mciMovie), nullptr);
    const HWND mci = mciMovie->MovieWindow();
    EXPECT_EQ(MediaShowAll(), 0);
    EXPECT_TRUE(IsWindowVisible(mci));
    MediaMovieCommand(1);
    EXPECT_NE(SendMessageA(mci, WM_USER + 106 /* mode */, 0, 0), 526 /* playing */);
    SendMessageA(mci, 0x0807 /* seek */, 0, -2 /* the end */);
    MediaOnMCIWndNotify(card_);
    EXPECT_TRUE(IsWindowVisible(mci)) << "not a movie's window";
    MediaOnMCIWndNotify(mci);
    EXPECT_TRUE(mciMovie->state & kMediaStateDone);
    EXPECT_FALSE(IsWindowVisible(mci));
    MediaRemoveFinished(1, 1);
    EXPECT_TRUE(Movies().empty());
    EXPECT_FALSE(IsWindow(mci)) << "its window goes with it";

    // The frame source: the movie's box, and a bitmap of frame 0 that the movie draws into.
    const Bytes reference(aviChunk.begin() + kChunkHeaderBytes, aviChunk.end());
    ASSERT_EQ(MovieFrameOpen(reference, &source, movieBox), 0);
    EXPECT_EQ(movieBox[0], 0);
    EXPECT_EQ(movieBox[1], 0);
    EXPECT_EQ(movieBox[2], kAviWidth);
    EXPECT_EQ(movieBox[3], kAviHeight);
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP frame = nullptr;
    ASSERT_EQ(MovieFrameGetImage(source, memory, &frame), 1);
    ASSERT_NE(frame, nullptr);
    // The section's own pixels (24-bit, rows top first): the movie's world holds the bitmap.
    GdiFlush();
    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(frame, sizeof section, &section), int(sizeof section));
    ASSERT_EQ(section.dsBm.bmBitsPixel, 24);
    const auto* pixel = static_cast<const uint8_t*>(section.dsBm.bmBits) + 3 * section.dsBm.bmWidthBytes + 3 * 3;
    EXPECT_EQ(RGB(pixel[2], pixel[1], pixel[0]), RGB(kColours[1][2], kColours[1][1], kColours[1][0])) << "frame 0";
    DeleteDC(memory);
    MovieFrameTask(source);
    MovieFrameStop(source);
    MovieFrameRewind(source);
    MovieFrameClose(source);

    // The options of a movie that cannot be found choose it anew (prompt 2409); placed, its
    // rectangle and flags go into the chunk. Asking for another movie and cancelling the chooser
    // keeps the first; cancelling the options answers 0. The movie, centred at first, is dragged
    // to (10, 20) on the card window.
    CardDrag drag(card_, 10 - (400 - kAviWidth) / 2, 20 - (300 - kAviHeight) / 2);
    Bytes missing = ChunkFor(gone, 0);
    FileSpec missingMovie = EmptyFileSpec();
    UnpackFileSpecTo(&missingMovie, std::span<const uint8_t>(missing).subspan(kChunkHeaderBytes));
    g_asked = {};
    DialogDriver chooser(15000);
    chooser.Expect(DialogMatch::Caption("Please select a movie file"), [&](DialogView& box) {
        box.SetText(box.Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit, avi);
        box.Press(IDOK);
    });
    chooser.Expect(DialogMatch::Template("QT_OPTIONS"), [](DialogView& box) { box.Press(50); });
    chooser.Expect(DialogMatch::Caption("Please select a movie file"), [](DialogView& box) { box.Press(IDCANCEL); });
    chooser.Expect(DialogMatch::Template("QT_OPTIONS"), [](DialogView& box) { box.Press(IDCANCEL); });
    EXPECT_EQ(chooser.Run([&] { return MediaMovieOptions(missing, 1, &missingMovie); }), 0);
    EXPECT_EQ(drag.Drags(), 1);
    EXPECT_EQ(g_asked.titleStringId, 2417) << "located first";
    EXPECT_EQ(GetI16(missing, kObjectRect), 10);
    EXPECT_EQ(GetI16(missing, kObjectRect + 2), 20);
    EXPECT_EQ(GetI16(missing, kObjectRect + 4), 42);
    EXPECT_EQ(GetI16(missing, kObjectRect + 6), 44);
    EXPECT_EQ(GetU32(missing, kChunkValue), kMediaFlagOverObjects);
    char chosen[MAX_PATH] = {};
    GetFileSpecPath(kSlotMediaFolder14, sizeof chosen, chosen);
    EXPECT_EQ(lstrcmpiA(chosen, avi.c_str()), 0) << "the choice is remembered for the next movie dialog";

    // Gone with its movies, it takes the class with it; made again, it registers it again.
    ASSERT_EQ(MediaOpenMovie(aviChunk, 7, nullptr, 1), 1);
    MediaManagerDestroy();
    EXPECT_FALSE(HasMediaManager());
    EXPECT_EQ(MediaShowAll(), 16);
    EXPECT_FALSE(ClassRegistered());
    ASSERT_EQ(MediaManagerCreate(card_, GetAppInstance()), 1);
    EXPECT_TRUE(ClassRegistered());
    MediaManagerDestroy();
}

// A movie action loaded, then another movie opened on the card (as drawing its still does)
// before the action is saved again: the action keeps its own movie, and so does the manager's
// reference.
TEST_F(MediaManagerTest, ALoadedActionKeepsItsMovieWhileTheCardOpensAnother) {
    const std::string own = WriteTemp("loom_own.avi", RleAvi());
    const std::string other = WriteTemp("loom_other.avi", RleAvi());
    ASSERT_EQ(MediaManagerCreate(card_, GetAppInstance()), 1);
    Handle record = SavedActionRecord(MovieBlock(own));
    ASSERT_NE(record, 0);
    ActionBlock loaded{};
    ASSERT_TRUE(LoadActionBlock(record, 0, &loaded));
    DisposeHandle(record);
    EXPECT_EQ(loaded.movieSet, 1u);
    ASSERT_EQ(MediaOpenMovie(ChunkFor(other, 0), 3, nullptr, 0), 1);
    const Bytes again = SavedReferenceOf(loaded);
    EXPECT_TRUE(Contains(again, "loom_own.avi"));
    EXPECT_FALSE(Contains(again, "loom_other.avi"));
    const Bytes kept = HandleToBytes(GetMediaFileRef());
    EXPECT_TRUE(Contains(kept, "loom_own.avi"));
    DeleteFileA(own.c_str());
    DeleteFileA(other.c_str());
}

}  // namespace
