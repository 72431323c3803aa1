// Saving a stack: the bytes written against the bytes read, where the temporary file goes and
// when it is used, the room on the disk, and what a failed save leaves behind.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/files/SaveBuffer.h"
#include "tests/stack/SaveTestUtil.h"

namespace {

using namespace savetest;
namespace fs = std::filesystem;

constexpr char kPath[] = "C:\\Stacks\\Work.stk";

fs::path CasesFolder() {
    if (const char* source = std::getenv("LOOM_SOURCE"))
        return fs::path(source) / "tests" / "data" / "stack";
    return fs::path(__FILE__).parent_path().parent_path() / "data" / "stack";
}

std::vector<uint8_t> ReadCase(const std::string& name) {
    std::ifstream in(CasesFolder() / name / "input.stk", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A stack whose every resource is referred to, with pictures, objects of each kind and paths.
sb::Stack ReferencedStack() {
    sb::Stack s;
    s.cardWidth = 64;
    s.cardHeight = 32;
    sb::Card first = sb::PictureCard(1, sb::GradientPicture(64, 32, 8));
    first.actions = {128, 0, 0};
    sb::Object button = sb::Button(5, {2, 2, 40, 20}, "Play");
    button.words = {{20, 0x04}};
    sb::Chunk sound{83, 0, {}, 0, {{16, 9}, {24, 0}}, {}, {}};
    button.chunks.push_back(sound);
    first.objects.push_back(button);
    sb::Object graphic = sb::Graphic(6, {4, 4, 20, 12}, "Pic");
    first.objects.push_back(graphic);
    first.objects.push_back(sb::TextField(7, {1, 20, 60, 30}, "Words", "hello"));
    s.cards.push_back(first);
    s.cards.push_back(sb::SharedCard(2, 1));
    s.cards.push_back(sb::PlainCard(3));
    s.resources.push_back({"Actn", 128, "Go", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 10, 10}, "a"))});
    s.resources.push_back({"Snd ", 9, "beep", 0, 0, std::vector<uint8_t>(13, 0x5A)});
    s.resources.push_back({"FntL", 128, "", 0, 0, std::vector<uint8_t>(6, 1)});
    return s;
}

// Card records and live resources ("Actn 128") as the reader gives them.
struct ReadBack {
    std::vector<std::vector<uint8_t>> cards;
    std::vector<std::string> resources;
};
ReadBack Reread(const std::vector<uint8_t>& bytes) {
    ReadBack back;
    SpanByteSource source(bytes);
    StackConversion cv;
    StackFileContents contents;
    const StackReadResult read = ReadStackFile(source, cv, contents);
    EXPECT_TRUE(read.ok()) << read.reason;
    for (Handle card : contents.cards)
        back.cards.push_back(HandleToBytes(card));
    for (const ResEntry& e : CopyResEntries(contents.resFile))
        if (!(e.attributes & kResDeleted))
            back.resources.push_back(std::string{char(e.type >> 24), char(e.type >> 16), char(e.type >> 8), char(e.type)} +
                                     " " + std::to_string(e.id));
    DisposeStackFileContents(contents);
    return back;
}

uint32_t SumOfCardLengths(const std::vector<uint8_t>& file) {
    uint32_t at = kStackHeaderBytes, sum = 0;
    for (uint16_t i = 0; i < GetBE16(file, kHeaderCardCount); ++i) {
        const uint32_t length = GetBE32(file, at + kCardLength);
        sum += length;
        at += length;
    }
    return sum;
}

class SaveStackTest : public SaveSessionTest {};

