// The browser's side of the plug-in interface: loading the DLL and reading the types it serves
// from its version block, the browser function table, instances, and the stream pump that
// feeds files from the server folder to the instance that asked for them.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "TestBrowser.h"
#include "host/downloads/NpInterface.h"

namespace {

constexpr uint16_t kBrowserInterfaceVersion = 0x0013;  // major 0, minor 19
constexpr NPError kNpErrInvalidUrl = 10;
constexpr NPError kNpResDone = 0;
constexpr NPError kNpResNetworkErr = 1;
constexpr NPError kNpResUserBreak = 2;
constexpr uint16_t kNpAsFileOnly = 4;
constexpr UINT kIdleRetryMs = 20;
constexpr int kMaxIdleRounds = 250;  // about five seconds of a plug-in that takes nothing

bool g_log = false;
HMODULE g_module = nullptr;
NP_ShutdownProc g_npShutdown = nullptr;
NP_GetEntryPointsProc g_npGetEntryPoints = nullptr;
NP_InitializeProc g_npInitialize = nullptr;
bool g_initialized = false;
NPPluginFuncs g_plugin = {};
NPNetscapeFuncs g_browserFuncs = {};
int g_callDepth = 0;

HWND g_pumpWindow = nullptr;
std::string g_serverDir;
std::string g_baseUrl;
const PluginTypes* g_types = nullptr;
uint32_t g_chunk = 4096;
bool g_parallel = false;

std::unordered_map<void*, uint32_t> g_blocks;  // NPN_MemAlloc blocks still held by the plug-in

struct Instance {
    NPP_t npp = {};
    int number = 0;  // 1-based, as the log shows it
    bool alive = false;
    std::string mimeType;
    std::vector<std::string> argNames, argValues;
    std::vector<char*> argn, argv;
    NPWindow npWindow = {};
};
std::vector<std::unique_ptr<Instance>> g_instances;

struct Request {
    Instance* instance;
    std::string url;
    DWORD madeAt = 0;
};
std::deque<Request> g_requests;

struct Stream {
    Instance* instance = nullptr;
    std::string url;
    std::string path;
    std::string mimeType;
    std::vector<char> data;
    NPStream np = {};
    uint16_t stype = NP_NORMAL;
    uint32_t offset = 0;
    int idleRounds = 0;
    bool stalls = false;  // sends its first piece, then nothing
    int dripMs = 0;       // sends a byte every dripMs, holding up no other stream
    DWORD dripped = 0;    // when it sent its last byte
};
std::list<std::unique_ptr<Stream>> g_streams;
// The server's faults (--answer-late, --stall, --drip, --huge), by the file name the URL ends in.
struct ServerFaults {
    std::vector<BrowserOptions::LateAnswer> late;
    std::vector<std::string> stalls;
    std::vector<BrowserOptions::LateAnswer> drips;
    std::vector<BrowserOptions::LateAnswer> huge;
};
ServerFaults g_faults;
bool g_pumpPosted = false;
bool g_pumpTimerSet = false;
bool g_pumping = false;

// Marks a call into the plug-in, so that the page does not tear the instance down from a
// message loop the plug-in runs inside that call.
struct PluginCall {
    PluginCall() { ++g_callDepth; }
    ~PluginCall() { --g_callDepth; }
    PluginCall(const PluginCall&) = delete;
    PluginCall& operator=(const PluginCall&) = delete;
};

Instance* FindInstance(NPP npp) {
    for (auto& instance : g_instances)
        if (instance->alive && &instance->npp == npp)
            return instance.get();
    return nullptr;
}

const char* OrNull(const char* text) { return text ? text : "null"; }

// --- browser functions called by the plug-in ---

NPError BrowserGetURL(NPP npp, const char* url, const char* target) {
    Instance* instance = FindInstance(npp);
    NPError result = NPERR_NO_ERROR;
    if (!instance)
        result = NPERR_INVALID_INSTANCE_ERROR;
    else if (!url || !*url)
        result = kNpErrInvalidUrl;
    Logf("NPN_GetURL(instance=%d, url=%s, target=%s) -> %d", instance ? instance->number : 0, OrNull(url),
         OrNull(target), result);
    if (result != NPERR_NO_ERROR)
        return result;
    if (target) {
        // This browser shows no pages: a request for a window or frame loads nothing.
        Logf("  (a target window is not served)");
        return result;
    }
    RequestStream(instance->number - 1, ResolveUrl(g_baseUrl, url));
    return result;
}

void* BrowserMemAlloc(uint32_t size) {
    void* block = std::malloc(size ? size : 1);
    if (block)
        g_blocks[block] = size;
    Logf("NPN_MemAlloc(size=%lu) -> %p", static_cast<unsigned long>(size), block);
    return block;
}

void BrowserMemFree(void* block) {
    auto it = g_blocks.find(block);
    bool known = it != g_blocks.end();
    Logf("NPN_MemFree(%p)%s", block, known || !block ? "" : " -> not a block of NPN_MemAlloc, ignored");
    if (known) {
        g_blocks.erase(it);
        std::free(block);
    }
}

// --- streams ---

bool ReadWholeFile(const std::string& path, std::vector<char>& data, uint32_t& lastModified) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = false;
    LARGE_INTEGER size;
    FILETIME written;
    if (GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF && GetFileTime(file, nullptr, nullptr, &written)) {
        data.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = data.empty() || (ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &got, nullptr) &&
                              got == data.size());
        // Seconds since 1970, as a server's Last-Modified would give it.
        ULARGE_INTEGER t;
        t.LowPart = written.dwLowDateTime;
        t.HighPart = written.dwHighDateTime;
        constexpr uint64_t k1601To1970 = 11644473600ULL;
        uint64_t seconds = t.QuadPart / 10000000ULL;
        lastModified = seconds > k1601To1970 ? static_cast<uint32_t>(seconds - k1601To1970) : 0;
    }
    CloseHandle(file);
    return ok;
}

