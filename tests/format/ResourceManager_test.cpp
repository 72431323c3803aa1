// The resource manager over files in memory: opening an area, the four lookups, unique ids,
// resource requests, saving the area and the scratch file.
#include "format/ResFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/files/FileLayerMemory.h"
#include "core/memory/ByteReader.h"
#include "format/FormatUpcalls.h"
#include "tests/support/MemoryFiles.h"

namespace {

// The area written and, as once the new file is in its place, the table pointed at it.
int SaveArea(FileRef file, uint32_t offset, int32_t ref, const char* saved = nullptr) {
    ResourceAreaPlaces places;
    const int err = WriteResourceArea(file, offset, ref, &places);
    if (err == kFileOk)
        NoteResourceAreaSaved(ref, places, saved);
    return err;
}


constexpr char kStackPath[] = "C:\\Stacks\\Res.stk";

struct TestEntry {
    uint32_t type;
    uint16_t id;
    std::string data;
    std::string name;
    uint32_t attributes = 0;
};

// A file: a 128-byte header with the area offset, count and counter, `cardBytes` of filler where
// the cards would be, then the entries.
std::vector<uint8_t> AreaFile(const std::vector<TestEntry>& entries, uint16_t counter = 0, uint32_t cardBytes = 100) {
    std::vector<uint8_t> file;
    ByteWriter w(file);
    w.Zeros(60);
    w.U32BE(128 + cardBytes);
    w.U32BE(static_cast<uint32_t>(entries.size()));
    w.U16BE(counter);
    w.Zeros(128 - 70);
    w.Zeros(cardBytes);
    for (const TestEntry& e : entries) {
        w.U32BE(e.type);
        w.U16BE(e.id);
        w.U16BE(0);
        uint8_t name[32] = {static_cast<uint8_t>(e.name.size())};
        std::memcpy(name + 1, e.name.data(), e.name.size());
        w.Bytes(name);
        w.U32BE(e.attributes);
        w.U32BE(static_cast<uint32_t>(e.data.size()));
        const uint32_t padded = (static_cast<uint32_t>(e.data.size()) + 3) & ~3u;
        w.U32BE(padded);
        w.Zeros(16);
        w.Bytes({reinterpret_cast<const uint8_t*>(e.data.data()), e.data.size()});
        for (uint32_t i = static_cast<uint32_t>(e.data.size()); i < padded; ++i)
            w.U8(0xEE);  // padding as some writers left it
    }
    return file;
}

std::string Text(Handle h) {
    HandleLock lock(h);
    return lock ? std::string(reinterpret_cast<const char*>(lock.get()), GetHandleSize(h)) : std::string("<none>");
}

Handle HandleOf(std::string_view text) {
    return NewHandleFromBytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

std::vector<uint8_t> PName(std::string_view text) {
    std::vector<uint8_t> p(32, 0);
    p[0] = static_cast<uint8_t>(text.size());
    std::memcpy(p.data() + 1, text.data(), text.size());
    return p;
}

class ResourceManagerTest : public MemoryFilesTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MemoryFilesTest::SetUp());
        SetFileSpecFromPath(kSlotCurrentStack, kStackPath);
        SetResLoad(true);
        SetResourceErrorReporting(true);
        previousUpcalls_ = GetFormatUpcalls();
        FormatUpcalls upcalls = previousUpcalls_;
        upcalls.reportResourceError = RecordError;
        SetFormatUpcalls(upcalls);
        errors_.clear();
        handlesBefore_ = MemRefsCount();
    }
    void TearDown() override {
        CloseAllResFiles();
        EXPECT_EQ(OpenMemoryFileCount(), 0) << "a file was left open";
        EXPECT_EQ(MemRefsCount(), handlesBefore_) << "handles were left behind";
        SetFormatUpcalls(previousUpcalls_);
        MemoryFilesTest::TearDown();
    }
    int32_t OpenStackFile(const std::vector<uint8_t>& bytes) {
        PutMemoryFile(kStackPath, bytes);
        const int32_t ref = OpenResFileAt(GetFileSpec(kSlotCurrentStack), GetBE32(bytes, 60));
        if (ref)
            SetStackResFile(ref);
        return ref;
    }
    static void RecordError(int32_t code) { errors_.push_back(code); }
    static std::vector<int32_t> errors_;
    int handlesBefore_ = 0;
    FormatUpcalls previousUpcalls_{};
};
std::vector<int32_t> ResourceManagerTest::errors_;

