// The video source choices, the video action over an action block, and movie recording on the
// test capture library (tools/avicap).
#include <gtest/gtest.h>

#include <windows.h>
#include <vfw.h>

#include <array>
#include <cctype>
#include <cstring>
#include <fstream>
#include <string>

#include "actions/ActionBlock.h"
#include "core/system/PluginModule.h"
#include "media/MediaManager.h"
#include "media/video/VideoAction.h"
#include "media/video/VideoChunks.h"
#include "media/video/VideoSources.h"
#include "media/videodisc/Videodisc.h"
#include "resources/video_ids.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

class VideoSources : public ::testing::Test {
protected:
    void SetUp() override { SetAppInstance(GetModuleHandleA(nullptr)); }
    void TearDown() override {
        SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", nullptr);
        SetEnvironmentVariableA("LOOM_VIDEODISC", nullptr);
        CloseVideodiscPlayer();
        ClearVideodiscState();
    }
};

// Two clicks at the middle of a control, as the mouse gives them.
void ClickTwice(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT clicks[4] = {};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
    SendInput(4, clicks, sizeof(INPUT));
}

std::string FileStart(const std::string& path, size_t n) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(n, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(n));
    return bytes.substr(0, static_cast<size_t>(in.gcount()));
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

TEST_F(VideoSources, MovieSourceDialogOffersLiveVideoOnlyWithACaptureDriverAndTakesASecondClick) {
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Template("DLG_VIDEOSRC"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Video/Movie Source");
        EXPECT_TRUE(box.IsChecked(IDC_VIDSRC_DISK));
        EXPECT_EQ(box.FocusId(), IDC_VIDSRC_DISK);
        for (const int id : {IDC_VIDSRC_LIVE, IDC_VIDSRC_RECORD, IDC_VIDSRC_OR})
            EXPECT_FALSE(box.IsEnabled(id)) << id;
        EXPECT_TRUE(box.IsEnabled(IDC_VIDSRC_DISC));
        ClickTwice(GetDlgItem(box.Window(), IDC_VIDSRC_DISC));
    });
    EXPECT_EQ(driver.Run([] { return RunVideoSourceDialog(nullptr, kMediaManagerMade); }), kVideoDisc);

    DialogDriver withCapture(10000);
    withCapture.Expect(DialogMatch::Template("DLG_VIDEOSRC"), [](DialogView& box) {
        for (const int id : {IDC_VIDSRC_LIVE, IDC_VIDSRC_RECORD, IDC_VIDSRC_OR})
            EXPECT_TRUE(box.IsEnabled(id)) << id;
        box.SetChecked(IDC_VIDSRC_DISK, false);
        box.SetChecked(IDC_VIDSRC_RECORD, true);
        box.Press(IDOK);
    });
    EXPECT_EQ(withCapture.Run([] { return RunVideoSourceDialog(nullptr, kMediaCaptureDriver); }), kVideoRecorded);
    DialogDriver cancel(10000);
    cancel.Expect(DialogMatch::Template("DLG_VIDEOSRC"), [](DialogView& box) { box.Press(IDCANCEL); });
    EXPECT_EQ(cancel.Run([] { return RunVideoSourceDialog(nullptr, kMediaCaptureDriver); }), kVideoCancelled);
}

TEST_F(VideoSources, PictureSourceDialogEnablesByCapabilityAndStartsOnTheLastChoice) {
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Template("VIDSRCDLG"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_GFXSRC_DISK));
        EXPECT_FALSE(box.IsEnabled(IDC_GFXSRC_VIDEO));
        EXPECT_FALSE(box.IsEnabled(IDC_GFXSRC_CAMERA));
        EXPECT_TRUE(box.IsEnabled(IDC_GFXSRC_TWAIN));
        box.SetChecked(IDC_GFXSRC_TWAIN, true);
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("VIDSRCDLG"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_GFXSRC_TWAIN)) << "the last choice";
        EXPECT_EQ(box.FocusId(), IDC_GFXSRC_TWAIN);
        box.Press(IDCANCEL);
    });
    driver.Expect(DialogMatch::Template("VIDSRCDLG"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_GFXSRC_DISK)) << "after Cancel";
        EXPECT_TRUE(box.IsEnabled(IDC_GFXSRC_CAMERA));
        ClickTwice(GetDlgItem(box.Window(), IDC_GFXSRC_CAMERA));
    });
    EXPECT_EQ(driver.Run([] {
        const int first = RunGraphicSourceDialog(nullptr, kMediaTwain);
        const int second = RunGraphicSourceDialog(nullptr, kMediaTwain);
        const int third = RunGraphicSourceDialog(nullptr, kMediaTwain | kMediaCamera | kMediaCaptureDriver);
        return first * 100 + second * 10 + third;
    }), kGraphicFromTwain * 100 + kGraphicCancelled * 10 + kGraphicFromCamera);
}

