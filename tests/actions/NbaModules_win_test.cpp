// The project's own test modules (built into "NBAS" and "Extras" beside the plug-in) called
// through the real loader: what the block carries, the persistent value, the window messages
// that pass, the wait poll, the close, the cache of twenty, the names and files that are never
// loaded, module information, modules found through the "NBAIDs" preference, the 'NBAs'
// resources a read stack lacks, and the Extras menu with a registry program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "actions/ActionBlock.h"
#include "actions/NbaChooser.h"
#include "actions/NbaInfo.h"
#include "actions/NbaMenu.h"
#include "actions/NbaModules.h"
#include "core/files/FileSlots.h"
#include "core/files/PrefsFile.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/system/Ticks.h"
#include "core/ui/Resources.h"
#include "core/ui/ToolNumbers.h"
#include "core/ui/UiOps.h"
#include "host/wiring/LayerWiring.h"
#include "resources/nba_ids.h"
#include "format/ResFile.h"
#include "tests/stack/CardTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/NbaCallLog.h"
#include "tests/support/SamplesStackBeside_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace cardtest;

constexpr uint16_t kActionId = 7001;

using browsertest::WindowsPath;

std::string BuildFolder() {
    const char* env = std::getenv("LOOM_BUILD");
    if (env && *env)
        return WindowsPath(env);
    char exe[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string path(exe, n < MAX_PATH ? n : 0);
    return path.substr(0, path.find_last_of("\\/"));
}

std::vector<uint32_t> g_alerts;
uint32_t g_now = 0;

// One logged call: its words as name=value.
using Call = NbaCall;

class NbaModulesTest : public StackFileTest {
protected:
    void SetUp() override {
        StackFileTest::SetUp();
        SetAppInstance(GetModuleHandleA(nullptr));  // the dialogs and strings of the program
        build_ = BuildFolder();
        ASSERT_TRUE(InitFolderTableAt((build_ + "\\nploom.dll").c_str(), nullptr));
        SetFileSpecFromPath(kSlotExtrasFolder, (build_ + "\\Extras\\").c_str());
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        log_ = std::string(temp) + "nba-log-" + ProcessTag() + ".txt";
        DeleteFileA(log_.c_str());
        SetEnvironmentVariableA("NBA_TEST_LOG", log_.c_str());
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
        SetMainWindow(window_);
        savedCardWindow_ = GetCardWindow();
        SetCardWindow(window_);
        SelectToolNumber(kBrowseTool);
        g_alerts.clear();
        UiOps ui = GetUiOps();
        ui.showAlert = [](uint32_t id) {
            g_alerts.push_back(id);
            return 1;
        };
        SetUiOps(ui);
        char prefs[kFileSpecPathSize] = {};
        ASSERT_TRUE(GetPrefsFilePath(kSlotProgram, prefs, sizeof prefs));
        prefsFile_ = prefs;
        std::ifstream before(prefsFile_, std::ios::binary);
        prefsExisted_ = before.is_open();
        prefsBefore_.assign(std::istreambuf_iterator<char>(before), std::istreambuf_iterator<char>());
        SetStackResFile(CreateScratchResFile());
        ASSERT_NE(GetStackResFile(), 0);
    }
    void TearDown() override {
        EndStackNBAs(true);
        FreeNbaMenu();
        CloseResFile(GetStackResFile());
        SetStackResFile(0);
        SetMillisecondClock(nullptr);
        SetNbaChooserWindow(nullptr);
        for (const char* name : {"NBA_TEST_LOG", "NBA_TEST_WAITS", "NBA_TEST_SETUP", "NBA_TEST_EXTRA_RESULT"})
            SetEnvironmentVariableA(name, nullptr);
        // The preferences file as it was.
        if (prefsExisted_)
            std::ofstream(prefsFile_, std::ios::binary | std::ios::trunc) << prefsBefore_;
        else
            DeleteFileA(prefsFile_.c_str());
        SetCardWindow(savedCardWindow_);
        SetMainWindow(nullptr);
        DestroyWindow(window_);
        DeleteFileA(log_.c_str());
        WireLayers();
        FreeFolderTable();
        StackFileTest::TearDown();
    }
    // An 'NBAs' resource of the id naming the file, its data of `size` bytes.
    void AddNbas(uint16_t id, std::string_view fileName, size_t size = 600, std::string_view shortName = "short") {
        std::vector<uint8_t> data(size, 0);
        for (size_t i = 0; i < fileName.size() && kNbaInfoFileName + i < size; ++i)
            data[kNbaInfoFileName + i] = static_cast<uint8_t>(fileName[i]);
        if (size > kNbaInfoId + 2)
            SetU16(data, kNbaInfoId, id);
        const std::vector<uint8_t> name = PName(shortName);
        uint16_t wanted = id;
        ASSERT_EQ(AddResource(NewHandleFromBytes(data), 0, kNbas, &wanted, name.data()), 0);
    }
    uint32_t Persistent(uint16_t id) { return GetU32(HandleToBytes(GetResource(kNbas, id)), kNbaInfoPersistent); }
    void SetPersistent(uint16_t id, uint32_t value) {
        std::vector<uint8_t> bytes = HandleToBytes(GetResource(kNbas, id));
        SetU32(bytes, kNbaInfoPersistent, value);
        SetHandleBytes(GetResource(kNbas, id), bytes);
    }

    // The calls logged since the last look.
    std::vector<Call> Calls() {
        std::vector<Call> calls = ReadNbaCalls(log_);
        DeleteFileA(log_.c_str());
        return calls;
    }
    std::vector<unsigned long> Messages() {
        std::vector<unsigned long> m;
        for (const Call& c : Calls())
            if (c.f.count("msg"))
                m.push_back(c.N("msg"));
        return m;
    }
    static bool ModuleLoaded(const char* name) { return GetModuleHandleA(name) != nullptr; }
    // An "NBAIDs" key in the preferences file beside the program (put back as it was afterwards).
    void PutNbaIdPreference(const char* id, const char* file) { ASSERT_TRUE(WritePrefString("NBAIDs", id, file)); }

    std::string build_, log_;
    HWND window_ = nullptr;
    HWND savedCardWindow_ = nullptr;
    std::string prefsFile_, prefsBefore_;
    bool prefsExisted_ = false;
};

TEST_F(NbaModulesTest, TheActionModuleGetsTheBlockItsValueTheEventsThePollAndTheClose) {
    AddNbas(kActionId, "TestAction.NBA");
    const Handle data = NewHandleFromBytes(std::vector<uint8_t>{'d', 'a', 't', 'a'});
    for (int call = 0; call < 2; ++call) {
        ClearNbaParamBlock();
        GetNbaParamBlock()->objectId = 12;
        GetNbaParamBlock()->param1 = static_cast<uint32_t>(data);
        GetNbaParamBlock()->param2 = 4;
        SendToNBA(kActionId, kNbaMessagePerform);
    }
    DisposeHandle(data);
    std::vector<Call> calls = Calls();
    ASSERT_EQ(calls.size(), 3u);  // two calls and the one callback
    EXPECT_EQ(calls[1].who, "action");
    EXPECT_EQ(calls[1].f.count("called"), 1u);
    for (const Call* c : {&calls[0], &calls[2]}) {
        EXPECT_EQ(c->N("msg"), 4u);
        EXPECT_EQ(c->N("obj"), 12u);
        EXPECT_EQ(c->N("p1"), static_cast<unsigned long>(data));
        EXPECT_EQ(c->N("p2"), 4u);
        EXPECT_EQ(c->N("version"), 5u);
        EXPECT_EQ(c->N("id"), kActionId);
        EXPECT_EQ(c->N("setup"), 0u);
        EXPECT_EQ(c->N("window"), reinterpret_cast<uintptr_t>(window_));
    }
    EXPECT_EQ(calls[0].N("persist"), 0u);
    EXPECT_EQ(calls[2].N("persist"), 1u);  // the value lives on between calls ...
    EXPECT_EQ(Persistent(kActionId), 2u);  // ... in the stack's resource
    EXPECT_EQ(CachedNBAModuleCount(), 1);

    // Set-up neither reads nor writes it.
    SetPersistent(kActionId, 40);
    SendToNBA(kActionId, kNbaMessageSetUp, true);
    calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].N("persist"), 0u);
    EXPECT_EQ(Persistent(kActionId), 40u);

    // Idle, leaving and arriving; while the chooser is open only 3 and 15 pass.
    NotifyStackNBAs(kNbaEventIdle);
    NotifyStackNBAs(kNbaEventLeaveCard);
    NotifyStackNBAs(kNbaEventEnterCard);
    EXPECT_EQ(Messages(), (std::vector<unsigned long>{5, 9, 10}));
    EXPECT_EQ(Persistent(kActionId), 43u);
    SetNbaChooserWindow(window_);
    NotifyStackNBAs(kNbaEventIdle);
    SendToNBA(kActionId, kNbaMessagePerform);
    EXPECT_EQ(ForwardMessageToNBAs(window_, WM_CHAR, 'K', 0), 0);
    NotifyStackNBAs(kNbaMessageChooserOpens);
    SendToNBA(kActionId, kNbaMessageSetUp);
    calls = Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].N("msg"), 15u);
    EXPECT_EQ(calls[1].N("msg"), 3u);
    EXPECT_EQ(calls[1].N("setup"), reinterpret_cast<uintptr_t>(window_));
    SetNbaChooserWindow(nullptr);

    // The wait goes on while the module asks for it.
    SetEnvironmentVariableA("NBA_TEST_WAITS", "2");
    SendToNBA(kActionId, kNbaMessagePerform, true);
    EXPECT_TRUE(PollNBAsForWait());
    EXPECT_TRUE(PollNBAsForWait());
    EXPECT_FALSE(PollNBAsForWait());
    EXPECT_EQ(Messages(), (std::vector<unsigned long>{4, 14, 14, 14}));

    // The stack closes: message 2, and the library is let go.
    EndStackNBAs(false);
    EXPECT_EQ(Messages(), (std::vector<unsigned long>{2}));
    EXPECT_EQ(CachedNBAModuleCount(), 0);
    EXPECT_FALSE(ModuleLoaded("testaction.nba"));
    EXPECT_TRUE(g_alerts.empty());
}