TEST_F(ResourceManagerTest, OpensAnAreaAndLooksUpInFourWays) {
    const int32_t ref = OpenStackFile(AreaFile({{kSnd, 7, "beep", "Beep"},
                                                {kIcon, 3, "icon data", "Star"},
                                                {kSnd, 9, "gone", "Old", kResDeleted},
                                                {kSnd, 2, "chime!", "Chime"}}));
    ASSERT_NE(ref, 0);
    EXPECT_EQ(CurrentResFile(), ref);
    EXPECT_EQ(GetResFileCount(ref), 4u);
    EXPECT_EQ(OpenMemoryFileCount(), 0);

    EXPECT_EQ(Text(GetResource(kSnd, 7)), "beep");
    EXPECT_EQ(GetResource(kSnd, 9), 0) << "deleted entries are not found";
    EXPECT_EQ(GetResource(kIcon, 7), 0) << "another type";
    const std::vector<uint8_t> star = PName("sTAR");
    EXPECT_EQ(Text(GetNamedResource(kIcon, star.data())), "icon data");
    EXPECT_EQ(Text(GetIndResource(kSnd, 1)), "beep");
    EXPECT_EQ(Text(GetIndResource(kSnd, 2)), "chime!");
    EXPECT_EQ(GetIndResource(kSnd, 3), 0);
    const Handle chime = GetResource(kSnd, 2);
    EXPECT_EQ(LookupResource(kLookupByHandle, 0, 0, nullptr, 0, chime), chime);

    EXPECT_EQ(CountResources(kSnd), 2);
    EXPECT_EQ(GetResIndexById(ref, kSnd, 2), 2);
    EXPECT_EQ(GetResIndexById(ref, kSnd, 9), 0);
    EXPECT_EQ(GetResSize(ref, kSnd, 2), 6u);
    EXPECT_EQ(GetIndResourceId(kSnd, 2), 2);
    EXPECT_EQ(GetNamedResourceId(kSnd, PName("beep").data()), 7);
    EXPECT_EQ(GetStackResIndex(kIcon, 3), 1);

    uint32_t type = 0, attributes = 1;
    uint16_t id = 0;
    uint8_t name[32];
    EXPECT_EQ(GetResInfo(chime, &type, &id, name, &attributes), kFileOk);
    EXPECT_EQ(type, kSnd);
    EXPECT_EQ(id, 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "Chime");
    EXPECT_EQ(attributes, 0u);
    EXPECT_EQ(GetResInfo(12345, &type, &id, name, &attributes), kFileMissing);
    SetResName(kSnd, 2, PName("Bell").data());
    GetResName(kSnd, 2, name);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "Bell");
    // Area size: live entries with their padded lengths.
    EXPECT_EQ(GetResAreaSize(ref), 3 * 68u + 4 + 12 + 8);
}