TEST_F(VideoSources, AnExistingActionNamesItsOwnSource) {
    std::array<uint8_t, kVideoChunkBytes> chunk{};
    EXPECT_EQ(ExistingVideoSource(chunk), kVideoMovieFile) << "no videodisc record: a movie file";
    SetU16(chunk, kObjectKind, kTagVideodisc);
    SetU16(chunk, kChunkSoundFlags, 1);
    EXPECT_EQ(ExistingVideoSource(chunk), kVideoDisc);
    SetU16(chunk, kChunkSoundFlags, 3);
    EXPECT_EQ(ExistingVideoSource(chunk), kVideoLive);
}

TEST_F(VideoSources, VideoActionCancelKeepsTheBlockAndADiscChoiceReplacesTheMovie) {
    SetEnvironmentVariableA("LOOM_VIDEODISC", "cav");
    ActionBlock block{};
    const VideodiscCommandText start = MakeStartCommand("060", '3', 150), end = MakeEndCommand(150, 300, "FR");
    std::memcpy(block.videodiscStart, start.data(), 32);
    std::memcpy(block.videodiscEnd, end.data(), 32);
    block.videodiscRect = {5, 6, 70, 80};
    block.videodiscFlags = 1;
    const ActionBlock before = block;
    int chosen = 9, hadVideo = 9;
    {
        DialogDriver driver(10000);
        driver.Expect(DialogMatch::Template("LaserPly"), [](DialogView& box) { box.Press(IDCANCEL); });
        EXPECT_EQ(driver.Run([&] { return EditVideoAction(nullptr, &block, &chosen, &hadVideo, 12); }), 0);
    }
    EXPECT_EQ(hadVideo, 1);
    EXPECT_EQ(std::memcmp(&block, &before, sizeof block), 0) << "Cancel changes nothing";

    // A new action: the source is asked, the laserdisc chosen, its segment taken.
    ActionBlock fresh{};
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Template("DLG_VIDEOSRC"), [](DialogView& box) {
        box.SetChecked(IDC_VIDSRC_DISK, false);
        box.SetChecked(IDC_VIDSRC_DISC, true);
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("LaserPly"), [](DialogView& box) {
        box.SetText(6, "500");
        box.SetText(5, "00200");
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditVideoAction(nullptr, &fresh, &chosen, &hadVideo, 12); }), 1);
    EXPECT_EQ(hadVideo, 0);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(fresh.movieSet, 0u);
    EXPECT_EQ(fresh.videodiscFlags, 0);
    EXPECT_NE(std::string(reinterpret_cast<const char*>(fresh.videodiscStart) + 1).find("00500"), std::string::npos);
}

