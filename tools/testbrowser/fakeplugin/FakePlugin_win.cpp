// A stand-in plug-in for checking the test browser. Its answers come from the environment
// variable LOOM_FAKE_PLUGIN ("key=value;..."):
//   ready=5,0,3    NPP_WriteReady answers, in turn for each stream (default: any amount)
//   take=N         NPP_Write takes at most N bytes of what is offered (default: all)
//   stopafter=N    NPP_Write answers -1 once a stream has given N bytes
//   geturl=P       when an instance's first stream is done, it asks for P ("%d": its number)
//   stype=N        the stream type asked for in NPP_NewStream
//   hang=MS        NPP_SetWindow returns only after MS milliseconds, pumping no message
// and it appends one line per event to the file named by LOOM_FAKE_REPORT, with a hash of the
// bytes taken so that a test can compare them with the file served.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/downloads/NpInterface.h"

namespace {

struct Config {
    std::vector<int32_t> ready;
    uint32_t take = 0;
    int64_t stopAfter = -1;
    std::string getUrl;
    uint16_t stype = NP_NORMAL;
    DWORD hangMs = 0;
};

Config g_config;
NPNetscapeFuncs* g_browser = nullptr;
int g_instanceCount = 0;

struct InstanceRecord {
    int number;
    int streamsDone;
};

struct StreamRecord {
    uint32_t received;
    uint32_t hash;
    size_t readyIndex;
    bool stopped;
    int writesAfterStop;
    int offsetErrors;
};

Config ReadConfig() {
    Config config;
    char text[1024] = {};
    if (!GetEnvironmentVariableA("LOOM_FAKE_PLUGIN", text, sizeof text))
        return config;
    std::string all(text);
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find(';', start);
        std::string item = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? all.size() : end + 1;
        size_t eq = item.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = item.substr(0, eq), value = item.substr(eq + 1);
        if (key == "ready") {
            for (size_t p = 0; p <= value.size();) {
                size_t comma = value.find(',', p);
                config.ready.push_back(std::atoi(value.substr(p, comma - p).c_str()));
                if (comma == std::string::npos)
                    break;
                p = comma + 1;
            }
        } else if (key == "take") {
            config.take = static_cast<uint32_t>(std::atoi(value.c_str()));
        } else if (key == "stopafter") {
            config.stopAfter = std::atoi(value.c_str());
        } else if (key == "geturl") {
            config.getUrl = value;
        } else if (key == "stype") {
            config.stype = static_cast<uint16_t>(std::atoi(value.c_str()));
        } else if (key == "hang") {
            config.hangMs = static_cast<DWORD>(std::atoi(value.c_str()));
        }
    }
    return config;
}

void Report(const char* format, ...) {
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("LOOM_FAKE_REPORT", path, sizeof path))
        return;
    FILE* file = std::fopen(path, "a");
    if (!file)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fputc('\n', file);
    std::fclose(file);
}

int Number(NPP instance) {
    return instance && instance->pdata ? static_cast<InstanceRecord*>(instance->pdata)->number : 0;
}

NPError FakeNew(NPMIMEType type, NPP instance, uint16_t mode, int16_t argc, char** argn, char** argv, NPSavedData*) {
    if (!instance || !g_browser)
        return NPERR_INVALID_INSTANCE_ERROR;
    auto* record = static_cast<InstanceRecord*>(g_browser->memalloc(sizeof(InstanceRecord)));
    if (!record)
        return NPERR_OUT_OF_MEMORY_ERROR;
    record->number = ++g_instanceCount;
    record->streamsDone = 0;
    instance->pdata = record;
    std::string args;
    for (int i = 0; i < argc; ++i)
        args += std::string(" ") + argn[i] + "=" + argv[i];
    Report("new inst=%d type=%s mode=%u%s", record->number, type ? type : "null", mode, args.c_str());
    return NPERR_NO_ERROR;
}

NPError FakeDestroy(NPP instance, NPSavedData**) {
    if (!instance)
        return NPERR_INVALID_INSTANCE_ERROR;
    Report("destroy inst=%d", Number(instance));
    if (instance->pdata)
        g_browser->memfree(instance->pdata);
    instance->pdata = nullptr;
    return NPERR_NO_ERROR;
}

NPError FakeSetWindow(NPP instance, NPWindow* window) {
    if (!instance || !window)
        return NPERR_GENERIC_ERROR;
    Report("window inst=%d hwnd=%d size=%lux%lu", Number(instance), IsWindow(static_cast<HWND>(window->window)) ? 1 : 0,
           static_cast<unsigned long>(window->width), static_cast<unsigned long>(window->height));
    if (g_config.hangMs)
        Sleep(g_config.hangMs);
    return NPERR_NO_ERROR;
}

