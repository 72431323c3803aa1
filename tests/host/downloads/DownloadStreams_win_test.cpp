// Downloads end to end: the test browser's own code browses the plug-in code linked into this
// program, so the card list that a streamed stack leaves in memory can be looked at.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "TestBrowser.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "host/browser/EntryLayer.h"
#include "host/downloads/DownloadStreams.h"
#include "host/player/DownloadReplay.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/save/SaveStack.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;

std::vector<std::string> g_log;
std::vector<std::pair<uint16_t, bool>> g_buttonReplays;  // the button, and whether the person started it
std::vector<uint16_t> g_replayedActions;

std::optional<std::string> Environment(const char* name) {
    char value[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    if (n == 0 || n >= sizeof value)
        return std::nullopt;
    return std::string(value, n);
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + "\\");
            else
                DeleteFileA((folder + name).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// Points the temporary folder (TMP and TEMP, where the cache and its index live) at a fresh
// folder for the object's life; then both are as they were and the folder is gone.
class ScopedTempFolder {
public:
    ScopedTempFolder() : tmp_(Environment("TMP")), temp_(Environment("TEMP")) {
        static int counter = 0;
        char base[MAX_PATH] = {};
        GetTempPathA(sizeof base, base);
        path_ = std::string(base) + "loomdl" + ProcessTag() + "-" + std::to_string(++counter) +
                "\\";
        CreateDirectoryA(path_.c_str(), nullptr);
        SetEnvironmentVariableA("TMP", path_.c_str());
        SetEnvironmentVariableA("TEMP", path_.c_str());
    }
    ~ScopedTempFolder() {
        SetEnvironmentVariableA("TMP", tmp_ ? tmp_->c_str() : nullptr);
        SetEnvironmentVariableA("TEMP", temp_ ? temp_->c_str() : nullptr);
        RemoveTree(path_);
    }
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::optional<std::string> tmp_, temp_;
    std::string path_;
};

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(sb::WriteFile(path, bytes)) << path;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(h, nullptr));
    DWORD got = 0;
    if (!ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        got = 0;
    bytes.resize(got);
    CloseHandle(h);
    return bytes;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int CountLines(const std::string& prefix, const std::string& suffix = "") {
    int n = 0;
    for (const std::string& line : g_log)
        if (line.rfind(prefix, 0) == 0 && (suffix.empty() || line.find(suffix) != std::string::npos))
            ++n;
    return n;
}

// Log positions of the first and the last line that starts with prefix; {-1, -1} when none.
std::pair<int, int> FirstAndLast(const std::string& prefix) {
    std::pair<int, int> at = {-1, -1};
    for (int i = 0; i < static_cast<int>(g_log.size()); ++i) {
        if (g_log[i].rfind(prefix, 0) == 0) {
            if (at.first < 0)
                at.first = i;
            at.second = i;
        }
    }
    return at;
}

// A window's rectangle in its parent's coordinates.
RECT PlaceOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// What the index file "LOOMA.LOG" says of one download, read from its bytes.
struct IndexRecord {
    std::string url, localPath;
    uint32_t expectedSize = 0, receivedSize = 0, complete = 0;
};
std::vector<IndexRecord> ReadIndexFile(const std::string& path) {
    std::vector<uint8_t> bytes = ReadBytes(path);
    ByteReader r(bytes);
    int count = static_cast<int16_t>(r.U16LE());
    EXPECT_EQ(bytes.size(), 2 + count * kCacheEntrySize) << path;
    std::vector<IndexRecord> records;
    for (int i = 0; i < count && r.ok(); ++i) {
        auto text = [](std::span<const uint8_t> field) {
            const char* chars = reinterpret_cast<const char*>(field.data());
            return std::string(chars, strnlen(chars, field.size()));
        };
        IndexRecord record;
        record.url = text(r.Bytes(260));
        record.localPath = text(r.Bytes(260));
        r.Skip(6);  // last modified, use sequence
        record.expectedSize = r.U32LE();
        record.receivedSize = r.U32LE();
        record.complete = r.U32LE();
        r.Skip(4);
        records.push_back(record);
    }
    EXPECT_TRUE(r.ok()) << path;
    return records;
}

struct EmbedSpec {
    std::string url;
    int x, y, width, height;
};

// A page that embeds stacks: the test browser's own code drives the plug-in linked into this
// program. Streams move only when Pump says so, one chunk per step.
class Page {
public:
    Page(const std::string& server, int chunk, bool parallel) {
        g_log.clear();
        UseLinkedPlugin(NP_GetEntryPoints, NP_Initialize, NP_Shutdown);
        EXPECT_EQ(InitializePlugin(), kExitOk);
        types_.mimeTypes = {"application/lmpk", "application/pageloom"};
        types_.extensions = {"stk", "stk"};
        SetServer(server, "http://localhost/", types_, chunk, parallel);  // keeps a reference
        page_ = CreateWindowA("STATIC", "page", WS_OVERLAPPEDWINDOW, 0, 0, 600, 700, nullptr, nullptr, nullptr, nullptr);
        SetPumpWindow(page_);
    }
    ~Page() {
        DestroyInstances();
        ShutdownPlugin();
        DestroyWindow(page_);
    }
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    int Embed(const EmbedSpec& spec) {
        HWND window = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, spec.x, spec.y, spec.width, spec.height, page_,
                                    nullptr, nullptr, nullptr);
        int instance = NewInstance("application/lmpk", false, spec.url, spec.width, spec.height);
        EXPECT_GE(instance, 0);
        embeds_.push_back({spec, window, instance});
        return static_cast<int>(embeds_.size()) - 1;
    }
    void Show(int embed) {
        const Placed& e = embeds_[embed];
        SetInstanceWindow(e.instance, e.window, e.spec.x, e.spec.y, e.spec.width, e.spec.height);
    }
    void Stream(int embed) { RequestStream(embeds_[embed].instance, embeds_[embed].spec.url); }
    HWND Window(int embed) const { return embeds_[embed].window; }
    int Instance(int embed) const { return embeds_[embed].instance; }
    // The browser's log names instances from 1.
    std::string LogName(int embed) const { return "instance=" + std::to_string(embeds_[embed].instance + 1); }

    void Pump(int steps = 200000) {
        for (int i = 0; i < steps && HasStreamWork(); ++i) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            PumpStreams();
        }
    }

private:
    struct Placed {
        EmbedSpec spec;
        HWND window;
        int instance;
    };
    PluginTypes types_;
    HWND page_ = nullptr;
    std::vector<Placed> embeds_;
};

