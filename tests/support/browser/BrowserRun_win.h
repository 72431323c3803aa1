// The test browser run as a child process on a folder standing for the web server, and what
// it leaves behind: its call log, its exit code (BrowserRun_win.cpp). The steps of a walk are
// WalkSteps_win.h's, its log LogLines_win.h's, its shots Shots_win.h's, its sites BrowserSites_win.h's.
#pragma once

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
// The test browser's arguments for a page of that size showing the stack from the folder, in
// that plug-in with the call log kept; the arguments go between.
std::vector<std::string> PageArgs(const std::string& plugin, const ServerFolder& server, const std::string& size,
                                  const std::vector<std::string>& args, const std::string& stack);
BrowserRun RunPage(const ServerFolder& server, const std::string& stack, const std::string& size,
                   const std::vector<std::string>& args, const std::vector<std::pair<std::string, std::string>>& env = {});

// The download cache's own folder inside the temporary folder a run is given (no separator at
// the end), and a folder removed with everything in it.
std::string CacheFolderIn(const std::string& temp);
void RemoveFolderTree(const std::string& folder);

}  // namespace browsertest