TEST_F(NbaModulesTest, WindowMessagesPassInBrowseModeTimersEveryFiftyMillisecondsAndCommandsOnlyFromMenus) {
    AddNbas(kActionId, "testaction.nba");
    SetMillisecondClock([] { return g_now; });
    g_now = 5000;
    ForwardMessageToNBAs(window_, WM_TIMER, 1, 0);
    g_now = 5100;
    ForwardMessageToNBAs(window_, WM_TIMER, 1, 0);  // passes whatever the clock said before
    Calls();
    g_now = 5149;
    EXPECT_EQ(ForwardMessageToNBAs(window_, WM_TIMER, 1, 0), 0);
    EXPECT_TRUE(Calls().empty()) << "49 ms after the last";
    g_now = 5150;
    ForwardMessageToNBAs(window_, WM_TIMER, 1, 0);
    std::vector<Call> calls = Calls();
    ASSERT_EQ(calls.size(), 1u) << "50 ms after the last";
    EXPECT_EQ(calls[0].N("msg"), 11u);
    EXPECT_EQ(calls[0].N("p1"), reinterpret_cast<uintptr_t>(window_));
    EXPECT_EQ(calls[0].N("p2"), static_cast<unsigned long>(WM_TIMER));

    ForwardMessageToNBAs(window_, WM_COMMAND, 204, 0x1234);  // from a control
    ForwardMessageToNBAs(window_, WM_PAINT, 0, 0);
    EXPECT_TRUE(Calls().empty());
    ForwardMessageToNBAs(window_, WM_COMMAND, 204, 0);
    EXPECT_EQ(Calls().size(), 1u);
    EXPECT_EQ(ForwardMessageToNBAs(window_, WM_CHAR, 'J', 77), 0);
    calls = Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().N("p3"), static_cast<unsigned long>('J'));
    EXPECT_EQ(calls.back().N("p4"), 77u);
    EXPECT_EQ(ForwardMessageToNBAs(window_, WM_CHAR, 'K', 0), 1);
    Calls();
    SelectToolNumber(1);
    EXPECT_EQ(ForwardMessageToNBAs(window_, WM_CHAR, 'K', 0), 0);
    SelectToolNumber(kBrowseTool);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(NbaModulesTest, UnsafeNamesShortDataAndBrokenFilesCallNothingAndTheTwentyFirstModuleIsFreed) {
    AddNbas(11, "..\\testaction.nba");
    AddNbas(12, build_ + "\\NBAS\\testaction.nba");
    AddNbas(13, "NBAS/testaction.nba");
    AddNbas(14, "testaction.dll");
    AddNbas(15, "testaction.nba", 303);
    AddNbas(16, std::string(300, 'a'));  // runs past its 256
    AddNbas(17, "nomain.nba");
    AddNbas(18, "notalib.nba");
    AddNbas(19, "missing.nba");
    NotifyStackNBAs(kNbaEventIdle);
    for (uint16_t id = 11; id <= 19; ++id)
        SendToNBA(id, kNbaMessagePerform);
    EXPECT_TRUE(PollNBAsForWait() == false);
    EXPECT_TRUE(Calls().empty());
    EXPECT_TRUE(g_alerts.empty());
    EXPECT_FALSE(ModuleLoaded("testaction.nba"));
    EndStackNBAs(false);
    CloseResFile(GetStackResFile());
    SetStackResFile(CreateScratchResFile());

    // Twenty modules fill the cache; a twenty-first is called, not cached, and let go after.
    for (uint16_t id = 101; id <= 120; ++id)
        AddNbas(id, "testaction.nba");
    NotifyStackNBAs(kNbaEventIdle);
    EXPECT_EQ(CachedNBAModuleCount(), kNbaCacheEntries);
    Calls();
    AddNbas(121, "testaction.nba");
    SendToNBA(121, kNbaMessageIdle);
    std::vector<Call> calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].N("id"), 121u);
    EXPECT_EQ(Persistent(121), 1u);
    EXPECT_EQ(CachedNBAModuleCount(), kNbaCacheEntries);
    FreeCachedNBAModules(1);
    EXPECT_FALSE(ModuleLoaded("testaction.nba")) << "the uncached module was kept";
}