NPError FakeNewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool, uint16_t* stype) {
    auto* record = static_cast<StreamRecord*>(g_browser->memalloc(sizeof(StreamRecord)));
    if (!record)
        return NPERR_OUT_OF_MEMORY_ERROR;
    *record = {0, 2166136261u, 0, false, 0, 0};
    stream->pdata = record;
    *stype = g_config.stype;
    Report("stream inst=%d type=%s url=%s end=%lu", Number(instance), type ? type : "null", stream->url,
           static_cast<unsigned long>(stream->end));
    return NPERR_NO_ERROR;
}

int32_t FakeWriteReady(NPP, NPStream* stream) {
    auto* record = static_cast<StreamRecord*>(stream->pdata);
    if (g_config.ready.empty() || !record)
        return 0x0FFFFFFF;
    return g_config.ready[record->readyIndex++ % g_config.ready.size()];
}

int32_t FakeWrite(NPP, NPStream* stream, int32_t offset, int32_t len, void* buffer) {
    auto* record = static_cast<StreamRecord*>(stream->pdata);
    if (record->stopped) {
        ++record->writesAfterStop;
        return -1;
    }
    if (g_config.stopAfter >= 0 && record->received >= g_config.stopAfter) {
        record->stopped = true;
        return -1;
    }
    if (static_cast<uint32_t>(offset) != record->received)
        ++record->offsetErrors;
    uint32_t taken = static_cast<uint32_t>(len);
    if (g_config.take && taken > g_config.take)
        taken = g_config.take;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    for (uint32_t i = 0; i < taken; ++i)
        record->hash = (record->hash ^ bytes[i]) * 16777619u;
    record->received += taken;
    return static_cast<int32_t>(taken);
}

NPError FakeDestroyStream(NPP instance, NPStream* stream, NPError reason) {
    auto* record = static_cast<StreamRecord*>(stream->pdata);
    Report("end inst=%d url=%s reason=%d received=%lu hash=%08lx afterstop=%d offseterrors=%d", Number(instance),
           stream->url, reason, static_cast<unsigned long>(record->received), static_cast<unsigned long>(record->hash),
           record->writesAfterStop, record->offsetErrors);
    g_browser->memfree(record);
    stream->pdata = nullptr;
    auto* instanceRecord = static_cast<InstanceRecord*>(instance->pdata);
    if (instanceRecord && instanceRecord->streamsDone++ == 0 && !g_config.getUrl.empty()) {
        char url[512];
        std::snprintf(url, sizeof url, g_config.getUrl.c_str(), instanceRecord->number);
        NPError result = g_browser->geturl(instance, url, nullptr);
        Report("geturl inst=%d url=%s -> %d", instanceRecord->number, url, result);
    }
    return NPERR_NO_ERROR;
}

void FakeStreamAsFile(NPP instance, NPStream* stream, const char* fileName) {
    DWORD attributes = fileName ? GetFileAttributesA(fileName) : INVALID_FILE_ATTRIBUTES;
    Report("asfile inst=%d url=%s exists=%d", Number(instance), stream->url, attributes != INVALID_FILE_ATTRIBUTES);
}

void FakePrint(NPP, NPPrint*) {}

}  // namespace

extern "C" NPError __stdcall NP_GetEntryPoints(NPPluginFuncs* table) {
    if (!table || table->size < 44)
        return NPERR_INVALID_FUNCTABLE_ERROR;
    table->version = 6;
    table->newp = FakeNew;
    table->destroy = FakeDestroy;
    table->setwindow = FakeSetWindow;
    table->newstream = FakeNewStream;
    table->destroystream = FakeDestroyStream;
    table->asfile = FakeStreamAsFile;
    table->writeready = FakeWriteReady;
    table->write = FakeWrite;
    table->print = FakePrint;
    table->event = nullptr;
    return NPERR_NO_ERROR;
}

extern "C" NPError __stdcall NP_Initialize(NPNetscapeFuncs* browserTable) {
    if (!browserTable || !browserTable->memalloc || !browserTable->memfree || !browserTable->geturl)
        return NPERR_INVALID_FUNCTABLE_ERROR;
    g_browser = browserTable;
    g_config = ReadConfig();
    Report("init size=%u version=0x%04x", browserTable->size, browserTable->version);
    return NPERR_NO_ERROR;
}

extern "C" NPError NP_Shutdown() {
    Report("shutdown");
    g_browser = nullptr;
    return NPERR_NO_ERROR;
}