// One page visit: the plug-in gets an embed window and the stack's stream.
class Visit : public Page {
public:
    Visit(const std::string& server, int chunk, bool streamFirst = false) : Page(server, chunk, false) {
        int embed = Embed({"http://localhost/s.stk", 10, 20, 512, 384});
        if (streamFirst) {
            Stream(embed);
            Pump();
            EXPECT_EQ(GetCardCount(), 0) << "nothing opens before the window";
        }
        Show(embed);
        if (!streamFirst)
            Stream(embed);
        Pump();
    }
};

class DownloadStreamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandle(nullptr));
        GetTempPathA(sizeof outerTemp_, outerTemp_);
        scope_ = std::make_unique<ScopedTempFolder>();
        temp_ = scope_->path();
        cache_ = CacheFolder();
        server_ = temp_ + "server\\";
        CreateDirectoryA(server_.c_str(), nullptr);
        SetLogSink([](const char* line) { g_log.emplace_back(line); });
        g_buttonReplays.clear();
    }
    void TearDown() override {
        SetLogSink(nullptr);
        scope_.reset();
        char now[MAX_PATH] = {};
        GetTempPathA(sizeof now, now);
        EXPECT_STREQ(now, outerTemp_) << "the temporary folder is given back";
        EXPECT_FALSE(FileExists(temp_)) << "and this test's folder is gone";
    }

    sb::Stack ThreeCards() {
        sb::Stack s;
        s.cards.push_back(sb::PlainCard(1));
        s.cards.push_back(sb::PictureCard(2, sb::GradientPicture(64, 32, 8)));
        s.cards.push_back(sb::SharedCard(3, 2));
        s.cards[1].objects.push_back(sb::Button(7, {10, 10, 90, 30}, "Next"));
        return s;
    }

    char outerTemp_[MAX_PATH] = {};
    std::unique_ptr<ScopedTempFolder> scope_;
    std::string temp_;
    std::string cache_;  // the cache's own folder inside temp_
    std::string server_;
};

