// The test browser: a small Win32 program that loads the plug-in DLL the way a web browser
// does, embeds it in a window and feeds it streams from a local folder standing in for the
// web server. Files:
//   CommandLine.cpp        options, URL resolution and the URL-to-file mapping
//   PluginHost_win.cpp     loading the plug-in, the browser function table, instances, streams
//   BrowserWindow_win.cpp  the page window, the embed windows, timers and main()
//   Screenshot_win.cpp     capturing an embed window into a PNG file, the X screen into an xwd file
//   Input_win.cpp          clicks, drags and keys as real input at the window under the point
//   KeyNames_win.cpp       key names ("ctrl+s", "Return") as virtual keys
//   DialogWatch_win.cpp    the dialogs shown: logged, alerts answered, --dialog actions, others closed
//   SaveWatch_win.cpp      the stack files the plug-in saves, and the copy of the last one
//   MenuBar_win.cpp        the page's menu bar: the plug-in's main menu, and --menu's keys
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
    // --in-order: the timed things (actions, shots) go one after another in the order of their
    // times, each no sooner than the one before it ran and its gap from that one, the times
    // counted from when the page's streams first all ended; --quit-after-last closes the page
    // that long after the last of them ran (and sets --in-order).
    bool inOrder = false;
    int quitAfterLastMs = -1;
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
    bool closeDialogs = false;      // log each other dialog box (caption, place, file name) and cancel it, end menus
    bool reload = false;            // the page again once the plug-in was unloaded
    // A server that is slow or stops: a request of a file of that name (the URL's last part)
    // starts its stream only MS after it was made; a stream of a stalled name sends its first
    // piece and then nothing, until the page closes (other streams go on meanwhile).
    struct LateAnswer {
        std::string name;
        int afterMs = 0;
    };
    std::vector<LateAnswer> lateAnswers;
    std::vector<std::string> stalls;
    // A stream of a dripping name sends one byte every MS (afterMs) and holds up no other; a
    // file of a huge name is served BYTES (afterMs) long: its own bytes, then zeros, as a file
    // too large to keep beside the stack would be.
    std::vector<LateAnswer> drips;
    std::vector<LateAnswer> huge;
    // An action held until a window is up: "@shown:TITLE+MS" instead of "@MS" acts MS after
    // the window of that title (a dialog, an alert, "menu" for a menu) was shown, "TITLE#N" after
    // its Nth showing. A window not shown within 10 seconds fails the run (exit 14).
    // "@logged:TEXT+MS" holds it instead until a line of the log holding TEXT was written (30
    // seconds at most: a download answered late may come first).
    struct Hold {
        std::string title;  // empty: no hold, the action goes at its time
        bool logged = false;  // title is a piece of a log line, not a window's title
        int nth = 1;  // 0 ("#next"): the first showing after the action came due
        int afterMs = 0;
        unsigned long since = 0;  // when the action first waited (ticks)
    };
    // Menu commands posted to the first embed window, each at its time from the page's start.
    struct TimedCommand {
        int command;
        int atMs;
        Hold hold;
    };
    std::vector<TimedCommand> commands;
    // Mouse actions at embed coordinates, each at its time: a click is the move, the press and
    // the release a person makes; a drag presses at x,y, moves to x2,y2 and releases there; a
    // hover only moves there and, once the window under it set its cursor, logs that cursor.
    enum class MouseAction { Click, RightClick, DoubleClick, Drag, Hover };
    struct TimedMouse {
        MouseAction action = MouseAction::Click;
        int x = 0, y = 0;
        int x2 = 0, y2 = 0;  // a drag's end
        std::vector<std::pair<int, int>> via;  // a drag's corners between its start and end
        int atMs = 0;
        Hold hold;
    };
    std::vector<TimedMouse> mouse;
    // Characters posted one by one as WM_CHAR to the window with the keyboard focus, at a time.
    struct TimedTyping {
        std::string text;
        int atMs;
        Hold hold;
    };
    std::vector<TimedTyping> typing;
    // Keys pressed and released (modifiers held around them) at the window with the focus.
    struct KeyStroke {
        std::vector<unsigned char> modifiers;  // virtual keys held down, in order
        unsigned char key = 0;                 // virtual key
        int menusOpen = 0;  // --menu: sent once that many menus show (a menu opened by the key before)
    };
    struct TimedKeys {
        std::string text;  // as given, for the log
        std::vector<KeyStroke> strokes;
        // --menu: the menu's title and the item (and a sub-menu's item) to choose; the keys are
        // found in the page's menu bar when it is due. --menu-click chooses it with the mouse.
        std::vector<std::string> menuPath;
        bool byMouse = false;
        int atMs = 0;
        Hold hold;
    };
    std::vector<TimedKeys> keys;
    // An action on a control of a dialog: TITLE|CONTROL|ACTION@MS. The title "*" takes the first
    // dialog shown; the control is an id or a text (a label's text names the control after it).
    // Mouse is a real click or drag at points of the control's client area (a picture a dialog
    // draws, where a person picks or selects).
    enum class DialogVerb { Press, Check, Uncheck, Type, Choose, Mouse };
    struct TimedDialogAction {
        std::string spec;  // as given, for the log
        std::string title;
        std::string control;
        DialogVerb verb = DialogVerb::Press;
        std::string text;  // what Type types, what Choose chooses
        TimedMouse mouse;  // what Mouse does, in the control's coordinates
        int atMs = 0;
    };
    std::vector<TimedDialogAction> dialogActions;
    // Which button answers an alert: 1-based, for every alert (alertId 0) or for one string id.
    struct AlertAnswer {
        unsigned alertId = 0;
        int button = 1;
    };
    std::vector<AlertAnswer> alertAnswers;
    std::string saveCopy;  // where the stack file last saved is copied once the page closed
    // A file dropped from the shell on the first embed at embed coordinates, at a time.
    struct TimedDrop {
        std::string file;
        int x, y;
        int atMs;
    };
    std::vector<TimedDrop> drops;
    // The X server's own picture of the whole screen (its root window with every window on it)
    // written to a file at a time: what the user sees, whatever the windows' own contents say.
    // Held on a window, that window's own X picture too (FILE.window), to compare with.
    // Taken in a loop (--x-shot-in-loop): from its time on, once the page's thread answers no
    // message (the plug-in runs a loop that lets none through, as a transition does), loopMs
    // after, from a thread of the browser's own; -1 for a plain shot.
    struct TimedXShot {
        std::string file;
        int atMs;
        Hold hold;
        int loopMs = -1;
    };
    std::vector<TimedXShot> xShots;
    // Shots held as actions are (--screenshot-after shown:TITLE+MS or logged:TEXT+MS): 0 the
    // first, N the Nth later one; one past the end or without a title is not held.
    std::vector<Hold> screenshotHolds;
    // Every timed thing in the order given: its kind and index in its list (a shot: 0 the first
    // screenshot, N the Nth later one), for --in-order.
    enum class StepKind { Command, Mouse, Keys, Typing, Dialog, Drop, XShot, Screenshot };
    struct Step {
        StepKind kind;
        size_t index;
    };
    std::vector<Step> steps;
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
    kExitDialogMissed = 14,       // a --dialog or --answer-alert found no window, control or button
    kExitSaveCopy = 15,           // --save-copy: nothing was saved, or the copy failed
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
// When the Nth line of the log holding the text was written (false: not so many yet), and how
// many such lines there are so far.
bool LoggedAt(const std::string& text, int nth, unsigned long* tick);
int LinesLogged(const std::string& text);
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
// The server's late answers and stalled streams (--answer-late, --stall).
void SetServerFaults(const std::vector<BrowserOptions::LateAnswer>& late, const std::vector<std::string>& stalls,
                     const std::vector<BrowserOptions::LateAnswer>& drips = {},
                     const std::vector<BrowserOptions::LateAnswer>& huge = {});
