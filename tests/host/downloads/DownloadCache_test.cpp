// The download cache index: its file form, lookups, eviction order, completion and binding;
// sibling URLs and the request queue.
#include "host/downloads/DownloadCache.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>

namespace {

std::set<std::string> g_onDisk;
std::vector<std::string> g_removed;

const CacheFileOps kOps = {
    [](const char* path) { return g_onDisk.count(path) > 0; },
    [](const char* path) {
        g_removed.emplace_back(path);
        g_onDisk.erase(path);
    },
    "C:\\t\\",
};

class DownloadCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_onDisk.clear();
        g_removed.clear();
        cache.enabled = true;
    }
    // A finished download of `url`, verified in this run and bound once (use sequence stamped).
    void AddComplete(const std::string& url, const std::string& path, uint32_t size) {
        ASSERT_TRUE(AddCacheEntry(cache, url, path, 7, size, kOps));
        g_onDisk.insert(path);
        AddReceivedBytes(cache, url, size);
        MarkDownloadComplete(cache, url);
    }
    DownloadCache cache;
};

TEST_F(DownloadCacheTest, EvictionPrefersIncompleteThenLeastRecentlyUsed) {
    struct Case {
        std::vector<std::pair<bool, uint16_t>> entries;  // complete, use sequence
        int victim;
    };
    const Case cases[] = {
        {{{true, 3}, {true, 1}, {true, 1}}, 1},
        {{{true, 2}, {false, 0}, {true, 1}}, 1},
        {{{false, 0}, {true, 0}, {false, 0}}, 2},
    };
    for (const Case& c : cases) {
        cache.count = 0;
        g_removed.clear();
        for (size_t i = 0; i < c.entries.size(); ++i) {
            std::string name = "f" + std::to_string(i);
            ASSERT_TRUE(AddCacheEntry(cache, "http://h/" + name, "C:\\t\\" + name, 0, 10, kOps));
            cache.entries[i].complete = c.entries[i].first;
            cache.entries[i].useSequence = c.entries[i].second;
        }
        ASSERT_TRUE(EvictCacheEntry(cache, kOps));
        ASSERT_EQ(g_removed.size(), 1u);
        EXPECT_EQ(g_removed[0], "C:\\t\\f" + std::to_string(c.victim));
        EXPECT_EQ(cache.count, static_cast<int16_t>(c.entries.size() - 1));
    }
    cache.count = 0;
    EXPECT_FALSE(EvictCacheEntry(cache, kOps));
}

TEST_F(DownloadCacheTest, LimitsOnCountAndBytes) {
    for (int i = 0; i < kMaxCacheEntries; ++i)
        AddComplete("http://h/" + std::to_string(i), "C:\\t\\p" + std::to_string(i), 100);
    AddComplete("http://h/51st", "C:\\t\\p51", 100);
    EXPECT_EQ(cache.count, kMaxCacheEntries);
    EXPECT_EQ(g_removed.size(), 1u);

    // A download announced past one file's bound is refused, and nothing goes for it.
    EXPECT_FALSE(AddCacheEntry(cache, "http://h/big.stk", "C:\\t\\big", 1, kMaxDownloadBytes + 1, kOps));
    EXPECT_EQ(cache.count, kMaxCacheEntries);
    EXPECT_EQ(g_removed.size(), 1u);

    // Room is made once a file has arrived, least used first; never the open stack's entry, and
    // one file never empties the cache.
    cache.count = 0;
    g_removed.clear();
    AddComplete("http://h/open.stk", "C:\\t\\open", 9000000);
    AddComplete("http://h/one.wav", "C:\\t\\one", 1000);
    AddComplete("http://h/two.wav", "C:\\t\\two", 1000);
    AddComplete("http://h/new.stk", "C:\\t\\new", 9000000);
    EXPECT_TRUE(g_removed.empty()) << "nothing goes for a file that has not arrived";
    EXPECT_EQ(MakeRoomForArrival(cache, FindCacheEntry(cache, "http://h/new.stk"), 9000000, kOps, {"c:\\T\\OPEN"}), 1);
    EXPECT_EQ(g_removed, std::vector<std::string>{"C:\\t\\one"});
    EXPECT_GE(FindCacheEntry(cache, "http://h/open.stk"), 0);
    EXPECT_GE(FindCacheEntry(cache, "http://h/two.wav"), 0) << "the last other file stays";
    EXPECT_GE(FindCacheEntry(cache, "http://h/new.stk"), 0);
}

