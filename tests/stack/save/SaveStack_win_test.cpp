// The Save command's questions for a converted stack (an older format, or pictures brought to
// the display's depth), and a save killed at any moment: a child process saves a big stack over
// and over and is terminated at several points; the file at the stack's path must then read as
// a whole stack, the old one or a new one.
#include <windows.h>

#include <fstream>
#include <iterator>

#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/AlertsOnce.h"
#include "core/ui/DisplayUtils.h"
#include "graphics/dib/Dib.h"
#include "stack/format/ByteSource.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/CardPictureRows.h"
#include "stack/save/SaveDialogs.h"
#include "tests/stack/SaveTestUtil.h"
#include "tests/support/DialogDriver_win.h"

namespace {

using namespace savetest;

constexpr char kChildVariable[] = "LOOM_SAVE_KILL_STACK";
constexpr char kReadyVariable[] = "LOOM_SAVE_KILL_READY";

std::vector<uint8_t> ReadDiskFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Twelve cards with large stored pictures: a few megabytes to write.
sb::Stack BigStack() {
    sb::Stack s;
    s.cardWidth = 320;
    s.cardHeight = 240;
    for (uint16_t id = 1; id <= 12; ++id) {
        sb::Picture picture = sb::GradientPicture(320, 240, 8);
        picture.stream = sb::PictureStream::StoredCopy;
        sb::Card card = sb::PictureCard(id, picture);
        card.objects.push_back(sb::Button(id, {10, 10, 90, 30}, "Go"));
        s.cards.push_back(card);
    }
    s.resources.push_back({"FntL", 128, "", 0, 0, std::vector<uint8_t>(4000, 7)});
    return s;
}

// The card picture as the display shows it: one 0x00RRGGBB value per pixel, top row first.
std::vector<uint32_t> ShownPixels(Handle card) {
    const int stored = GetU16(HandleToBytes(card), kCardDepth);
    DibHandle dib = 0;
    if (ConvertPictureDepth(card, stored, DisplayDepthForStack(), &dib) != 0)
        return {};
    std::vector<uint32_t> pixels;
    {
        LockedDib locked(dib);
        const DibLayout& l = locked.layout();
        for (int y = 0; locked && y < l.height; ++y) {
            const std::span<uint8_t> row = locked.row(l.height - 1 - y);
            for (int x = 0; x < l.width; ++x) {
                uint32_t rgb = 0;
                if (l.depth == 8) {
                    const uint8_t* q = &locked.table()[4 * row[x]];
                    rgb = q[2] << 16 | q[1] << 8 | q[0];
                } else if (l.depth == 16) {
                    const uint16_t v = uint16_t(row[2 * x] | row[2 * x + 1] << 8);
                    rgb = ((v >> 10) & 31) << 19 | ((v >> 5) & 31) << 11 | (v & 31) << 3;
                } else {
                    const uint8_t* p = &row[x * (l.depth / 8)];
                    rgb = p[2] << 16 | p[1] << 8 | p[0];
                }
                pixels.push_back(rgb);
            }
        }
    }
    DisposeHandle(dib);
    return pixels;
}

class SaveCommandTest : public SaveSessionTest {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandle(nullptr));  // the alerts come from this program's resources
        SaveSessionTest::SetUp();
    }
    void TearDown() override {
        FreeAlertSuppressionList();  // the alerts' list lives in the handle table
        SaveSessionTest::TearDown();
    }
};

