// Downloads end to end: the test browser's own code browses the plug-in code linked into this
// program, so the card list that a streamed stack leaves in memory can be looked at.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/DialogDriver_win.h"
#include "TestBrowser.h"
#include "core/FileLayer.h"
#include "core/FileSpec.h"
#include "host/DownloadStreams.h"
#include "host/EntryLayer.h"
#include "core/PluginModule.h"
#include "stack/CardList.h"

namespace {

namespace sb = stackbuilder;

std::vector<std::string> g_log;
std::vector<std::pair<uint16_t, uint32_t>> g_buttonReplays;

std::string MakeFolder(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + name + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(sb::WriteFile(path, bytes)) << path;
}

int CountLines(const std::string& prefix, const std::string& suffix = "") {
    int n = 0;
    for (const std::string& line : g_log)
        if (line.rfind(prefix, 0) == 0 && (suffix.empty() || line.find(suffix) != std::string::npos))
            ++n;
    return n;
}

// One page visit: the plug-in is initialised, gets an embed window and the stack's stream.
class Visit {
public:
    Visit(const std::string& server, int chunk, bool streamFirst = false) {
        g_log.clear();
        UseLinkedPlugin(NP_GetEntryPoints, NP_Initialize, NP_Shutdown);
        EXPECT_EQ(InitializePlugin(), kExitOk);
        types_.mimeTypes = {"application/lmpk", "application/pageloom"};
        types_.extensions = {"stk", "stk"};
        SetServer(server, "http://localhost/", types_, chunk, false);  // keeps a reference
        page_ = CreateWindowA("STATIC", "page", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr, nullptr, nullptr, nullptr);
        embed_ = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 10, 20, 512, 384, page_, nullptr, nullptr, nullptr);
        SetPumpWindow(page_);
        instance_ = NewInstance("application/lmpk", false, "http://localhost/s.stk", 512, 384);
        EXPECT_GE(instance_, 0);
        if (streamFirst) {
            RequestStream(instance_, "http://localhost/s.stk");
            Pump();
            EXPECT_EQ(GetCardCount(), 0) << "nothing opens before the window";
        }
        SetInstanceWindow(instance_, embed_, 10, 20, 512, 384);
        if (!streamFirst)
            RequestStream(instance_, "http://localhost/s.stk");
        Pump();
    }
    ~Visit() {
        DestroyInstances();
        ShutdownPlugin();
        DestroyWindow(page_);
    }
    void Pump() {
        for (int i = 0; i < 200000 && HasStreamWork(); ++i) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            PumpStreams();
        }
    }

private:
    PluginTypes types_;
    HWND page_ = nullptr;
    HWND embed_ = nullptr;
    int instance_ = -1;
};

class DownloadStreamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandle(nullptr));
        // The cache and its index live in the temporary folder: give this run its own.
        temp_ = MakeFolder("loomcache");
        SetEnvironmentVariableA("TMP", temp_.c_str());
        SetEnvironmentVariableA("TEMP", temp_.c_str());
        DeleteFileA((temp_ + "LOOMA.LOG").c_str());
        server_ = MakeFolder("loomserver");
        SetLogSink([](const char* line) { g_log.emplace_back(line); });
        g_buttonReplays.clear();
    }
    void TearDown() override { SetLogSink(nullptr); }

    sb::Stack ThreeCards() {
        sb::Stack s;
        s.cards.push_back(sb::PlainCard(1));
        s.cards.push_back(sb::PictureCard(2, sb::GradientPicture(64, 32, 8)));
        s.cards.push_back(sb::SharedCard(3, 2));
        s.cards[1].objects.push_back(sb::Button(7, {10, 10, 90, 30}, "Next"));
        return s;
    }

    std::string temp_;
    std::string server_;
};