// The URL's last part, to match the faults' names.
std::string UrlName(const std::string& url) {
    const size_t slash = url.find_last_of('/');
    return slash == std::string::npos ? url : url.substr(slash + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return tolower(x) == tolower(y); });
}

// A request whose answer is held back: not yet due.
bool AnswerHeld(const Request& request) {
    for (const BrowserOptions::LateAnswer& late : g_faults.late)
        if (SameName(late.name, UrlName(request.url)) && GetTickCount() - request.madeAt < DWORD(late.afterMs))
            return true;
    return false;
}

void SchedulePump(bool now) {
    if (!g_pumpWindow)
        return;
    if (now) {
        if (!g_pumpPosted)
            g_pumpPosted = PostMessageA(g_pumpWindow, kMsgPump, 0, 0) != 0;
    } else if (!g_pumpTimerSet) {
        g_pumpTimerSet = SetTimer(g_pumpWindow, kTimerPump, kIdleRetryMs, nullptr) != 0;
    }
}

void StartStream(const Request& request) {
    Instance* instance = request.instance;
    if (!instance->alive)
        return;
    auto stream = std::make_unique<Stream>();
    stream->instance = instance;
    stream->url = request.url;
    stream->path = UrlToLocalPath(request.url, g_serverDir);
    uint32_t lastModified = 0;
    if (stream->path.empty() || !ReadWholeFile(stream->path, stream->data, lastModified)) {
        // What a server's "not found" comes to for a plug-in that asked without notification.
        Logf("  (no file for %s: nothing is streamed)", request.url.c_str());
        return;
    }
    for (const BrowserOptions::LateAnswer& huge : g_faults.huge)
        if (SameName(huge.name, UrlName(request.url)) && stream->data.size() < static_cast<size_t>(huge.afterMs))
            stream->data.resize(static_cast<size_t>(huge.afterMs), 0);
    std::string ext = UrlExtension(request.url);
    stream->mimeType = g_types ? g_types->TypeForExtension(ext) : std::string();
    if (stream->mimeType.empty())
        stream->mimeType = GenericMimeType(ext);
    stream->np.url = stream->url.c_str();
    stream->np.end = static_cast<uint32_t>(stream->data.size());
    stream->np.lastmodified = lastModified;
    stream->stype = NP_NORMAL;
    for (const std::string& name : g_faults.stalls)
        stream->stalls = stream->stalls || SameName(name, UrlName(request.url));
    for (const BrowserOptions::LateAnswer& drip : g_faults.drips)
        if (SameName(drip.name, UrlName(request.url)))
            stream->dripMs = std::max(drip.afterMs, 1);
    NPError result = NPERR_GENERIC_ERROR;
    if (g_plugin.newstream) {
        PluginCall call;
        result = g_plugin.newstream(&instance->npp, stream->mimeType.data(), &stream->np, false, &stream->stype);
    }
    Logf("NPP_NewStream(instance=%d, type=%s, url=%s, end=%lu) -> %d stype=%u", instance->number,
         stream->mimeType.c_str(), stream->url.c_str(), static_cast<unsigned long>(stream->np.end), result,
         stream->stype);
    if (result != NPERR_NO_ERROR)
        return;  // a refused stream is dropped without NPP_DestroyStream
    g_streams.push_back(std::move(stream));
}