TEST_F(SaveCommandTest, AnOlderFormatIsSavedAsTheNewOneAfterAsking) {
    sb::Stack s;
    s.version = 4;
    s.cards.push_back(sb::PlainCard(1));
    constexpr char kPath[] = "C:\\Stacks\\Old.stk";
    Open(kPath, sb::BuildStack(s).bytes);
    const std::vector<uint8_t> before = FileBytes(kPath);
    // Cancel keeps the file; Replace writes version 5 in its place.
    for (const int button : {kAlertButton3, kAlertButton2}) {
        DialogDriver driver;
        driver.Expect(DialogMatch::Alert(kAlertConvertedStack), [button](DialogView& box) { box.Press(button); });
        driver.Run([] { return SaveStackCommand(); });
        EXPECT_EQ(driver.DialogsSeen(), 1);
    }
    const std::vector<uint8_t> after = FileBytes(kPath);
    EXPECT_EQ(GetBE16(before, kHeaderVersion), 4);
    EXPECT_EQ(GetBE16(after, kHeaderVersion), 5);
    EXPECT_EQ(GetStackConversionState(), kStackUnconverted);
    // Saved once: the next save asks nothing.
    DialogDriver quiet;
    EXPECT_EQ(quiet.Run([] { return SaveStackCommand(); }), kFileOk);
    EXPECT_EQ(quiet.DialogsSeen(), 0);
}

// An 8-bit stack on a deeper display: "Save over original" converts the pictures to the
// display's depth, and the file reads back with every picture unpacking to what was shown.
TEST_F(SaveCommandTest, ColorsChangedSavedOverTheOriginalReadsBackAsShown) {
    SaveRec().display = GetDisplayBitsPerPixel();
    sb::Stack s;
    s.cardWidth = 64;
    s.cardHeight = 48;
    s.cards.push_back(sb::PictureCard(1, sb::GradientPicture(64, 48, 8)));
    s.cards.push_back(sb::PictureCard(2, sb::SolidPicture(64, 48, 8, 37)));
    s.cards.back().objects.push_back(sb::Button(2, {10, 10, 50, 30}, "b"));
    constexpr char kPath[] = "C:\\Stacks\\Colors.stk";
    Open(kPath, sb::BuildStack(s).bytes);
    std::vector<std::vector<uint32_t>> shown;
    for (int i = 1; i <= CountCards(); ++i) {
        shown.push_back(ShownPixels(GetCardByIndex(i)));
        ASSERT_EQ(shown.back().size(), 64u * 48u) << "card " << i;
    }

    const int display = DisplayDepthForStack();
    const bool asks = display > 8;  // an 8-bit display shows the stack as it is
    DialogDriver driver;
    if (asks)
        driver.Expect(DialogMatch::Alert(kAlertColorsChanged), [](DialogView& box) { box.Press(kAlertButton2); });
    EXPECT_EQ(driver.Run([] { return SaveStackCommand(); }), kFileOk);
    EXPECT_EQ(driver.DialogsSeen(), asks ? 1 : 0);
    EXPECT_EQ(GetStackConversionState(), kStackUnconverted);

    const std::vector<uint8_t> bytes = FileBytes(kPath);
    SpanByteSource source(bytes);
    StackConversion cv;
    StackFileContents contents;
    const StackReadResult read = ReadStackFile(source, cv, contents);
    ASSERT_TRUE(read.ok()) << read.reason;
    const int headerDepth = GetU16(HandleToBytes(contents.header), kHeaderDepth);
    EXPECT_EQ(headerDepth, asks ? display : 8);
    ASSERT_EQ(contents.cards.size(), shown.size());
    for (size_t i = 0; i < contents.cards.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const std::vector<uint8_t> record = HandleToBytes(contents.cards[i]);
        CardPictureRows rows;
        const char* why = nullptr;
        EXPECT_EQ(DecodeCardPictureRows(record, rows, &why), CardPictureResult::Decoded) << why;
        EXPECT_EQ(rows.depth, headerDepth) << "the pictures are stored at the header's depth";
        EXPECT_EQ(ShownPixels(contents.cards[i]), shown[i]);
    }
    DisposeStackFileContents(contents);
}

class SaveKillTest : public SaveSessionTest {
protected:
    void SetUp() override {
        SaveSessionTest::SetUp();
        SetFileSystem(SystemFileSystem());
        SaveRec().display = 8;
    }
};