int NewInstance(const std::string& mimeType, bool fullPage, const std::string& srcUrl, int width,
                int height);  // instance index, or -1 when the plug-in refused
int SetInstanceWindow(int instance, void* hwnd, int x, int y, int width, int height);
void RequestStream(int instance, const std::string& url);  // as the page asks for its embed's source
void PumpStreams();       // one step of stream delivery; called on the pump message and timer
bool HasStreamWork();     // requests waiting or streams under way
bool IsInPluginCall();
// Dispatches a message of the page's loop; one for a window other than the frame counts as a
// call into the plug-in.
void DispatchPageMessage(const struct tagMSG& message, void* frame);
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

// KeyNames_win.cpp: "ctrl+s shift+Tab Return" as strokes; false with the error on a name unknown.
bool ParseKeyStrokes(std::string_view text, std::vector<BrowserOptions::KeyStroke>& strokes, std::string& error);

// Input_win.cpp: real input (SendInput) from a thread of its own, so that it goes on while the
// plug-in runs a loop of its own (a drag tracked, a modal dialog); the window under the point is
// logged with the point in its coordinates.
void SendMouseAction(void* embed, const BrowserOptions::TimedMouse& action);
void SendKeyStrokes(const BrowserOptions::TimedKeys& keys);
// An item of the page's menu bar chosen with the mouse: a click on the menu's title, then one on
// the item once the menu shows (a grey item is not clicked: Esc closes the menu). Logged as
// "menu-click(TEXT) chosen", "grey" or "not shown".
void SendMenuClick(void* frame, void* bar, int title, void* menu, int item, const std::string& text);
void StopInput();  // waits for the input under way

