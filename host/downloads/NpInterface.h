// The browser plug-in interface as this plug-in and its test browser use it: the records the
// two sides exchange, with the layouts a 32-bit Windows browser gives them.
#pragma once

#include <cstddef>
#include <cstdint>

using NPError = int16_t;
using NPBool = uint8_t;
using NPMIMEType = char*;

inline constexpr NPError NPERR_NO_ERROR = 0;
inline constexpr NPError NPERR_GENERIC_ERROR = 1;
inline constexpr NPError NPERR_INVALID_INSTANCE_ERROR = 2;
inline constexpr NPError NPERR_INVALID_FUNCTABLE_ERROR = 3;
inline constexpr NPError NPERR_OUT_OF_MEMORY_ERROR = 5;
inline constexpr NPError NPERR_INCOMPATIBLE_VERSION_ERROR = 8;

inline constexpr uint16_t NP_EMBED = 1;
inline constexpr uint16_t NP_FULL = 2;

inline constexpr uint16_t NP_NORMAL = 1;  // stream types
inline constexpr uint16_t NP_ASFILE = 3;

struct NPP_t {
    void* pdata;  // the plug-in's instance record
    void* ndata;  // the browser's
};
using NPP = NPP_t*;

struct NPRect {
    uint16_t top, left, bottom, right;
};

struct NPWindow {
    void* window;  // HWND
    int32_t x, y;
    uint32_t width, height;
    NPRect clipRect;
    uint32_t type;
};

struct NPStream {
    void* pdata;
    void* ndata;
    const char* url;
    uint32_t end;
    uint32_t lastmodified;
    void* notifyData;
};

struct NPSavedData {
    int32_t len;
    void* buf;
};

#pragma pack(push, 2)
struct NPEmbedPrint {
    NPWindow window;
    void* platformPrint;
};
struct NPFullPrint {
    NPBool pluginPrinted;
    NPBool printOne;
    void* platformPrint;
};
struct NPPrint {
    uint16_t mode;
    union {
        NPFullPrint fullPrint;
        NPEmbedPrint embedPrint;
    } print;
};
#pragma pack(pop)
static_assert(sizeof(void*) != 4 || sizeof(NPWindow) == 32, "the browser's 32-bit layout");

// Handlers, called by the browser with the C calling convention.
using NPP_NewProc = NPError (*)(NPMIMEType, NPP, uint16_t, int16_t, char**, char**, NPSavedData*);
using NPP_DestroyProc = NPError (*)(NPP, NPSavedData**);
using NPP_SetWindowProc = NPError (*)(NPP, NPWindow*);
using NPP_NewStreamProc = NPError (*)(NPP, NPMIMEType, NPStream*, NPBool, uint16_t*);
using NPP_DestroyStreamProc = NPError (*)(NPP, NPStream*, NPError);
using NPP_StreamAsFileProc = void (*)(NPP, NPStream*, const char*);
using NPP_WriteReadyProc = int32_t (*)(NPP, NPStream*);
using NPP_WriteProc = int32_t (*)(NPP, NPStream*, int32_t, int32_t, void*);
using NPP_PrintProc = void (*)(NPP, NPPrint*);
using NPP_HandleEventProc = int16_t (*)(NPP, void*);

// The plug-in's handler table; the plug-in fills the first 44 bytes only.
struct NPPluginFuncs {
    uint16_t size;
    uint16_t version;
    NPP_NewProc newp;
    NPP_DestroyProc destroy;
    NPP_SetWindowProc setwindow;
    NPP_NewStreamProc newstream;
    NPP_DestroyStreamProc destroystream;
    NPP_StreamAsFileProc asfile;
    NPP_WriteReadyProc writeready;
    NPP_WriteProc write;
    NPP_PrintProc print;
    NPP_HandleEventProc event;
    void* urlnotify;
    void* javaClass;
    void* getvalue;
    void* setvalue;
};
static_assert(sizeof(void*) != 4 || offsetof(NPPluginFuncs, event) == 40);

using NPN_GetURLProc = NPError (*)(NPP, const char* url, const char* target);
using NPN_MemAllocProc = void* (*)(uint32_t size);
using NPN_MemFreeProc = void (*)(void* ptr);

// The browser's function table. Only three slots are used; the rest are kept opaque.
struct NPNetscapeFuncs {
    uint16_t size;
    uint16_t version;  // high byte: the interface's major version
    NPN_GetURLProc geturl;
    void* posturl;
    void* requestread;
    void* newstream;
    void* write;
    void* destroystream;
    void* status;
    void* uagent;
    NPN_MemAllocProc memalloc;
    NPN_MemFreeProc memfree;
    void* memflush;
    void* reloadplugins;
    void* getJavaEnv;
    void* getJavaPeer;
    void* geturlnotify;
    void* posturlnotify;
    void* getvalue;
    void* setvalue;
};
static_assert(sizeof(void*) != 4 || offsetof(NPNetscapeFuncs, geturl) == 4);
static_assert(sizeof(void*) != 4 || offsetof(NPNetscapeFuncs, memalloc) == 36);
static_assert(sizeof(void*) != 4 || offsetof(NPNetscapeFuncs, memfree) == 40);

// The exports, undecorated through the module definition file.
extern "C" {
NPError __stdcall NP_GetEntryPoints(NPPluginFuncs* table);
NPError __stdcall NP_Initialize(NPNetscapeFuncs* browserTable);
NPError NP_Shutdown();
}
using NP_GetEntryPointsProc = NPError(__stdcall*)(NPPluginFuncs*);
using NP_InitializeProc = NPError(__stdcall*)(NPNetscapeFuncs*);
using NP_ShutdownProc = NPError (*)();
