// Running the test browser as a child process and reading what it leaves (TestBrowserRun_win.h).
#include "tests/support/TestBrowserRun_win.h"

#include "tests/support/ReportJson.h"

#include <wincodec.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>

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
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path = std::string(temp) + "loomtb-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
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

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        size_t start = line.find_first_not_of(' ');
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        if (start != std::string::npos)
            lines.push_back(line.substr(start));
    }
    return lines;
}

bool StartsWith(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

std::string Field(const std::string& line, const std::string& key) {
    size_t at = line.find(key + "=");
    if (at == std::string::npos)
        return {};
    at += key.size() + 1;
    return line.substr(at, line.find_first_of(",) ", at) - at);
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

namespace {

std::vector<std::string> PageArgs(const std::string& plugin, const ServerFolder& server, const std::string& size,
                                  const std::vector<std::string>& args, const std::string& stack) {
    std::vector<std::string> all = {"--dll", plugin, "--server", server.path, "--log", "--size", size};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back("http://localhost/" + stack);
    return all;
}

}  // namespace

BrowserRun RunPage(const ServerFolder& server, const std::string& stack, const std::string& size,
                   const std::vector<std::string>& args, const std::vector<std::pair<std::string, std::string>>& env) {
    return RunBrowser(server, PageArgs(PluginPath(), server, size, args, stack), env);
}

CachedSite::CachedSite(int pageWidth, int pageHeight) : width(pageWidth), height(pageHeight) {
    cache = server.path + "\\cache";
    CreateDirectoryA(cache.c_str(), nullptr);
}

CachedSite::~CachedSite() { RemoveFolderTree(cache); }

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

BrowserRun CachedSite::Run(const std::string& stack, std::vector<std::string> args,
                           const std::vector<std::pair<std::string, std::string>>& env) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::vector<std::pair<std::string, std::string>> settings = {{"TMP", cache}, {"TEMP", cache}};
    settings.insert(settings.end(), env.begin(), env.end());
    return RunBrowser(server, PageArgs(plugin.empty() ? PluginPath() : plugin, server, size, args, stack), settings);
}

std::string CachedSite::Serve(const std::string& stem, const std::string& bytes) {
    const std::string name = stem + "-" + std::to_string(GetCurrentProcessId()) + ".stk";
    server.Put(name, bytes);
    return name;
}

std::string CachedSite::Report(const std::string& stack) {
    const std::string reporter = WindowsPath(std::string(std::getenv("LOOM_BUILD")) + "/tools/stackreport/stackreport.exe");
    const BrowserRun report = RunProgram(reporter, server, {stack});
    EXPECT_EQ(report.exitCode, 0) << report.errors;
    return Joined(report.log);
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

std::string OnceShown(const std::string& title, int ms, int nth) {
    const std::string which = nth == kNextShown ? "#next" : nth > 1 ? "#" + std::to_string(nth) : "";
    return "@shown:" + title + which + "+" + std::to_string(ms);
}

std::string OnceLogged(const std::string& text, int ms) { return "@logged:" + text + "+" + std::to_string(ms); }

std::vector<std::string> SaveAt(int ms, const std::string& copy) {
    return {"--command", "102@" + std::to_string(ms), "--answer-alert", "2340:2", "--save-copy", copy};
}

std::vector<std::string> FileDialogAt(const std::string& title, const std::string& path, const std::string& button, int ms,
                                      int gap) {
    return {"--dialog", title + "|File name:|type:" + path + "@" + std::to_string(ms), "--dialog",
            title + "|" + button + "|press@" + std::to_string(ms + gap)};
}

std::vector<std::string> SaveAsDialogAt(const std::string& path, int ms, int gap) {
    return FileDialogAt("Please name this Stack", path, "Save", ms, gap);
}

std::vector<std::string> OpenDialogAt(const std::string& path, int ms, int gap) {
    return FileDialogAt("Please select a stack", path, "Open", ms, gap);
}

std::vector<std::string> PictureFileAt(const std::string& path, int ms) {
    std::vector<std::string> steps = {"--dialog", "Picture Source|Disk file|check@" + std::to_string(ms), "--dialog",
                                      "Picture Source|OK|press@" + std::to_string(ms + 200)};
    Append(steps, FileDialogAt("Please select a picture file", path, "Open", ms + 700));
    return steps;
}

std::vector<std::string> OpenActionsAt(const std::string& point, int ms) {
    return {"--key", "shift+Tab@" + std::to_string(ms), "--right-click", point + "@" + std::to_string(ms + 400),
            "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400, kNextShown)};
}

void ExpectSaved(const CachedSite& site, const BrowserRun& run) {
    for (const char* failed : {"alert(id=2694)", "alert(id=2695)", "alert(id=2696)", "alert(id=2697)", "alert(id=2698)"})
        EXPECT_EQ(FindHolding(run.log, failed), -1) << "the write failed\n" << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "saved("), -1) << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "saved(" + site.cache), -1) << "never into the download cache\n" << Joined(run.log);
}

