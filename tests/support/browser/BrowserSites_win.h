// Sites whose runs keep their own download cache, and copies of the plug-in with preferences of
// their own (BrowserSites_win.cpp).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/support/browser/BrowserRun_win.h"

namespace browsertest {

// A server folder whose test-browser runs keep the download cache in a folder of their own
// (so a saved web stack's copy can be found and is gone with the folder), on a page of the
// given size; Report runs stackreport on a file of the folder.
struct CachedSite {
    ServerFolder server;
    std::string cache;
    std::string plugin;  // the plug-in the runs load; empty: PluginPath()
    int width, height;
    explicit CachedSite(int pageWidth = 320, int pageHeight = 240);
    ~CachedSite();
    CachedSite(const CachedSite&) = delete;
    CachedSite& operator=(const CachedSite&) = delete;
    BrowserRun Run(const std::string& stack, std::vector<std::string> args,
                   const std::vector<std::pair<std::string, std::string>>& env = {});
    std::string Report(const std::string& stack);
    // The stack's bytes served under a name of this process (ProcessUniqueName), so that programs
    // run at once never open each other's; that name, for Run.
    std::string Serve(const std::string& stem, const std::string& bytes);
};

// The plug-in copied into a folder of its own with what loads beside it, and with the
// preferences file (LMPREFS.INI) given (none when empty); all go with it. A site runs it
// when its plugin is set to dll.
struct PluginCopy {
    std::string folder, dll;
    explicit PluginCopy(const std::string& prefs);
    ~PluginCopy();
    PluginCopy(const PluginCopy&) = delete;
    PluginCopy& operator=(const PluginCopy&) = delete;
};

// The run saved the stack, never into the site's download cache, and no write failed.
void ExpectSaved(const CachedSite& site, const BrowserRun& run);

}  // namespace browsertest
