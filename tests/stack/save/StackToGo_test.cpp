// The stand-alone packager without windows: what a stack refers to, the check states and the
// total, and the package's bytes as an independent unpacker reads them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "stack/save/StackToGo.h"
#include "tests/stack/StackTestUtil.h"
#include "tests/support/StandAloneUnpacker.h"

namespace {

using namespace stacktest;
namespace fs = std::filesystem;

// Files by DOS path, as collecting sees the disk.
std::map<std::string, std::vector<uint8_t>> g_disk;

bool DiskHas(const char* path) { return g_disk.count(path) != 0; }
uint64_t DiskSize(const char* path) { return DiskHas(path) ? g_disk[path].size() : 0; }
std::vector<uint8_t> DiskRead(const std::string& path) { return DiskHas(path.c_str()) ? g_disk[path] : std::vector<uint8_t>{}; }
// A moved file turns up in C:\pk\ under its own name.
bool DiskLocate(std::string& path, int) {
    const std::string moved = "C:\\pk\\" + std::string(PathFileName(path));
    if (!DiskHas(moved.c_str()))
        return false;
    path = moved;
    return true;
}
std::string Modules(int n) { return n == 1 ? "Tools.nba" : ""; }

StackToGoFileAccess DiskAccess() {
    StackToGoFileAccess a;
    a.exists = DiskHas;
    a.fileSize = DiskSize;
    a.locate = DiskLocate;
    a.moduleName = Modules;
    a.readFile = DiskRead;
    a.programFolder = "C:\\prog\\";
    return a;
}

sb::Object ActionButton(uint16_t id, uint16_t flags, std::vector<sb::Chunk> chunks) {
    sb::Object b = sb::Button(id, {10, 10, 60, 30}, "b" + std::to_string(id));
    b.words.push_back({20, flags});
    b.chunks = std::move(chunks);
    return b;
}

sb::Object PathGraphic(uint16_t id, const std::string& macPath) {
    sb::Object g = sb::Graphic(id, {0, 0, 20, 20}, "g");
    g.flags = 0x40;
    g.mask.clear();
    g.data = sb::MacPath(macPath);
    return g;
}

std::vector<uint8_t> StackBytes(std::vector<sb::Object> objects) {
    sb::Stack s;
    s.cards.push_back(sb::PlainCard(1));
    s.cards[0].objects = std::move(objects);
    return sb::BuildStack(s).bytes;
}

sb::Chunk ModuleChunk(uint16_t n) {
    sb::Chunk c;
    c.kind = 51;
    c.words = {{16, n}};
    return c;
}

class StackToGoTest : public StackFileTest {
protected:
    void SetUp() override {
        StackFileTest::SetUp();
        g_disk.clear();
    }
};

TEST_F(StackToGoTest, TreeOfAStackItsLinksAndFiles) {
    const std::string longName(70, 'n');
    g_disk["C:\\pk\\a.stk"] = StackBytes({
        ActionButton(1, 0x20 | 0x01, {sb::PathChunk(60, "C::pk:b.stk"), sb::PathChunk(82, "C::pk:bell.wav")}),
        ActionButton(2, 0x20 | 0x100, {sb::PathChunk(60, "C::pk:a.stk"), sb::PathChunk(89, "C::pk:clip.avi")}),
        PathGraphic(3, "C::pk:pic.bmp"),
        ActionButton(4, 0x08, {ModuleChunk(1)}),
        ActionButton(5, 0x08, {ModuleChunk(9)}),  // a number without a name adds nothing
        PathGraphic(6, "C::pk:gone.bmp"),
        ActionButton(7, 0x01, {sb::PathChunk(82, "C::pk:" + longName + ".wav")}),
        ActionButton(8, 0x01, {sb::PathChunk(82, "C::old:moved.wav")}),
        ActionButton(9, 0x01, {sb::PathChunk(82, "C::pk:bell.wav")}),  // listed once
    });
    g_disk["C:\\pk\\b.stk"] = StackBytes({ActionButton(1, 0x01 | 0x20, {sb::PathChunk(82, "C::pk:bell.wav"),
                                                                       sb::PathChunk(60, "C::pk:lost.stk")})});
    g_disk["C:\\pk\\bell.wav"] = std::vector<uint8_t>(1536, 1);
    g_disk["C:\\pk\\clip.avi"] = std::vector<uint8_t>(10240, 2);
    g_disk["C:\\pk\\pic.bmp"] = std::vector<uint8_t>(1000, 3);
    g_disk["C:\\prog\\NBAS\\Tools.nba"] = std::vector<uint8_t>(2048, 4);
    g_disk["C:\\pk\\" + longName + ".wav"] = std::vector<uint8_t>(10, 5);
    g_disk["C:\\pk\\moved.wav"] = std::vector<uint8_t>(512, 6);

    StackToGoList list;
    ASSERT_TRUE(BuildStackToGoList(list, "C:\\pk\\a.stk", DiskAccess()));
    std::vector<std::string> tops;
    for (const auto& item : list.items)
        if (item.parent < 0)
            tops.push_back(item.path);
    EXPECT_EQ(tops, (std::vector<std::string>{"C:\\pk\\a.stk", "C:\\pk\\b.stk", "C:\\pk\\lost.stk"}));
    const int lost = FindTopItem(list, "C:\\pk\\lost.stk");
    EXPECT_EQ(list.items[lost].state, kToGoMissing);

    std::vector<int> kinds;
    for (int c : ChildrenOf(list, 0))
        kinds.push_back(list.items[c].kind);
    EXPECT_EQ(kinds, (std::vector<int>{kToGoSound, kToGoMovie, kToGoPicture, kToGoModule, kToGoPicture, kToGoSound,
                                       kToGoSound}));
    const auto child = [&](std::string_view path) { return FindChildItem(list, 0, path); };
    EXPECT_EQ(FormatTenths(list.items[child("C:\\pk\\bell.wav")].tenths), "1.5K");
    EXPECT_GE(child("C:\\prog\\NBAS\\Tools.nba"), 0);
    EXPECT_GE(child("C:\\pk\\moved.wav"), 0) << "located where it moved";
    const int gone = child("C:\\pk\\gone.bmp");
    EXPECT_EQ(list.items[gone].state, kToGoMissing);
    EXPECT_EQ(list.items[gone].tenths, 0u);
    EXPECT_TRUE(list.missingFiles);
    const int tooLong = child("C:\\pk\\" + longName + ".wav");
    EXPECT_TRUE(list.items[tooLong].nameTooLong);
    EXPECT_EQ(ChildrenOf(list, 1).size(), 1u) << "b.stk lists its sound";

    // Checking a stack checks what it has; unchecking one file leaves the stack partly checked.
    ClickItem(list, 0);
    EXPECT_EQ(list.items[0].state, kToGoChecked);
    EXPECT_EQ(list.items[gone].state, kToGoMissing);
    EXPECT_EQ(list.items[tooLong].state, kToGoUnchecked);
    const uint32_t all = list.items[0].tenths + 15 + 100 + 9 + 20 + 5;
    EXPECT_EQ(list.totalTenths, all);
    ClickItem(list, child("C:\\pk\\bell.wav"));
    EXPECT_EQ(list.items[0].state, kToGoPartly);
    EXPECT_EQ(list.totalTenths, all - 15);
    ClickItem(list, child("C:\\pk\\bell.wav"));
    EXPECT_EQ(list.items[0].state, kToGoChecked);
    ClickItem(list, gone);
    EXPECT_EQ(list.items[gone].state, kToGoMissing);
    SetAllItems(list, kToGoUnchecked);
    EXPECT_EQ(list.totalTenths, 0u);
    SetAllItems(list, kToGoChecked);
    EXPECT_EQ(list.items[lost].state, kToGoMissing);
    EXPECT_EQ(list.items[tooLong].state, kToGoUnchecked);
    EXPECT_EQ(FormatTenths(list.totalTenths), FormatTenths(all + list.items[1].tenths + 15));

    StackToGoPlan plan;
    PlanGroups(list, plan);
    EXPECT_EQ(plan.groups[0], (std::vector<std::string>{"C:\\pk\\a.stk", "C:\\pk\\b.stk"}));
    EXPECT_EQ(plan.groups[2], (std::vector<std::string>{"C:\\prog\\NBAS\\Tools.nba"}));
    EXPECT_EQ(plan.groups[1].size(), 5u);  // bell, clip, pic, moved under a; bell under b
}

TEST_F(StackToGoTest, HostileStackAddsNothingAndPathsStayInTheirChunk) {
    std::vector<uint8_t> bytes = StackBytes({ActionButton(1, 0xFFFF, {sb::PathChunk(82, std::string(300, 'x'))})});
    g_disk["C:\\pk\\a.stk"] = bytes;
    StackToGoList list;
    ASSERT_TRUE(BuildStackToGoList(list, "C:\\pk\\a.stk", DiskAccess()));
    ASSERT_EQ(list.items.size(), 2u);
    EXPECT_LE(list.items[1].path.size(), kToGoPathMax);
    for (size_t cut = 0; cut < bytes.size(); cut += 7) {
        g_disk["C:\\pk\\a.stk"].assign(bytes.begin(), bytes.begin() + cut);
        StackToGoList damaged;
        EXPECT_TRUE(BuildStackToGoList(damaged, "C:\\pk\\a.stk", DiskAccess()));
    }
}

struct Folder {
    fs::path path = fs::temp_directory_path() / ("togo-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
    std::string Put(const std::string& name, size_t size, uint8_t seed) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<uint8_t>(seed + i * 7);
        const std::string file = (path / name).string();
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(size));
        return file;
    }
};

