// Opening builder-made stacks through the whole path: the alerts that refuse a file, in their
// order, the card-size question, what stays open afterwards, damaged files, the samples stack
// and one card read without opening.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/files/FileLayer.h"
#include "core/files/FileLayerMemory.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "stack/StackPlatform.h"
#include "stack/StackUpcalls.h"
#include "format/ResFile.h"
#include "format/StackReader.h"
#include "stack/open/StackOpen.h"
#include "stack/StackOpenSession.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;

// What the neighbours were asked.
struct Calls {
    int emptied = 0;
    std::vector<std::string> forgotten;
};
Calls g_calls;

// The stack events as installed before the test, for those it leaves alone.
void (*g_installedEvent)(StackEvent) = nullptr;

void RecordStackEvent(StackEvent event) {
    switch (event) {
    case StackEvent::StartingEmptyStack: ++g_calls.emptied; break;
    case StackEvent::ForgettingRefusedDownload: {
        char path[kFileSpecPathSize] = {};
        GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
        g_calls.forgotten.push_back(path);
        break;
    }
    // Opening's own, as in a fresh program.
    case StackEvent::RemovingFiltersMenu:
    case StackEvent::ClosingStackExtras:
    case StackEvent::UpdatingCardTitle:
        break;
    default: g_installedEvent(event); break;
    }
}

// Opening's upcalls recording, the others as they were; opening's own start as in a fresh program.
StackUpcalls Recording() {
    const StackUpcalls d = DefaultStackUpcalls();
    StackUpcalls n = GetStackUpcalls();
    n.refreshCurrentCard = d.refreshCurrentCard;
    n.eraseCardBackground = d.eraseCardBackground;
    g_installedEvent = n.stackEvent;
    n.stackEvent = RecordStackEvent;
    return n;
}

sb::Stack SmallStack() {
    sb::Stack s;
    s.cards.push_back(sb::PlainCard(3));
    s.cards.push_back(sb::PictureCard(5, sb::GradientPicture(40, 20, 8)));
    s.cards[1].objects.push_back(sb::Button(1, {10, 10, 90, 30}, "Go"));
    s.resources.push_back({"Snd ", 128, "Beep", 0, 0, {1, 2, 3, 4, 5, 6}});
    return s;
}

class StackOpenWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandle(nullptr));
        ASSERT_TRUE(InitMemRefs());
        FreeAlertSuppressionList();  // a list from an earlier test died with its table
        ASSERT_TRUE(InitFolderTable());
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "loomopen" + ProcessTag();
        CreateDirectoryA(folder_.c_str(), nullptr);
        previousFiles_ = &ActiveFileSystem();
        SetFileSystem(SystemFileSystem());  // whatever an earlier test left installed
        saved_ = GetStackUpcalls();
        savedPlatform_ = GetStackPlatformOps();
        SetStackUpcalls(Recording());
        StackPlatformOps platform = savedPlatform_;
        platform.changeStackSize = DefaultStackPlatformOps().changeStackSize;
        SetStackPlatformOps(platform);
        g_calls = Calls{};
        baseline_ = MemRefsCount();
    }
    void TearDown() override {
        DisposeCards();
        CloseAllResFiles();
        FreeAlertSuppressionList();  // the alerts' own handle
        EXPECT_EQ(MemRefsCount(), baseline_) << "handles left behind";
        SetStackUpcalls(saved_);
        SetStackPlatformOps(savedPlatform_);
        SetFileSystem(previousFiles_);
        for (const std::string& path : written_)
            DeleteFileA(path.c_str());
        RemoveDirectoryA(folder_.c_str());
        FreeFolderTable();
        FreeMemRefs();
    }
    // Writes the bytes as a stack file and names it in slot 1.
    std::string Put(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = folder_ + "\\" + name;
        EXPECT_TRUE(sb::WriteFile(path, bytes));
        written_.push_back(path);
        SetFileSpecFromPath(kSlotCurrentStack, path.c_str());
        return path;
    }
    void ExpectNothingOpen(const char* what) {
        EXPECT_FALSE(IsStackOpen()) << what;
        EXPECT_EQ(CountCards(), 0) << what;
        EXPECT_EQ(GetStackHeaderHandle(), 0) << what;
        EXPECT_EQ(GetStackResFile(), 0) << what;
        EXPECT_EQ(CurrentResFile(), 0) << what;
    }
    // Reading the stack of slot 1 to open it, answering one alert with one button.
    int OpenExpecting(int32_t alertId, int button) {
        DialogDriver driver;
        driver.Expect(DialogMatch::Alert(alertId), [button](DialogView& box) { box.Press(button); });
        return driver.Run([] { return LoadStackFile(); });
    }

    std::string folder_;
    std::vector<std::string> written_;
    StackUpcalls saved_{};
    StackPlatformOps savedPlatform_{};
    const FileSystemOps* previousFiles_ = nullptr;
    int baseline_ = 0;
};