// The child: opens the stack named in the environment and saves it until it is killed, each
// save with another value in the first card's word 56.
TEST_F(SaveKillTest, ChildSavesUntilKilled) {
    char path[MAX_PATH] = {}, ready[MAX_PATH] = {};
    if (!GetEnvironmentVariableA(kChildVariable, path, sizeof path) ||
        !GetEnvironmentVariableA(kReadyVariable, ready, sizeof ready))
        GTEST_SKIP() << "run by AKilledSaveLeavesAWholeStack";
    Open(path, ReadDiskFile(path), true);
    std::ofstream(ready) << "ready";
    for (uint16_t round = 1; round < 5000; ++round) {
        const Handle card = GetCardByIndex(1);
        {
            HandleLock lock(card);
            SetU16(lock.bytes(), kCardWord56, round);
        }
        ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
    }
}

TEST_F(SaveKillTest, AKilledSaveLeavesAWholeStack) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string dir = std::string(folder) + "loomkill" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string stackPath = dir + "\\Big.stk";
    const std::string readyPath = dir + "\\ready.txt";
    const std::vector<uint8_t> original = sb::BuildStack(BigStack()).bytes;
    ASSERT_TRUE(sb::WriteFile(stackPath, original));
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    SetEnvironmentVariableA(kChildVariable, stackPath.c_str());
    SetEnvironmentVariableA(kReadyVariable, readyPath.c_str());

    int sawNew = 0, killedWhileWriting = 0;
    for (const DWORD delay : {0u, 15u, 40u, 75u, 130u, 220u, 350u}) {
        SCOPED_TRACE(delay);
        DeleteFileA(readyPath.c_str());
        std::string command = std::string("\"") + self + "\" --gtest_filter=SaveKillTest.ChildSavesUntilKilled";
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const HANDLE quiet = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA startup{sizeof startup};
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = quiet;
        PROCESS_INFORMATION child{};
        const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                            &startup, &child);
        CloseHandle(quiet);
        ASSERT_TRUE(started);
        for (int i = 0; i < 3000 && GetFileAttributesA(readyPath.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(5);
        Sleep(delay);
        TerminateProcess(child.hProcess, 9);
        WaitForSingleObject(child.hProcess, 10000);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);

        // Whole: the reader takes it, every card is the original's but for word 56 of the first.
        const std::vector<uint8_t> bytes = ReadDiskFile(stackPath);
        ASSERT_EQ(bytes.size(), original.size());
        SpanByteSource source(bytes);
        StackConversion cv;
        StackFileContents contents;
        const StackReadResult read = ReadStackFile(source, cv, contents);
        ASSERT_TRUE(read.ok()) << read.reason;
        DisposeStackFileContents(contents);
        std::vector<uint8_t> withoutMark = bytes;
        const size_t mark = kStackHeaderBytes + kCardWord56;
        sawNew += GetBE16(bytes, mark) != 0;
        withoutMark[mark] = withoutMark[mark + 1] = 0;
        EXPECT_EQ(withoutMark, original);
        // Temporary files of killed saves are left beside it; the next save takes the next name.
        WIN32_FIND_DATAA found;
        const HANDLE find = FindFirstFileA((dir + "\\LMTMP*.TMP").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do
                ++killedWhileWriting, DeleteFileA((dir + "\\" + found.cFileName).c_str());
            while (FindNextFileA(find, &found));
            FindClose(find);
        }
    }
    EXPECT_GT(sawNew, 0) << "some saves finished before a kill";
    std::printf("%d of 7 kills fell inside a write\n", killedWhileWriting);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    SetEnvironmentVariableA(kReadyVariable, nullptr);
    DeleteFileA(stackPath.c_str());
    DeleteFileA(readyPath.c_str());
    RemoveDirectoryA(dir.c_str());
}

}  // namespace