TEST_F(SaveStackTest, AnUnchangedStackIsWrittenBackByteForByte) {
    struct Case {
        std::string name;
        std::vector<uint8_t> bytes;
        std::vector<size_t> changed;  // byte offsets a save may change
    };
    std::vector<Case> cases = {
        {"minimal", ReadCase("minimal"), {}},
        // Detected as Mac-made: the save records it in flag 0x10 (low byte of +14). Its first
        // card was laid out for 512 x 384; opening gives every card the header's size. The name
        // of that card's button was read before the stack counted as Mac-made, so it was kept
        // as stored, and is now written as Mac Roman like every other text.
        {"mac-roman", ReadCase("mac-roman"), {15, 148, 149, 150, 151, 260, 262}},
        {"referenced", sb::BuildStack(ReferencedStack()).bytes, {}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.empty());
        SaveRec().display = GetBE16(c.bytes, kHeaderDepth);
        Open(kPath, c.bytes);
        StackStatistics statistics;
        const uint32_t total = GetStackStatistics(&statistics);
        ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
        const std::vector<uint8_t> saved = FileBytes(kPath);
        EXPECT_EQ(saved.size(), total);
        EXPECT_EQ(GetBE32(saved, kHeaderResourceOffset), 128 + SumOfCardLengths(saved));
        ASSERT_EQ(saved.size(), c.bytes.size());
        for (size_t i = 0; i < saved.size(); ++i) {
            const bool mayChange = std::find(c.changed.begin(), c.changed.end(), i) != c.changed.end();
            if (!mayChange) {
                ASSERT_EQ(saved[i], c.bytes[i]) << "byte " << i;
            }
        }
        if (c.name == "mac-roman") {
            EXPECT_EQ(saved[15] & kStackMacRomanText, kStackMacRomanText);
            EXPECT_EQ(GetBE32(saved, 148), GetBE32(saved, kHeaderCardWidth)) << "16 x 2";
        }
        EXPECT_TRUE(SaveRec().errors.empty());
        EXPECT_EQ(SaveRec().replaced.size(), 1u) << "through the temporary file";
        EXPECT_EQ(MemoryFilePaths().size(), 1u) << "no temporary file left";
        EXPECT_EQ(OpenMemoryFileCount(), 0);
        EXPECT_FALSE(IsStackChanged());
        EXPECT_TRUE(StackHasFile());
        CloseStack();
        SaveRec().replaced.clear();
    }
}

TEST_F(SaveStackTest, ASaveChangesOnlyWhatItMust) {
    // Unused resources go, deleted cards and objects go, a version 4 becomes 5; what the reader
    // sees of the rest is what it saw before.
    sb::Stack s = ReferencedStack();
    s.version = 4;
    s.cards.push_back(sb::PlainCard(4));
    s.resources.push_back({"Icon", 30, "unused", 0, 0, std::vector<uint8_t>(5, 3)});
    s.resources.push_back({"Icon", 31, "gone", kResDeleted, 0, std::vector<uint8_t>(5, 3)});
    const std::vector<uint8_t> original = sb::BuildStack(s).bytes;
    Open(kPath, original);
    EXPECT_EQ(GetStackConversionState(), kStackFormatConverted);
    ReadBack before = Reread(original);
    // The fourth card and the text field are marked deleted.
    {
        Handle fourth = GetCardByIndex(4);
        HandleLock lock(fourth);
        SetU16(lock.bytes(), kCardFlags, kCardDeleted);
    }
    SetCardCount(3);
    uint32_t textAt = 0;
    ASSERT_TRUE(FindObjectInCard(kObjectText, 7, GetCardByIndex(1), &textAt));
    SetObjectFlags(GetCardByIndex(1), textAt, kObjectDeletedFlag, 0);

    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
    const std::vector<uint8_t> saved = FileBytes(kPath);
    EXPECT_EQ(GetBE16(saved, kHeaderVersion), 5);
    EXPECT_EQ(GetBE16(saved, kHeaderCardCount), 3);
    EXPECT_EQ(GetBE32(saved, kHeaderResourceOffset), 128 + SumOfCardLengths(saved));
    EXPECT_EQ(GetStackConversionState(), kStackUnconverted);
    const ReadBack after = Reread(saved);
    ASSERT_EQ(after.cards.size(), 3u);
    EXPECT_EQ(after.cards[1], before.cards[1]);
    EXPECT_EQ(after.cards[2], before.cards[2]);
    EXPECT_EQ(CardObjects(after.cards[0]).size(), 2u) << "the deleted text field is gone";
    EXPECT_EQ(after.resources, (std::vector<std::string>{"Actn 128", "Snd  9", "FntL 128"}));

    // With every card marked deleted the save still keeps one card, so the file opens again.
    for (int i = 1; i <= CountCards(); ++i) {
        Handle card = GetCardByIndex(i);
        HandleLock lock(card);
        SetU16(lock.bytes(), kCardFlags, kCardDeleted);
    }
    SetCardCount(0);
    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
    const std::vector<uint8_t> kept = FileBytes(kPath);
    EXPECT_EQ(GetBE16(kept, kHeaderCardCount), 1);
    EXPECT_EQ(Reread(kept).cards.size(), 1u);

    // Every data case that opens reads back as it was read before the save.
    for (const char* name : {"picture-and-objects", "bad-objects"}) {
        SCOPED_TRACE(name);
        CloseStack();
        const std::vector<uint8_t> bytes = ReadCase(name);
        SaveRec().display = GetBE16(bytes, kHeaderDepth);
        Open(kPath, bytes);
        const ReadBack first = Reread(bytes);
        ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
        const std::vector<uint8_t> written = FileBytes(kPath);
        EXPECT_EQ(GetBE32(written, kHeaderResourceOffset), 128 + SumOfCardLengths(written));
        const ReadBack second = Reread(written);
        EXPECT_EQ(second.cards, first.cards);
    }
}