TEST_F(ResourceManagerTest, OtherStacksAndTheOpenList) {
    const int32_t own = OpenStackFile(AreaFile({{kSnd, 1, "own"}}));
    ASSERT_NE(own, 0);
    PutMemoryFile("C:\\Other\\Lib.STK", AreaFile({{kSnd, 1, "library"}}, 0, 40));
    SetFileSpecFromPath(3, "C:\\Other\\Lib.STK");
    EXPECT_EQ(GetStackResourceBase(3), 168u);
    const int32_t other = OpenStackResources(3);
    ASSERT_NE(other, 0);
    EXPECT_EQ(CurrentResFile(), other) << "a new file becomes current";
    EXPECT_EQ(Text(GetResource(kSnd, 1)), "library");

    // The stack already open, a file that is no stack, one that is missing: an empty file.
    SetFileSpecFromPath(4, "c:\\stacks\\RES.stk");
    PutMemoryFile("C:\\Other\\notes.txt", AreaFile({{kSnd, 1, "text"}}));
    SetFileSpecFromPath(5, "C:\\Other\\notes.txt");
    SetFileSpecFromPath(7, "C:\\Other\\gone.stk");
    for (int slot : {4, 5, 7}) {
        const int32_t empty = OpenStackResources(slot);
        ASSERT_NE(empty, 0) << slot;
        EXPECT_EQ(GetResFileCount(empty), 0u) << slot;
        EXPECT_EQ(GetResource(kSnd, 1), 0) << slot;
        CloseResFile(empty);
        EXPECT_EQ(CurrentResFile(), other) << "closing the current file makes the head current";
    }
    UseResFile(own);
    EXPECT_EQ(Text(GetResource(kSnd, 1)), "own");
    CloseResFile(other);
    EXPECT_EQ(CurrentResFile(), own);
    EXPECT_EQ(FindResFile(other), 0);
}

TEST_F(ResourceManagerTest, ReplacingAndReleasingData) {
    ASSERT_NE(OpenStackFile(AreaFile({{kSnd, 1, "first"}})), 0);
    const Handle held = GetResource(kSnd, 1);
    ReleaseResource(held);
    const Handle copy = GetResource(kSnd, 1);
    EXPECT_NE(copy, held);
    EXPECT_EQ(Text(copy), "first");
    DisposeHandle(held);  // the caller's to dispose now
    EXPECT_EQ(Text(GetResource(kSnd, 1)), "first");

    const Handle fresh = HandleOf("second!");
    EXPECT_EQ(ReplaceResourceData(copy, fresh), 1);
    EXPECT_FALSE(IsValidHandle(copy));
    EXPECT_EQ(GetResource(kSnd, 1), fresh);
    EXPECT_EQ(GetResSize(GetStackResFile(), kSnd, 1), 7u);
    const Handle stray = HandleOf("stray");
    const Handle unused = HandleOf("x");
    EXPECT_EQ(ReplaceResourceData(stray, unused), 0) << "a handle no entry owns";
    EXPECT_EQ(GetResource(kSnd, 1), fresh);
    DisposeHandle(stray);
    DisposeHandle(unused);
}

TEST_F(ResourceManagerTest, DataThatDoesNotConvertIsKeptAsStored) {
    // An action record far too short for a button: never handed out half converted, but kept,
    // so that a save gives the person's file back its bytes.
    const int32_t ref = OpenStackFile(AreaFile({{ResType("Actn"), 128, "short"}, {kSnd, 1, "fine"}}));
    ASSERT_NE(ref, 0);
    EXPECT_EQ(GetResource(ResType("Actn"), 128), 0);
    EXPECT_EQ(CountResources(ResType("Actn")), 0);
    EXPECT_EQ(Text(GetResource(kSnd, 1)), "fine");
    EXPECT_EQ(GetResAreaSize(ref), 68u + 8 + 68 + 4) << "a raw entry is written again";

    // A request under the same type and id does not take the raw entry's place.
    ResRequest request{ResType("Actn"), 128, 0, HandleOf("other"), kResRequestCarryOut, {}, 0, 0};
    ASSERT_EQ(WriteStackResource(&request), 1);
    EXPECT_NE(request.id, 128);
    RemoveResourceEntry(ResType("Actn"), request.id);  // 'other' is no button record to save

    const char* saved = "C:\\Stacks\\Kept.stk";
    PutMemoryFile(saved, std::vector<uint8_t>(228, 0));
    {
        FileCloser file(ActiveFileSystem().open(saved, kOpenReadWrite));
        ASSERT_EQ(SaveArea(file.get(), 228, ref, saved), kFileOk);
        uint8_t count[4];
        SetBE32(count, 0, GetResFileCount(ref));
        int32_t n = 4;
        ASSERT_EQ(FileSeek(file.get(), kSeekStart, 64), kFileOk);
        ASSERT_EQ(FileWrite(file.get(), &n, count), kFileOk);
    }
    const std::vector<uint8_t> bytes = FileBytes(saved);
    EXPECT_EQ(GetBE32(bytes, 228), ResType("Actn"));
    EXPECT_EQ(GetBE16(bytes, 228 + 4), 128);
    EXPECT_EQ(GetBE32(bytes, 228 + 44), 5u);
    EXPECT_EQ(std::string(bytes.begin() + 228 + 68, bytes.begin() + 228 + 73), "short") << "written as it was read";

    // Read again from the saved file, it is the same raw entry.
    SetFileSpecFromPath(3, saved);
    const int32_t again = OpenResFileAt(GetFileSpec(3), 228);
    ASSERT_NE(again, 0);
    const std::vector<ResEntry> entries = CopyResEntries(FindResFile(again));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].raw, 1);
    EXPECT_EQ(Text(entries[0].data), "short");
    EXPECT_EQ(Text(entries[1].data), "fine");
}