TEST_F(StackOpenWinTest, OpensAWholeStack) {
    Put("whole.stk", sb::BuildStack(SmallStack()).bytes);
    DialogDriver driver;
    EXPECT_EQ(driver.Run([] { return LoadStackFile(); }), 0);
    EXPECT_EQ(driver.DialogsSeen(), 0);
    ASSERT_TRUE(IsStackOpen());
    EXPECT_EQ(CountCards(), 2);
    ASSERT_NE(GetStackResFile(), 0);
    EXPECT_EQ(CurrentResFile(), GetStackResFile());
    EXPECT_EQ(GetResSize(GetStackResFile(), ResType("Snd "), 128), 6u);

    // Reading again replaces everything.
    const int32_t first = GetStackResFile();
    EXPECT_EQ(LoadStackFile(), 0);
    EXPECT_NE(GetStackResFile(), first);
    EXPECT_EQ(FindResFile(first), 0);
}

TEST_F(StackOpenWinTest, RefusalsInTheirOrder) {
    int minWidth = 0, minHeight = 0;
    GetMinimumCardSize(&minWidth, &minHeight);
    ASSERT_GT(minWidth, 1);
    struct Case {
        const char* what;
        sb::Stack stack;
        int32_t alert;
    };
    std::vector<Case> cases;
    sb::Stack s = SmallStack();
    s.version = 6;
    cases.push_back({"version 6", s, 2221});
    s = SmallStack();
    s.version = 3;
    cases.push_back({"version 3", s, 2222});
    s = SmallStack();
    s.depth = 1;
    s.cardWidth = 10;  // too small as well: the depth is refused before any size question
    s.version = 9;
    cases.push_back({"black and white", s, 2256});
    s = SmallStack();
    s.cardWidth = 0;
    cases.push_back({"width 0", s, 2268});
    for (const Case& c : cases) {
        g_calls = Calls{};
        const std::string path = Put("refused.stk", sb::BuildStack(c.stack).bytes);
        EXPECT_EQ(OpenExpecting(c.alert, 52), kFileRefused) << c.what;
        ExpectNothingOpen(c.what);
        EXPECT_EQ(g_calls.emptied, 0) << c.what << ": a refusal is no unreadable stack";
        // Only a file that is no stack at all is dropped from the download cache.
        EXPECT_EQ(g_calls.forgotten.size(), c.alert == 2268 ? 1u : 0u) << c.what;
    }
}

TEST_F(StackOpenWinTest, TooSmallCardsAskFirst) {
    int minWidth = 0, minHeight = 0;
    GetMinimumCardSize(&minWidth, &minHeight);
    sb::Stack s = SmallStack();
    s.cardWidth = static_cast<uint16_t>(minWidth - 1);
    s.cardHeight = 300;
    Put("small.stk", sb::BuildStack(s).bytes);
    EXPECT_EQ(OpenExpecting(2334, 53), kFileRefused) << "No cancels the open";
    ExpectNothingOpen("answered No");

    EXPECT_EQ(OpenExpecting(2334, 52), 0) << "Yes opens";
    ASSERT_TRUE(IsStackOpen());
    {
        HandleLock lock(GetStackHeaderHandle());
        const std::span<const uint8_t> header(lock.get(), kStackHeaderBytes);
        EXPECT_EQ(GetU16(header, kHeaderCardWidth), minWidth);
        EXPECT_EQ(GetU16(header, kHeaderCardHeight), 300);
    }
    for (int i = 1; i <= CountCards(); ++i) {
        HandleLock lock(GetCardByIndex(i));
        const std::span<const uint8_t> card = lock.bytes();
        EXPECT_EQ(GetU16(card, kCardWidth), minWidth) << "card " << i;
        EXPECT_EQ(GetU16(card, kCardHeight), 300) << "card " << i;
    }

    // Too small and too new: asked first, then refused.
    s.version = 7;
    Put("small-new.stk", sb::BuildStack(s).bytes);
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2334), [](DialogView& box) { box.Press(52); });
    driver.Expect(DialogMatch::Alert(2221), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([] { return LoadStackFile(); }), kFileRefused);
    ExpectNothingOpen("too new");
}

