// Resource lookup in the module: strings, string runs, data, dialogs and menus.
#include "core/ui/Resources.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/system/PluginModule.h"
#include "core/text/StringRuns.h"

namespace {

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override { SetAppInstance(GetModuleHandle(nullptr)); }
};

TEST_F(ResourcesTest, LoadsStringsFromThePluginModule) {
    EXPECT_EQ(GetResModule(), nullptr);

    char buffer[80];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(LoadResString(4067, buffer, sizeof buffer), 23);
    EXPECT_STREQ(buffer, "Couldn't resize MemRefs");

    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(LoadResString(65000, buffer, sizeof buffer), 0);  // no such string
    EXPECT_EQ(buffer[0], 0);

    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(LoadResString(4067, buffer, 8), 7);  // cut to the buffer
    EXPECT_STREQ(buffer, "Couldn'");

    std::memset(buffer, '#', sizeof buffer);
    LoadResStringN(4132, buffer, 80);
    EXPECT_STREQ(buffer, "Pageloom Error");
    EXPECT_EQ(LoadResString(4067, nullptr, 10), 0);
    EXPECT_EQ(LoadResString(4067, buffer, 0), 0);

    // Line feeds written in the table arrive as character 10.
    ASSERT_GT(LoadResString(2221, buffer, sizeof buffer), 0);
    EXPECT_NE(std::strchr(buffer, '\n'), nullptr);
}

TEST_F(ResourcesTest, DuplicatesStrings) {
    char* copy = DupResString(4132);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "Pageloom Error");
    std::free(copy);
    EXPECT_EQ(DupResString(65000), nullptr);
}

// Finds two strings of the table with missing ids between them (at most 30 apart).
struct Gap {
    uint32_t first = 0;
    int count = 0;  // from the first string to the second, both included
};

Gap FindGap() {
    char text[256];
    for (uint32_t id = 2000; id < 5000; ++id) {
        if (LoadResString(id, text, sizeof text) == 0 || LoadResString(id + 1, text, sizeof text) > 0)
            continue;
        for (uint32_t next = id + 2; next < id + 30; ++next) {
            if (LoadResString(next, text, sizeof text) > 0)
                return {id, static_cast<int>(next - id + 1)};
        }
    }
    return {};
}

TEST_F(ResourcesTest, StringRunsLeaveMissingIdsNull) {
    const Gap gap = FindGap();
    ASSERT_NE(gap.first, 0u) << "the string table has no gap to test with";
    std::vector<std::string> expected(static_cast<size_t>(gap.count));
    for (int i = 0; i < gap.count; ++i) {
        char text[256];
        LoadResString(gap.first + static_cast<uint32_t>(i), text, sizeof text);
        expected[static_cast<size_t>(i)] = text;
    }

    std::vector<char*> run(static_cast<size_t>(gap.count), reinterpret_cast<char*>(0x5A5A5A5A));  // poison
    EXPECT_EQ(LoadStringRun(gap.first, run.data(), gap.count), 0);
    ASSERT_NE(run.front(), nullptr);
    ASSERT_NE(run.back(), nullptr);
    EXPECT_STREQ(run.front(), expected.front().c_str());
    EXPECT_STREQ(run.back(), expected.back().c_str());
    for (int i = 1; i + 1 < gap.count; ++i)
        EXPECT_EQ(run[static_cast<size_t>(i)], nullptr) << "element " << i;
    for (char* s : run)
        std::free(s);

    char* whole[3] = {};
    EXPECT_EQ(LoadStringRun(4132, whole, 3), 1);  // 4132-4134 all present
    EXPECT_STREQ(whole[2], "Pageloom has run out of RAM memory");
    for (char* s : whole)
        std::free(s);
    EXPECT_EQ(LoadStringRun(4132, whole, 0), 1);
    EXPECT_EQ(LoadStringRun(4132, nullptr, 0), 1);
}

TEST_F(ResourcesTest, LoadedRunsUnescape) {
    // The vocabulary is loaded with LoadStringRun and then unescaped; a line feed already in a
    // string passes through untouched.
    char* run[1] = {};
    ASSERT_EQ(LoadStringRun(2221, run, 1), 1);
    const std::string before = run[0];
    UnescapeCStrings(run, 1);
    EXPECT_EQ(before, run[0]);
    std::free(run[0]);
}

INT_PTR CALLBACK IgnoreAll(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

LPARAM g_initParam = 0;
INT_PTR CALLBACK KeepInitParam(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        g_initParam = lParam;
    return FALSE;
}

TEST_F(ResourcesTest, FindsDataDialogsAndMenus) {
    uint32_t size = 1234;
    const auto* bitmap = static_cast<const uint8_t*>(LoadResData("DOGGIE", MAKEINTRESOURCEA(2), &size));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(size, 40u + 96u * 48u * 3u);  // info header and 96 x 48 pixels of 24 bits
    int32_t width;
    std::memcpy(&width, bitmap + 4, 4);
    EXPECT_EQ(width, 96);

    size = 1234;
    EXPECT_EQ(LoadResData("NOSUCHDATA", MAKEINTRESOURCEA(10), &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_NE(LoadResData("DOGIEHELP", MAKEINTRESOURCEA(5)), nullptr);

    EXPECT_EQ(ResLoadMenu("NOSUCHMENU"), nullptr);
    EXPECT_EQ(ResDialogBox(nullptr, IgnoreAll, "NOSUCHDIALOG"), -1);
    EXPECT_EQ(ResCreateDialog(nullptr, IgnoreAll, "NOSUCHDIALOG"), nullptr);

    // A modeless dialog gets its initialisation parameter.
    HWND dialog = ResCreateDialogParam(nullptr, KeepInitParam, "DOGIEHELP", 0x1234);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(g_initParam, 0x1234);
    EXPECT_NE(GetDlgItem(dialog, 52), nullptr);
    DestroyWindow(dialog);
}

}  // namespace