TEST_F(DownloadCacheTest, LookupCompletionAndBinding) {
    ASSERT_TRUE(AddCacheEntry(cache, "http://H/D/S.stk", "C:\\t\\stk1.stk", 5, 10, kOps));
    g_onDisk.insert("C:\\t\\stk1.stk");
    AddReceivedBytes(cache, "http://h/d/s.stk", 6);
    MarkDownloadComplete(cache, "http://h/d/s.stk");
    EXPECT_EQ(BindCachedFile(cache, "http://h/d/s.stk"), nullptr) << "short download";
    AddReceivedBytes(cache, "http://h/d/s.stk", 60);
    EXPECT_EQ(cache.entries[0].receivedSize, 10u);
    MarkDownloadComplete(cache, "http://h/d/s.stk");
    const char* path = BindCachedFile(cache, "HTTP://h/d/s.STK");
    ASSERT_NE(path, nullptr);
    EXPECT_STREQ(path, "C:\\t\\stk1.stk");
    EXPECT_EQ(cache.entries[0].useSequence, 1);

    EXPECT_TRUE(LookupCacheEntry(cache, "http://h/d/s.stk", 5, kOps));
    // A changed last-modified value drops the entry and deletes its file.
    EXPECT_FALSE(LookupCacheEntry(cache, "http://h/d/s.stk", 6, kOps));
    EXPECT_EQ(cache.count, 0);
    EXPECT_EQ(g_removed, std::vector<std::string>{"C:\\t\\stk1.stk"});

    // A zero-length stream is complete as soon as it ends.
    ASSERT_TRUE(AddCacheEntry(cache, "http://h/empty.txt", "C:\\t\\e", 0, 0, kOps));
    MarkDownloadComplete(cache, "http://h/empty.txt");
    EXPECT_NE(BindCachedFile(cache, "http://h/empty.txt"), nullptr);

    // A disabled cache records nothing.
    DownloadCache off;
    EXPECT_FALSE(AddCacheEntry(off, "http://h/x.stk", "C:\\t\\x", 0, 1, kOps));
    EXPECT_FALSE(LookupCacheEntry(off, "http://h/x.stk", 0, kOps));
}

TEST_F(DownloadCacheTest, ForgetDeletesOnlyCachedFiles) {
    AddComplete("http://h/s.stk", "C:\\t\\stkA.stk", 4);
    EXPECT_FALSE(ForgetCachedFile(cache, "C:\\Users\\me\\mine.stk", kOps));
    EXPECT_TRUE(g_removed.empty()) << "a person's own stack is never deleted";
    EXPECT_TRUE(ForgetCachedFile(cache, "c:\\T\\stka.stk", kOps));
    EXPECT_EQ(g_removed.size(), 1u);
    EXPECT_EQ(cache.count, 0);
}

// An index read from disk can name any file: every way the cache deletes leaves a file outside
// its folder in place and drops only its entry, and a lookup never takes it for a copy.
TEST_F(DownloadCacheTest, FilesOutsideTheCacheFolderAreNeverDeleted) {
    const char* outside[] = {"C:\\Users\\me\\mine.stk", "C:\\t\\..\\boot.ini", "C:\\t\\sub\\x.stk",
                             "C:\\t\\x.stk:stream", "C:\\tx\\y.stk", "C:\\t\\", "t\\x.stk", "\\\\host\\t\\x.stk"};
    for (const char* path : outside) {
        SCOPED_TRACE(path);
        g_removed.clear();
        cache.count = 0;
        // Forgotten, looked up with another date, and evicted: the entry goes, the file stays.
        AddComplete("http://h/a.stk", path, 10);
        EXPECT_TRUE(ForgetCachedFile(cache, path, kOps));
        AddComplete("http://h/a.stk", path, 10);
        EXPECT_FALSE(LookupCacheEntry(cache, "http://h/a.stk", 8, kOps));
        // Nor is such a file ever taken for the copy, even with the same date.
        AddComplete("http://h/a.stk", path, 10);
        EXPECT_FALSE(LookupCacheEntry(cache, "http://h/a.stk", 7, kOps));
        EXPECT_EQ(cache.count, 0);
        AddComplete("http://h/a.stk", path, 10);
        EXPECT_TRUE(EvictCacheEntry(cache, kOps));
        EXPECT_EQ(cache.count, 0);
        EXPECT_TRUE(g_removed.empty());
    }
    // A copy inside the folder, by either separator and in any case, is the cache's to delete.
    for (const char* path : {"C:\\t\\stk1.tmp", "c:/T/stk2.wav"}) {
        g_removed.clear();
        AddComplete("http://h/b.stk", path, 10);
        EXPECT_TRUE(ForgetCachedFile(cache, path, kOps));
        EXPECT_EQ(g_removed, std::vector<std::string>{path});
    }
    EXPECT_FALSE(IsInCacheFolder("", "x.stk")) << "no folder: nothing is the cache's";
}