TEST_F(DownloadStreamsTest, StreamedStackOpensWhateverTheChunks) {
    WriteBytes(server_ + "s.stk", sb::BuildStack(ThreeCards()).bytes);
    for (int chunk : {1, 1000, 1 << 20}) {
        DeleteFileA((cache_ + "LOOMA.LOG").c_str());
        {
            Visit visit(server_, chunk);
            EXPECT_EQ(GetCardCount(), 3) << "chunk " << chunk;
            EXPECT_EQ(CountLines("NPP_Write(", "-> -1"), 0) << "chunk " << chunk;
            DownloadCache* cache = GetDownloadCache();
            ASSERT_NE(cache, nullptr);
            int entry = FindCacheEntry(*cache, "http://localhost/s.stk");
            ASSERT_GE(entry, 0);
            EXPECT_EQ(cache->entries[entry].complete, 1u);
            std::string local = cache->entries[entry].localPath;
            EXPECT_EQ(local.substr(local.size() - 4), ".stk") << "the local copy keeps the extension";
            // Chopping 1 byte: one write per byte.
            if (chunk == 1) {
                EXPECT_EQ(CountLines("NPP_Write("), static_cast<int>(sb::BuildStack(ThreeCards()).bytes.size()));
            }
        }
        EXPECT_EQ(GetCardCount(), 0) << "shut-down frees the cards";
        // A second visit finds the stack in the cache: its first write ends the stream.
        {
            Visit again(server_, chunk);
            EXPECT_EQ(GetCardCount(), 3);
            EXPECT_EQ(CountLines("NPP_Write("), 1) << "chunk " << chunk;
            EXPECT_EQ(CountLines("NPP_Write(", "-> -1"), 1) << "chunk " << chunk;
        }
    }
}

TEST_F(DownloadStreamsTest, StackArrivingBeforeTheWindowOpensAtAttach) {
    WriteBytes(server_ + "s.stk", sb::BuildStack(ThreeCards()).bytes);
    Visit visit(server_, 500, true);
    EXPECT_EQ(GetCardCount(), 3);
}

TEST_F(DownloadStreamsTest, DamagedDownloadIsForgottenAndFetchedAgain) {
    sb::Stack damaged = ThreeCards();
    damaged.cardWidth = 0;  // not a stack this program can read
    WriteBytes(server_ + "s.stk", sb::BuildStack(damaged).bytes);
    {
        // The refusal's alert comes first; the download is then forgotten.
        DialogDriver driver;
        driver.Expect(DialogMatch::Alert(2268), [](DialogView& box) { box.Press(52); });
        driver.Run([&] {
            Visit visit(server_, 4096);
            EXPECT_EQ(GetCardCount(), 1) << "none of its cards: the one card of an empty stack";
            EXPECT_FALSE(StackHasFile());
            DownloadCache* cache = GetDownloadCache();
            EXPECT_TRUE(cache && FindCacheEntry(*cache, "http://localhost/s.stk") < 0) << "a refused download is forgotten";
            return 0;
        });
    }
    // Mended on the server, the next visit downloads it afresh.
    WriteBytes(server_ + "s.stk", sb::BuildStack(ThreeCards()).bytes);
    Visit again(server_, 4096);
    EXPECT_EQ(GetCardCount(), 3);
    EXPECT_EQ(CountLines("NPP_Write(", "-> -1"), 0);
}