// Watchdog_win.cpp: ends the program with kExitPluginStuck, and a line on stderr, once ms have
// passed, whatever its threads are doing.
void StartRunWatchdog(unsigned long ms);

// DialogWatch_win.cpp: polled from the page's timer, which runs inside the plug-in's modal loops.
void StartDialogWatch(void* frame, const BrowserOptions& options);
void WatchDialogs();
void DialogActionDue(size_t index);  // the --dialog of that index starts looking for its window
bool DialogActionSettled(size_t index);  // it acted, or failed
void EndDialogWatch();                // a --dialog still to act is reported as missed
bool DialogWatchFailed();             // a --dialog or an alert answer missed
// When the Nth window of that title (1 the first) was shown, in ticks; false when not yet.
bool WindowShownAt(const std::string& title, int nth, unsigned long* tick);
int WindowsShown(const std::string& title);  // how many showings of that title so far
void* ShownWindow(const std::string& title);  // the window of that title shown now; null if none
// A held action whose window never came: logged, and the run fails (exit 14).
void FailHold(const std::string& spec, const std::string& why);
// A walk run --in-order that the page's close cut short: logged, and the run fails (exit 14).
void FailWalk(const std::string& why);

// SaveWatch_win.cpp: the plug-in's writes of stack files (extensions it serves), seen through
// its imports of the file functions.
void WatchPluginSaves(void* module, const std::vector<std::string>& stackExtensions);
std::string LastSavedStack();  // empty when the plug-in saved none
bool CopyLastSavedStack(const std::string& to);  // logs what it copied, or why not

// MenuBar_win.cpp: the plug-in's main menu as the page's menu bar (none when the module has
// none); the position in the bar of a menu about to open (-1: not one of the bar's own menus),
// handed to the card to be brought up to date; the keys that choose the item of a --menu.
void AttachPluginMenuBar(void* frame, void* module);
int TopMenuPosition(void* frame, void* popup);
void UpdatePluginMenu(void* embed, void* popup, int position);
// --menu-click: the bar, the menu's place in it, the menu and the item's place in it.
bool MenuClickTarget(void* frame, const std::vector<std::string>& path, void** bar, int* title, void** menu,
                     int* item, std::string& error);
bool MenuPathKeys(void* frame, void* embed, const std::vector<std::string>& path,
                  std::vector<BrowserOptions::KeyStroke>& strokes, std::string& error);

// Screenshot_win.cpp
bool SaveWindowPng(void* hwnd, const std::string& fileName);
// The X server's picture of the whole screen, read from its root window with the windows on it
// (what the server shows, whatever a window holds; on a palette display through the colour map
// installed), written to the file in xwd's format.
bool SaveScreenXwd(const std::string& fileName);
// Starts xwd on the X display the program runs on, writing that top-level window's own X window
// (null: xwd's own reading of the root, which misses a window wholly inside another of its
// program) to the file, first under a ".part" name, renamed when whole; false when it cannot be
// started.
bool StartXwd(const std::string& fileName, void* window);
// On a palette display, the system palette as the window sees it: 256 "rrggbb" words; empty on
// deeper displays.
std::string SystemPaletteText(void* hwnd);
