// The Save command's questions for a converted stack (an older format, or pictures brought to
// the display's depth), and a save killed at any moment: a child process saves a big stack over
// and over and is terminated at several points; the file at the stack's path must then read as
// a whole stack, the old one or a new one, and the next save leaves no temporary file behind.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/AlertsOnce.h"
#include "core/ui/DisplayUtils.h"
#include "graphics/dib/Dib.h"
#include "format/ByteSource.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/CardPictureRows.h"
#include "stack/pictures/GraphicPicture.h"
#include "stack/save/SaveDialogs.h"
#include "tests/stack/SaveTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace savetest;

constexpr char kChildVariable[] = "LOOM_SAVE_KILL_STACK";
constexpr char kReadyVariable[] = "LOOM_SAVE_KILL_READY";
constexpr char kDieVariable[] = "LOOM_SAVE_DIE_STACK";
constexpr UINT kDiedInWrite = 7;

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

// Another program wrote the stack's file after it was opened: Save asks. Cancel keeps what the
// other program wrote; "Save over it" saves, and the next Save asks nothing.
TEST_F(SaveCommandTest, AnotherProgramsChangeIsAskedAboutBeforeSave) {
    sb::Stack s;
    s.cards.push_back(sb::PlainCard(1));
    constexpr char kPath[] = "C:\\Stacks\\Shared.stk";
    Open(kPath, sb::BuildStack(s).bytes);
    SetStackHasFile(true);  // as the opening does once the file is read
    s.cards.push_back(sb::PlainCard(2));
    const std::vector<uint8_t> theirs = sb::BuildStack(s).bytes;
    PutMemoryFile(kPath, theirs);
    for (const int button : {kAlertButton3, kAlertButton1}) {
        DialogDriver driver;
        driver.Expect(DialogMatch::Alert(kAlertChangedElsewhere), [button](DialogView& box) { box.Press(button); });
        driver.Run([] { return SaveStackCommand(); });
        EXPECT_EQ(driver.DialogsSeen(), 1);
        if (button == kAlertButton3) {
            EXPECT_EQ(FileBytes(kPath), theirs) << "Cancel";
        }
    }
    EXPECT_EQ(GetBE16(FileBytes(kPath), kHeaderCardCount), 1) << "saved over it";
    DialogDriver quiet;
    EXPECT_EQ(quiet.Run([] { return SaveStackCommand(); }), kFileOk);
    EXPECT_EQ(quiet.DialogsSeen(), 0);
}