// Two embeds of two different stacks, their streams interleaved chunk by chunk, with the
// windows given first or after both stacks arrived: each download completes into a cache file
// of its own, the attached embed opens its stack in its own place, and the other embed's window
// is left alone. Then the second embed goes away while both download: the first download
// carries on to its stack.
TEST_F(DownloadStreamsTest, TwoEmbedsOfTwoStacksStreamTogether) {
    sb::Stack fiveCards;
    for (uint16_t id = 1; id <= 5; ++id)
        fiveCards.cards.push_back(sb::PictureCard(id, sb::GradientPicture(96, 40 + id, 8)));
    const std::vector<uint8_t> first = sb::BuildStack(ThreeCards()).bytes;
    const std::vector<uint8_t> second = sb::BuildStack(fiveCards).bytes;
    ASSERT_NE(first.size(), second.size());
    WriteBytes(server_ + "one.stk", first);
    WriteBytes(server_ + "two.stk", second);
    const EmbedSpec one = {"http://localhost/one.stk", 10, 20, 512, 384};
    const EmbedSpec two = {"http://localhost/two.stk", 30, 420, 300, 200};
    auto bytesOf = [&](const std::string& url) { return url == one.url ? &first : url == two.url ? &second : nullptr; };
    const std::string index = cache_ + "LOOMA.LOG";

    for (bool streamFirst : {false, true}) {
        SCOPED_TRACE(streamFirst ? "both stacks before the windows" : "windows first");
        DeleteFileA(index.c_str());
        {
            Page page(server_, 700, true);
            int a = page.Embed(one), b = page.Embed(two);
            if (!streamFirst) {
                page.Show(a);
                page.Show(b);
            }
            page.Stream(a);
            page.Stream(b);
            page.Pump();
            ASSERT_FALSE(HasStreamWork()) << "both streams ended";
            auto [aFirst, aLast] = FirstAndLast("NPP_Write(" + page.LogName(a));
            auto [bFirst, bLast] = FirstAndLast("NPP_Write(" + page.LogName(b));
            EXPECT_TRUE(aFirst >= 0 && bFirst >= 0 && aFirst < bLast && bFirst < aLast) << "the streams overlapped";
            EXPECT_EQ(CountLines("NPP_Write(", "-> 0"), 0) << "no write was turned away";
            EXPECT_EQ(CountLines("NPP_DestroyStream(", "reason=0) -> 0"), 2);
            if (streamFirst) {
                EXPECT_EQ(GetCardCount(), 0);
                page.Show(a);
                page.Show(b);
            }
            EXPECT_EQ(GetCardCount(), 3) << "the attached embed's stack is open";
            RECT placeA = PlaceOf(page.Window(a)), placeB = PlaceOf(page.Window(b));
            EXPECT_EQ(placeA.left, 10);
            EXPECT_EQ(placeA.top, 20);
            EXPECT_EQ(placeA.right - placeA.left, 512) << "the stack keeps its own embed's geometry";
            EXPECT_EQ(placeA.bottom - placeA.top, 384);
            EXPECT_EQ(placeB.left, 30);
            EXPECT_EQ(placeB.top, 420);
            EXPECT_EQ(placeB.right - placeB.left, 300) << "the other embed's window is left alone";
        }
        // The index written at shut-down lists both downloads complete; each local copy holds
        // exactly its stack.
        std::vector<IndexRecord> records = ReadIndexFile(index);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_NE(records[0].localPath, records[1].localPath);
        for (const IndexRecord& r : records) {
            SCOPED_TRACE(r.url);
            const std::vector<uint8_t>* bytes = bytesOf(r.url);
            ASSERT_NE(bytes, nullptr);
            EXPECT_EQ(r.complete, 1u);
            EXPECT_EQ(r.expectedSize, bytes->size());
            EXPECT_EQ(r.receivedSize, bytes->size());
            EXPECT_EQ(r.localPath.rfind(cache_, 0), 0u) << r.localPath;
            EXPECT_TRUE(ReadBytes(r.localPath) == *bytes) << r.localPath;
        }
    }

    DeleteFileA(index.c_str());
    {
        Page page(server_, 500, true);
        int a = page.Embed(one), b = page.Embed(two);
        page.Show(a);
        page.Show(b);
        page.Stream(a);
        page.Stream(b);
        page.Pump(6);  // three chunks of each
        ASSERT_EQ(CountLines("NPP_Write(" + page.LogName(b)), 3);
        DownloadCache* cache = GetDownloadCache();
        ASSERT_NE(cache, nullptr);
        int partialEntry = FindCacheEntry(*cache, two.url);
        ASSERT_GE(partialEntry, 0);
        const std::string partial = cache->entries[partialEntry].localPath;
        ASSERT_TRUE(FileExists(partial));

        DestroyInstance(page.Instance(b));
        EXPECT_LT(FindCacheEntry(*cache, two.url), 0) << "the gone embed's download is dropped";
        EXPECT_FALSE(FileExists(partial));
        ASSERT_TRUE(HasStreamWork()) << "the first download goes on";
        page.Pump();
        EXPECT_EQ(GetCardCount(), 3);
        EXPECT_EQ(PlaceOf(page.Window(a)).right, 10 + 512);
    }
    std::vector<IndexRecord> records = ReadIndexFile(index);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].url, one.url);
    EXPECT_EQ(records[0].complete, 1u);
    EXPECT_TRUE(ReadBytes(records[0].localPath) == first);
}

