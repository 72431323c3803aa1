// Where Save As starts, in the real plug-in under the test browser: in the folder remembered in
// LMPREFS.INI beside the plug-in when one is set; for a stack from the web without one, in the
// user's documents, never in the download cache that holds the stack's copy. A bare name typed
// into the dialog saves into the folder it opened in.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "StackBuilder.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

// Save As at once, a bare name typed and saved.
BrowserRun SaveAsBareName(CachedSite& site, const std::string& stack, const std::string& name) {
    std::vector<std::string> args = {"--command", "103@1500", "--answer-alerts", "--quit-after-last", "1100"};
    Append(args, SaveAsDialogAt(name, 2200, 300));
    return site.Run(stack, args);
}

bool IsStackFile(const std::string& path) {
    const std::string bytes = ReadFile(path);
    return bytes.size() > 128;
}

TEST(SaveFolderInBrowser, SaveAsStartsInTheRememberedFolderElseAWebStacksInTheDocuments) {
    const std::string tag = ProcessTag();
    CachedSite site;
    site.server.Put("web.stk", Built(sb::EditableStack(320, 240, 32)));

    // Remembered: the dialog opens there, though the stack's copy lies in the cache.
    const std::string remembered = site.server.path + "\\remembered";
    CreateDirectoryA(remembered.c_str(), nullptr);
    {
        PluginCopy plugin("[user]\r\nSaveStackPath=" + remembered + "\r\n");
        site.plugin = plugin.dll;
        const std::string name = "kept-" + tag + ".stk";
        const BrowserRun run = SaveAsBareName(site, "web.stk", name);
        site.plugin.clear();
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        EXPECT_TRUE(IsStackFile(remembered + "\\" + name)) << Joined(run.log);
        EXPECT_EQ(GetFileAttributesA((site.cache + "\\" + name).c_str()), INVALID_FILE_ATTRIBUTES);
        DeleteFileA((remembered + "\\" + name).c_str());
    }
    RemoveDirectoryA(remembered.c_str());

    // None remembered (a file without the key): a stack from the web goes to the documents.
    {
        PluginCopy plugin("[user]\r\nAdvancedUser=Yes\r\n");
        site.plugin = plugin.dll;
        const std::string name = "webnamed-" + tag + ".stk";
        const BrowserRun run = SaveAsBareName(site, "web.stk", name);
        site.plugin.clear();
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        char documents[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)));
        const std::string saved = std::string(documents) + "\\" + name;
        EXPECT_TRUE(IsStackFile(saved)) << saved << "\n" << Joined(run.log);
        EXPECT_EQ(GetFileAttributesA((site.cache + "\\" + name).c_str()), INVALID_FILE_ATTRIBUTES)
            << "not in the download cache";
        DeleteFileA(saved.c_str());
    }
}

}  // namespace
