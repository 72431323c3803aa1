// The test browser: a small Win32 program that loads the plug-in DLL the way a web browser
// does, embeds it in a window and feeds it streams from a local folder standing in for the
// web server. Files:
//   CommandLine.cpp        options, URL resolution and the URL-to-file mapping
//   PluginHost_win.cpp     loading the plug-in, the browser function table, instances, streams
//   BrowserWindow_win.cpp  the page window, the embed windows, timers and main()
//   Screenshot_win.cpp     capturing an embed window into a PNG file
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct BrowserOptions {
    std::string dllPath;     // empty: nploom.dll beside the program
    std::string serverDir;   // folder standing for the web server; empty: the current folder
    std::string baseUrl = "http://localhost/";
    // URLs, local paths, or names relative to the base URL: one embed each, or with
    // --instances N one stack in N embeds.
    std::vector<std::string> stacks;
    std::string mimeType;    // empty: chosen by the file's extension from the plug-in's list
    int width = 512;
    int height = 384;
    int chunk = 4096;        // bytes offered per NPP_Write at most
    int instances = 1;
    int quitAfterMs = -1;    // -1: run until the window is closed
    bool quitWhenDone = false;  // close the page once no stream or request is left
    std::string screenshot;  // PNG file of the first embed window; empty: none
    int screenshotAfterMs = 1000;
    // A repeated --screenshot-after: further shots at these times, FILE-t2.png, FILE-t3.png, ...
    std::vector<int> laterScreenshotsMs;
    bool log = false;
    bool fullPage = false;          // NP_FULL instead of NP_EMBED
    bool streamBeforeWindow = false;  // deliver the stack before NPP_SetWindow
    bool parallel = false;          // interleave streams instead of one after another
    bool answerAlerts = false;      // log each alert box of the plug-in and press its default button
    bool closeDialogs = false;      // log each other dialog box (caption, place, file name) and cancel it
    bool reload = false;            // the page again once the plug-in was unloaded
    // Menu commands posted to the first embed window, each at its time from the page's start.
    struct TimedCommand {
        int command;
        int atMs;
    };
    std::vector<TimedCommand> commands;
    // Left clicks (button down, then up) at embed coordinates, each at its time.
    struct TimedClick {
        int x, y;
        int atMs;
    };
    std::vector<TimedClick> clicks;
    // Characters posted one by one as WM_CHAR to the window with the keyboard focus, at a time.
    struct TimedTyping {
        std::string text;
        int atMs;
    };
    std::vector<TimedTyping> typing;
    // A file dropped from the shell on the first embed at embed coordinates, at a time.
    struct TimedDrop {
        std::string file;
        int x, y;
        int atMs;
    };
    std::vector<TimedDrop> drops;
};

// Exit codes of the program.
enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 2,
    kExitDllLoad = 3,
    kExitMissingExport = 4,
    kExitMimeNotServed = 5,
    kExitPluginRefused = 6,
    kExitStackMissing = 7,
    kExitWindow = 8,
    kExitInstanceRefused = 9,
    kExitPluginStuck = 10,
    kExitScreenshot = 11,
    kExitStreamsUnfinished = 12,  // --quit-after came first while --quit-when-done still waited
    kExitNotHandedBack = 13,      // an embed window was not the browser's again after NPP_Destroy
};

// CommandLine.cpp
std::optional<BrowserOptions> ParseOptions(const std::vector<std::string>& args, std::string& error);
const char* UsageText();
bool HasScheme(std::string_view url);
std::string ResolveUrl(std::string_view base, std::string_view reference);
// The file a URL names: http(s)://host/a/b -> <serverDir>\a\b, file:///C:/x -> C:\x.
// Empty when the URL cannot name a file (unknown scheme, ".." above the root, ...).
std::string UrlToLocalPath(std::string_view url, std::string_view serverDir);
std::string LocalPathToUrl(std::string_view fullPath);  // C:\a b\c.stk -> file:///C:/a%20b/c.stk
std::string UrlExtension(std::string_view url);          // lower case, without the dot
std::string GenericMimeType(std::string_view extension);
// The items of a version-block list ("a|b") or of one of its entries ("stk,stx").
std::vector<std::string> SplitList(std::string_view text, char separator);

// PluginHost_win.cpp
struct PluginTypes {
    std::vector<std::string> mimeTypes;   // "MIMEType", one per entry
    std::vector<std::string> extensions;  // "FileExtents", same order, each "ext[,ext...]"
    std::string TypeForExtension(std::string_view ext) const;
    bool Serves(std::string_view mimeType) const;
};
void SetLogging(bool on);
void Logf(const char* format, ...);
int LoadPlugin(const std::string& dllPath, PluginTypes& types);  // kExitOk or an exit code
// Browses plug-in code linked into this very program (tests that look at the plug-in's state);
// the version block is not read, so the caller names the types.
struct NPPluginFuncs;
struct NPNetscapeFuncs;
using LinkedGetEntryPoints = short(__stdcall*)(NPPluginFuncs*);
using LinkedInitialize = short(__stdcall*)(NPNetscapeFuncs*);
using LinkedShutdown = short (*)();
void UseLinkedPlugin(LinkedGetEntryPoints getEntryPoints, LinkedInitialize initialize, LinkedShutdown shutdown);
// Every log line also goes here when set (tests read the calls and their results).
void SetLogSink(void (*sink)(const char* line));
int InitializePlugin();
void SetServer(const std::string& serverDir, const std::string& baseUrl, const PluginTypes& types,
               int chunk, bool parallel);
void SetPumpWindow(void* hwnd);
int NewInstance(const std::string& mimeType, bool fullPage, const std::string& srcUrl, int width,
                int height);  // instance index, or -1 when the plug-in refused
int SetInstanceWindow(int instance, void* hwnd, int x, int y, int width, int height);
void RequestStream(int instance, const std::string& url);  // as the page asks for its embed's source
void PumpStreams();       // one step of stream delivery; called on the pump message and timer
bool HasStreamWork();     // requests waiting or streams under way
bool IsInPluginCall();
void DestroyInstance(int instance);  // its streams end (user break), then NPP_Destroy
void DestroyInstances();
// NP_Shutdown and FreeLibrary; the instances end with the plug-in.
void ShutdownPlugin();
// The plug-in's module while it is loaded, else the one last loaded (its window classes are
// registered with it); null before the first load.
void* PluginModuleHandle();
size_t OutstandingAllocations();

// Messages and timers of the page window that the stream pump uses.
inline constexpr unsigned kMsgPump = 0x8000 + 1;  // WM_APP + 1
inline constexpr unsigned kTimerPump = 1;

// Screenshot_win.cpp
bool SaveWindowPng(void* hwnd, const std::string& fileName);
// On a palette display, the system palette as the window sees it: 256 "rrggbb" words; empty on
// deeper displays.
std::string SystemPaletteText(void* hwnd);