// The old file stays until the new one is whole beside it: without room for the whole new file
// nothing is written, even for a stack that shrinks.
TEST_F(SaveStackTest, TheFolderMustHoldTheWholeNewFile) {
    const std::vector<uint8_t> bytes = sb::BuildStack(ReferencedStack()).bytes;
    struct Case {
        int64_t freeOverTotal;  // free space - (total + 2048)
        bool shrink;            // the file on the disk is larger than the stack
        int result;
    };
    const Case cases[] = {
        {0, false, kFileOk},          // exactly total + 2048
        {-1, false, kFileRefused},
        {-100000, true, kFileRefused},  // no writing in place for a shrinking stack
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.freeOverTotal);
        SaveRec() = SaveRecorder{};
        std::vector<uint8_t> onDisk = bytes;
        if (c.shrink)
            onDisk.resize(bytes.size() + 5000, 7);
        Open(kPath, bytes);
        PutMemoryFile(kPath, onDisk);
        MarkStackChanged();
        const int64_t total = GetStackStatistics(nullptr);
        SaveRec().freeBytes = static_cast<uint32_t>(std::max<int64_t>(0, total + 2048 + c.freeOverTotal));
        EXPECT_EQ(SaveStack(kSlotCurrentStack, true), c.result);
        const bool saved = c.result == kFileOk;
        EXPECT_EQ(SaveRec().alerts, saved ? std::vector<uint32_t>{} : std::vector<uint32_t>{kAlertDiskFull});
        EXPECT_EQ(SaveRec().replaced.size(), saved ? 1u : 0u);
        EXPECT_EQ(FileBytes(kPath), saved ? bytes : onDisk);
        EXPECT_EQ(IsStackChanged(), !saved);
        EXPECT_EQ(MemoryFilePaths().size(), 1u);
        CloseStack();
    }
}

