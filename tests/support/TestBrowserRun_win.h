// The test browser run as a child process on a folder standing for the web server, and what
// it leaves behind: its call log, its exit code, its screenshots (TestBrowserRun_win.cpp).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace browsertest {

// A Unix path handed over by ctest becomes one on Wine's Z: drive; others stay.
std::string WindowsPath(std::string path);
// The program and the plug-in: from LOOM_TESTBROWSER and LOOM_DLL, else beside the test program.
std::string BrowserPath();
std::string PluginPath();

// A fresh folder standing for the web server; removed with its files afterwards.
struct ServerFolder {
    std::string path;
    std::vector<std::string> files;
    ServerFolder();
    ServerFolder(const ServerFolder&) = delete;
    ServerFolder& operator=(const ServerFolder&) = delete;
    ~ServerFolder();
    // Writes the file (sub-folders made as needed) and returns its full path.
    std::string Put(const std::string& name, const std::string& bytes);
    // The full path of a file the run will write there, removed afterwards.
    std::string Name(const std::string& name);
    // The files of a run's count screenshots: "STEM.png", then the test browser's "STEM-t2.png"
    // on for each later one.
    std::vector<std::string> Shots(const std::string& stem, int count);
};

struct BrowserRun {
    int exitCode = -1;
    std::vector<std::string> log;
    std::string errors;
};

// Runs a program with its standard output and error in files; the environment settings are
// inherited by the program (the browser hands them on to the plug-in it loads).
BrowserRun RunProgram(const std::string& program, const ServerFolder& server, const std::vector<std::string>& args,
                      const std::vector<std::pair<std::string, std::string>>& env = {});
BrowserRun RunBrowser(const ServerFolder& server, const std::vector<std::string>& args,
                      const std::vector<std::pair<std::string, std::string>>& env = {});
// A web page of that size ("WxH") showing the stack of that name from the folder, in the real
// plug-in with the call log kept; the arguments go between.
BrowserRun RunPage(const ServerFolder& server, const std::string& stack, const std::string& size,
                   const std::vector<std::string>& args, const std::vector<std::pair<std::string, std::string>>& env = {});

// The download cache's own folder inside the temporary folder a run is given (no separator at
// the end), and a folder removed with everything in it.
std::string CacheFolderIn(const std::string& temp);
void RemoveFolderTree(const std::string& folder);

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
    // The stack's bytes served as "STEM-PID.stk" (a name of this process, so that programs run at
    // once never open each other's); that name, for Run.
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

// The walks' arguments: more appended, and Save at the time over the original (the plug-in may
// ask, 2340), its file copied to the path when the page closes; a stack from the web, which
// asks where to save it, is saved as that path (the test browser answers its Save As dialog).
void Append(std::vector<std::string>& to, const std::vector<std::string>& more);
// The time of an action held until the Nth window of that title was shown, and ms after:
// "@shown:TITLE#N+MS" ("menu" names a menu).
// nth kNextShown: the first showing after the action came due, for a window the step before
// opens (a menu after a right-click).
inline constexpr int kNextShown = 0;
std::string OnceShown(const std::string& title, int ms, int nth = 1);
// The same held until the first line of the log holding the text was written, and ms after:
// "@logged:TEXT+MS" (a stream's end, an alert answered).
std::string OnceLogged(const std::string& text, int ms);
std::vector<std::string> SaveAt(int ms, const std::string& copy);
// A file dialog of that title answered: the path typed in its "File name:" box at ms, and its
// button ("Save", "Open") pressed gap ms later. Save As's own ("Please name this Stack"), Open's
// ("Please select a stack"), and a picture file chosen from the Picture Source dialog at ms:
// "Disk file", OK 200 ms on, and the path given to its Open dialog ("Please select a picture
// file") 700 ms on.
std::vector<std::string> FileDialogAt(const std::string& title, const std::string& path, const std::string& button, int ms,
                                      int gap = 200);
std::vector<std::string> SaveAsDialogAt(const std::string& path, int ms, int gap = 200);
std::vector<std::string> OpenDialogAt(const std::string& path, int ms, int gap = 200);
std::vector<std::string> PictureFileAt(const std::string& path, int ms);
// From ms on: the object tools (shift+Tab), a right click on the object at the point ("X,Y") and
// the "Actions" dialog chosen by keys from its menu, once that menu is up.
std::vector<std::string> OpenActionsAt(const std::string& point, int ms);
// The run saved the stack, never into the site's download cache, and no write failed.
void ExpectSaved(const CachedSite& site, const BrowserRun& run);