TEST_F(DownloadStreamsTest, NamedFilesAreAskedBesideTheStackOneAtATime) {
    WriteBytes(server_ + "s.stk", sb::BuildStack(ThreeCards()).bytes);
    WriteBytes(server_ + "pic.bmp", std::vector<uint8_t>(3000, 0x42));
    WriteBytes(server_ + "two.wav", std::vector<uint8_t>(10, 0x43));
    WriteBytes(server_ + "three.wav", std::vector<uint8_t>(10, 0x44));
    Visit visit(server_, 700);
    ASSERT_EQ(GetCardCount(), 3);

    DownloadReplay recorder = DefaultDownloadReplay();
    recorder.replay = [](const PendingRequest& r, const char*) {
        if (r.kind == kPendingButtonAction)
            g_buttonReplays.emplace_back(r.buttonId, r.origin.ByPerson());
        g_replayedActions.push_back(r.actionBit);
    };
    SetDownloadReplay(recorder);
    g_replayedActions.clear();

    // Files asked for by the sound action of one button and the movie action of another; one
    // asked for between actions (by a move) is for nothing that runs again.
    FileRequest request = {};
    request.slot = 0;
    g_log.clear();
    ForgetPendingRequest();
    {
        PendingWork work;
        SetPendingButtonRequest(7, 1, PersonsAct::Of(WM_LBUTTONUP));
        SetPendingAction(kActSoundFile);
        SetFileSpecFromPath(0, "C:\\x\\pic.bmp");
        EXPECT_EQ(RequestRemoteFile(request, 2), 0) << "asked for, not local yet";
        SetPendingButtonRequest(8, 1, kByEvent);
        SetPendingAction(kActMovie);
        SetFileSpecFromPath(0, "D:\\y\\two.wav");
        EXPECT_EQ(RequestRemoteFile(request, 4), 0);
        SetPendingAction(0);
        SetFileSpecFromPath(0, "D:\\y\\three.wav");
        EXPECT_EQ(RequestRemoteFile(request, 5), 0);
    }
    EXPECT_EQ(PendingRequestContext().kind, kPendingNothing) << "the work around the buttons is back";
    // Only the first is outstanding until it arrives.
    EXPECT_EQ(CountLines("NPN_GetURL", "url=http://localhost/pic.bmp"), 1);
    EXPECT_EQ(CountLines("NPN_GetURL"), 1);
    visit.Pump();
    EXPECT_EQ(CountLines("NPN_GetURL", "url=http://localhost/two.wav"), 1);
    EXPECT_EQ(CountLines("NPN_GetURL", "url=http://localhost/three.wav"), 1);
    ASSERT_EQ(g_buttonReplays.size(), 2u);
    EXPECT_EQ(g_buttonReplays[0], (std::pair<uint16_t, bool>{7, true}));
    EXPECT_EQ(g_buttonReplays[1], (std::pair<uint16_t, bool>{8, false}));
    EXPECT_EQ(g_replayedActions, (std::vector<uint16_t>{kActSoundFile, kActMovie, 0}));

    char path[MAX_PATH] = {};
    GetFileSpecPath(2, sizeof path, path);
    std::string local(path);
    ASSERT_GE(local.size(), 4u);
    EXPECT_EQ(local.substr(local.size() - 4), ".bmp");
    EXPECT_EQ(local.rfind(cache_, 0), 0u) << local;

    // Now local: the same file is bound at once without asking the browser.
    g_log.clear();
    SetFileSpecFromPath(0, "C:\\x\\pic.bmp");
    EXPECT_EQ(RequestRemoteFile(request, 2), 1);
    EXPECT_EQ(CountLines("NPN_GetURL"), 0);
    SetDownloadReplay(DefaultDownloadReplay());
}