TEST_F(ResourceManagerTest, EmptiedDataIsReadAgainOnlyWithResLoad) {
    ASSERT_NE(OpenStackFile(AreaFile({{kSnd, 1, "sound one"}, {kSnd, 2, "two"}})), 0);
    Handle data = GetResource(kSnd, 1);
    ASSERT_EQ(SetHandleSize(data, 0), 0);  // emptied, as memory pressure would
    SetResLoad(false);
    EXPECT_EQ(GetIndResource(kSnd, 1), data);
    EXPECT_EQ(GetHandleSize(data), 0u) << "nothing read with ResLoad off";
    SetResLoad(true);
    const Handle reloaded = GetIndResource(kSnd, 1);
    EXPECT_EQ(Text(reloaded), "sound one");

    // A failed reload leaves the entry as it was.
    ASSERT_EQ(SetHandleSize(reloaded, 0), 0);
    DeleteFilePath(kStackPath);
    EXPECT_EQ(GetResource(kSnd, 1), 0);
    SetResLoad(false);
    EXPECT_EQ(GetResource(kSnd, 1), reloaded);
}

TEST_F(ResourceManagerTest, UniqueIdsStayInMemoryAndAreBounded) {
    const std::vector<uint8_t> bytes = AreaFile({{kSnd, 1, "a"}, {kIcon, 2, "b"}, {kSnd, 3, "c", "", kResDeleted}});
    const int32_t ref = OpenStackFile(bytes);
    ASSERT_NE(ref, 0);
    EXPECT_EQ(NextUniqueResId(FindResFile(ref)), 4);
    EXPECT_EQ(GetResFileNextId(ref), 4);
    EXPECT_EQ(FileBytes(kStackPath), bytes) << "the file is not written before a save";
    EXPECT_EQ(NextUniqueResId(0), 1);

    CloseResFile(ref);
    const int32_t wrapping = OpenStackFile(AreaFile({{kSnd, 1, "a"}}, 65535));
    EXPECT_EQ(NextUniqueResId(FindResFile(wrapping)), 2) << "65535 wraps past 0 and the used 1";
    CloseResFile(wrapping);
    EXPECT_EQ(NextUniqueResId(FindResFile(OpenStackFile(AreaFile({}, 65535)))), 1);
    CloseAllResFiles();

    // Every id taken: the search ends.
    std::vector<TestEntry> all;
    for (uint32_t id = 1; id <= 65535; ++id)
        all.push_back({kSnd, static_cast<uint16_t>(id), ""});
    const int32_t full = OpenStackFile(AreaFile(all));
    ASSERT_NE(full, 0);
    EXPECT_EQ(NextUniqueResId(FindResFile(full)), 0);
    uint16_t id = 0;
    Handle data = HandleOf("x");
    EXPECT_EQ(AddResource(data, 0, kSnd, &id, nullptr), kFileMissing);
    DisposeHandle(data);
}

