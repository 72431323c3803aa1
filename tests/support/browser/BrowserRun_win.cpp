// Running the test browser as a child process (BrowserRun_win.h).
#include "tests/support/browser/BrowserRun_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "tests/support/ProcessNames_win.h"
#include "tests/support/browser/LogLines_win.h"

namespace browsertest {

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {  // a Unix path handed over by ctest: Wine's Z: drive
        for (char& c : path)
            if (c == '/')
                c = '\\';
        path = "Z:" + path;
    }
    return path;
}

namespace {

std::string BesideTestProgram(const char* name) {
    char exe[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe, n < MAX_PATH ? n : 0);
    return path.substr(0, path.find_last_of("\\/") + 1) + name;
}

std::string FromEnvOrBeside(const char* variable, const char* name) {
    const char* env = std::getenv(variable);
    return WindowsPath(env && *env ? std::string(env) : BesideTestProgram(name));
}

}  // namespace

std::string BrowserPath() { return FromEnvOrBeside("LOOM_TESTBROWSER", "testbrowser.exe"); }
std::string PluginPath() { return FromEnvOrBeside("LOOM_DLL", "nploom.dll"); }

ServerFolder::ServerFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path = std::string(temp) + ProcessUniqueName("loomtb");
    CreateDirectoryA(path.c_str(), nullptr);
}

std::string ServerFolder::Put(const std::string& name, const std::string& bytes) {
    std::string full = path + "\\" + name;
    for (size_t slash = name.find('\\'); slash != std::string::npos; slash = name.find('\\', slash + 1))
        CreateDirectoryA((path + "\\" + name.substr(0, slash)).c_str(), nullptr);
    std::ofstream(full, std::ios::binary) << bytes;
    files.push_back(full);
    return full;
}

std::string ServerFolder::Name(const std::string& name) {
    files.push_back(path + "\\" + name);
    return files.back();
}

std::vector<std::string> ServerFolder::Shots(const std::string& stem, int count) {
    std::vector<std::string> shots = {Name(stem + ".png")};
    for (int n = 2; n <= count; ++n)
        shots.push_back(Name(stem + "-t" + std::to_string(n) + ".png"));
    return shots;
}

ServerFolder::~ServerFolder() {
    for (auto it = files.rbegin(); it != files.rend(); ++it)
        DeleteFileA(it->c_str());
    for (const char* sub : {"\\pages", ""})
        RemoveDirectoryA((path + sub).c_str());
}

namespace {

// Waits for the process while answering messages sent to this thread's windows: on a palette
// display a program's realised palette is broadcast to every top-level window, and the sender
// waits for each answer. Posted messages stay queued. True when the process ended in time; the
// time is checked on every pass, so a sender that never stops cannot keep the wait going.
bool WaitAnsweringSentMessages(HANDLE process, DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    for (;;) {
        const DWORD now = GetTickCount();
        const DWORD left = static_cast<int32_t>(until - now) > 0 ? until - now : 0;
        const DWORD got = MsgWaitForMultipleObjects(1, &process, FALSE, left, QS_SENDMESSAGE);
        if (got == WAIT_OBJECT_0)
            return true;
        if (got != WAIT_OBJECT_0 + 1 || left == 0)
            return false;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

BrowserRun RunProgram(const std::string& program, const ServerFolder& server, const std::vector<std::string>& args,
                      const std::vector<std::pair<std::string, std::string>>& env) {
    BrowserRun run;
    std::string command = "\"" + program + "\"";
    for (const std::string& a : args)
        command += " \"" + a + "\"";
    std::string outPath = server.path + "\\stdout.txt", errPath = server.path + "\\stderr.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    for (const auto& [name, value] : env)
        SetEnvironmentVariableA(name.c_str(), value.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    for (const auto& [name, value] : env)
        SetEnvironmentVariableA(name.c_str(), nullptr);
    CloseHandle(out);
    CloseHandle(err);
    if (!started) {
        ADD_FAILURE() << "cannot start " << command << " (error " << GetLastError() << ")";
        return run;
    }
    // Long enough for a walk in order stretched on a busy machine up to its bound.
    if (!WaitAnsweringSentMessages(process.hProcess, 180000)) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
        ADD_FAILURE() << "the program did not end within three minutes: " << command;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    run.exitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.log = Lines(ReadFile(outPath));
    run.errors = ReadFile(errPath);
    DeleteFileA(outPath.c_str());
    DeleteFileA(errPath.c_str());
    return run;
}

BrowserRun RunBrowser(const ServerFolder& server, const std::vector<std::string>& args,
                      const std::vector<std::pair<std::string, std::string>>& env) {
    return RunProgram(BrowserPath(), server, args, env);
}

std::vector<std::string> PageArgs(const std::string& plugin, const ServerFolder& server, const std::string& size,
                                  const std::vector<std::string>& args, const std::string& stack) {
    std::vector<std::string> all = {"--dll", plugin, "--server", server.path, "--log", "--size", size};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back("http://localhost/" + stack);
    return all;
}

BrowserRun RunPage(const ServerFolder& server, const std::string& stack, const std::string& size,
                   const std::vector<std::string>& args, const std::vector<std::pair<std::string, std::string>>& env) {
    return RunBrowser(server, PageArgs(PluginPath(), server, size, args, stack), env);
}

std::string CacheFolderIn(const std::string& temp) { return temp + "\\Pageloom Cache"; }

void RemoveFolderTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName, path = folder + "\\" + name;
            if (name == "." || name == "..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace browsertest