// A server that starts sending a file and stops: the request is given up (its partial copy
// dropped, nothing replayed for it) and the one queued behind it is asked and replayed. A stack a
// move asked for that the server sends after the request was given up opens nothing: the page's
// stack stays, in its slot, and no request of it is dropped.
TEST_F(DownloadStreamsTest, AStalledOrLateAnswerIsGivenUpAndTheQueueMovesOn) {
    WriteBytes(server_ + "s.stk", sb::BuildStack(ThreeCards()).bytes);
    WriteBytes(server_ + "big.wav", std::vector<uint8_t>(20000, 0x45));
    WriteBytes(server_ + "two.wav", std::vector<uint8_t>(10, 0x43));
    sb::Stack other;
    other.cards.push_back(sb::PlainCard(1));
    WriteBytes(server_ + "other.stk", sb::BuildStack(other).bytes);
    Visit visit(server_, 700);
    ASSERT_EQ(GetCardCount(), 3);
    char page[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof page, page);

    static std::vector<std::string> replayed;
    replayed.clear();
    DownloadReplay recorder = DefaultDownloadReplay();
    recorder.replay = [](const PendingRequest& r, const char* url) {
        if (r.kind == kPendingButtonAction)
            replayed.emplace_back(url);
    };
    SetDownloadReplay(recorder);
    SetServerFaults({}, {"big.wav"});
    FileRequest request = {};
    g_log.clear();
    {
        PendingWork work;
        SetPendingButtonRequest(7, 1, PersonsAct::Of(WM_LBUTTONUP));
        SetPendingAction(kActSoundFile);
        SetFileSpecFromPath(0, "C:\\x\\big.wav");
        EXPECT_EQ(RequestRemoteFile(request, 2), 0);
        SetFileSpecFromPath(0, "C:\\x\\two.wav");
        EXPECT_EQ(RequestRemoteFile(request, 4), 0);
    }
    visit.Pump(60);
    EXPECT_EQ(CountLines("NPP_Write", "len=700"), 1) << "the first piece, then nothing";
    EXPECT_EQ(CountLines("NPN_GetURL", "two.wav"), 0) << "it waits behind the stalled one";
    std::string lost;
    bool stack = true;
    ASSERT_TRUE(GiveUpUnansweredRequest(0, &lost, &stack));
    EXPECT_EQ(lost, "big.wav");
    EXPECT_FALSE(stack);
    EXPECT_LT(FindCacheEntry(*GetDownloadCache(), "http://localhost/big.wav"), 0) << "its partial copy is dropped";
    PendingRequest next;
    while (StartNextQueuedRequest(&next))
        recorder.replay(next, next.url);
    visit.Pump(200);
    EXPECT_EQ(CountLines("NPN_GetURL", "two.wav"), 1);
    ASSERT_EQ(replayed.size(), 1u);
    EXPECT_NE(replayed[0].find("two.wav"), std::string::npos);

    // A move's stack, given up before the server answered.
    g_log.clear();
    SetFileSpecFromPath(0, "C:\\x\\other.stk");
    EXPECT_EQ(RequestRemoteFile(request, 8), 0);
    ASSERT_TRUE(GiveUpUnansweredRequest(0, &lost, &stack));
    EXPECT_EQ(lost, "other.stk");
    EXPECT_TRUE(stack);
    visit.Pump(200);
    EXPECT_EQ(CountLines("NPP_NewStream", "other.stk"), 1) << "the server answered after all";
    EXPECT_EQ(GetCardCount(), 3) << "the page's stack stays";
    char now[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof now, now);
    EXPECT_STREQ(now, page);
    EXPECT_EQ(replayed.size(), 1u);
    SetServerFaults({}, {});
    SetDownloadReplay(DefaultDownloadReplay());
}