TEST_F(ResourceManagerTest, RequestsStoreOnceAndNeverOverwrite) {
    const int32_t ref = OpenStackFile(AreaFile({{kSnd, 5, "original"}}));
    ASSERT_NE(ref, 0);
    const std::vector<uint8_t> before = FileBytes(kStackPath);

    ResRequest same{kSnd, 5, 0, HandleOf("original"), kResRequestCarryOut, {}, 48, 1};
    EXPECT_EQ(WriteStackResource(&same), 1);
    EXPECT_EQ(GetResFileCount(ref), 1u) << "identical data is stored once";
    EXPECT_EQ(same.id, 5);
    EXPECT_EQ(same.data, 0) << "the request's data was not needed";
    EXPECT_EQ(same.flags, 0u);

    ResRequest changed{kSnd, 5, 0, HandleOf("changed"), kResRequestCarryOut, {}, 48, 1};
    const Handle changedData = changed.data;
    EXPECT_EQ(WriteStackResource(&changed), 1);
    EXPECT_EQ(GetResFileCount(ref), 2u);
    EXPECT_NE(changed.id, 5);
    EXPECT_NE(changed.id, 0);
    EXPECT_EQ(Text(GetResource(kSnd, 5)), "original") << "the old entry is left as it was";
    EXPECT_EQ(GetResource(kSnd, changed.id), changedData);

    // Copying: the caller keeps its handle and the flags.
    const Handle mine = HandleOf("kept by caller");
    ResRequest copy{kSnd, 0, 0, mine, kResRequestCarryOut | kResRequestCopyData, {}, 0, 0};
    EXPECT_EQ(WriteStackResource(&copy), 1);
    EXPECT_NE(copy.data, mine);
    EXPECT_EQ(copy.flags, kResRequestCarryOut | kResRequestCopyData);
    EXPECT_EQ(Text(GetResource(kSnd, copy.id)), "kept by caller");
    EXPECT_EQ(Text(mine), "kept by caller");
    DisposeHandle(mine);

    // Replacing keeps the id and deletes the old entry; renaming touches only the name.
    ResRequest replace{kSnd, 5, 0, HandleOf("replaced"), kResRequestCarryOut | kResRequestReplace, {}, 0, 0};
    EXPECT_EQ(WriteStackResource(&replace), 1);
    EXPECT_EQ(replace.id, 5);
    EXPECT_EQ(Text(GetResource(kSnd, 5)), "replaced");
    ResRequest rename{kSnd, 5, 0, 0, kResRequestCarryOut | kResRequestRenameOnly, {}, 0, 0};
    std::memcpy(rename.name, PName("Renamed").data(), 32);
    EXPECT_EQ(WriteStackResource(&rename), 1);
    EXPECT_EQ(GetNamedResourceId(kSnd, PName("renamed").data()), 5);
    EXPECT_EQ(Text(GetResource(kSnd, 5)), "replaced");

    // Without flag 1 nothing happens.
    ResRequest idle{kSnd, 0, 0, 0, kResRequestReplace, {}, 0, 0};
    EXPECT_EQ(WriteStackResource(&idle), 1);
    EXPECT_EQ(idle.flags, kResRequestReplace);

    // A request that cannot be stored: its data is disposed and the error reported once.
    ResRequest bad{0, 0, 0, HandleOf("no type"), kResRequestCarryOut, {}, 0, 0};
    EXPECT_EQ(WriteStackResource(&bad), 0);
    EXPECT_EQ(bad.data, 0);
    EXPECT_EQ(errors_, std::vector<int32_t>{kFileMissing});
    SetResourceErrorReporting(false);
    ResRequest quiet{0, 0, 0, HandleOf("no type"), kResRequestCarryOut, {}, 0, 0};
    EXPECT_EQ(WriteStackResource(&quiet), 0);
    EXPECT_EQ(errors_.size(), 1u);

    EXPECT_EQ(FileBytes(kStackPath), before) << "requests change nothing on disk";
}