void EndStream(Stream& stream, NPError reason) {
    Instance* instance = stream.instance;
    if (reason == kNpResDone && (stream.stype == NP_ASFILE || stream.stype == kNpAsFileOnly) && g_plugin.asfile) {
        {
            PluginCall call;
            g_plugin.asfile(&instance->npp, &stream.np, stream.path.c_str());
        }
        Logf("NPP_StreamAsFile(instance=%d, file=%s)", instance->number, stream.path.c_str());
    }
    NPError result = NPERR_NO_ERROR;
    if (g_plugin.destroystream) {
        PluginCall call;
        result = g_plugin.destroystream(&instance->npp, &stream.np, reason);
    }
    Logf("NPP_DestroyStream(instance=%d, url=%s, reason=%d) -> %d", instance->number, stream.url.c_str(), reason,
         result);
}

enum class Step { Progress, Idle, Finished, Stopped };

// Offers the next piece of a stream, as much as the plug-in says it is ready for and no more
// than a chunk; what the plug-in takes moves the offset on.
Step DeliverChunk(Stream& stream) {
    Instance* instance = stream.instance;
    if (stream.stype == kNpAsFileOnly || stream.offset >= stream.data.size())
        return Step::Finished;
    if (stream.stalls && stream.offset > 0)
        return Step::Idle;  // the server stopped sending
    if (stream.dripMs && stream.offset > 0 && GetTickCount() - stream.dripped < static_cast<DWORD>(stream.dripMs))
        return Step::Idle;  // the next byte is not due yet
    int32_t ready = 0;
    if (g_plugin.writeready) {
        PluginCall call;
        ready = g_plugin.writeready(&instance->npp, &stream.np);
    }
    Logf("NPP_WriteReady(instance=%d) -> %ld", instance->number, static_cast<long>(ready));
    uint32_t remaining = static_cast<uint32_t>(stream.data.size()) - stream.offset;
    int32_t taken = 0;
    if (ready > 0 && g_plugin.write) {
        uint32_t len = std::min({stream.dripMs ? 1u : g_chunk, static_cast<uint32_t>(ready), remaining});
        stream.dripped = GetTickCount();
        {
            PluginCall call;
            taken = g_plugin.write(&instance->npp, &stream.np, static_cast<int32_t>(stream.offset),
                                   static_cast<int32_t>(len), stream.data.data() + stream.offset);
        }
        Logf("NPP_Write(instance=%d, offset=%lu, len=%lu) -> %ld", instance->number,
             static_cast<unsigned long>(stream.offset), static_cast<unsigned long>(len), static_cast<long>(taken));
        if (taken < 0)
            return Step::Stopped;  // the plug-in ends the stream
        stream.offset += std::min(static_cast<uint32_t>(taken), len);
    }
    if (taken <= 0)
        return ++stream.idleRounds > kMaxIdleRounds ? Step::Stopped : Step::Idle;
    stream.idleRounds = 0;
    return stream.offset >= stream.data.size() ? Step::Finished : Step::Progress;
}