TEST_F(DownloadStreamsTest, CorruptIndexLeavesAnEmptyWorkingCache) {
    WriteBytes(server_ + "s.stk", sb::BuildStack(ThreeCards()).bytes);
    std::vector<uint8_t> junk(5000);
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<uint8_t>(i * 7 + 3);
    junk[0] = 0x30;  // a count of 48 with far too few bytes behind it
    junk[1] = 0x00;
    WriteBytes(cache_ + "LOOMA.LOG", junk);
    {
        Visit visit(server_, 4096);
        EXPECT_EQ(GetCardCount(), 3);
        ASSERT_NE(GetDownloadCache(), nullptr);
        EXPECT_EQ(GetDownloadCache()->count, 1);
    }
    // The index written at shut-down reads back with the one entry.
    HANDLE h = CreateFileA((cache_ + "LOOMA.LOG").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(h, nullptr), 2 + kCacheEntrySize);
    CloseHandle(h);
}

// An index edited to name files elsewhere (beside the cache folder in the temporary folder, above
// it, in another folder) makes the plug-in forget those entries as they go stale, are evicted or
// replaced, and delete none of the files; the stack still streams and opens.
TEST_F(DownloadStreamsTest, ATamperedIndexDeletesNothingOutsideTheCacheFolder) {
    ASSERT_EQ(cache_, temp_ + "Pageloom Cache\\");
    WriteBytes(server_ + "s.stk", sb::BuildStack(ThreeCards()).bytes);
    const std::vector<std::string> victims = {temp_ + "beside.stk", cache_ + "..\\above.stk", server_ + "kept.stk",
                                              cache_ + "..\\server\\other.stk", temp_ + "LOOMA.LOG"};
    for (const std::string& victim : victims)
        WriteBytes(victim, {1, 2, 3});
    // The stack's own entry stale (another last-modified), and the index full of large entries
    // so that the new copy evicts them.
    DownloadCache tampered;
    tampered.count = kMaxCacheEntries;
    for (int i = 0; i < kMaxCacheEntries; ++i) {
        DownloadCacheEntry& e = tampered.entries[i];
        const std::string url = i == 0 ? "http://localhost/s.stk" : "http://elsewhere/" + std::to_string(i) + ".stk";
        const std::string& path = victims[size_t(i) % victims.size()];
        std::snprintf(e.url, sizeof e.url, "%s", url.c_str());
        std::snprintf(e.localPath, sizeof e.localPath, "%s", path.c_str());
        e.lastModified = 12345;
        e.expectedSize = e.receivedSize = kMaxCacheBytes / 10;
        e.complete = 1;
    }
    WriteBytes(cache_ + "LOOMA.LOG", SerializeCacheIndex(tampered));
    {
        Visit visit(server_, 4096);
        EXPECT_EQ(GetCardCount(), 3);
        ASSERT_NE(GetDownloadCache(), nullptr);
        const int entry = FindCacheEntry(*GetDownloadCache(), "http://localhost/s.stk");
        ASSERT_GE(entry, 0);
        EXPECT_EQ(std::string(GetDownloadCache()->entries[entry].localPath).rfind(cache_, 0), 0u);
        ForgetCachedFile(victims[1].c_str());
    }
    for (const std::string& victim : victims)
        EXPECT_EQ(ReadBytes(victim), (std::vector<uint8_t>{1, 2, 3})) << victim;
}

}  // namespace