TEST_F(ResourceManagerTest, ScratchFileServesAStackWithoutResources) {
    ASSERT_EQ(GetStackResFile(), 0);
    ResRequest first{kIcon, 0, 0, HandleOf("new icon"), kResRequestCarryOut, {}, 0, 0};
    EXPECT_EQ(WriteStackResource(&first), 1);
    const int32_t scratch = GetStackResFile();
    ASSERT_NE(scratch, 0);
    // The header's next id is a 32-bit 1, so the 16-bit counter at 68 reads 0: the first id is 1.
    EXPECT_EQ(first.id, 1);
    const Handle h = FindResFile(scratch);
    std::string path;
    {
        HandleLock lock(h);
        const auto* rf = reinterpret_cast<const ResFile*>(lock.get());
        path = std::string(PathOf(rf->spec));
        EXPECT_EQ(rf->flags & kResFileScratch, kResFileScratch);
    }
    EXPECT_NE(path.find("LMT"), std::string::npos);
    const std::vector<uint8_t> header = FileBytes(path.c_str());
    ASSERT_EQ(header.size(), 128u);
    EXPECT_EQ(GetBE32(header, 60), 128u);
    EXPECT_EQ(GetBE32(header, 64), 0u);
    EXPECT_EQ(GetBE32(header, 68), 1u);
    CloseResFile(scratch);
    EXPECT_FALSE(FileExists(path.c_str())) << "a scratch file is deleted on close";
    EXPECT_EQ(GetStackResFile(), 0);
}

TEST_F(ResourceManagerTest, SavingWritesLiveEntriesAndRefreshesThem) {
    const int32_t ref = OpenStackFile(AreaFile({{kSnd, 1, "one"}, {kSnd, 2, "second", "Two"}, {kIcon, 3, "iii"}}));
    ASSERT_NE(ref, 0);
    RemoveResourceEntry(kSnd, 1);
    EXPECT_EQ(GetResource(kSnd, 1), 0);
    ResRequest add{kIcon, 0, 0, HandleOf("added!"), kResRequestCarryOut, {}, 0, 0};
    ASSERT_EQ(WriteStackResource(&add), 1);

    // Saved as a bigger stack: cards now take 300 bytes.
    const char* saved = "C:\\Stacks\\Saved.stk";
    const FileRef created = CreateNewFile(saved);
    ASSERT_NE(created, kNoFile);
    {
        FileCloser file(created);
        std::vector<uint8_t> cards(428, 0);
        int32_t n = static_cast<int32_t>(cards.size());
        ASSERT_EQ(FileWrite(file.get(), &n, cards.data()), kFileOk);
        EXPECT_EQ(SaveArea(file.get(), 428, ref, saved), kFileOk);
        // What the header writer adds: the count and the counter.
        uint8_t fields[8];
        SetBE32(fields, 0, GetResFileCount(ref));
        SetBE32(fields, 4, GetResFileNextId(ref));
        n = 8;
        ASSERT_EQ(FileSeek(file.get(), kSeekStart, 64), kFileOk);
        ASSERT_EQ(FileWrite(file.get(), &n, fields), kFileOk);
    }
    const std::vector<uint8_t> bytes = FileBytes(saved);
    ASSERT_EQ(bytes.size(), 428u + 3 * 68 + 8 + 4 + 8);
    EXPECT_EQ(GetResFileCount(ref), 3u) << "deleted entries leave the table";
    uint32_t at = 428;
    const struct {
        uint32_t type;
        uint16_t id;
        std::string data;
    } expected[] = {{kSnd, 2, "second"}, {kIcon, 3, "iii"}, {kIcon, add.id, "added!"}};
    for (const auto& e : expected) {
        EXPECT_EQ(GetBE32(bytes, at), e.type);
        EXPECT_EQ(GetBE16(bytes, at + 4), e.id);
        EXPECT_EQ(GetBE32(bytes, at + 44), e.data.size());
        const uint32_t padded = GetBE32(bytes, at + 48);
        EXPECT_EQ(padded, (e.data.size() + 3) & ~size_t{3});
        EXPECT_EQ(std::string(bytes.begin() + at + 68, bytes.begin() + at + 68 + e.data.size()), e.data);
        for (uint32_t i = static_cast<uint32_t>(e.data.size()); i < padded; ++i)
            EXPECT_EQ(bytes[at + 68 + i], 0) << "padding is zero";
        at += 68 + padded;
    }
    EXPECT_EQ(std::string(bytes.begin() + 428 + 9, bytes.begin() + 428 + 12), "Two");

    // Entries now read from the saved file at their new places.
    DeleteFilePath(kStackPath);
    for (const auto& e : expected) {
        Handle h = GetResource(e.type, e.id);
        ASSERT_EQ(SetHandleSize(h, 0), 0);
        EXPECT_EQ(Text(GetResource(e.type, e.id)), e.data);
    }
    // The saved file opens again as the same area.
    SetFileSpecFromPath(3, saved);
    const int32_t reopened = OpenResFileAt(GetFileSpec(3), 428);
    ASSERT_NE(reopened, 0);
    EXPECT_EQ(Text(GetResource(kIcon, add.id)), "added!");
}