std::string ReportedObject(const std::string& json, const std::string& name) {
    const ReportJson report = ParseReport(json);
    const ReportJson* object = FindNamedObject(report, name);
    return object ? JsonText(*object) : "";
}

std::vector<int> ReportedCardIds(const std::string& json) {
    std::vector<int> ids;
    const ReportJson report = ParseReport(json);
    for (const ReportJson& card : ItemsOf(report, "cards"))
        ids.push_back(card.value("id", -1));
    return ids;
}

std::string ReportedCard(const std::string& json, int index) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& card : ItemsOf(report, "cards"))
        if (card.value("index", 0) == index)
            return JsonText(card);
    return "";
}

std::string ReportedObjectOfKind(const std::string& json, int kind) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& card : ItemsOf(report, "cards"))
        for (const ReportJson& object : ItemsOf(card, "objects"))
            if (object.value("kind", 0) == kind)
                return JsonText(object);
    return "";
}

std::string ReportedObjectWithId(const std::string& json, int id) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& card : ItemsOf(report, "cards"))
        for (const ReportJson& object : ItemsOf(card, "objects"))
            if (object.value("id", -1) == id)
                return JsonText(object);
    return "";
}

std::vector<std::string> ReportedTexts(const std::string& json) {
    std::vector<std::string> texts;
    const ReportJson report = ParseReport(json);
    for (const ReportJson& card : ItemsOf(report, "cards"))
        for (const ReportJson& object : ItemsOf(card, "objects"))
            for (const ReportJson& entry : ItemsOf(object, "entries"))
                if (entry.contains("text") && entry["text"].is_string())
                    texts.push_back(entry["text"].get<std::string>());
    return texts;
}

std::string ReportedVideo(const std::string& json, int card, int button, int kind) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& entry : ItemsOf(report, "video"))
        if (entry.value("card", 0) == card && entry.value("button", 0) == button && entry.value("kind", 0) == kind)
            return JsonText(entry);
    return "";
}

std::vector<std::string> ReportedObjects(const std::string& json, const std::string& name) {
    std::vector<std::string> found;
    const ReportJson report = ParseReport(json);
    for (const ReportJson* object : FindNamedObjects(report, name))
        found.push_back(JsonText(*object));
    return found;
}

std::vector<std::string> ReportedResources(const std::string& json, const std::string& type) {
    std::vector<std::string> found;
    const ReportJson report = ParseReport(json);
    for (const ReportJson& entry : ItemsOf(report, "resources"))
        if (entry.value("type", "") == type)
            found.push_back(JsonText(entry));
    return found;
}

bool HasResource(const std::string& json, const std::string& type, int id) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& entry : ItemsOf(report, "resources"))
        if (entry.value("type", "") == type && entry.value("id", -1) == id)
            return true;
    return false;
}

std::string ReportedDestination(const std::string& json, int card, int button) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& entry : ItemsOf(report, "destinations"))
        if (entry.value("card", 0) == card && entry.value("button", 0) == button)
            return JsonText(entry);
    return "";
}

std::string ReportedValue(const std::string& json, const std::string& key) {
    const ReportJson report = ParseReport(json);
    const ReportJson* value = FindKey(report, key);
    return value ? JsonText(*value) : "";
}

std::string ReportedText(const std::string& json, const std::string& key) {
    const ReportJson report = ParseReport(json);
    const ReportJson* value = FindKey(report, key);
    return value && value->is_string() ? value->get<std::string>() : "";
}

int ReportedNumber(const std::string& json, const std::string& key) {
    const ReportJson report = ParseReport(json);
    const ReportJson* value = FindKey(report, key);
    return value && value->is_number_integer() ? value->get<int>() : -1;
}