TEST_F(NbaModulesTest, ModuleInformationNamedModulesAndTheResourcesAReadStackLacks) {
    ASSERT_TRUE(PutNbaFileInSlot("testaction.nba"));
    Handle info = LoadNbaInfo();
    ASSERT_TRUE(info);
    std::vector<uint8_t> bytes = HandleToBytes(info);
    DisposeHandle(info);
    EXPECT_EQ(GetU16(bytes, kNbaInfoId), kActionId);
    EXPECT_EQ(GetU16(bytes, kNbaInfoAboutFlags), 0);
    EXPECT_EQ(NbaShortNameOf(bytes), "Test Action");
    EXPECT_EQ(NbaFileNameOf(bytes).value_or("none"), "testaction.nba");
    EXPECT_EQ(NbaAboutTextOf(bytes), "Logs every call");
    EXPECT_FALSE(ModuleLoaded("testaction.nba"));  // read as data only
    ASSERT_TRUE(PutNbaFileInSlot("nomain.nba"));
    info = LoadNbaInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(GetU16(HandleToBytes(info), kNbaInfoAboutFlags), kNbaAboutNoText);
    DisposeHandle(info);
    ASSERT_TRUE(PutNbaFileInSlot("notalib.nba"));
    EXPECT_EQ(LoadNbaInfo(), 0);
    EXPECT_EQ(g_alerts, std::vector<uint32_t>{2241});
    EXPECT_FALSE(PutNbaFileInSlot("..\\nploom.nba"));
    g_alerts.clear();

    // Without an 'NBAs' resource the preference names the module; an unsafe one is refused.
    PutNbaIdPreference("7001", "testaction.nba");
    PutNbaIdPreference("7005", "..\\NBAS\\testaction.nba");
    PutNbaIdPreference("7006", "notalib.nba");  // looked up on every call: no alert
    SendToNBA(kActionId, kNbaMessagePerform);
    SendToNBA(kActionId, kNbaMessagePerform);
    SendToNBA(7005, kNbaMessagePerform);
    SendToNBA(7006, kNbaMessagePerform);
    EXPECT_TRUE(g_alerts.empty());
    std::vector<Call> calls = Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].N("id"), kActionId);
    EXPECT_EQ(calls[2].N("persist"), 1u);
    EXPECT_TRUE(FindNamedNbaModule(kActionId));
    EXPECT_FALSE(FindNamedNbaModule(7005));
    EXPECT_EQ(PollNBAsForWait(), false);  // named modules are polled too
    EXPECT_EQ(Messages(), std::vector<unsigned long>{14});
    EndStackNBAs(true);
    EXPECT_FALSE(FindNamedNbaModule(kActionId));

    // A read stack whose button runs module 7001 gains its 'NBAs' resource.
    sb::Stack stack;
    stack.cardWidth = 64;
    stack.cardHeight = 48;
    sb::Card card;
    sb::Object button = sb::Button(1, {2, 2, 30, 20}, "Run");
    button.words.push_back({kButtonActionFlags, kActNba});
    sb::Chunk chunk;
    chunk.kind = kTagNba;
    chunk.words.push_back({kChunkValue, kActionId});
    chunk.payload = {'x'};
    button.chunks.push_back(chunk);
    card.objects.push_back(button);
    stack.cards.push_back(card);
    LoadIntoCardList(stack);
    AddMissingNbaResources();
    const Handle added = GetResource(kNbas, kActionId);
    ASSERT_TRUE(added);
    uint8_t name[kResNameSize] = {};
    GetResName(kNbas, kActionId, name);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "Test Action");
    EXPECT_EQ(NbaFileNameOf(HandleToBytes(added)).value_or("none"), "testaction.nba");
    DisposeCards();
    if (const Handle header = GetStackHeaderHandle()) {
        SetStackHeaderHandle(0);
        DisposeHandle(header);
    }
}