TEST_F(ResourceManagerTest, SavingAScratchAreaMovesItIntoTheStack) {
    ResRequest first{kIcon, 0, 0, HandleOf("icon"), kResRequestCarryOut, {}, 0, 0};
    ASSERT_EQ(WriteStackResource(&first), 1);
    const int32_t ref = GetStackResFile();
    std::string scratchPath;
    {
        HandleLock lock(FindResFile(ref));
        scratchPath = std::string(PathOf(reinterpret_cast<const ResFile*>(lock.get())->spec));
    }
    PutMemoryFile(kStackPath, std::vector<uint8_t>(228, 0));
    FileRef opened = ActiveFileSystem().open(kStackPath, kOpenReadWrite);
    {
        FileCloser file(opened);
        EXPECT_EQ(SaveArea(file.get(), 228, ref), kFileOk);  // the current stack's path
    }
    EXPECT_FALSE(FileExists(scratchPath.c_str()));
    CloseResFile(ref);
    EXPECT_TRUE(FileExists(kStackPath)) << "closing no longer deletes anything";
    EXPECT_EQ(FileBytes(kStackPath).size(), 228u + 68 + 4);
}

TEST_F(ResourceManagerTest, DamagedAreasOpenNothing) {
    const std::vector<uint8_t> good = AreaFile({{kSnd, 1, "abcdef"}, {kSnd, 2, "ghijkl"}});
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"truncated inside the data", {good.begin(), good.end() - 6}});
    cases.push_back({"truncated inside a header", {good.begin(), good.end() - 40}});
    std::vector<uint8_t> hugeCount = good;
    SetBE32(hugeCount, 64, 60000);
    cases.push_back({"count beyond the file", hugeCount});
    std::vector<uint8_t> tooMany = good;
    SetBE32(tooMany, 64, 0x7FFFFFFF);
    cases.push_back({"count above 65536", tooMany});
    std::vector<uint8_t> longData = good;
    SetBE32(longData, 228 + 44, 0xFFFFFFF0);
    SetBE32(longData, 228 + 48, 0xFFFFFFF0);
    cases.push_back({"data length past the end", longData});
    std::vector<uint8_t> badPad = good;
    SetBE32(badPad, 228 + 48, 2);
    cases.push_back({"padded length below data length", badPad});
    std::vector<uint8_t> farOffset = good;
    SetBE32(farOffset, 60, 0x7FFFFFF0);
    cases.push_back({"area past the end", farOffset});
    for (const Case& c : cases) {
        PutMemoryFile(kStackPath, c.bytes);
        const int before = MemRefsCount();
        EXPECT_EQ(OpenResFileAt(GetFileSpec(kSlotCurrentStack), GetBE32(c.bytes, 60)), 0) << c.what;
        EXPECT_EQ(CurrentResFile(), 0) << c.what;
        EXPECT_EQ(MemRefsCount(), before) << c.what;
        EXPECT_EQ(OpenMemoryFileCount(), 0) << c.what;
    }
    PutMemoryFile(kStackPath, good);
    EXPECT_NE(OpenResFileAt(GetFileSpec(kSlotCurrentStack), 228), 0);
}

}  // namespace