TEST_F(StackOpenWinTest, UnreadableStacksAreReportedOnce) {
    const sb::Built built = sb::BuildStack(SmallStack());
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    std::vector<uint8_t> cardLength = built.bytes;
    SetBE32(cardLength, built.cardOffsets[1] + kCardLength, 60);
    cases.push_back({"card shorter than its header", cardLength});
    std::vector<uint8_t> area = built.bytes;
    SetBE32(area, kHeaderResourceCount, 4);  // three more entries than the area holds
    cases.push_back({"resource area short of its count", area});
    std::vector<uint8_t> pastEnd = built.bytes;
    SetBE32(pastEnd, built.resourceOffsets.back() + kResDataLength, 64);
    SetBE32(pastEnd, built.resourceOffsets.back() + kResPaddedLength, 64);
    cases.push_back({"last resource's data past the end of the file", pastEnd});
    for (const Case& c : cases) {
        g_calls = Calls{};
        Put("unreadable.stk", c.bytes);
        EXPECT_EQ(OpenExpecting(2305, 52), kFileRefused) << c.what;
        ExpectNothingOpen(c.what);
        EXPECT_EQ(g_calls.forgotten.size(), 1u) << c.what;
        EXPECT_EQ(g_calls.emptied, 1) << c.what << ": the program starts as with no stack";
    }
    // A file that is not there: nothing was open to close, one report.
    SetFileSpecFromPath(kSlotCurrentStack, (folder_ + "\\missing.stk").c_str());
    EXPECT_EQ(OpenExpecting(2305, 52), kFileRefused);
    ExpectNothingOpen("missing file");
}

// Presses the first button of every alert box that appears while it is installed, and keeps
// the ids in order. For damaged files, where which alert comes depends on the damage.
class AnswerEveryAlert {
public:
    AnswerEveryAlert() {
        instance_ = this;
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~AnswerEveryAlert() {
        KillTimer(nullptr, timer_);
        instance_ = nullptr;
    }
    std::vector<int32_t> seen;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), Visit, 0);
    }
    static BOOL CALLBACK Visit(HWND window, LPARAM) {
        if (!instance_ || !IsWindowVisible(window) || window == instance_->pressed_)
            return TRUE;
        const int32_t id = AlertBoxStringId(window);
        if (id >= 0) {
            instance_->pressed_ = window;
            instance_->seen.push_back(id);
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(52, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, 52)));
        }
        return TRUE;
    }
    static AnswerEveryAlert* instance_;
    UINT_PTR timer_ = 0;
    HWND pressed_ = nullptr;
};
AnswerEveryAlert* AnswerEveryAlert::instance_ = nullptr;

TEST_F(StackOpenWinTest, DamagedStacksNeverHalfOpen) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> inputs;
    const sb::Built small = sb::BuildStack(SmallStack());
    for (size_t cut : {size_t{0}, size_t{60}, size_t{127}, size_t{128}, size_t{200}, small.bytes.size() / 2,
                       small.bytes.size() - 1})
        inputs.push_back({"cut at " + std::to_string(cut), {small.bytes.begin(), small.bytes.begin() + cut}});
    std::vector<uint8_t> padded = small.bytes;
    padded.insert(padded.end(), 3000, 0xA5);
    inputs.push_back({"garbage after the end", padded});
    std::vector<uint8_t> overwritten = small.bytes;
    for (size_t i = small.resourceOffsets.empty() ? 128 : small.resourceOffsets[0]; i < overwritten.size(); ++i)
        overwritten[i] = static_cast<uint8_t>(i * 37);
    inputs.push_back({"garbage over the resource area", overwritten});
    std::mt19937 random(20240607);
    for (const auto& [name, stack] : sb::SeedStacks()) {
        const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
        for (int round = 0; round < 3; ++round) {
            std::vector<uint8_t> fuzzed = bytes;
            for (int flips = 0; flips < 8; ++flips)
                fuzzed[random() % fuzzed.size()] ^= static_cast<uint8_t>(1u << (random() % 8));
            inputs.push_back({name + " fuzzed " + std::to_string(round), fuzzed});
        }
    }
    // In memory, so that every file left open shows.
    UseMemoryFileSystem();
    const std::set<int32_t> partAlerts = {2268, 2256, 2334, 2221, 2222, 2305};
    for (const auto& [what, bytes] : inputs) {
        PutMemoryFile("C:\\Stacks\\damaged.stk", bytes);
        SetFileSpecFromPath(kSlotCurrentStack, "C:\\Stacks\\damaged.stk");
        int result;
        std::vector<int32_t> seen;
        {
            AnswerEveryAlert answers;
            result = LoadStackFile();
            seen = answers.seen;
        }
        // The stack report tool's reading path gives the same verdict and names the same alert.
        SpanByteSource source(bytes);
        StackConversion cv;
        StackFileContents contents;
        StackOpenQuestions questions;
        GetMinimumCardSize(&questions.minCardWidth, &questions.minCardHeight);
        const StackReadResult read = ReadStackFile(source, cv, contents, questions);
        DisposeStackFileContents(contents);
        EXPECT_EQ(read.ok(), result == 0) << what << ": " << read.reason;
        std::vector<int32_t> expected;
        if (read.askedSmallCards)
            expected.push_back(2334);
        if (!read.ok())
            expected.push_back(read.alertId);
        EXPECT_EQ(seen, expected) << what << ": " << read.reason;
        int reports = 0;
        for (int32_t id : seen) {
            EXPECT_TRUE(partAlerts.count(id)) << what << ": alert " << id;
            reports += id != 2334;
        }
        if (result == 0) {
            EXPECT_EQ(reports, 0) << what;
            EXPECT_TRUE(IsStackOpen()) << what;
            EXPECT_NE(GetStackResFile(), 0) << what;
            HandleLock lock(GetStackHeaderHandle());
            EXPECT_EQ(CountCards(), GetU16({lock.get(), kStackHeaderBytes}, kHeaderCardCount)) << what;
        } else {
            EXPECT_EQ(result, kFileRefused) << what;
            EXPECT_EQ(reports, 1) << what << ": reported once";
            ExpectNothingOpen(what.c_str());
        }
        EXPECT_EQ(OpenMemoryFileCount(), 0) << what << ": a file was left open";
        DisposeCards();
        CloseAllResFiles();
        FreeAlertSuppressionList();
        EXPECT_EQ(MemRefsCount(), baseline_) << what;
    }
}