TEST_F(StackToGoTest, PackageLayoutReadBackByTheUnpacker) {
    Folder f;
    const std::vector<uint8_t> launcher(28672, 0x4D);
    StackToGoPlan plan;
    plan.launcher = launcher;
    plan.libraryPath = f.Put("vic32.dll", 5000, 1);
    plan.playerPath = f.Put("Pageloom Player.exe", 9000, 2);
    plan.packagePath = (f.path / "out.exe").string();

    // Nothing checked.
    StackToGoTrailer t;
    ASSERT_EQ(WriteStackToGo(plan, &t), kToGoOk);
    std::vector<uint8_t> file = ReadWholeFile(plan.packagePath);
    UnpackedPackage u = UnpackStandAlone(file);
    ASSERT_EQ(u.error, "");
    EXPECT_EQ(u.libraryOffset, 28672u);
    EXPECT_EQ(u.playerOffset, 28672u + 68 + 5000);
    EXPECT_EQ(u.zeroField, 0u);
    for (int g = 0; g < 3; ++g) {
        EXPECT_EQ(u.counts[g], 0u);
        EXPECT_EQ(u.starts[g], 9000u);
    }
    EXPECT_EQ(u.playerLength, file.size() - u.playerOffset - 68);
    EXPECT_EQ(u.launcher, launcher);
    EXPECT_EQ(u.library.name, "vic32.dll");
    EXPECT_EQ(u.library.bytes, ReadWholeFile(plan.libraryPath));
    EXPECT_EQ(u.player.name, "Pageloom Player.exe");
    EXPECT_EQ(u.player.bytes, ReadWholeFile(plan.playerPath));

    // Three groups; a missing and an empty file are skipped and not counted.
    plan.groups[0] = {f.Put("a.stk", 3000, 3), f.Put("b.stk", 1, 4)};
    plan.groups[1] = {f.Put("bell.wav", 1536, 5), (f.path / "vanished.avi").string(), f.Put("empty.txt", 0, 6)};
    plan.groups[2] = {f.Put("Tools.NBA", 77, 7)};
    ASSERT_EQ(WriteStackToGo(plan, &t), kToGoOk);
    file = ReadWholeFile(plan.packagePath);
    u = UnpackStandAlone(file);
    ASSERT_EQ(u.error, "");
    EXPECT_EQ(u.counts[0], 2u);
    EXPECT_EQ(u.counts[1], 1u);
    EXPECT_EQ(u.counts[2], 1u);
    EXPECT_EQ(u.starts[0], 9000u);
    EXPECT_EQ(u.starts[1], 9000u + 68 + 3000 + 68 + 1);
    EXPECT_EQ(u.starts[2], u.starts[1] + 68 + 1536);
    EXPECT_EQ(u.playerLength, file.size() - u.playerOffset - 68);
    const std::vector<std::string> names[3] = {{"a.stk", "b.stk"}, {"bell.wav"}, {"Tools.NBA"}};
    for (int g = 0; g < 3; ++g) {
        ASSERT_EQ(u.groups[g].size(), names[g].size());
        for (size_t i = 0; i < names[g].size(); ++i) {
            EXPECT_EQ(u.groups[g][i].name, names[g][i]);
            EXPECT_EQ(u.groups[g][i].bytes, ReadWholeFile((f.path / names[g][i]).string()));
        }
    }

    // A package over a file it is to contain is refused before anything is written.
    StackToGoPlan over = plan;
    over.packagePath = plan.groups[0][0];
    EXPECT_EQ(WriteStackToGo(over), kToGoPackagePacked);
    EXPECT_EQ(ReadWholeFile(plan.groups[0][0]).size(), 3000u);
    over.packagePath = plan.playerPath;
    EXPECT_EQ(WriteStackToGo(over), kToGoPackagePacked);

    // Without the library or the player no package is left.
    StackToGoPlan broken = plan;
    broken.packagePath = (f.path / "broken.exe").string();
    broken.libraryPath = (f.path / "none.dll").string();
    EXPECT_EQ(WriteStackToGo(broken), kToGoNoLibrary);
    EXPECT_FALSE(fs::exists(broken.packagePath));
    broken.libraryPath = plan.libraryPath;
    broken.playerPath = (f.path / "none.exe").string();
    EXPECT_EQ(WriteStackToGo(broken), kToGoNoPlayer);
    EXPECT_FALSE(fs::exists(broken.packagePath));
    // A package that cannot be created is a failure, not a success.
    broken.playerPath = plan.playerPath;
    broken.packagePath = (f.path / "no-such-folder" / "x.exe").string();
    EXPECT_EQ(WriteStackToGo(broken), kToGoCannotCreate);
}

TEST_F(StackToGoTest, SizesNamesAndTheRecordHeader) {
    EXPECT_EQ(SizeTenths(1536), 15u);
    EXPECT_EQ(SizeTenths(1023), 9u);
    EXPECT_EQ(FormatTenths(0), "0.0K");
    EXPECT_EQ(FormatTenths(123456), "12345.6K");
    EXPECT_TRUE(IsModulePath("C:\\p\\NBAS\\x.Nba"));
    EXPECT_FALSE(IsModulePath("nba"));
    EXPECT_TRUE(RecordNameFits("C:\\" + std::string(63, 'a')));
    EXPECT_FALSE(RecordNameFits("C:\\" + std::string(64, 'a')));
    const std::vector<uint8_t> r = StackToGoRecord("vic32.dll", 0x01020304);
    ASSERT_EQ(r.size(), 68u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data())), "vic32.dll");
    EXPECT_EQ((std::vector<uint8_t>(r.begin() + 64, r.end())), (std::vector<uint8_t>{4, 3, 2, 1}));
}

}  // namespace