// A save (and a Save As, and an export) is failed at each of its steps in turn: each new-file
// creation, write, flush and the replacement. After every failure the old file is byte for byte
// as it was, the person is told, naming the file, the stack still counts as changed and no new
// file is left; the save after it succeeds.
TEST_F(SaveStackTest, EveryFailedStepLeavesTheOldFileAndSaysSo) {
    const std::vector<uint8_t> bytes = sb::BuildStack(ReferencedStack()).bytes;
    constexpr char kOther[] = "C:\\Stacks\\Other.stk";
    const std::vector<uint8_t> other = {7, 7, 7};
    Open(kPath, bytes);
    StoreStackName("Work.stk");
    const auto edit = [](uint16_t mark) {
        HandleLock lock(GetCardByIndex(3));
        SetU16(lock.bytes(), kCardWord56, mark);
        MarkStackChanged();
    };
    struct Operation {
        const char* what;
        const char* target;  // the file that must stay as it was
        uint32_t alertOf[kFileStepKinds];  // by the step that failed
        int (*run)();
    };
    const Operation operations[] = {
        {"save", kPath, {kAlertNoNewFile, kAlertWriteFailed, kAlertWriteFailed, kAlertReplaceRefused},
         [] { return SaveStack(kSlotCurrentStack, true); }},
        {"save as onto another file", kOther, {kAlertNotSavedAs, kAlertNotSavedAs, kAlertNotSavedAs, kAlertNotSavedAs},
         [] { return SaveStackAsPath("C:\\Stacks\\Other.stk"); }},
        {"export", kOther, {kAlertExportFailed, kAlertExportFailed, kAlertExportFailed, kAlertExportFailed}, [] {
             const std::vector<uint8_t> text(70000, 'x');  // more than one piece
             return WriteBytesToPath(text, "C:\\Stacks\\Other.stk");
         }},
    };
    uint16_t mark = 0x100;
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.what);
        // Counted once whole.
        PutMemoryFile(kOther, other);
        edit(++mark);
        ResetFileStepCounts();
        ASSERT_EQ(op.run(), kFileOk);
        int counted[kFileStepKinds];
        for (int k = 0; k < kFileStepKinds; ++k)
            counted[k] = CountedFileSteps(static_cast<FileStep>(k));
        EXPECT_GE(counted[static_cast<int>(FileStep::Write)], 2) << "the cards and the resources at least";
        if (op.target == kOther) {
            // Back to the stack and the other file as they were.
            if (std::string(op.what).starts_with("save as")) {
                ASSERT_EQ(SaveStackAsPath(kPath), kFileOk);
            }
        }
        for (int k = 0; k < kFileStepKinds; ++k) {
            for (int n = 1; n <= counted[k]; ++n) {
                SCOPED_TRACE(testing::Message() << "step kind " << k << ", call " << n);
                PutMemoryFile(kOther, other);
                edit(++mark);
                const std::vector<uint8_t> before = FileBytes(op.target);
                SaveRec().alerts.clear();
                SaveRec().named.clear();
                ResetFileStepCounts();
                FailFileStepAt(static_cast<FileStep>(k), n);
                EXPECT_NE(op.run(), kFileOk);
                ResetFileStepCounts();
                EXPECT_EQ(FileBytes(op.target), before);
                EXPECT_EQ(SaveRec().alerts, std::vector<uint32_t>{op.alertOf[k]});
                EXPECT_EQ(SaveRec().named, std::vector<std::string>{op.target});
                EXPECT_TRUE(IsStackChanged()) << "still to be saved";
                EXPECT_EQ(MemoryFilePaths().size(), 2u) << "no new file is left";
                EXPECT_EQ(OpenMemoryFileCount(), 0);
                char path[260] = {};
                GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
                EXPECT_STREQ(path, kPath) << "the stack is still its own file";
                EXPECT_STREQ(GetStackName(), "Work.stk");
            }
        }
        // The next save goes through, to the stack's own file.
        SaveRec().alerts.clear();
        ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
        EXPECT_TRUE(SaveRec().alerts.empty());
        EXPECT_FALSE(IsStackChanged());
        EXPECT_EQ(GetU16(Reread(FileBytes(kPath)).cards[2], kCardWord56), mark);
    }
}