void EndInstanceStreams(Instance* instance) {
    for (auto it = g_streams.begin(); it != g_streams.end();) {
        if ((*it)->instance == instance) {
            EndStream(**it, kNpResUserBreak);
            it = g_streams.erase(it);
        } else {
            ++it;
        }
    }
    std::erase_if(g_requests, [instance](const Request& r) { return r.instance == instance; });
}

}  // namespace

std::string PluginTypes::TypeForExtension(std::string_view ext) const {
    for (size_t i = 0; i < extensions.size() && i < mimeTypes.size(); ++i)
        for (const std::string& e : SplitList(extensions[i], ','))
            if (!e.empty() && ext.size() == e.size() &&
                std::equal(e.begin(), e.end(), ext.begin(), [](char a, char b) { return tolower(a) == tolower(b); }))
                return mimeTypes[i];
    return {};
}

bool PluginTypes::Serves(std::string_view mimeType) const {
    for (const std::string& type : mimeTypes)
        if (!type.empty() && type.size() == mimeType.size() &&
            std::equal(type.begin(), type.end(), mimeType.begin(), [](char a, char b) { return tolower(a) == tolower(b); }))
            return true;
    return false;
}

void SetLogging(bool on) { g_log = on; }

namespace {
void (*g_logSink)(const char* line) = nullptr;
// Every line with when it was written, for the holds on a line (@logged:).
std::vector<std::pair<std::string, unsigned long>> g_written;
}

void SetLogSink(void (*sink)(const char* line)) { g_logSink = sink; }

bool LoggedAt(const std::string& text, int nth, unsigned long* tick) {
    for (const auto& [line, when] : g_written)
        if (line.find(text) != std::string::npos && --nth == 0) {
            *tick = when;
            return true;
        }
    return false;
}

int LinesLogged(const std::string& text) {
    int count = 0;
    for (const auto& [line, when] : g_written)
        count += line.find(text) != std::string::npos;
    return count;
}

void Logf(const char* format, ...) {
    va_list sizeArgs;
    va_start(sizeArgs, format);
    const int size = std::vsnprintf(nullptr, 0, format, sizeArgs);
    va_end(sizeArgs);
    std::string line(static_cast<size_t>(std::max(size, 0)), '\0');
    va_list lineArgs;
    va_start(lineArgs, format);
    std::vsnprintf(line.data(), line.size() + 1, format, lineArgs);
    va_end(lineArgs);
    if (g_logSink)
        g_logSink(line.c_str());
    g_written.emplace_back(std::move(line), GetTickCount());
    if (!g_log)
        return;
    // Browser functions called from inside a plug-in call are indented under it (the call's
    // own line follows once it has returned with its result).
    for (int i = 0; i < g_callDepth; ++i)
        std::fputs("  ", stdout);
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

namespace {

// Reads "MIMEType" and "FileExtents" under the first translation that has them, as browsers
// decide which plug-in serves a type.
bool ReadPluginTypes(const std::string& path, PluginTypes& types) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (!size)
        return false;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        return false;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 4)
        return false;
    const auto* pairs = static_cast<const WORD*>(value);
    for (UINT i = 0; i + 1 < length / 2; i += 2) {
        char prefix[64];
        std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04x%04x\\", pairs[i], pairs[i + 1]);
        auto query = [&](const char* name) -> std::string {
            std::string key = std::string(prefix) + name;
            void* text = nullptr;
            UINT chars = 0;
            if (!VerQueryValueA(block.data(), key.c_str(), &text, &chars) || !text || !chars)
                return {};
            return std::string(static_cast<const char*>(text), strnlen(static_cast<const char*>(text), chars));
        };
        std::string mime = query("MIMEType");
        if (mime.empty())
            continue;
        types.mimeTypes = SplitList(mime, '|');
        types.extensions = SplitList(query("FileExtents"), '|');
        return true;
    }
    return false;
}