TEST_F(DownloadCacheTest, IndexFileRoundTripsAndRejectsDamage) {
    AddComplete("http://h/a.stk", "C:\\t\\a.stk", 3);
    AddComplete("http://h/b.wav", "C:\\t\\b.wav", 8);
    BindCachedFile(cache, "http://h/b.wav");
    std::vector<uint8_t> file = SerializeCacheIndex(cache);
    ASSERT_EQ(file.size(), 2 + 2 * kCacheEntrySize);
    EXPECT_EQ(file[0], 2);
    EXPECT_EQ(file[1], 0);
    EXPECT_EQ(file[2 + kCacheEntrySize + 526], 8) << "expectedSize, little-endian at offset 526";

    DownloadCache loaded;
    loaded.enabled = true;
    ParseCacheIndex(file, loaded);
    ASSERT_EQ(loaded.count, 2);
    EXPECT_STREQ(loaded.entries[1].localPath, "C:\\t\\b.wav");
    EXPECT_EQ(loaded.entries[1].complete, 1u);
    EXPECT_EQ(loaded.entries[1].useSequence, 0) << "reset on load";
    EXPECT_EQ(loaded.entries[1].verifiedThisRun, 0u) << "reset on load";
    EXPECT_EQ(BindCachedFile(loaded, "http://h/b.wav"), nullptr) << "must be verified again this run";

    auto expectEmpty = [](std::vector<uint8_t> bytes, const char* what) {
        DownloadCache c;
        c.enabled = true;
        c.count = 3;
        ParseCacheIndex(bytes, c);
        EXPECT_EQ(c.count, 0) << what;
    };
    std::vector<uint8_t> truncated(file.begin(), file.end() - 1);
    expectEmpty(truncated, "truncated");
    expectEmpty({0xFF, 0xFF}, "negative count");
    expectEmpty({51, 0}, "count above 50");
    expectEmpty({}, "empty file");

    // Strings without a NUL in their field are cut at the field's end.
    std::vector<uint8_t> unterminated(2 + kCacheEntrySize, 'A');
    unterminated[0] = 1;
    unterminated[1] = 0;
    DownloadCache c;
    ParseCacheIndex(unterminated, c);
    ASSERT_EQ(c.count, 1);
    EXPECT_EQ(std::strlen(c.entries[0].url), kCachePathSize - 1);
    EXPECT_LE(c.entries[0].receivedSize, c.entries[0].expectedSize);

    std::mt19937 random(1);
    for (int i = 0; i < 500; ++i) {
        std::vector<uint8_t> junk(random() % 1200);
        for (auto& b : junk)
            b = static_cast<uint8_t>(random());
        DownloadCache j;
        ParseCacheIndex(junk, j);
        ASSERT_LE(j.count, kMaxCacheEntries);
    }
}