RECT ReportedRect(const std::string& object) {
    RECT r{-1, -1, -1, -1};
    const ReportJson report = ParseReport(object);
    const ReportJson* rect = FindKey(report, "rect");
    if (rect && rect->is_array() && rect->size() == 4 && (*rect)[0].is_number_integer()) {
        r.left = (*rect)[0].get<long>();
        r.top = (*rect)[1].get<long>();
        r.right = (*rect)[2].get<long>();
        r.bottom = (*rect)[3].get<long>();
    }
    return r;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines)
        all += l + "\n";
    return all;
}

int FindHolding(const std::vector<std::string>& lines, const std::string& text, int from) {
    for (int i = std::max(from, 0); i < static_cast<int>(lines.size()); ++i)
        if (lines[i].find(text) != std::string::npos)
            return i;
    return -1;
}

std::vector<int> NumbersAt(const std::vector<std::string>& lines, const std::string& prefix, int from) {
    const int line = Find(lines, prefix, from);
    std::vector<int> numbers;
    if (line < 0)
        return numbers;
    const std::string& text = lines[size_t(line)];
    // After the prefix, or after the prefix's own " at ".
    size_t at = prefix.find(" at ") != std::string::npos ? prefix.size() : text.find(" at ", prefix.size());
    at = at == std::string::npos ? at : text.find_first_of("-0123456789", at);
    while (at != std::string::npos && at < text.size()) {
        char* end = nullptr;
        numbers.push_back(int(std::strtol(text.c_str() + at, &end, 10)));
        at = size_t(end - text.c_str());
        if (at >= text.size() || text[at] != ',')
            break;
        ++at;
    }
    return numbers;
}

bool CardOnScreen(const std::vector<std::string>& lines, POINT* corner) {
    const std::vector<int> at = NumbersAt(lines, "card(instance=1) at screen ");
    if (at.size() != 2)
        return false;
    *corner = {at[0], at[1]};
    return true;
}

bool AppearedInTime(const std::string& path) {
    for (int i = 0; i < 200; ++i) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(50);
    }
    return false;
}

bool ShownPlace(const std::vector<std::string>& lines, const std::string& title, RECT* place) {
    const std::vector<int> at = NumbersAt(lines, "shown(" + title + ") ");
    if (at.size() != 4)
        return false;
    *place = {at[0], at[1], at[2], at[3]};
    return true;
}

int Differing(const Shot& a, const Shot& b, RECT r, std::string* first, int step) {
    int n = 0;
    for (int y = r.top; y < r.bottom; y += step)
        for (int x = r.left; x < r.right; x += step)
            if (a.At(x, y) != b.At(x, y) && !n++ && first)
                *first = std::to_string(x) + "," + std::to_string(y) + " " + Hex(a.At(x, y)) + " -> " + Hex(b.At(x, y));
    return n;
}

bool NearRgb(uint32_t got, int red, int green, int blue, int slack) {
    return std::abs(int((got >> 16) & 255) - red) <= slack && std::abs(int((got >> 8) & 255) - green) <= slack &&
           std::abs(int(got & 255) - blue) <= slack;
}

std::string Hex(uint32_t pixel) {
    char text[12];
    std::snprintf(text, sizeof text, "%06lx", static_cast<unsigned long>(pixel));
    return text;
}

int Find(const std::vector<std::string>& lines, const std::string& prefix, int from) {
    for (int i = from; i < static_cast<int>(lines.size()); ++i)
        if (StartsWith(lines[i], prefix))
            return i;
    return -1;
}

std::vector<uint32_t> PngPixels(const std::string& path, UINT* width, UINT* height) {
    std::vector<uint32_t> pixels;
    *width = *height = 0;
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICBitmapSource* converted = nullptr;
    const std::wstring wide(path.begin(), path.end());
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame, &converted)) &&
        SUCCEEDED(converted->GetSize(width, height))) {
        pixels.resize(size_t{*width} * *height);
        if (FAILED(converted->CopyPixels(nullptr, *width * 4, static_cast<UINT>(pixels.size() * 4),
                                         reinterpret_cast<BYTE*>(pixels.data()))))
            pixels.clear();
    }
    for (IUnknown* object : std::initializer_list<IUnknown*>{converted, frame, decoder, factory})
        if (object)
            object->Release();
    if (com)
        CoUninitialize();
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

PluginCopy::PluginCopy(const std::string& prefs) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    folder = std::string(temp) + "loomplugin" + std::to_string(GetCurrentProcessId());
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