// A 32-bit stack on a 32-bit display keeps its graphics in display order while it is open; the
// save writes them back in the file's order with every channel, and the open stack still shows
// them as before.
TEST_F(SaveCommandTest, ThirtyTwoBitGraphicsAreSavedInTheFileOrder) {
    SaveRec().display = 32;
    constexpr uint32_t kSky = sb::Pixel32({0x20, 0x60, 0xC8});
    sb::Stack s;
    s.depth = 32;
    s.cardWidth = 64;
    s.cardHeight = 48;
    s.cards.push_back(sb::PlainCard(1));
    sb::Object graphic = sb::Graphic(1, {4, 4, 12, 10}, "Sky");
    sb::SetGraphicPicture(graphic, sb::SolidPicture(8, 6, 32, kSky));
    s.cards.back().objects.push_back(graphic);
    constexpr char kPath[] = "C:\\Stacks\\Deep.stk";
    Open(kPath, sb::BuildStack(s).bytes);
    // The file order is x-R-G-B: the first pixel's bytes as they stand in a row.
    const auto firstPixel = [](std::span<const uint8_t> record) {
        GraphicPictureView view;
        EXPECT_EQ(ReadGraphicPicture(record, view), GraphicPictureRefusal::None);
        ScopedHandle dib(GraphicPictureToDib(view));
        LockedDib locked(dib.get());
        std::vector<uint8_t> bytes;
        if (locked)
            bytes.assign(locked.row(0).begin(), locked.row(0).begin() + 4);
        return bytes;
    };
    const std::vector<uint8_t> wanted = {0x00, 0x20, 0x60, 0xC8};
    for (int save = 0; save < 2; ++save) {
        ASSERT_EQ(SaveStack(kSlotCurrentStack, true), 0);
        const std::vector<uint8_t> file = FileBytes(kPath);
        SpanByteSource source(file);
        StackConversion cv;
        StackFileContents contents;
        ASSERT_TRUE(ReadStackFile(source, cv, contents).ok());
        const std::vector<uint8_t> card = HandleToBytes(contents.cards.at(0));
        DisposeStackFileContents(contents);
        CardObjectWalk walk(card);
        ObjectPlace place;
        ASSERT_TRUE(walk.Next(place));
        EXPECT_EQ(firstPixel(std::span<const uint8_t>(card).subspan(place.offset)), wanted) << "save " << save;
    }
    // Open, the pixels are in display order again (B, G, R, x).
    const std::vector<uint8_t> open = HandleToBytes(GetCardByIndex(1));
    CardObjectWalk walk(open);
    ObjectPlace place;
    ASSERT_TRUE(walk.Next(place));
    EXPECT_EQ(firstPixel(std::span<const uint8_t>(open).subspan(place.offset)),
              (std::vector<uint8_t>{0xC8, 0x60, 0x20, 0x00}));
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

// The temporary files beside a stack.
std::vector<std::string> TemporaryFiles(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE find = FindFirstFileA((dir + "\\LMTMP*.TMP").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// Starts this program's test `filter` as a child that prints nothing; false when it did not start.
bool StartChild(const char* filter, PROCESS_INFORMATION* child) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" --gtest_filter=" + filter;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE quiet = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = quiet;
    *child = {};
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, child);
    CloseHandle(quiet);
    return started;
}

// Runs this program's test `filter` as a child with the environment given; its exit code.
DWORD RunChild(const char* filter, const char* variable, const std::string& value) {
    SetEnvironmentVariableA(variable, value.c_str());
    PROCESS_INFORMATION child{};
    const bool started = StartChild(filter, &child);
    SetEnvironmentVariableA(variable, nullptr);
    if (!started)
        return ~0u;
    WaitForSingleObject(child.hProcess, 60000);
    DWORD code = ~0u;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return code;
}

// The system's files, but the process ends in the middle of writing a temporary file, as when
// the browser is killed during a save.
FileRef g_dyingFile = kNoFile;
const FileSystemOps& DyingFileSystem() {
    static FileSystemOps ops = [] {
        FileSystemOps o = *SystemFileSystem();
        o.createNew = [](const char* path) {
            const FileRef file = SystemFileSystem()->createNew(path);
            if (std::strstr(path, "LMTMP"))
                g_dyingFile = file;
            return file;
        };
        o.write = [](FileRef file, const void* buffer, uint32_t count) {
            const int32_t written = SystemFileSystem()->write(file, buffer, count);
            if (file == g_dyingFile)
                TerminateProcess(GetCurrentProcess(), kDiedInWrite);
            return written;
        };
        return o;
    }();
    return ops;
}

// The child: opens the stack named in the environment and dies inside the write of its save.
TEST_F(SaveKillTest, ChildDiesInsideItsWrite) {
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA(kDieVariable, path, sizeof path))
        GTEST_SKIP() << "run by ASaveRemovesTheTemporaryFilesOfSavesCutShort";
    Open(path, ReadDiskFile(path), true);
    SetFileSystem(&DyingFileSystem());
    SaveStack(kSlotCurrentStack, true);
    ADD_FAILURE() << "the save ended";
}

// A process that died inside its save left its temporary file; the next save removes it (and
// any other of its naming nothing holds open) before it writes, and the stack reads back whole.
// A file held open, as by a save still writing, stays until it is let go.
TEST_F(SaveKillTest, ASaveRemovesTheTemporaryFilesOfSavesCutShort) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string dir = std::string(folder) + "loomdie" + ProcessTag();
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string stackPath = dir + "\\Big.stk";
    const std::vector<uint8_t> original = sb::BuildStack(BigStack()).bytes;
    ASSERT_TRUE(sb::WriteFile(stackPath, original));
    const std::string bystander = dir + "\\LMTMP0001.TMP";
    ASSERT_TRUE(sb::WriteFile(bystander, std::vector<uint8_t>{1, 2, 3}));

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(RunChild("SaveKillTest.ChildDiesInsideItsWrite", kDieVariable, stackPath), kDiedInWrite);
        // Its file is left beside the bystander; the second child's save removed the first's.
        EXPECT_EQ(TemporaryFiles(dir), (std::vector<std::string>{"LMTMP000.TMP", "LMTMP0001.TMP"}));
        EXPECT_EQ(ReadDiskFile(stackPath), original) << "the stack was never touched";
    }
    // A save still writing holds its file open (as the file layer creates it).
    const std::string writing = dir + "\\LMTMP007.TMP";
    const HANDLE held = CreateFileA(writing.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    Open(stackPath, original, true);
    for (const uint16_t mark : {0x1111, 0x2222}) {
        SCOPED_TRACE(mark);
        {
            HandleLock lock(GetCardByIndex(1));
            SetU16(lock.bytes(), kCardWord56, mark);
        }
        ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
        const std::vector<std::string> left = TemporaryFiles(dir);
        if (mark == 0x1111) {
            EXPECT_EQ(left, (std::vector<std::string>{"LMTMP0001.TMP", "LMTMP007.TMP"})) << "held open: it stays";
            CloseHandle(held);
        } else {
            EXPECT_EQ(left, (std::vector<std::string>{"LMTMP0001.TMP"})) << "let go: removed";
        }
        const std::vector<uint8_t> bytes = ReadDiskFile(stackPath);
        SpanByteSource source(bytes);
        StackConversion cv;
        StackFileContents contents;
        const StackReadResult read = ReadStackFile(source, cv, contents);
        ASSERT_TRUE(read.ok()) << read.reason;
        ASSERT_EQ(contents.cards.size(), 12u);
        EXPECT_EQ(GetU16(HandleToBytes(contents.cards[0]), kCardWord56), mark);
        DisposeStackFileContents(contents);
    }
    CloseStack();
    DeleteFileA(bystander.c_str());
    DeleteFileA(stackPath.c_str());
    RemoveDirectoryA(dir.c_str());
}