// The new file takes the first free name beside the stack, never one that exists; saves cut
// short leave theirs, and the next save removes them before it writes its own, but only those:
// names of its own pattern in the stack's folder that no process holds open.
TEST_F(SaveStackTest, NewFileNamesAndWhatSavesCutShortLeft) {
    EXPECT_EQ(ReplacementName(kPath, 0), "C:\\Stacks\\LMTMP000.TMP");
    EXPECT_EQ(ReplacementName(kPath, 999), "C:\\Stacks\\LMTMP999.TMP");
    const std::vector<uint8_t> bytes = sb::BuildStack(ReferencedStack()).bytes;
    const std::vector<uint8_t> partial = {0, 0, 0, 0, 9, 9};
    const char* const stale[] = {"C:\\Stacks\\LMTMP000.TMP", "C:\\Stacks\\lmtmp002.tmp",
                                 "C:\\Stacks\\LMTMP999.TMP"};
    const char* const others[] = {"C:\\Stacks\\LMTMP00A.TMP", "C:\\Stacks\\LMTMP0001.TMP",
                                  "C:\\Stacks\\LMTMP003.TXT", "C:\\Stacks\\Notes.TMP",
                                  "C:\\Other\\LMTMP004.TMP"};
    for (const char* path : stale)
        PutMemoryFile(path, partial);
    for (const char* path : others)
        PutMemoryFile(path, partial);
    // Held open, as by another process's save still writing it: it stays, whatever the moment.
    PutMemoryFile("C:\\Stacks\\LMTMP001.TMP", partial);
    const FileRef writing = ActiveFileSystem().open("C:\\Stacks\\LMTMP001.TMP", kOpenReadWrite);
    Open(kPath, bytes);
    {
        HandleLock lock(GetCardByIndex(3));
        SetU16(lock.bytes(), kCardWord56, 0x4242);
    }
    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
    ASSERT_EQ(SaveRec().replaced.size(), 1u);
    EXPECT_EQ(SaveRec().replaced[0], "C:\\Stacks\\LMTMP000.TMP") << "the first name is free again";
    for (const char* path : stale)
        EXPECT_FALSE(FileExists(path)) << path;
    for (const char* path : others)
        EXPECT_EQ(FileBytes(path), partial) << path;
    EXPECT_EQ(FileBytes("C:\\Stacks\\LMTMP001.TMP"), partial) << "held open: left to its save";
    const ReadBack back = Reread(FileBytes(kPath));
    ASSERT_EQ(back.cards.size(), 3u);
    EXPECT_EQ(GetU16(back.cards[2], kCardWord56), 0x4242);
    // Once its save lets go, the next save removes it too.
    FileClose(writing);
    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
    EXPECT_FALSE(FileExists("C:\\Stacks\\LMTMP001.TMP"));
    EXPECT_EQ(MemoryFilePaths().size(), 1u + std::size(others));

    // All thousand names held by saves still writing: no new file, said so, the stack as it was.
    std::vector<FileRef> held;
    for (int i = 0; i < kReplacementNames; ++i) {
        const std::string taken = ReplacementName(kPath, i);
        PutMemoryFile(taken, partial);
        held.push_back(ActiveFileSystem().open(taken.c_str(), kOpenRead));
    }
    const std::vector<uint8_t> before = FileBytes(kPath);
    MarkStackChanged();
    SaveRec().alerts.clear();
    EXPECT_NE(SaveStack(kSlotCurrentStack, true), kFileOk);
    EXPECT_EQ(SaveRec().alerts, std::vector<uint32_t>{kAlertNoNewFile});
    EXPECT_EQ(FileBytes(kPath), before);
    EXPECT_TRUE(IsStackChanged());
    for (FileRef file : held)
        FileClose(file);
}

// Another program's change to the stack's file since it was read (or last saved here) shows in
// its size or time; the file a save wrote itself does not.
TEST_F(SaveStackTest, AnotherWritersChangeIsNoticed) {
    const std::vector<uint8_t> bytes = sb::BuildStack(ReferencedStack()).bytes;
    Open(kPath, bytes);
    SetStackHasFile(true);  // as the opening does once the file is read
    EXPECT_FALSE(StackFileChangedElsewhere());
    std::vector<uint8_t> changed = bytes;
    changed[kStackHeaderBytes + kCardWord56] ^= 1;  // the same size, a later write
    PutMemoryFile(kPath, changed);
    EXPECT_TRUE(StackFileChangedElsewhere());
    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
    EXPECT_FALSE(StackFileChangedElsewhere()) << "the file this save wrote is the stack's own";
    DeleteFilePath(kPath);
    EXPECT_FALSE(StackFileChangedElsewhere()) << "a file that is gone is written anew";
    SetStackFileIsDownloadCopy(true);
    PutMemoryFile(kPath, changed);
    EXPECT_FALSE(StackFileChangedElsewhere()) << "a downloaded copy is not the author's";
}