// Reading stackreport's JSON (tests/support/ReportJson.h parses it): the object of that name as
// JSON text (empty when absent), the first number under key (-1 when absent), and an object's
// "rect" (-1s when absent).
std::string ReportedObject(const std::string& json, const std::string& name);
// The card ids in the order the report lists the cards.
std::vector<int> ReportedCardIds(const std::string& json);
// The card of that index (from 1) as JSON text; empty when there is none.
std::string ReportedCard(const std::string& json, int index);
// The first object of that kind (16 a graphic, 48 a button, 96 a text object); empty when none.
std::string ReportedObjectOfKind(const std::string& json, int kind);
// The report's "video" entry of that card, button and chunk kind; empty when none.
std::string ReportedVideo(const std::string& json, int card, int button, int kind);
// The first object with that id, of any card; empty when none.
std::string ReportedObjectWithId(const std::string& json, int id);
// The texts of every text entry of the objects, in the report's order.
std::vector<std::string> ReportedTexts(const std::string& json);
// Every object of that name, in the report's order.
std::vector<std::string> ReportedObjects(const std::string& json, const std::string& name);
// The report's resource entries of that type ("Icon", "Crsr", "Hlnk"), deleted ones too, in file
// order, as JSON text.
std::vector<std::string> ReportedResources(const std::string& json, const std::string& type);
// Whether the report holds a resource entry of that type and id.
bool HasResource(const std::string& json, const std::string& type, int id);
// The report's "destinations" entry of that card and button; empty when none.
std::string ReportedDestination(const std::string& json, int card, int button);
// The first value under key as JSON text ("[1,4136]", "{...}"); empty when absent.
std::string ReportedValue(const std::string& json, const std::string& key);
int ReportedNumber(const std::string& json, const std::string& key);
// The first text under key; empty when absent or not a text.
std::string ReportedText(const std::string& json, const std::string& key);
RECT ReportedRect(const std::string& object);

std::string ReadFile(const std::string& path);
// The lines of a text without their leading blanks and line ends; blank lines dropped.
std::vector<std::string> Lines(const std::string& text);
std::string Joined(const std::vector<std::string>& lines);
bool StartsWith(const std::string& line, const std::string& prefix);
// The value after "key=" in a log or report line, up to the next ',', ')' or space.
std::string Field(const std::string& line, const std::string& key);
// Index of the first line at or after from that starts with prefix; -1 when none.
int Find(const std::vector<std::string>& lines, const std::string& prefix, int from = 0);
// Index of the first line at or after from that holds the text anywhere; -1 when none.
int FindHolding(const std::vector<std::string>& lines, const std::string& text, int from = 0);
// The numbers after " at " in the first log line at or after from that starts with prefix
// ("card(instance=1) at screen 10,20", "shown(Path Edit) class=#32770 at 1,2,3,4 ..."), in
// order; empty when there is no such line.
std::vector<int> NumbersAt(const std::vector<std::string>& lines, const std::string& prefix, int from = 0);
// Where the first embed's card lay on the screen ("card(instance=1) at screen X,Y"), and where
// the first window of that title shown lay ("shown(TITLE) ... at L,T,R,B"); false when not logged.
bool CardOnScreen(const std::vector<std::string>& lines, POINT* corner);
bool ShownPlace(const std::vector<std::string>& lines, const std::string& title, RECT* place);
// Waits (up to 10 s) for a file another program writes whole under its name (xwd's picture).
bool AppearedInTime(const std::string& path);

// The pixels of a PNG file as 0x00RRGGBB, top row first, read through the Windows Imaging
// Component; empty when it cannot be read.
std::vector<uint32_t> PngPixels(const std::string& path, UINT* width, UINT* height);
// A screenshot's pixels; At gives 0xFF000000 outside it, so a shot of the wrong size fails.
struct Shot {
    std::vector<uint32_t> pixels;
    UINT width = 0, height = 0;
    explicit Shot(const std::string& path) { pixels = PngPixels(path, &width, &height); }
    uint32_t At(int x, int y) const {
        return x >= 0 && y >= 0 && UINT(x) < width && UINT(y) < height ? pixels[size_t(y) * width + size_t(x)] : 0xFF000000u;
    }
};
// How many pixels of the rectangle, every step-th across and down, differ between two shots; the
// first of them ("X,Y was -> is") in *first when asked.
int Differing(const Shot& a, const Shot& b, RECT r, std::string* first = nullptr, int step = 1);
// Each channel of a 0x00RRGGBB pixel within slack of the wanted red, green and blue.
bool NearRgb(uint32_t got, int red, int green, int blue, int slack);
// A pixel as six hexadecimal digits, for failure messages.
std::string Hex(uint32_t pixel);

}  // namespace browsertest