// A stack whose path is 258 characters long (its folder as long as a folder may be): the new
// file's name beside it passes the ANSI limit, and the save still goes through.
TEST_F(SaveKillTest, AStackNearThePathLimitIsSaved) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string top = std::string(temp) + "loomlong" + std::to_string(GetCurrentProcessId());
    std::vector<std::string> made = {top};
    ASSERT_TRUE(CreateDirectoryA(top.c_str(), nullptr));
    std::string folder = top;
    while (folder.size() < 247) {
        const size_t room = 247 - folder.size() - 1;
        folder += "\\" + std::string(std::min<size_t>(room, 40), 'f');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder.size();
        made.push_back(folder);
    }
    const std::string stackPath = folder + "\\long10.stk";
    ASSERT_EQ(stackPath.size(), 258u);
    sb::Stack s;
    s.cards.push_back(sb::PlainCard(1));
    const std::vector<uint8_t> original = sb::BuildStack(s).bytes;
    ASSERT_TRUE(sb::WriteFile(stackPath, original));
    Open(stackPath, original, true);
    {
        HandleLock lock(GetCardByIndex(1));
        SetU16(lock.bytes(), kCardWord56, 0x5151);
    }
    EXPECT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
    const std::vector<uint8_t> saved = ReadDiskFile(stackPath);
    ASSERT_EQ(saved.size(), original.size());
    EXPECT_EQ(GetBE16(saved, kStackHeaderBytes + kCardWord56), 0x5151);
    EXPECT_FALSE(FileExists(ReplacementName(stackPath, 0).c_str())) << "the new file took the stack's place";
    CloseStack();
    DeleteFileA(stackPath.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryA(it->c_str());
}

TEST_F(SaveKillTest, AKilledSaveLeavesAWholeStack) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string dir = std::string(folder) + "loomkill" + ProcessTag();
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string stackPath = dir + "\\Big.stk";
    const std::string readyPath = dir + "\\ready.txt";
    const std::vector<uint8_t> original = sb::BuildStack(BigStack()).bytes;
    ASSERT_TRUE(sb::WriteFile(stackPath, original));
    SetEnvironmentVariableA(kChildVariable, stackPath.c_str());
    SetEnvironmentVariableA(kReadyVariable, readyPath.c_str());

    int sawNew = 0, killedWhileWriting = 0;
    for (const DWORD delay : {0u, 15u, 40u, 75u, 130u, 220u, 350u}) {
        SCOPED_TRACE(delay);
        DeleteFileA(readyPath.c_str());
        PROCESS_INFORMATION child{};
        ASSERT_TRUE(StartChild("SaveKillTest.ChildSavesUntilKilled", &child));
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
        // A kill inside a write leaves its temporary file; the next child's save removes it.
        killedWhileWriting += TemporaryFiles(dir).empty() ? 0 : 1;
    }
    // And so does this process's save.
    Open(stackPath, ReadDiskFile(stackPath), true);
    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
    EXPECT_TRUE(TemporaryFiles(dir).empty());
    CloseStack();
    EXPECT_GT(sawNew, 0) << "some saves finished before a kill";
    std::printf("%d of 7 kills fell inside a write\n", killedWhileWriting);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    SetEnvironmentVariableA(kReadyVariable, nullptr);
    DeleteFileA(stackPath.c_str());
    DeleteFileA(readyPath.c_str());
    RemoveDirectoryA(dir.c_str());
}

}  // namespace