TEST_F(NbaModulesTest, TheExtrasMenuListsModulesThenRegistryProgramsAndRunsThem) {
    HKEY key = nullptr;
    const std::string programs = ResText(4558) + "\\Extras\\Applications\\Probe Program";
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, programs.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::string probe = build_ + "\\launchprobe.exe";
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(probe.c_str()), static_cast<DWORD>(probe.size() + 1));
    RegSetValueExA(key, "CmdLine", 0, REG_SZ, reinterpret_cast<const BYTE*>("from-extras"), 12);
    RegCloseKey(key);

    HMENU bar = ResLoadMenu("LM");
    ASSERT_TRUE(bar);
    EXPECT_TRUE(AddNbaMenuItems(bar));
    HMENU extras = GetSubMenu(bar, kExtrasMenuPosition);
    char text[64] = {};
    GetMenuStringA(extras, 450, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Test Extra");
    GetMenuStringA(extras, 451, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Probe Program");
    DestroyMenu(bar);
    std::vector<Call> calls = Calls();
    ASSERT_EQ(calls.size(), 1u);  // the listing
    EXPECT_EQ(calls[0].N("msg"), 3u);
    EXPECT_EQ(calls[0].N("p1"), 33u);

    // The module is run with the card window; answering 0 keeps it loaded, else it goes.
    EXPECT_TRUE(RunNbaCommand(nullptr, 450));
    EXPECT_TRUE(IsNbaMenuModuleLoaded(450));
    SetEnvironmentVariableA("NBA_TEST_EXTRA_RESULT", "1");
    EXPECT_TRUE(RunNbaCommand(nullptr, 450));
    EXPECT_FALSE(IsNbaMenuModuleLoaded(450));
    EXPECT_FALSE(ModuleLoaded("testextra.xtr"));
    SetEnvironmentVariableA("NBA_TEST_EXTRA_RESULT", "0");
    EXPECT_TRUE(RunNbaCommand(nullptr, 450));
    calls = Calls();
    ASSERT_EQ(calls.size(), 3u);
    for (const Call& c : calls) {
        EXPECT_EQ(c.N("msg"), 4u);
        EXPECT_EQ(c.N("window"), reinterpret_cast<uintptr_t>(window_));
    }
    FreeNbaMenu();
    EXPECT_EQ(Messages(), std::vector<unsigned long>{2});
    EXPECT_FALSE(ModuleLoaded("testextra.xtr"));
    EXPECT_FALSE(RunNbaCommand(nullptr, 449));
    EXPECT_FALSE(RunNbaCommand(nullptr, 470));  // no such entry

    // The registry program starts with its command line.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string probeLog = std::string(temp) + "nba-probe-" + ProcessTag() + ".txt";
    DeleteFileA(probeLog.c_str());
    SetEnvironmentVariableA("LAUNCHPROBE_LOG", probeLog.c_str());
    EXPECT_TRUE(RunNbaCommand(nullptr, 451));
    std::string seen;
    for (int i = 0; i < 100 && seen.empty(); ++i) {
        Sleep(100);
        std::ifstream in(probeLog);
        std::getline(in, seen);
    }
    SetEnvironmentVariableA("LAUNCHPROBE_LOG", nullptr);
    DeleteFileA(probeLog.c_str());
    EXPECT_NE(seen.find("from-extras"), std::string::npos) << seen;
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, programs.c_str());
}