TEST_F(VideoSources, RecordingTryingAndCancellingAMovie) {
    SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", "1");
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string name = "loommovie-" + ProcessTag();
    const std::string path = std::string(folder) + name + ".avi";
    DeleteFileA(path.c_str());

    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("DLG_VIDEOCAP"), [&](DialogView& box) {
        EXPECT_EQ(box.Caption(), name);
        EXPECT_FALSE(box.IsEnabled(IDC_VIDCAP_TRY));
        EXPECT_FALSE(box.IsEnabled(IDOK));
        EXPECT_TRUE(box.IsEnabled(IDC_VIDCAP_RECORD));
        const std::string time = box.Text(IDC_VIDCAP_MAXTIME);
        EXPECT_GT(std::atoll(time.c_str()), 0) << time;
        EXPECT_EQ(time.substr(time.find(' ')), " seconds");
        box.Press(IDC_VIDCAP_RECORD);
    });
    driver.Expect(DialogMatch::Template("DLG_VIDEOCAP"), [&](DialogView& box) {
        EXPECT_EQ(FileStart(path, 12).substr(8), "AVI ") << "the recording is an AVI file";
        EXPECT_TRUE(box.IsEnabled(IDC_VIDCAP_TRY));
        EXPECT_TRUE(box.IsEnabled(IDOK));
        box.Press(IDC_VIDCAP_TRY);
    });
    driver.Expect(DialogMatch::Template("DLG_VIDEOCAP"), [&](DialogView& box) {
        EXPECT_EQ(box.Text(IDC_VIDCAP_HINT), "Click Mouse to\nstop playback");
        EXPECT_TRUE(box.IsVisible(IDC_VIDCAP_HINT));
        EXPECT_FALSE(box.IsEnabled(IDC_VIDCAP_RECORD));
        EXPECT_NE(FindWindowExA(box.Window(), nullptr, "MCIWndClass", nullptr), nullptr) << "playing in an MCIWnd";
        PostMessageA(box.Window(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    });
    driver.Expect(DialogMatch::Template("DLG_VIDEOCAP"), [&](DialogView& box) {
        EXPECT_FALSE(box.IsVisible(IDC_VIDCAP_HINT)) << "a click stopped the playback";
        EXPECT_EQ(FindWindowExA(box.Window(), nullptr, "MCIWndClass", nullptr), nullptr);
        box.Press(IDC_VIDCAP_RECORD);
    });
    driver.Expect(DialogMatch::Alert(2335), [](DialogView& box) { box.Press(53); });
    driver.Expect(DialogMatch::Template("DLG_VIDEOCAP"), [](DialogView& box) { box.Press(IDCANCEL); });
    EXPECT_EQ(driver.Run([&] { return RunMovieRecordDialog(nullptr, path.c_str()); }), IDCANCEL);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "a file made here goes on Cancel";

    // A file that was there before stays.
    { std::ofstream(path, std::ios::binary) << "before"; }
    DialogDriver again(15000);
    again.Expect(DialogMatch::Template("DLG_VIDEOCAP"), [](DialogView& box) { box.Press(IDC_VIDCAP_RECORD); });
    again.Expect(DialogMatch::Template("DLG_VIDEOCAP"), [](DialogView& box) { box.Press(IDCANCEL); });
    EXPECT_EQ(again.Run([&] { return RunMovieRecordDialog(nullptr, path.c_str()); }), IDCANCEL);
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(path.c_str());
}

// "&Sound Options..." offers the capture card's sound format in the compression manager's chooser,
// which starts on it; the format chosen there is the card's from then on.
TEST_F(VideoSources, SoundOptionsChooseTheCardsSoundFormat) {
    SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", "1");
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "loomsound-" + ProcessTag() + ".avi";
    DeleteFileA(path.c_str());
    constexpr int kFormatList = 102;  // the chooser's list of formats of the chosen kind
    WAVEFORMATEX seen{}, kept{};
    std::string first, picked;
    const auto cardFormat = [](HWND dialog) {
        WAVEFORMATEX f{};
        SendMessageA(GetDlgItem(dialog, IDC_VIDCAP_WINDOW), WM_CAP_GET_AUDIOFORMAT, sizeof f, reinterpret_cast<LPARAM>(&f));
        return f;
    };
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("DLG_VIDEOCAP"), [](DialogView& box) {
        ASSERT_TRUE(box.IsEnabled(IDC_VIDCAP_SOUNDOPT));
        box.Press(IDC_VIDCAP_SOUNDOPT);
    });
    driver.Expect(DialogMatch::Any(), [&](DialogView& box) {
        ASSERT_TRUE(box.Exists(kFormatList)) << box.Caption();
        first = box.ListItem(kFormatList, box.ListSelection(kFormatList));
        for (int i = 0; i < box.ListCount(kFormatList); ++i)
            if (const std::string item = Lower(box.ListItem(kFormatList, i));
                item.find("16 bit") != std::string::npos && item.find("stereo") != std::string::npos) {
                picked = box.ListItem(kFormatList, i);
                box.SetListSelection(kFormatList, i);
                break;
            }
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("DLG_VIDEOCAP"), [&](DialogView& box) {
        kept = cardFormat(box.Window());
        box.Press(IDC_VIDCAP_SOUNDOPT);
    });
    driver.Expect(DialogMatch::Any(), [&](DialogView& box) {
        EXPECT_EQ(box.ListItem(kFormatList, box.ListSelection(kFormatList)), picked) << "it starts on the card's format";
        box.Press(IDCANCEL);
    });
    driver.Expect(DialogMatch::Template("DLG_VIDEOCAP"), [&](DialogView& box) {
        seen = cardFormat(box.Window());
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return RunMovieRecordDialog(nullptr, path.c_str()); }), IDCANCEL);
    EXPECT_NE(first.find("11"), std::string::npos) << "the chooser starts on 8-bit mono at 11025: " << first;
    ASSERT_FALSE(picked.empty());
    EXPECT_EQ(kept.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(kept.nChannels, 2);
    EXPECT_EQ(kept.wBitsPerSample, 16);
    EXPECT_EQ(seen.nChannels, 2) << "a cancelled chooser leaves it";
    DeleteFileA(path.c_str());
}
