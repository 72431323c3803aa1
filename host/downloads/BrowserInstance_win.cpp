// The browser's function table and the instances, as the entry layer set them.
#include "host/downloads/BrowserInstance.h"

namespace {

NPNetscapeFuncs* g_browser = nullptr;
NPP g_pluginInstance = nullptr;
FirstWindowCopy g_firstWindow = {};
NPP g_attachedInstance = nullptr;

}  // namespace

NPNetscapeFuncs* GetBrowserFuncs() { return g_browser; }
NPP GetPluginInstance() { return g_pluginInstance; }
NPP GetAttachedInstance() { return g_attachedInstance; }
const FirstWindowCopy& GetFirstWindow() { return g_firstWindow; }

void SetBrowserFuncs(NPNetscapeFuncs* browser) { g_browser = browser; }
void SetPluginInstance(NPP instance) { g_pluginInstance = instance; }

void SetAttachedInstance(NPP instance, const FirstWindowCopy& window) {
    g_attachedInstance = instance;
    g_firstWindow = window;
}

void ClearAttachedInstance() { g_attachedInstance = nullptr; }