TEST_F(NbaModulesTest, TheChooserOpensOnTheSamplesSetsTheModuleUpAndConfirmsItsData) {
    // "Samples.stk" beside the program holds the test modules' 'NBAs' records.
    std::vector<sb::Resource> modules;
    for (const auto& [id, file, name] : {std::tuple{kActionId, "testaction.nba", "Test Action"},
                                         std::tuple{uint16_t{7002}, "nomain.nba", "No Main"}}) {
        modules.push_back({"NBAs", id, name, 0, 0,
                           MakeNbaInfoRecord({id == kActionId ? uint16_t{0} : kNbaAboutNoText, id, name, file, "About it"})});
    }
    const SamplesStackBeside samples(modules);
    constexpr uint16_t kObjectId = 9;  // whose actions the module is chosen for

    // With data, the stack's module missing: the samples, the caller's id, its set-up at once,
    // and the data shown with every lone CR made CRLF.
    Handle data = NewHandleFromBytes(std::vector<uint8_t>{'a', '\r', 'b', '\r', '\n', 'c'});
    uint16_t id = kActionId;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("NBA"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "New Button Actions");
        EXPECT_TRUE(box.IsChecked(IDC_NBA_SAMPLES));
        ASSERT_EQ(box.ListCount(IDC_NBA_NAMES), 2);
        EXPECT_EQ(box.ListItem(IDC_NBA_NAMES, box.ListSelection(IDC_NBA_NAMES)), "Test Action");
        EXPECT_EQ(box.Text(IDC_NBA_INFO), "About it");
        EXPECT_EQ(box.Text(IDC_NBA_DATA), "a\r\nb\r\nc");
        EXPECT_TRUE(box.IsEnabled(IDC_NBA_OK));
        box.Press(IDC_NBA_OK);
    });
    EXPECT_EQ(driver.Run([&] { return RunNbaChooser(window_, &data, &id, kObjectId); }), 1);
    EXPECT_EQ(HandleToBytes(data), (std::vector<uint8_t>{'a', '\r', 'b', '\r', '\n', 'c'}));
    EXPECT_EQ(id, kActionId);
    std::vector<Call> calls = Calls();
    ASSERT_EQ(calls.size(), 2u);  // the set-up and the module's callback
    EXPECT_EQ(calls[0].N("msg"), 3u);
    EXPECT_EQ(calls[0].N("obj"), 9u);
    EXPECT_NE(calls[0].N("setup"), 0u);
    EXPECT_EQ(GetNbaChooserWindow(), nullptr);
    EXPECT_EQ(CurrentResFile(), GetStackResFile());  // the samples are closed again
    ClearPendingRequests();

    // A module answering 4 leaves OK disabled; Cancel keeps the caller's data.
    SetEnvironmentVariableA("NBA_TEST_SETUP", "4");
    DialogDriver refused;
    refused.Expect(DialogMatch::Template("NBA"), [](DialogView& box) {
        EXPECT_FALSE(box.IsEnabled(IDC_NBA_OK));
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(refused.Run([&] { return RunNbaChooser(window_, &data, &id, kObjectId); }), 0);
    EXPECT_EQ(HandleToBytes(data).size(), 6u);
    DisposeHandleAndClear(&data);
    Calls();

    // Without data nothing is set up until "Use this NBA"; the typed text loses its line feeds.
    SetEnvironmentVariableA("NBA_TEST_SETUP", "0");
    DialogDriver typed;
    typed.Expect(DialogMatch::Template("NBA"), [](DialogView& box) {
        EXPECT_FALSE(box.IsEnabled(IDC_NBA_OK));
        EXPECT_FALSE(box.IsVisible(IDC_NBA_DATA));
        for (int i = 0; i < box.ListCount(IDC_NBA_NAMES); ++i)
            if (box.ListItem(IDC_NBA_NAMES, i) == "Test Action")
                box.SetListSelection(IDC_NBA_NAMES, i);
        box.Press(IDC_NBA_USE);
    });
    typed.Expect(DialogMatch::Template("NBA"), [](DialogView& box) {
        EXPECT_TRUE(box.IsEnabled(IDC_NBA_OK));
        EXPECT_TRUE(box.IsVisible(IDC_NBA_DATA));
        box.SetText(IDC_NBA_DATA, "x\r\ny");
        box.Press(IDC_NBA_OK);
    });
    id = 0;
    EXPECT_EQ(typed.Run([&] { return RunNbaChooser(window_, &data, &id, kObjectId); }), 1);
    EXPECT_EQ(HandleToBytes(data), (std::vector<uint8_t>{'x', '\r', 'y'}));
    EXPECT_EQ(id, kActionId);
    DisposeHandleAndClear(&data);
    ClearPendingRequests();
    EXPECT_EQ(Messages(), std::vector<unsigned long>{3});
    EXPECT_TRUE(g_alerts.empty());

    // A module picked from disk is taken unopened and copied into "NBAS" after alert 2262.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string picked = std::string(temp) + "diskmod.nba", copied = build_ + "\\NBAS\\diskmod.nba";
    ASSERT_TRUE(CopyFileA((build_ + "\\NBAS\\testaction.nba").c_str(), picked.c_str(), FALSE));
    DeleteFileA(copied.c_str());
    DialogDriver disk(15000);
    disk.Expect(DialogMatch::Template("NBA"), [](DialogView& box) { box.Press(IDC_NBA_DISK); });
    disk.Expect(DialogMatch::Caption("Please select an NBA file"), [&](DialogView& box) {
        box.SetText(box.Exists(1148) ? 1148 : 1152, picked);
        box.Press(IDOK);
    });
    disk.Expect(DialogMatch::Template("NBA"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_NBA_DISK));
        ASSERT_EQ(box.ListCount(IDC_NBA_NAMES), 1);
        EXPECT_EQ(box.ListItem(IDC_NBA_NAMES, 0), "Test Action");
        EXPECT_EQ(box.Text(IDC_NBA_INFO), "Logs every call");
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(disk.Run([&] { return RunNbaChooser(window_, &data, &id, kObjectId); }), 0);
    EXPECT_EQ(g_alerts, std::vector<uint32_t>{2262});
    EXPECT_NE(GetFileAttributesA(copied.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(copied.c_str());
    DeleteFileA(picked.c_str());
}

}  // namespace