TEST_F(SaveStackTest, RefusedTargetsAndSaveAs) {
    const std::vector<uint8_t> bytes = sb::BuildStack(ReferencedStack()).bytes;
    Open(kPath, bytes);
    StoreStackName("Work.stk");
    // A read-only stack file.
    SetMemoryFileReadOnly(kPath, true);
    EXPECT_EQ(SaveStack(kSlotCurrentStack, true), kFileRefused);
    EXPECT_EQ(SaveRec().alerts, (std::vector<uint32_t>{kAlertDiskLocked}));
    SetMemoryFileReadOnly(kPath, false);

    // Save As onto a file that cannot be written: the stack keeps its own name and file.
    constexpr char kLocked[] = "C:\\Other\\Locked.stk";
    PutMemoryFile(kLocked, std::vector<uint8_t>{9});
    SetMemoryFileReadOnly(kLocked, true);
    SaveRec().alerts.clear();
    EXPECT_EQ(SaveStackAsPath(kLocked), kFileRefused);
    EXPECT_EQ(SaveRec().alerts, (std::vector<uint32_t>{kAlertNotSavedAs})) << "not saved under the new name";
    EXPECT_EQ(SaveRec().named, (std::vector<std::string>{kLocked}));
    char path[260] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    EXPECT_STREQ(path, kPath);
    EXPECT_STREQ(GetStackName(), "Work.stk");
    EXPECT_EQ(FileBytes(kLocked), std::vector<uint8_t>{9});

    // Save As to a new name: the stack is there byte for byte and takes the name.
    constexpr char kCopy[] = "C:\\Other\\Copy.stk";
    ASSERT_EQ(SaveStackAsPath(kCopy), kFileOk);
    GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    EXPECT_STREQ(path, kCopy);
    EXPECT_STREQ(GetStackName(), "Copy.stk");
    EXPECT_EQ(FileBytes(kCopy), bytes);
    EXPECT_EQ(FileBytes(kPath), bytes);
}

// Which stack an edit belongs to: two stacks of one file name in different folders are two,
// the same file read again is the same, and an unsaved stack is itself until it is replaced
// (two "Untitled" stacks are two), whatever name Save As gives it, and after the file Save As
// wrote is read again.
TEST_F(SaveStackTest, AStackIsKnownByItsSessionOrItsFileNotByItsName) {
    const std::vector<uint8_t> bytes = sb::BuildStack(ReferencedStack()).bytes;
    Open("C:\\SiteA\\index.stk", bytes);
    const StackIdentity first = CurrentStackIdentity();
    EXPECT_TRUE(IsCurrentStack(first));
    CloseStack();
    Open("C:\\SiteB\\index.stk", bytes);
    EXPECT_FALSE(IsCurrentStack(first)) << "another site's stack of the same name";
    CloseStack();
    Open("C:\\SiteA\\INDEX.STK", bytes);
    EXPECT_TRUE(IsCurrentStack(first)) << "the same file read again";

    SetStackHasFile(false);
    const StackIdentity untitled = CurrentStackIdentity();
    EXPECT_FALSE(SameStack(untitled, first));
    ASSERT_EQ(SaveStackAsPath("C:\\Other\\Named.stk"), kFileOk);
    EXPECT_TRUE(IsCurrentStack(untitled)) << "saved under a name, the same stack";
    CloseStack();
    Open("C:\\Other\\named.stk", FileBytes("C:\\Other\\Named.stk"));
    EXPECT_TRUE(IsCurrentStack(untitled)) << "and the same once the file it was saved to is read again";
    SetStackHasFile(false);
    SetStackHeaderHandle(NewHandle(kStackHeaderBytes));
    EXPECT_FALSE(IsCurrentStack(untitled)) << "a new unsaved stack is another";
}