TEST_F(StackOpenWinTest, SamplesStack) {
    SetFileSpecFromPath(kSlotProgram, (folder_ + "\\nploom.dll").c_str());
    DialogDriver missing;
    missing.Expect(DialogMatch::Alert(2292), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(missing.Run([] { return OpenSamplesStack(); }), 0);
    EXPECT_EQ(CurrentResFile(), 0);

    sb::Stack samples = SmallStack();
    samples.resources.push_back({"Icon", 200, "Star", 0, 0, {9, 8, 7, 6}});
    const std::string path = folder_ + "\\Samples.stk";
    ASSERT_TRUE(sb::WriteFile(path, sb::BuildStack(samples).bytes));
    written_.push_back(path);
    DialogDriver found;
    const int32_t refNum = found.Run([] { return OpenSamplesStack(); });
    EXPECT_EQ(found.DialogsSeen(), 0);
    ASSERT_NE(refNum, 0);
    EXPECT_EQ(CurrentResFile(), refNum);
    const Handle icon = GetResource(ResType("Icon"), 200);
    ASSERT_NE(icon, 0);
    EXPECT_EQ(GetHandleSize(icon), 4u);
    CloseResFile(refNum);
    EXPECT_EQ(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES, true) << "Samples.stk is no scratch file";
}

TEST_F(StackOpenWinTest, OneCardWithoutOpening) {
    const std::string path = Put("cards.stk", sb::BuildStack(SmallStack()).bytes);
    SetFileSpecFromPath(3, path.c_str());
    int16_t depth = 0, version = 0, count = 0;
    Handle card = 0;
    EXPECT_EQ(ReadStackCard(3, 5, 0, &depth, &version, &count, &card), kFileOk);
    ASSERT_NE(card, 0);
    EXPECT_EQ(GetCardId(card), 5);
    EXPECT_EQ(count, 2);
    DisposeHandle(card);
    EXPECT_FALSE(IsStackOpen());

    Put("junk.stk", std::vector<uint8_t>(400, 0x5A));
    SetFileSpecFromPath(3, (folder_ + "\\junk.stk").c_str());
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2268), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([&] { return ReadStackCard(3, 5, 0, &depth, &version, &count, &card); }), kFileRefused);
    EXPECT_EQ(card, 0);
}

TEST_F(StackOpenWinTest, HomeStackNames) {
    EXPECT_TRUE(IsHomeStackName("HOME.STK"));
    EXPECT_TRUE(IsHomeStackName("home2.stk"));
    EXPECT_FALSE(IsHomeStackName("Homework.stk"));
    EXPECT_FALSE(IsHomeStackName(""));
    SetFileSpecFromPath(kSlotCurrentStack, "C:\\Stacks\\Home.stk");
    SetStackName("Home.stk");
    SetHomeCardId(12);
    RememberHomeStack();
    EXPECT_TRUE(IsHomeStackKnown());
    EXPECT_EQ(GetHomeCardId(), 0);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(kSlotHomeStack))), "C:\\Stacks\\Home.stk");
    SetStackNameFromDefault();
    EXPECT_STREQ(GetStackName(), "Untitled");
    SetHomeStackKnown(false);
}

}  // namespace
