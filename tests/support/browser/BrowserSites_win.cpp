// Sites and plug-in copies for the walks (BrowserSites_win.h).
#include "tests/support/browser/BrowserSites_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>

#include "tests/support/ProcessNames_win.h"
#include "tests/support/browser/LogLines_win.h"

namespace browsertest {

CachedSite::CachedSite(int pageWidth, int pageHeight) : width(pageWidth), height(pageHeight) {
    cache = server.path + "\\cache";
    CreateDirectoryA(cache.c_str(), nullptr);
}

CachedSite::~CachedSite() { RemoveFolderTree(cache); }

BrowserRun CachedSite::Run(const std::string& stack, std::vector<std::string> args,
                           const std::vector<std::pair<std::string, std::string>>& env) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::vector<std::pair<std::string, std::string>> settings = {{"TMP", cache}, {"TEMP", cache}};
    settings.insert(settings.end(), env.begin(), env.end());
    return RunBrowser(server, PageArgs(plugin.empty() ? PluginPath() : plugin, server, size, args, stack), settings);
}

std::string CachedSite::Serve(const std::string& stem, const std::string& bytes) {
    const std::string name = ProcessUniqueName(stem, "stk");
    server.Put(name, bytes);
    return name;
}

std::string CachedSite::Report(const std::string& stack) {
    const std::string reporter = WindowsPath(std::string(std::getenv("LOOM_BUILD")) + "/tools/stackreport/stackreport.exe");
    const BrowserRun report = RunProgram(reporter, server, {stack});
    EXPECT_EQ(report.exitCode, 0) << report.errors;
    return Joined(report.log);
}

void ExpectSaved(const CachedSite& site, const BrowserRun& run) {
    for (const char* failed : {"alert(id=2694)", "alert(id=2695)", "alert(id=2696)", "alert(id=2697)", "alert(id=2698)"})
        EXPECT_EQ(FindHolding(run.log, failed), -1) << "the write failed\n" << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "saved("), -1) << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "saved(" + site.cache), -1) << "never into the download cache\n" << Joined(run.log);
}

PluginCopy::PluginCopy(const std::string& prefs) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    folder = std::string(temp) + ProcessUniqueName("loomplugin");
    CreateDirectoryA(folder.c_str(), nullptr);
    dll = folder + "\\nploom.dll";
    CopyFileA(PluginPath().c_str(), dll.c_str(), FALSE);
    // What loads beside it: the imaging library it imports, and QuickTime.
    const std::string built = PluginPath().substr(0, PluginPath().find_last_of("\\/") + 1);
    for (const char* name : {"vic32.dll", "QuickTime.qts"})
        CopyFileA((built + name).c_str(), (folder + "\\" + name).c_str(), FALSE);
    if (!prefs.empty())
        std::ofstream(folder + "\\LMPREFS.INI", std::ios::binary) << prefs;
}

PluginCopy::~PluginCopy() {
    RemoveFolderTree(folder);
}

}  // namespace browsertest