TEST_F(SaveStackTest, TheDepthOfTheFileFollowsTheDisplay) {
    EXPECT_FALSE(SaveConvertsDepth(8, 8, true)) << "high compression asks for 9 bits or more";
    EXPECT_TRUE(SaveConvertsDepth(32, 32, true));
    EXPECT_TRUE(SaveConvertsDepth(8, 32, false));
    EXPECT_FALSE(SaveConvertsDepth(32, 32, false));
    // A 4-bit stack opened on a true-colour display is held and saved at 32 bits.
    sb::Stack s;
    s.depth = 4;
    s.cardWidth = 16;
    s.cardHeight = 2;
    s.cards.push_back(sb::PlainCard(1));
    SaveRec().display = 24;
    Open(kPath, sb::BuildStack(s).bytes);
    EXPECT_EQ(GetScreenDepth(), 32);
    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
    EXPECT_EQ(GetBE16(FileBytes(kPath), kHeaderDepth), 32);
}

TEST_F(SaveStackTest, WholeFilesAndBitmapFiles) {
    SetFileSpecFromPath(kSlotScratch, "C:\\Out\\data.bin");
    const Handle h = NewHandleFromBytes(std::vector<uint8_t>{5, 6, 7, 8, 9});
    EXPECT_EQ(WriteHandleToFile(h, kSlotScratch, 4), kFileOk);
    Handle back = 0;
    EXPECT_EQ(ReadFileToHandle(kSlotScratch, &back, 3), kFileOk);
    EXPECT_EQ(HandleToBytes(back), (std::vector<uint8_t>{5, 6, 7})) << "up to the limit";
    DisposeHandle(back);
    DisposeHandle(h);

    // A bitmap file: "BM", the file size, the pixels' offset, then the DIB without its spare bytes.
    const DibHandle dib = NewDib(3, 2, 8);
    ASSERT_EQ(SaveDibAsBmp(dib, "C:\\Out\\pic.bmp"), 1);
    const std::vector<uint8_t> bmp = FileBytes("C:\\Out\\pic.bmp"), packed = HandleToBytes(dib);
    DisposeHandle(dib);
    ASSERT_EQ(bmp.size(), 14u + 40 + 1024 + 8);
    EXPECT_EQ(std::string(bmp.begin(), bmp.begin() + 2), "BM");
    EXPECT_EQ(GetU32(bmp, 2), bmp.size());
    EXPECT_EQ(GetU32(bmp, 10), 14u + 40 + 1024);
    EXPECT_TRUE(std::equal(bmp.begin() + 14, bmp.end(), packed.begin()));
}

TEST_F(SaveStackTest, SaveDialogNamesAndFolders) {
    ResetSaveNameCounters();
    EXPECT_EQ(NextNumberedSaveName(kSaveSound), "wav01.WAV");
    EXPECT_EQ(NextNumberedSaveName(kSaveMidi), "mid02.MID") << "sounds and MIDI share a counter";
    for (int i = 1; i <= 99; ++i)
        NextNumberedSaveName(kSaveScreen);
    EXPECT_EQ(NextNumberedSaveName(kSaveScreen), "01.BMP") << "after 99 it starts again";
    // The remembered folder is taken for stacks whenever it is set, also over a stack's own.
    EXPECT_EQ(SuggestSaveFolder(kSaveStack, 1, "D:\\Saved"), "D:\\Saved");
    EXPECT_EQ(SuggestSaveFolder(kSaveStack, 1, "Bad"), "");
    EXPECT_EQ(SuggestSaveFolder(kSaveStack, 1, ""), "");
    EXPECT_EQ(SuggestSaveFolder(kSaveSound, 1, "D:\\Saved"), "") << "only stacks";
    EXPECT_EQ(SuggestSaveFolder(kSaveStack, 2, "D:\\Saved"), "");
}

}  // namespace