HMODULE g_lastModule = nullptr;  // kept past FreeLibrary: its classes are looked up by it

}  // namespace

void* PluginModuleHandle() { return g_lastModule; }

int LoadPlugin(const std::string& dllPath, PluginTypes& types) {
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    g_module = LoadLibraryExA(dllPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    SetErrorMode(oldMode);
    Logf("LoadLibrary(%s) -> %s", dllPath.c_str(), g_module ? "loaded" : "failed");
    if (g_module)
        g_lastModule = g_module;
    if (!g_module) {
        std::fprintf(stderr, "testbrowser: cannot load the plug-in %s (error %lu)\n", dllPath.c_str(),
                     static_cast<unsigned long>(GetLastError()));
        return kExitDllLoad;
    }
    char loadedPath[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_module, loadedPath, MAX_PATH);
    if (!n || n >= MAX_PATH || !ReadPluginTypes(loadedPath, types) || types.mimeTypes.empty()) {
        std::fprintf(stderr, "testbrowser: %s has no MIMEType in its version block\n", dllPath.c_str());
        return kExitMimeNotServed;
    }
    g_npGetEntryPoints = reinterpret_cast<NP_GetEntryPointsProc>(
        reinterpret_cast<void*>(GetProcAddress(g_module, "NP_GetEntryPoints")));
    g_npInitialize = reinterpret_cast<NP_InitializeProc>(reinterpret_cast<void*>(GetProcAddress(g_module, "NP_Initialize")));
    g_npShutdown = reinterpret_cast<NP_ShutdownProc>(reinterpret_cast<void*>(GetProcAddress(g_module, "NP_Shutdown")));
    const char* missing = !g_npGetEntryPoints ? "NP_GetEntryPoints"
                          : !g_npInitialize   ? "NP_Initialize"
                          : !g_npShutdown     ? "NP_Shutdown"
                                              : nullptr;
    if (missing) {
        std::fprintf(stderr, "testbrowser: the plug-in does not export %s\n", missing);
        return kExitMissingExport;
    }
    return kExitOk;
}

void UseLinkedPlugin(LinkedGetEntryPoints getEntryPoints, LinkedInitialize initialize, LinkedShutdown shutdown) {
    g_module = nullptr;
    g_npGetEntryPoints = getEntryPoints;
    g_npInitialize = initialize;
    g_npShutdown = shutdown;
}

int InitializePlugin() {
    g_plugin = {};
    g_plugin.size = sizeof g_plugin;
    NPError result;
    {
        PluginCall call;
        result = g_npGetEntryPoints(&g_plugin);
    }
    Logf("NP_GetEntryPoints(size=%u) -> %d version=%u", static_cast<unsigned>(sizeof g_plugin), result,
         g_plugin.version);
    if (result != NPERR_NO_ERROR || !g_plugin.newp) {
        std::fprintf(stderr, "testbrowser: NP_GetEntryPoints failed (%d)\n", result);
        return kExitPluginRefused;
    }
    g_browserFuncs = {};
    g_browserFuncs.size = sizeof g_browserFuncs;
    g_browserFuncs.version = kBrowserInterfaceVersion;
    g_browserFuncs.geturl = BrowserGetURL;
    g_browserFuncs.memalloc = BrowserMemAlloc;
    g_browserFuncs.memfree = BrowserMemFree;
    {
        PluginCall call;
        result = g_npInitialize(&g_browserFuncs);
    }
    Logf("NP_Initialize(version=0x%04x, size=%u) -> %d", kBrowserInterfaceVersion,
         static_cast<unsigned>(sizeof g_browserFuncs), result);
    if (result != NPERR_NO_ERROR) {
        std::fprintf(stderr, "testbrowser: NP_Initialize failed (%d)\n", result);
        return kExitPluginRefused;
    }
    g_initialized = true;
    return kExitOk;
}

void SetServer(const std::string& serverDir, const std::string& baseUrl, const PluginTypes& types, int chunk,
               bool parallel) {
    g_serverDir = serverDir;
    g_baseUrl = baseUrl;
    g_types = &types;
    g_chunk = static_cast<uint32_t>(chunk);
    g_parallel = parallel;
}

void SetPumpWindow(void* hwnd) { g_pumpWindow = static_cast<HWND>(hwnd); }

void SetServerFaults(const std::vector<BrowserOptions::LateAnswer>& late, const std::vector<std::string>& stalls,
                     const std::vector<BrowserOptions::LateAnswer>& drips,
                     const std::vector<BrowserOptions::LateAnswer>& huge) {
    g_faults = {late, stalls, drips, huge};
}

int NewInstance(const std::string& mimeType, bool fullPage, const std::string& srcUrl, int width, int height) {
    auto instance = std::make_unique<Instance>();
    instance->number = static_cast<int>(g_instances.size()) + 1;
    instance->npp.ndata = instance.get();
    instance->mimeType = mimeType;
    if (!fullPage) {
        // The attributes of the page's embed element.
        instance->argNames = {"src", "width", "height"};
        instance->argValues = {srcUrl, std::to_string(width), std::to_string(height)};
    }
    for (size_t i = 0; i < instance->argNames.size(); ++i) {
        instance->argn.push_back(instance->argNames[i].data());
        instance->argv.push_back(instance->argValues[i].data());
    }
    uint16_t mode = fullPage ? NP_FULL : NP_EMBED;
    NPError result;
    {
        PluginCall call;
        result = g_plugin.newp(instance->mimeType.data(), &instance->npp, mode,
                               static_cast<int16_t>(instance->argn.size()), instance->argn.data(),
                               instance->argv.data(), nullptr);
    }
    Logf("NPP_New(instance=%d, mode=%u, type=%s) -> %d", instance->number, mode, mimeType.c_str(), result);
    instance->alive = result == NPERR_NO_ERROR;
    int index = instance->alive ? instance->number - 1 : -1;
    g_instances.push_back(std::move(instance));
    return index;
}

int SetInstanceWindow(int index, void* hwnd, int x, int y, int width, int height) {
    if (index < 0 || index >= static_cast<int>(g_instances.size()) || !g_instances[index]->alive)
        return NPERR_INVALID_INSTANCE_ERROR;
    Instance& instance = *g_instances[index];
    NPWindow& w = instance.npWindow;
    w.window = hwnd;
    w.x = x;
    w.y = y;
    w.width = static_cast<uint32_t>(width);
    w.height = static_cast<uint32_t>(height);
    w.clipRect = {0, 0, static_cast<uint16_t>(height), static_cast<uint16_t>(width)};
    w.type = 1;  // a window, not a drawable
    NPError result = NPERR_GENERIC_ERROR;
    if (g_plugin.setwindow) {
        PluginCall call;
        result = g_plugin.setwindow(&instance.npp, &w);
    }
    Logf("NPP_SetWindow(instance=%d, window=%p, x=%d, y=%d, width=%d, height=%d) -> %d", instance.number, hwnd, x, y,
         width, height, result);
    return result;
}

void RequestStream(int index, const std::string& url) {
    if (index < 0 || index >= static_cast<int>(g_instances.size()) || !g_instances[index]->alive)
        return;
    for (const BrowserOptions::LateAnswer& late : g_faults.late)
        if (SameName(late.name, UrlName(url)))
            Logf("  (%s is answered %d ms late)", url.c_str(), late.afterMs);
    g_requests.push_back({g_instances[index].get(), url, GetTickCount()});
    SchedulePump(true);
}

bool HasStreamWork() { return !g_requests.empty() || !g_streams.empty(); }

void PumpStreams() {
    g_pumpPosted = false;
    if (g_pumpTimerSet && g_pumpWindow)
        KillTimer(g_pumpWindow, kTimerPump);
    g_pumpTimerSet = false;
    if (g_pumping) {
        // Reached from a message loop inside a stream call: the same stream must not be fed
        // again before that call returns.
        SchedulePump(false);
        return;
    }
    g_pumping = true;
    // Browsers start each request as its answer arrives; here one after another unless parallel
    // (a stalled stream holds up nothing). A request answered late waits; the others go past it.
    const auto flowing = [](const std::unique_ptr<Stream>& s) { return !(s->stalls && s->offset > 0) && !s->dripMs; };
    const auto due = [](const Request& r) { return !AnswerHeld(r); };
    for (auto next = std::find_if(g_requests.begin(), g_requests.end(), due);
         next != g_requests.end() && (g_parallel || std::none_of(g_streams.begin(), g_streams.end(), flowing));
         next = std::find_if(g_requests.begin(), g_requests.end(), due)) {
        Request request = std::move(*next);
        g_requests.erase(next);
        StartStream(request);
    }
    Step step = Step::Idle;
    auto it = std::find_if(g_streams.begin(), g_streams.end(), flowing);
    if (it == g_streams.end() && !g_streams.empty()) {
        // Only stalled and dripping ones: each is offered its piece in turn.
        it = g_streams.begin();
        g_streams.splice(g_streams.end(), g_streams, it);
    }
    if (it != g_streams.end()) {
        Stream& stream = **it;
        step = DeliverChunk(stream);
        if (step == Step::Finished || step == Step::Stopped) {
            if (step == Step::Stopped && stream.idleRounds > kMaxIdleRounds)
                Logf("  (stream %s stalled: the plug-in took nothing for a while)", stream.url.c_str());
            EndStream(stream, step == Step::Finished ? kNpResDone : kNpResNetworkErr);
            g_streams.erase(it);
        } else if (g_parallel) {
            g_streams.splice(g_streams.end(), g_streams, it);
        }
    }
    g_pumping = false;
    if (HasStreamWork())
        SchedulePump(step != Step::Idle);
}

bool IsInPluginCall() { return g_callDepth > 0; }

void DispatchPageMessage(const MSG& message, void* frame) {
    if (!message.hwnd || message.hwnd == static_cast<HWND>(frame)) {
        DispatchMessageA(&message);
        return;
    }
    // An embed, a child of it or a window of the plug-in's own: its procedure is the plug-in's,
    // which may hold a loop of its own (a modal dialog, a scan) in which the page's close would
    // unload the plug-in from under it.
    PluginCall call;
    DispatchMessageA(&message);
}

void DestroyInstance(int index) {
    if (index < 0 || index >= static_cast<int>(g_instances.size()) || !g_instances[index]->alive)
        return;
    Instance& instance = *g_instances[index];
    EndInstanceStreams(&instance);
    NPSavedData* saved = nullptr;
    NPError result = NPERR_GENERIC_ERROR;
    if (g_plugin.destroy) {
        PluginCall call;
        result = g_plugin.destroy(&instance.npp, &saved);
    }
    Logf("NPP_Destroy(instance=%d) -> %d", instance.number, result);
    instance.alive = false;
    if (saved) {
        // Saved data belongs to the browser now; with no page history it is let go at once.
        BrowserMemFree(saved->buf);
        BrowserMemFree(saved);
    }
}

void DestroyInstances() {
    for (size_t i = 0; i < g_instances.size(); ++i)
        DestroyInstance(static_cast<int>(i));
}

void ShutdownPlugin() {
    if (g_initialized) {
        NPError result;
        {
            PluginCall call;
            result = g_npShutdown();
        }
        Logf("NP_Shutdown() -> %d", result);
        g_initialized = false;
    }
    if (g_module) {
        FreeLibrary(g_module);
        Logf("FreeLibrary()");
        g_module = nullptr;
    }
    g_instances.clear();
    if (!g_blocks.empty())
        Logf("  (%u NPN_MemAlloc block(s) never freed)", static_cast<unsigned>(g_blocks.size()));
}

size_t OutstandingAllocations() { return g_blocks.size(); }