TEST(DownloadUrlsTest, SiblingUrlsAndLocalNames) {
    std::string url;
    EXPECT_TRUE(MakeSiblingUrl("http://h/d/s.stk", "C:\\x\\pic.bmp", url));
    EXPECT_EQ(url, "http://h/d/pic.bmp");
    EXPECT_TRUE(MakeSiblingUrl("http://h/d/s.stk", "pic.bmp", url));
    EXPECT_EQ(url, "http://h/d/pic.bmp");
    EXPECT_FALSE(MakeSiblingUrl("", "C:\\x\\pic.bmp", url));
    EXPECT_FALSE(MakeSiblingUrl("nolash.stk", "C:\\x\\pic.bmp", url));
    EXPECT_FALSE(MakeSiblingUrl("http://h/d/s.stk", "C:\\x\\" + std::string(250, 'n'), url));
    EXPECT_TRUE(url.empty());

    EXPECT_EQ(CacheFileNameFor("C:\\TEMP\\stk1A.tmp", "http://h/d/x.wav"), "C:\\TEMP\\stk1A.wav");
    EXPECT_EQ(CacheFileNameFor("C:\\TEMP\\stk1A.tmp", "http://h/d/x.jpeg"), "C:\\TEMP\\stk1A.tmp");
    EXPECT_EQ(CacheFileNameFor("C:\\TEMP\\stk1A.tmp", "http://h/d/x.\\.."), "C:\\TEMP\\stk1A.tmp");
    EXPECT_EQ(CacheFileNameFor("C:\\TEMP\\stk1A.tmp", "http://h/noext"), "C:\\TEMP\\stk1A.tmp");

    EXPECT_TRUE(IsStackUrl("http://h/a.STK"));
    EXPECT_FALSE(IsStackUrl(".stk"));
    EXPECT_FALSE(IsStackUrl("http://h/a.stkx"));

    EXPECT_TRUE(SameSite("HTTP://H:80/d/s.stk", "http://h:80/other/stk1.wav"));
    EXPECT_FALSE(SameSite("http://h/d/s.stk", "http://h:81/d/s.stk"));
    EXPECT_FALSE(SameSite("http://h/d/s.stk", "https://h/d/s.stk"));
    EXPECT_FALSE(SameSite("http://h.evil/d", "http://h/d")) << "the whole host";
    EXPECT_FALSE(SameSite("C:\\t\\stk1.wav", "C:\\t\\stk2.wav")) << "paths are of no site";

    // The name a download is shown by.
    const struct {
        const char* url;
        const char* name;
    } names[] = {
        {"http://h/d/demo.stk", "demo.stk"},
        {"http://h/d/My%20Demo.stk?v=2#top", "My Demo.stk"},
        {"http://h/d/a%2Fb%3a%5C.stk", "a_b__.stk"},   // no separator comes in through an escape
        {"http://h/d/50%.stk%4", "50%.stk%4"},          // a lone '%' stays
        {"http://h/d/", ""},
        {"plain.stk", "plain.stk"},
        {"C:\\x\\a.stk", ""},
    };
    for (const auto& n : names)
        EXPECT_EQ(UrlFileName(n.url), n.name) << n.url;
}

TEST(RequestQueueTest, FiftyAtMostAndFirstInFirstOut) {
    RequestQueue queue;
    PendingContext context;
    context.kind = 1;
    context.buttonId = 12;
    for (int i = 0; i < kMaxPendingRequests; ++i)
        ASSERT_TRUE(EnqueueRequest(queue, context, "http://h/" + std::to_string(i), static_cast<uint16_t>(i)));
    EXPECT_FALSE(EnqueueRequest(queue, context, "http://h/51st", 3));
    EXPECT_EQ(queue.count, kMaxPendingRequests);
    EXPECT_EQ(queue.records[0].buttonId, 12);
    ASSERT_TRUE(AdvanceRequestQueue(queue));
    EXPECT_STREQ(queue.records[0].url, "http://h/1");
    EXPECT_EQ(queue.records[0].fileSlot, 1);
    while (AdvanceRequestQueue(queue)) {
    }
    EXPECT_EQ(queue.count, 0);
    EXPECT_FALSE(AdvanceRequestQueue(queue));
    EXPECT_EQ(queue.count, 0);
    // The same request asked again while it waits is kept once; another slot is another request.
    ASSERT_TRUE(EnqueueRequest(queue, context, "http://h/film.avi", 14));
    ASSERT_TRUE(EnqueueRequest(queue, context, "http://h/film.avi", 14));
    EXPECT_EQ(queue.count, 1);
    ASSERT_TRUE(EnqueueRequest(queue, context, "http://h/film.avi", 2));
    EXPECT_EQ(queue.count, 2);
}

}  // namespace