TEST_F(DownloadStreamsTest, StreamedStackOpensWhateverTheChunks) {
    WriteBytes(server_ + "s.stk", sb::BuildStack(ThreeCards()).bytes);
    for (int chunk : {1, 1000, 1 << 20}) {
        DeleteFileA((temp_ + "LOOMA.LOG").c_str());
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
            EXPECT_EQ(GetCardCount(), 0);
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

TEST_F(DownloadStreamsTest, NamedFilesAreAskedBesideTheStackOneAtATime) {
    WriteBytes(server_ + "s.stk", sb::BuildStack(ThreeCards()).bytes);
    WriteBytes(server_ + "pic.bmp", std::vector<uint8_t>(3000, 0x42));
    WriteBytes(server_ + "two.wav", std::vector<uint8_t>(10, 0x43));
    Visit visit(server_, 700);
    ASSERT_EQ(GetCardCount(), 3);

    DownloadReplay recorder = DefaultDownloadReplay();
    recorder.doButtonActions = [](uint16_t id, uint32_t argument) {
        g_buttonReplays.emplace_back(id, argument);
        return 1;
    };
    SetDownloadReplay(recorder);

    FileRequest request = {};
    request.slot = 0;
    SetFileSpecFromPath(0, "C:\\x\\pic.bmp");
    SetPendingButtonRequest(7, 99);
    g_log.clear();
    EXPECT_EQ(RequestRemoteFile(request, 2), 0) << "asked for, not local yet";
    SetFileSpecFromPath(0, "D:\\y\\two.wav");
    SetPendingButtonRequest(8, 5);
    EXPECT_EQ(RequestRemoteFile(request, 4), 0);
    // Only the first is outstanding until it arrives.
    EXPECT_EQ(CountLines("NPN_GetURL", "url=http://localhost/pic.bmp"), 1);
    EXPECT_EQ(CountLines("NPN_GetURL"), 1);
    visit.Pump();
    EXPECT_EQ(CountLines("NPN_GetURL", "url=http://localhost/two.wav"), 1);
    ASSERT_EQ(g_buttonReplays.size(), 2u);
    EXPECT_EQ(g_buttonReplays[0], (std::pair<uint16_t, uint32_t>{7, 99}));
    EXPECT_EQ(g_buttonReplays[1], (std::pair<uint16_t, uint32_t>{8, 5}));

    char path[MAX_PATH] = {};
    GetFileSpecPath(2, sizeof path, path);
    std::string local(path);
    ASSERT_GE(local.size(), 4u);
    EXPECT_EQ(local.substr(local.size() - 4), ".bmp");
    EXPECT_EQ(local.rfind(temp_, 0), 0u) << local;

    // Now local: the same file is bound at once without asking the browser.
    g_log.clear();
    SetFileSpecFromPath(0, "C:\\x\\pic.bmp");
    EXPECT_EQ(RequestRemoteFile(request, 2), 1);
    EXPECT_EQ(CountLines("NPN_GetURL"), 0);
    SetDownloadReplay(DefaultDownloadReplay());
}

TEST_F(DownloadStreamsTest, CorruptIndexLeavesAnEmptyWorkingCache) {
    WriteBytes(server_ + "s.stk", sb::BuildStack(ThreeCards()).bytes);
    std::vector<uint8_t> junk(5000);
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<uint8_t>(i * 7 + 3);
    junk[0] = 0x30;  // a count of 48 with far too few bytes behind it
    junk[1] = 0x00;
    WriteBytes(temp_ + "LOOMA.LOG", junk);
    {
        Visit visit(server_, 4096);
        EXPECT_EQ(GetCardCount(), 3);
        ASSERT_NE(GetDownloadCache(), nullptr);
        EXPECT_EQ(GetDownloadCache()->count, 1);
    }
    // The index written at shut-down reads back with the one entry.
    HANDLE h = CreateFileA((temp_ + "LOOMA.LOG").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(h, nullptr), 2 + kCacheEntrySize);
    CloseHandle(h);
}

}  // namespace
